#include "ui/text_utils.hpp"

#include <algorithm>

namespace orv {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\r' || c == '\n'; }

}  // namespace

void trimLeft(std::string& text) {
    const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    text.erase(text.begin(), first);
}

void trim(std::string& text) {
    trimLeft(text);
    while (!text.empty() && isBlank(text.back())) text.pop_back();
}

std::string trimCopy(std::string_view text) {
    std::string copy(text);
    trim(copy);
    return copy;
}

std::string padLeft(std::string_view text, std::size_t length) {
    std::string trimmed = trimCopy(text);
    if (trimmed.size() >= length) return trimmed;
    return std::string(length - trimmed.size(), ' ') + trimmed;
}

std::string firstWord(std::string_view text) {
    std::string rest(text);
    trimLeft(rest);
    return rest.substr(0, rest.find(' '));
}

Words splitWords(std::string_view line) {
    Words result;
    std::string rest = trimCopy(line);
    while (result.count < 6 && !rest.empty()) {
        std::string word = firstWord(rest);
        rest.erase(0, word.size());
        trim(rest);
        result.words[static_cast<std::size_t>(result.count++)] = std::move(word);
    }
    return result;
}

int countLines(std::string_view text) { return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\r')); }

bool isAllDigits(std::string_view text) { return std::all_of(text.begin(), text.end(), isDigit); }

std::int32_t parseDigits(std::string_view text) {
    if (text.empty() || text.size() > 9 || !isAllDigits(text)) return 0;
    std::int32_t value = 0;
    for (const char c : text) value = value * 10 + (c - '0');
    return value;
}

}  // namespace orv
