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
    EXPECT_EQ(f.sizes().fee, 48000);
    EXPECT_EQ(f.sizes().latencySetting, 6);
    EXPECT_EQ(f.tuning().bandWidthHz(), 2700);
    EXPECT_EQ(f.tuning().centreFrequencyHz(), 7020000);
    EXPECT_EQ(f.station->controls().get("Frequence_centrale").text, "7020000");
}

TEST(Settings, FrenchOfFranceStartsInFrenchWhenThereIsNoFile) {
    StationFixture f;
    f.files.contents.clear();
    f.station->settings().setSystemLanguage(kFrench);
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
    EXPECT_EQ(f.sizes().latencySetting, 12);
}

TEST(Settings, EverySettingComesBackAfterARestart) {
    // What has a control is changed through it; the rest is read from the first file,
    // so it comes back only if it is both loaded and saved.
    StationFixture first;
    first.wave.devices = {4, 4};
    ConfigRecord before = kStandardConfig;
    before[config::kLanguage] = kFrench;
    before[config::kLatency] = 14;
    before[config::kRxSwapIq] = 2;
    before[config::kRxAmplitude] = 127 - 42;
    before[config::kRxPhase] = 127 + 99;
    before[config::kTxAgc] = 2;
    before[config::kTxAmplitude] = 127 + 100;
    before[config::kTxPhase] = 127 - 100;
    before[config::kTxSwapIq] = 2;
    before[config::kTxFilter] = 2;
    first.files.contents[kConfigPath] = std::string(before.begin(), before.end());
    first.station->startUp();
    SoundMenus& menus = first.station->soundMenus();
    ReceiverControls& receiver = first.station->receiver();
    menus.cardItemClick("Carte_son3_RX");
    menus.cardItemClick("Carte_son2_TX");
    menus.cardItemClick("Carte_son4_HP");
    menus.cardItemClick("Carte_son_par_defaut_MICRO");
    menus.rateItemClick("Fe_96000");
    menus.receiverTypeClick(false);
    menus.feRegulatedClick(false);
    receiver.greyWaterfallClick(true);
    receiver.spectrumAgcClick(false);
    receiver.modeClick(Mode::Lsb);
    receiver.bandClick("Bande_550_850");
    receiver.setTuneOffset(-12340);
    receiver.fixedFrequencyClick(true);
    receiver.noiseReducerClick("REDUCTEUR_WIENER_FORT", true);
    receiver.rxAgcClick(false);
    receiver.sweepClick(true);
    first.station->settings().centreFrequencyChange("14250000");
    first.station->formClose();

    StationFixture second;
    second.wave.devices = {4, 4};
    second.files.contents = first.files.contents;
    second.station->startUp();
    const CardChoices& cards = second.engine().cards();
    const ReceiveConfig& rx = second.rx();
    const Tuning& tuning = second.tuning();
    const TransmitChain::Options& tx = second.station->transmit().options();
    EXPECT_EQ(second.station->language(), kFrench);
    EXPECT_EQ(cards[CardRole::Rx], 2);
    EXPECT_EQ(cards[CardRole::Tx], 1);
    EXPECT_EQ(cards[CardRole::Speaker], 3);
    EXPECT_EQ(cards[CardRole::Mic], kDefaultCard);
    EXPECT_EQ(second.sizes().fee, 96000);
    EXPECT_EQ(second.sizes().latencySetting, 14);
    EXPECT_FALSE(rx.receiverIsSdR);
    EXPECT_FALSE(second.station->soundMenus().feRegulated());
    EXPECT_TRUE(second.station->display().grey());
    EXPECT_FALSE(rx.spectrumAgcOn);
    EXPECT_EQ(rx.mode, Mode::Lsb);
    EXPECT_EQ(tuning.bandLowHz(), 550);
    EXPECT_EQ(tuning.bandWidthHz(), 300);
    EXPECT_EQ(tuning.offsetHz(), -12340);
    EXPECT_TRUE(tuning.fixed());
    EXPECT_EQ(rx.noiseReducerLevel, 3);
    EXPECT_FALSE(rx.rxAgcOn);
    EXPECT_TRUE(rx.rxSwapIq);
    EXPECT_EQ(tuning.centreFrequencyHz(), 14250000);
    EXPECT_EQ(rx.amplitudeCorrection, -42);
    EXPECT_EQ(rx.phaseCorrection, 99);
    EXPECT_TRUE(tuning.sweep());
    EXPECT_TRUE(tx.agcOn);
    EXPECT_EQ(tx.amplitudeCorrection, 100);
    EXPECT_EQ(tx.phaseCorrection, -100);
    EXPECT_TRUE(tx.swapIq);
    EXPECT_TRUE(tx.filterOn);
    EXPECT_TRUE(second.station->controls().get("Carte_son3_RX").down);
    EXPECT_TRUE(second.station->controls().get("LSB").down);
    EXPECT_TRUE(second.station->controls().get("Bande_550_850").down);
    EXPECT_FALSE(second.station->controls().get("REGLAGE_FREQUENCE").enabled);
}

TEST(Settings, ASaveThatFailsHalfwayLeavesThePreviousFileWhole) {
    StationFixture f;
    f.station->startUp();
    const std::string before = f.files.contents.at(kConfigPath);
    f.station->receiver().modeClick(Mode::Lsb);
    f.files.failWriteAfter = 10;
    f.station->settings().saveAllSettings();
    EXPECT_EQ(f.files.contents.at(kConfigPath), before);
    ASSERT_FALSE(f.view.boxes.empty());
    EXPECT_EQ(f.view.boxes.back().text, "Impossible text record. Full hard disk? ");

    // The failure was said; the run saves nothing more and says nothing more.
    const std::size_t boxes = f.view.boxes.size();
    f.files.failWriteAfter = -1;
    f.station->formClose();
    EXPECT_EQ(f.files.contents.at(kConfigPath), before);
    EXPECT_EQ(f.view.boxes.size(), boxes);
    EXPECT_TRUE(f.station->store().saveFailed());
}

TEST(Settings, AFrequencyMemorySaveThatFailsHalfwayLeavesThePreviousFileWhole) {
    StationFixture f;
    f.station->startUp();
    f.files.failWriteAfter = 40;
    f.station->frequencyWindow().activate();
    f.station->controls().setText("Frequence1", "123456");
    const std::string memoryBefore = f.files.contents.at(kMemoryPath);
    EXPECT_FALSE(f.station->frequencyWindow().okClick());
    EXPECT_EQ(f.files.contents.at(kMemoryPath), memoryBefore);
    ASSERT_FALSE(f.view.messages.empty());
    EXPECT_EQ(f.view.messages.back().text, "No more room to write in the file SDR_QRG.TXT");
}

TEST(Settings, StandardSettingsPutEverythingBack) {
    StationFixture f;
    f.station->startUp();
    f.station->soundMenus().rateItemClick("Fe_192000");
    f.station->receiver().modeClick(Mode::Lsb);
    f.station->receiver().bandClick("Bande_4000");
    f.station->settings().standardSettingsClick();
    EXPECT_EQ(f.sizes().fee, 48000);
    EXPECT_EQ(f.sizes().latencySetting, 6);
    EXPECT_EQ(f.rx().mode, Mode::Usb);
    EXPECT_EQ(f.tuning().bandWidthHz(), 2700);
    EXPECT_TRUE(f.station->controls().get("USB").down);
    EXPECT_EQ(stored(f.files)[config::kCaptureRate], 48);
}

TEST(Settings, AStoredRateTheModeCannotUseIsReplaced) {
    StationFixture f;
    ConfigRecord r = kStandardConfig;
    r[config::kMode] = 3;  // AM allows 44100 and 48000 only
    r[config::kCaptureRate] = 96;
    f.files.contents[kConfigPath] = std::string(r.begin(), r.end());
    f.station->startUp();
    EXPECT_EQ(f.station->store().record()[config::kCaptureRate], 48);
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
    f.station->frequencyWindow().activate();
    EXPECT_EQ(f.station->controls().get("Frequence1").text, "1810000");
    EXPECT_EQ(f.station->controls().get("Transfert1").caption, "Select");
    f.station->controls().setText("Frequence3", "7.040.500");
    f.station->frequencyWindow().selectClick(3);
    EXPECT_EQ(f.station->controls().get("Frequence_centrale").text, "7040500");
    EXPECT_EQ(f.tuning().centreFrequencyHz(), 7040500);
    EXPECT_EQ(f.station->controls().get("Frequence3").text, "7040500");
    f.station->controls().setText("Frequence5", "");
    EXPECT_TRUE(f.station->frequencyWindow().okClick());
    EXPECT_EQ(f.station->store().frequencyMemory()[2], "  7040500");
    EXPECT_EQ(f.station->store().frequencyMemory()[4], "         ");
    const std::string& file = f.files.contents.at(kMemoryPath);
    EXPECT_EQ(file.size(), 149u);
    EXPECT_NE(file.find("         N\r\n"), std::string::npos);
    f.station->frequencyWindow().helpClick();
    EXPECT_EQ(f.view.help.back(), (std::pair<std::string, int>{"HELP_TSR.CHM", 68}));
}

TEST(CentreFrequency, KeepsDigitsAndRefusesMoreThanNine) {
    StationFixture f;
    f.station->settings().centreFrequencyChange("7.05MHz");
    EXPECT_EQ(f.tuning().centreFrequencyHz(), 705);
    f.station->settings().centreFrequencyChange("1234567890");
    EXPECT_EQ(f.tuning().centreFrequencyHz(), 0);
    EXPECT_EQ(f.station->controls().get("Frequence_centrale").text, "0");
}

}  // namespace
}  // namespace orv::test
