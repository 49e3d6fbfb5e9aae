#include <gtest/gtest.h>

#include "support/station_fixture.hpp"

namespace orv::test {
namespace {

const std::string kConfigPath = "/settings/CONFORVL.SER";
const std::string kMemoryPath = "/settings/SDR_QRG.TXT";

ConfigRecord stored(const MemoryFiles& files) {
    ConfigRecord r{};
    const std::string& text = files.contents.at(kConfigPath);
    std::copy(text.begin(), text.end(), r.begin());
    return r;
}

TEST(Settings, AFirstStartWritesTheStandardFilesWithoutAWord) {
    StationFixture f;
    f.files.contents.clear();
    ASSERT_TRUE(f.station->startUp());
    EXPECT_TRUE(f.view.boxes.empty() || f.view.boxes[0].icon == BoxIcon::Information);  // only the mixer note
    ASSERT_EQ(f.files.contents.at(kConfigPath).size(), 35u);
    EXPECT_EQ(stored(f.files), kStandardConfig);
    EXPECT_EQ(f.files.contents.at(kMemoryPath), formatFrequencyFile(defaultFrequencyMemory()));
    EXPECT_EQ(f.s().fee, 48000);
    EXPECT_EQ(f.s().latencySetting, 6);
    EXPECT_EQ(f.s().bandWidthHz, 2700);
    EXPECT_EQ(f.s().centreFrequencyHz, 7020000);
    EXPECT_EQ(f.station->controls().get("Frequence_centrale").text, "7020000");
}

TEST(Settings, FrenchOfFranceStartsInFrenchWhenThereIsNoFile) {
    StationFixture f;
    f.files.contents.clear();
    f.station->setSystemLanguage(kFrench);
    f.station->startUp();
    EXPECT_EQ(f.station->language(), kFrench);
    EXPECT_EQ(stored(f.files)[0], kFrench);
}

TEST(Settings, AnAlteredFileIsReplacedByTheStandardRecordWithAWarning) {
    for (const std::string& altered : {std::string(36, '\x01'), std::string(), std::string("\x01\x64\x01\x02\x15")}) {
        StationFixture f;
        f.files.contents[kConfigPath] = altered;
        f.station->startUp();
        ASSERT_FALSE(f.view.boxes.empty());
        EXPECT_EQ(f.view.boxes[0].icon, BoxIcon::Error);
        EXPECT_EQ(f.view.boxes[0].text, "The file CONFORVL.SER is altered, so standard parameters.");
        EXPECT_EQ(stored(f.files), kStandardConfig);
    }
}

TEST(Settings, AShortValidFileIsCompletedWithoutAWarning) {
    StationFixture f;
    ConfigRecord mine = kStandardConfig;
    mine[4] = 12;
    f.files.contents[kConfigPath] = std::string(mine.begin(), mine.begin() + 20);
    f.station->startUp();
    for (const auto& box : f.view.boxes) EXPECT_NE(box.icon, BoxIcon::Error) << box.text;
    EXPECT_EQ(f.s().latencySetting, 12);
}

TEST(Settings, EverySettingComesBackAfterARestart) {
    StationFixture first;
    first.wave.devices = {4, 4};
    first.station->startUp();
    auto& s = first.s();
    first.station->cardItemClick("Carte_son3_RX");
    first.station->cardItemClick("Carte_son2_TX");
    first.station->cardItemClick("Carte_son4_HP");
    first.station->cardItemClick("Carte_son_par_defaut_MICRO");
    first.station->rateItemClick("Fe_96000");
    first.station->receiverTypeClick(false);
    first.station->setLanguage(kFrench);
    s.greyWaterfall = true;
    s.spectrumAgcOn = false;
    s.latencySetting = 14;
    s.mode = 2;
    s.bandLowHz = 550;
    s.bandWidthHz = 300;
    s.tuneOffsetHz = -12340;
    s.fixedFrequency = true;
    s.noiseReducerLevel = 3;
    s.feRegulated = false;
    s.rxAgcOn = false;
    s.rxSwapIq = true;
    first.station->centreFrequencyChange("14250000");
    s.rxAmplitudeCorrection = -42;
    s.rxPhaseCorrection = 99;
    s.sweepOn = true;
    s.txAgcOn = true;
    s.txAmplitudeCorrection = 100;
    s.txPhaseCorrection = -100;
    s.txSwapIq = true;
    s.txFilterOn = true;
    first.station->formClose();

    StationFixture second;
    second.wave.devices = {4, 4};
    second.files.contents = first.files.contents;
    second.station->startUp();
    const auto& r = second.s();
    EXPECT_EQ(second.station->language(), kFrench);
    EXPECT_EQ(r.rxCard, 2);
    EXPECT_EQ(r.txCard, 1);
    EXPECT_EQ(r.speakerCard, 3);
    EXPECT_EQ(r.micCard, kDefaultCard);
    EXPECT_EQ(r.fee, 96000);
    EXPECT_FALSE(r.receiverIsSdR);
    EXPECT_TRUE(r.greyWaterfall);
    EXPECT_FALSE(r.spectrumAgcOn);
    EXPECT_EQ(r.latencySetting, 14);
    EXPECT_EQ(r.mode, 2);
    EXPECT_EQ(r.bandLowHz, 550);
    EXPECT_EQ(r.bandWidthHz, 300);
    EXPECT_EQ(r.tuneOffsetHz, -12340);
    EXPECT_TRUE(r.fixedFrequency);
    EXPECT_EQ(r.fixedOffsetHz, -12340);
    EXPECT_EQ(r.noiseReducerLevel, 3);
    EXPECT_FALSE(r.feRegulated);
    EXPECT_FALSE(r.rxAgcOn);
    EXPECT_TRUE(r.rxSwapIq);
    EXPECT_EQ(r.centreFrequencyHz, 14250000);
    EXPECT_EQ(r.rxAmplitudeCorrection, -42);
    EXPECT_EQ(r.rxPhaseCorrection, 99);
    EXPECT_TRUE(r.sweepOn);
    EXPECT_TRUE(r.txAgcOn);
    EXPECT_EQ(r.txAmplitudeCorrection, 100);
    EXPECT_EQ(r.txPhaseCorrection, -100);
    EXPECT_TRUE(r.txSwapIq);
    EXPECT_TRUE(r.txFilterOn);
    EXPECT_TRUE(second.station->controls().get("Carte_son3_RX").down);
    EXPECT_TRUE(second.station->controls().get("LSB").down);
    EXPECT_TRUE(second.station->controls().get("Bande_550_850").down);
    EXPECT_FALSE(second.station->controls().get("REGLAGE_FREQUENCE").enabled);
}

TEST(Settings, AnUnknownWidthLeavesTheStoredBandwidthAlone) {
    StationFixture f;
    f.station->startUp();
    f.s().bandWidthHz = 1234;
    f.station->saveAllSettings();
    EXPECT_EQ(stored(f.files)[config::kBandwidth], 33);
}

TEST(Settings, ASaveThatFailsHalfwayLeavesThePreviousFileWhole) {
    StationFixture f;
    f.station->startUp();
    const std::string before = f.files.contents.at(kConfigPath);
    f.s().latencySetting = 19;
    f.files.failWriteAfter = 10;
    f.station->saveAllSettings();
    EXPECT_EQ(f.files.contents.at(kConfigPath), before);
    ASSERT_FALSE(f.view.boxes.empty());
    EXPECT_EQ(f.view.boxes.back().text, "Impossible text record. Full hard disk? ");

    f.files.failWriteAfter = 40;
    f.station->frequencyMemory()[0] = "   123456";
    const std::string memoryBefore = f.files.contents.at(kMemoryPath);
    EXPECT_FALSE(f.station->saveFrequencyMemory());
    EXPECT_EQ(f.files.contents.at(kMemoryPath), memoryBefore);
    ASSERT_FALSE(f.view.messages.empty());
    EXPECT_EQ(f.view.messages.back().text, "No more room to write in the file SDR_QRG.TXT");
}

TEST(Settings, StandardSettingsPutEverythingBack) {
    StationFixture f;
    f.station->startUp();
    f.station->rateItemClick("Fe_192000");
    f.s().latencySetting = 17;
    f.station->standardSettingsClick();
    EXPECT_EQ(f.s().fee, 48000);
    EXPECT_EQ(f.s().latencySetting, 6);
    EXPECT_EQ(stored(f.files)[config::kCaptureRate], 48);
}

TEST(Settings, AStoredRateTheModeCannotUseIsReplaced) {
    StationFixture f;
    ConfigRecord r = kStandardConfig;
    r[config::kMode] = 3;  // AM allows 44100 and 48000 only
    r[config::kCaptureRate] = 96;
    f.files.contents[kConfigPath] = std::string(r.begin(), r.end());
    f.station->startUp();
    EXPECT_EQ(f.station->config()[config::kCaptureRate], 48);
    EXPECT_FALSE(f.station->controls().get("Fe_96000").enabled);
    EXPECT_TRUE(f.station->controls().get("Fe_44100").enabled);
}

TEST(FrequencyMemoryFile, AMisFormattedFileIsRewrittenWithTheStandardValues) {
    struct Case {
        std::string file;
        std::string message;
    };
    const std::string good = formatFrequencyFile(defaultFrequencyMemory());
    const Case cases[] = {
        {good + "\r\n", "The \"SDR_QRG.TXT\" file is incorrect, so re-initialization of this one."},
        {"SDR\r\n  18100000N\r\n" + good.substr(17, 120) + "43000000N\r\n", "A field of the \"SDR_QRG.TXT\" file is incorrect, so re-initialization of this file."}};
    for (const auto& c : cases) {
        StationFixture f;
        f.files.contents[kMemoryPath] = c.file;
        f.station->startUp();
        ASSERT_FALSE(f.view.boxes.empty());
        EXPECT_EQ(f.view.boxes.back().text, c.message);
        EXPECT_EQ(f.files.contents.at(kMemoryPath), good);
    }
}

TEST(FrequencyMemoryWindow, SelectCopiesTheDigitsAndOkStoresPaddedValues) {
    StationFixture f;
    f.station->startUp();
    f.station->frequencyWindowActivate();
    EXPECT_EQ(f.station->controls().get("Frequence1").text, "1810000");
    EXPECT_EQ(f.station->controls().get("Transfert1").caption, "Select");
    f.station->controls().setText("Frequence3", "7.040.500");
    f.station->frequencySelectClick(3);
    EXPECT_EQ(f.station->controls().get("Frequence_centrale").text, "7040500");
    EXPECT_EQ(f.s().centreFrequencyHz, 7040500);
    EXPECT_EQ(f.station->controls().get("Frequence3").text, "7040500");
    f.station->controls().setText("Frequence5", "");
    EXPECT_TRUE(f.station->frequencyOkClick());
    EXPECT_EQ(f.station->frequencyMemory()[2], "  7040500");
    EXPECT_EQ(f.station->frequencyMemory()[4], "         ");
    const std::string& file = f.files.contents.at(kMemoryPath);
    EXPECT_EQ(file.size(), 149u);
    EXPECT_NE(file.find("         N\r\n"), std::string::npos);
    f.station->frequencyHelpClick();
    EXPECT_EQ(f.view.help.back(), (std::pair<std::string, int>{"HELP_TSR.CHM", 68}));
}

TEST(CentreFrequency, KeepsDigitsAndRefusesMoreThanNine) {
    StationFixture f;
    f.station->centreFrequencyChange("7.05MHz");
    EXPECT_EQ(f.s().centreFrequencyHz, 705);
    f.station->centreFrequencyChange("1234567890");
    EXPECT_EQ(f.s().centreFrequencyHz, 0);
    EXPECT_EQ(f.station->controls().get("Frequence_centrale").text, "0");
}

}  // namespace
}  // namespace orv::test
