#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orv {

// Text routines over byte strings. A blank is a space, carriage return or line feed.

void trim(std::string& text);
void trimLeft(std::string& text);
std::string trimCopy(std::string_view text);
// Trims, then prefixes spaces up to `length`; a longer text comes back unchanged.
std::string padLeft(std::string_view text, std::size_t length);
// The characters before the first space once leading blanks are gone (all of them
// when there is no space).
std::string firstWord(std::string_view text);

struct Words {
    std::array<std::string, 6> words;  // missing ones empty
    int count = 0;
};
// Up to six space-separated words of a line.
Words splitWords(std::string_view line);

// 1 plus the number of carriage returns.
int countLines(std::string_view text);
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
// True for an empty text too.
bool isAllDigits(std::string_view text);
// The decimal value of 1 to 9 digits; 0 for anything else.
std::int32_t parseDigits(std::string_view text);

}  // namespace orv
