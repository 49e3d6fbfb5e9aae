#include "ui/text_utils.hpp"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(TextRoutines, TrimRemovesSpacesCarriageReturnsAndLineFeeds) {
    std::string text = " \r\n a b \n\r ";
    trim(text);
    EXPECT_EQ(text, "a b");
    std::string left = "\r\n x ";
    trimLeft(left);
    EXPECT_EQ(left, "x ");
    EXPECT_EQ(trimCopy("\t x"), "\t x");  // a tab is not a blank
    EXPECT_EQ(trimCopy("   "), "");
}

TEST(TextRoutines, PadLeftTrimsThenPadsButNeverCuts) {
    EXPECT_EQ(padLeft(" 12 ", 5), "   12");
    EXPECT_EQ(padLeft("abc", 2), "abc");
    EXPECT_EQ(padLeft("", 3), "   ");
}

TEST(TextRoutines, FirstWordAndSplitWords) {
    EXPECT_EQ(firstWord("  alpha beta"), "alpha");
    EXPECT_EQ(firstWord("alone"), "alone");
    const Words two = splitWords("  7040500    7050000 \r\n");
    EXPECT_EQ(two.count, 2);
    EXPECT_EQ(two.words[0], "7040500");
    EXPECT_EQ(two.words[1], "7050000");
    EXPECT_EQ(two.words[2], "");
    EXPECT_EQ(splitWords("").count, 0);
    EXPECT_EQ(splitWords(" \r\n").count, 0);
    const Words many = splitWords("a b c d e f g h");
    EXPECT_EQ(many.count, 6);
    EXPECT_EQ(many.words[5], "f");
}

TEST(TextRoutines, CountLinesCountsCarriageReturns) {
    EXPECT_EQ(countLines(""), 1);
    EXPECT_EQ(countLines("a\r\nb\r\n"), 3);
    EXPECT_EQ(countLines("a\nb"), 1);
}

TEST(TextRoutines, DigitTestsAndParsing) {
    EXPECT_TRUE(isAllDigits(""));
    EXPECT_TRUE(isAllDigits("0123"));
    EXPECT_FALSE(isAllDigits("12a"));
    struct Case {
        const char* text;
        std::int32_t value;
    };
    for (const auto& c : {Case{"", 0}, Case{"0007", 7}, Case{"123456789", 123456789}, Case{"1234567890", 0},
                          Case{"12a4", 0}, Case{"-12", 0}, Case{" 12", 0}, Case{"999999999", 999999999}})
        EXPECT_EQ(parseDigits(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace orv
