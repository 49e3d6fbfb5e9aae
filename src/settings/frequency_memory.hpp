#pragma once

#include <array>
#include <string>
#include <string_view>

namespace orv {

inline constexpr const char* kFrequencyFileName = "SDR_QRG.TXT";

// Twelve HF centre frequencies, each the decimal digits right-aligned in 9 characters.
using FrequencyMemory = std::array<std::string, 12>;

FrequencyMemory defaultFrequencyMemory();

// "SDR" CR LF, then each memory followed by "N" CR LF: 149 bytes for 9-character memories.
std::string formatFrequencyFile(const FrequencyMemory& memory);

enum class FrequencyFileProblem { None, Incorrect, FieldIncorrect };

struct FrequencyFile {
    FrequencyFileProblem problem = FrequencyFileProblem::None;
    FrequencyMemory memory;
};

// Reads the file's text of `bytesRead` bytes: 13 lines ending in CR LF and under 150
// bytes, a header of at most 3 characters and memory lines of at most 10 (the first 9
// are the memory, the "N" is dropped).
FrequencyFile parseFrequencyFile(std::string_view text, std::size_t bytesRead);

// Only the characters 0 to 9 of a text.
std::string keepDigits(std::string_view text);

}  // namespace orv
