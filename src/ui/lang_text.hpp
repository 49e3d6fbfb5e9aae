#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orv {

// The language byte: 1 English, 2 French.
inline constexpr std::uint8_t kEnglish = 1;
inline constexpr std::uint8_t kFrench = 2;

// The English text for language 1, the French text for 2, nothing for any other value.
inline std::string langText(std::uint8_t language, std::string_view english, std::string_view french) {
    if (language == kEnglish) return std::string(english);
    if (language == kFrench) return std::string(french);
    return {};
}

// A text in both languages, kept together where it is written.
struct Bilingual {
    std::string english;
    std::string french;
};

}  // namespace orv
