#include "settings/frequency_memory.hpp"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(FrequencyMemory, TheStandardFileIs149BytesOfRightAlignedFrequencies) {
    const std::string file = formatFrequencyFile(defaultFrequencyMemory());
    EXPECT_EQ(file.size(), 149u);
    EXPECT_EQ(file.substr(0, 5), "SDR\r\n");
    EXPECT_EQ(file.substr(5, 12), "  1810000N\r\n");
    EXPECT_EQ(file.substr(137), "430000000N\r\n");
    const auto parsed = parseFrequencyFile(file, file.size());
    EXPECT_EQ(parsed.problem, FrequencyFileProblem::None);
    EXPECT_EQ(parsed.memory, defaultFrequencyMemory());
}

TEST(FrequencyMemory, MisSizedOrMisFormattedFilesAreRefused) {
    const std::string good = formatFrequencyFile(defaultFrequencyMemory());
    EXPECT_EQ(parseFrequencyFile(good, 150).problem, FrequencyFileProblem::Incorrect);  // 150 bytes or more
    std::string twelveLines = good.substr(0, good.size() - 12);
    EXPECT_EQ(parseFrequencyFile(twelveLines, twelveLines.size()).problem, FrequencyFileProblem::Incorrect);
    std::string fourteenLines = good + "\r\n";
    EXPECT_EQ(parseFrequencyFile(fourteenLines, fourteenLines.size()).problem, FrequencyFileProblem::Incorrect);
    std::string longField = good;
    longField.replace(5, 12, "  18100000N\r\n");  // 11 characters
    longField.erase(longField.size() - 12, 1);    // keep it under 150 bytes
    EXPECT_EQ(parseFrequencyFile(longField, longField.size()).problem, FrequencyFileProblem::FieldIncorrect);
}

TEST(FrequencyMemory, KeepDigitsDropsEverythingElse) {
    EXPECT_EQ(keepDigits("7.040.500"), "7040500");
    EXPECT_EQ(keepDigits("7.05MHz"), "705");
    EXPECT_EQ(keepDigits(""), "");
}

}  // namespace
}  // namespace orv
