#include "settings/config_record.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>

namespace orv {
namespace {

std::string text(const ConfigRecord& r, std::size_t n = kConfigLength) { return std::string(r.begin(), r.begin() + n); }

TEST(ConfigRecord, TheStandardRecordIsValidAndDecodesToItsSettings) {
    EXPECT_TRUE(validConfig(kStandardConfig));
    EXPECT_EQ(decodeCentreFrequency(kStandardConfig), 7020000);
    EXPECT_EQ(decodeOffset(kStandardConfig, 10), 0);
    EXPECT_FALSE(decodeFixed(kStandardConfig));
}

TEST(ConfigRecord, AShortFileKeepsItsBytesAndTakesTheRestFromTheStandard) {
    ConfigRecord mine = kStandardConfig;
    mine[4] = 12;
    mine[14] = 96;
    const auto read = readConfig(text(mine, 20), 20);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ((*read)[4], 12);
    EXPECT_EQ((*read)[14], 96);
    for (std::size_t i = 20; i < kConfigLength; ++i) EXPECT_EQ((*read)[i], kStandardConfig[i]) << i;
}

TEST(ConfigRecord, WrongLengthsZeroBytesAndOutOfRangeBytesAreRefused) {
    EXPECT_FALSE(readConfig(text(kStandardConfig) + "\x01", 36));
    EXPECT_FALSE(readConfig("", 0));
    // A zero byte cuts the text short of the bytes read.
    EXPECT_FALSE(readConfig(text(kStandardConfig, 10), 35));
    struct Case {
        std::size_t byte;
        std::uint8_t value;
    };
    for (const auto c : {Case{4, 1}, Case{4, 21}, Case{14, 144}, Case{29, 7}, Case{21, 26}, Case{21, 228}, Case{33, 19},
                         Case{1, 17}, Case{6, 3}, Case{5, 7}, Case{9, 5}, Case{0, 3}, Case{3, 3}}) {
        ConfigRecord r = kStandardConfig;
        r[c.byte] = c.value;
        EXPECT_FALSE(readConfig(text(r), 35)) << "byte " << c.byte << " = " << int(c.value);
    }
    for (const auto c : {Case{4, 2}, Case{4, 20}, Case{21, 27}, Case{21, 227}, Case{29, 18}, Case{1, 16}}) {
        ConfigRecord r = kStandardConfig;
        r[c.byte] = c.value;
        EXPECT_TRUE(readConfig(text(r), 35)) << "byte " << c.byte << " = " << int(c.value);
    }
}

TEST(ConfigRecord, TuningOffsetInBase255WithSignAndFixedFlag) {
    ConfigRecord r = kStandardConfig;
    encodeOffset(r, -120, false, 10);
    EXPECT_EQ(r[7], 1);
    EXPECT_EQ(r[8], 13);
    EXPECT_EQ(r[9], 2);
    EXPECT_EQ(decodeOffset(r, 10), -120);
    for (const std::int32_t offset : {0, 10, 2550, 2560, 18700, -22000, 96000, -96000}) {
        for (const bool fixed : {false, true}) {
            encodeOffset(r, offset, fixed, 10);
            EXPECT_EQ(decodeOffset(r, 10), offset);
            EXPECT_EQ(decodeFixed(r), fixed);
        }
    }
    encodeOffset(r, 0, true, 10);
    EXPECT_EQ(r[9], 4);  // zero counts as "zero or negative"
}

TEST(ConfigRecord, CentreFrequencyInBase254) {
    ConfigRecord r{};
    encodeCentreFrequency(r, 7020000);
    EXPECT_EQ(r[17], 1);
    EXPECT_EQ(r[18], 109);
    EXPECT_EQ(r[19], 206);
    EXPECT_EQ(r[20], 203);
    for (const std::int32_t hz : {0, 1, 253, 254, 64516, 14250000, 144800000, 999999999}) {
        encodeCentreFrequency(r, hz);
        EXPECT_EQ(decodeCentreFrequency(r), hz);
    }
}

TEST(ConfigRecord, OffsetsBeyondTheRecordAreKeptAtItsLargestAndNeverWriteAZeroByte) {
    // 651000 Hz is 65100 steps: its high digit would be 256, a zero byte in the file.
    for (const std::int32_t hz : {651000, -651000, 650250, 652799, 1303050, 1305599, 2147483640, -2147483640}) {
        ConfigRecord record = kStandardConfig;
        encodeOffset(record, hz, false, 10);
        EXPECT_TRUE(std::none_of(record.begin(), record.end(), [](std::uint8_t b) { return b == 0; })) << hz;
        EXPECT_TRUE(validConfig(record)) << hz;
        EXPECT_EQ(decodeOffset(record, 10), (hz > 0 ? 1 : -1) * kMaxOffsetSteps * 10) << hz;
    }
    ConfigRecord record = kStandardConfig;
    encodeOffset(record, 650240, true, 10);  // the largest that fits stays as it is
    EXPECT_EQ(decodeOffset(record, 10), 650240);
}

TEST(ConfigRecord, CentreFrequencyDecodesWithoutOverflowAndStaysWithinNineDigits) {
    ConfigRecord record = kStandardConfig;
    for (const std::uint8_t high : {std::uint8_t{132}, std::uint8_t{255}}) {
        record[config::kCentreFrequency] = high;
        EXPECT_EQ(decodeCentreFrequency(record), kMaxCentreFrequencyHz) << int{high};
    }
    encodeCentreFrequency(record, kMaxCentreFrequencyHz);
    EXPECT_EQ(decodeCentreFrequency(record), kMaxCentreFrequencyHz);
    EXPECT_TRUE(validConfig(record));
}

TEST(ConfigRecord, PortCodesSkipSevenAndTen) {
    EXPECT_EQ(portCode(9), 11);
    EXPECT_EQ(portCode(7), 8);
    EXPECT_EQ(portCode(6), 6);
    EXPECT_EQ(portCode(16), 18);
    EXPECT_EQ(portCode(0), 10);
    for (int com = 1; com <= 16; ++com) EXPECT_EQ(portFromCode(portCode(com)), com);
    EXPECT_EQ(portFromCode(10), 0);
}

TEST(ConfigRecord, OnlyFrenchOfFranceStartsInFrench) {
    EXPECT_EQ(languageForLocale("fr_FR.UTF-8"), 2);
    EXPECT_EQ(languageForLocale("fr_FR"), 2);
    EXPECT_EQ(languageForLocale("fr_CA.UTF-8"), 1);
    EXPECT_EQ(languageForLocale("en_GB.UTF-8"), 1);
    EXPECT_EQ(languageForLocale(""), 1);
}

}  // namespace
}  // namespace orv
