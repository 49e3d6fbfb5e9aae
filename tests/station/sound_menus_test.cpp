#include <gtest/gtest.h>

#include "support/station_fixture.hpp"

namespace orv::test {
namespace {

using Call = ScriptedWaveApi::Call;
constexpr auto kCapture = WaveDirection::Capture;
constexpr auto kPlayback = WaveDirection::Playback;

TEST(EnumerateCards, NamesTheCardsAndHidesTheItemsAboveTheCount) {
    StationFixture f;
    f.wave.devices = {3, 2};
    f.wave.failingName = 1;
    ASSERT_TRUE(f.station->startUp());
    EXPECT_EQ(f.station->cards().count(kCapture), 3);
    EXPECT_EQ(f.station->cards().name(kCapture, 0), "Capture 0");
    EXPECT_EQ(f.station->cards().name(kCapture, 1), "?");
    EXPECT_EQ(f.station->cards().name(kPlayback, 1), "Playback 1");
    const auto& c = f.station->controls();
    for (const char* suffix : {"RX", "MICRO"}) {
        const std::string s = suffix;
        EXPECT_TRUE(c.get("Carte_son3_" + s).visible);
        EXPECT_FALSE(c.get("Carte_son4_" + s).visible);
        EXPECT_FALSE(c.get("Carte_son16_" + s).visible);
    }
    for (const char* suffix : {"TX", "HP"}) {
        const std::string s = suffix;
        EXPECT_TRUE(c.get("Carte_son1_" + s).visible);
        EXPECT_TRUE(c.get("Carte_son2_" + s).visible);
        EXPECT_FALSE(c.get("Carte_son3_" + s).visible);
        EXPECT_TRUE(c.get("Carte_son_par_defaut_" + s).visible);
    }
}

TEST(EnumerateCards, CountsAreCappedAtSixteen) {
    StationFixture f;
    f.wave.devices = {20, 17};
    ASSERT_TRUE(f.station->startUp());
    EXPECT_EQ(f.station->cards().count(kCapture), 16);
    EXPECT_EQ(f.station->cards().count(kPlayback), 16);
    EXPECT_TRUE(f.station->controls().get("Carte_son16_RX").visible);
}

TEST(CardMenus, EveryItemStoresItsValueInItsRolesByte) {
    StationFixture f;
    f.wave.devices = {16, 16};
    f.station->startUp();
    ASSERT_EQ(cardItems().size(), 68u);
    for (const auto& item : cardItems()) {
        f.station->soundMenus().cardItemClick(item.name);
        EXPECT_EQ(f.station->store().record()[item.row->recordByte], item.value) << item.name;
        EXPECT_EQ(f.engine().cards()[item.row->role], static_cast<std::uint8_t>(item.value - 1)) << item.name;
        EXPECT_TRUE(f.station->controls().get(item.name).down) << item.name;
    }
    // Only the last item clicked in a menu stays checked.
    EXPECT_FALSE(f.station->controls().get("Carte_son15_MICRO").down);
}

TEST(CardMenus, ACardThatHasGoneFallsBackToCardOne) {
    StationFixture f;
    f.wave.devices = {3, 3};
    f.files.contents[f.files.pathOf(kConfigFileName)][config::kRxCard] = 5;
    f.station->startUp();
    EXPECT_EQ(f.station->store().record()[config::kRxCard], 1);
    EXPECT_EQ(f.files.contents[f.files.pathOf(kConfigFileName)][config::kRxCard], 1);
    EXPECT_EQ(f.engine().cards()[CardRole::Rx], 0);
    EXPECT_TRUE(f.station->controls().get("Carte_son1_RX").down);
    EXPECT_FALSE(f.station->controls().get("Carte_son5_RX").down);
}

TEST(CardMenus, TheDefaultCardIsNeverComparedWithTheCount) {
    StationFixture f;
    f.station->startUp();
    f.station->soundMenus().cardItemClick("Carte_son_par_defaut_HP");
    EXPECT_EQ(f.station->store().record()[config::kSpeakerCard], 100);
    EXPECT_EQ(f.engine().cards()[CardRole::Speaker], kDefaultCard);
    EXPECT_TRUE(f.station->controls().get("Carte_son_par_defaut_HP").down);
}

TEST(CardMenus, CaptionsCarryTheDeviceNamesInTheChosenLanguage) {
    StationFixture f;
    f.wave.devices = {2, 2};
    f.station->startUp();
    f.station->soundMenus().applyCard(CardRole::Mic);
    EXPECT_EQ(f.station->controls().get("Carte_son2_MICRO").caption, "&Sound card 2 : Capture 1");
    EXPECT_EQ(f.station->controls().get("Carte_son_micro").caption, "&Sound card Microphone (or any sound input)");
    StationFixture french;
    french.wave.devices = {2, 2};
    french.useLanguage(kFrench);
    french.station->startUp();
    EXPECT_EQ(french.station->controls().get("Carte_son1_HP").caption, "&Carte son 1 : Playback 0");
    EXPECT_EQ(french.station->controls().get("Carte_son_par_defaut_HP").caption,
              "Carte son par défaut de l'ordinateur");
    EXPECT_EQ(french.station->controls().get("Carte_son_HP").caption, "Carte son Haut-parleur");
}

TEST(CardMenus, OnlyTheRxAndSpeakerChoicesInterruptTheReceiveAudio) {
    StationFixture f;
    f.wave.devices = {2, 2};
    f.startReceiving();
    const int opens = f.wave.count(kCapture, Call::Open);
    f.station->soundMenus().cardItemClick("Carte_son2_TX");
    f.station->soundMenus().cardItemClick("Carte_son2_MICRO");
    EXPECT_TRUE(f.wave.isOpen(kCapture));
    EXPECT_TRUE(f.flags().processingRunning);

    f.station->soundMenus().cardItemClick("Carte_son2_RX");
    EXPECT_FALSE(f.wave.isOpen(kCapture));
    f.tick();
    EXPECT_TRUE(f.wave.isOpen(kCapture));
    EXPECT_EQ(f.wave.openedDevice[0], 1);
    EXPECT_GT(f.wave.count(kCapture, Call::Open), opens);
}

struct RateCase {
    const char* item;
    int fee, fes, blockLength;
};

TEST(RateMenu, EachItemSetsTheRatesAndTheBlock) {
    for (const auto& c : {RateCase{"Fe_192000", 192000, 24000, 2048}, RateCase{"Fe_96000", 96000, 24000, 2048},
                          RateCase{"Fe_48000", 48000, 12000, 2048}, RateCase{"Fe_44100", 44100, 11025, 2048},
                          RateCase{"Fe_12000", 12000, 12000, 1024}, RateCase{"Fe_11025", 11025, 11025, 1024}}) {
        StationFixture f;
        f.station->startUp();
        f.station->soundMenus().rateItemClick(c.item);
        EXPECT_EQ(f.sizes().fee, c.fee);
        EXPECT_EQ(f.sizes().fes(), c.fes);
        EXPECT_EQ(f.sizes().blockLength(), c.blockLength);
        EXPECT_EQ(f.station->store().record()[config::kCaptureRate], captureRateCode(c.fee));
        for (const auto& item : kRateItems)
            EXPECT_EQ(f.station->controls().get(item.name).down, item.rate == c.fee) << item.name;
    }
}

TEST(RateMenu, AChangeWhileReceivingReopensAtTheNewRate) {
    StationFixture f;
    f.startReceiving();
    f.station->soundMenus().rateItemClick("Fe_96000");
    EXPECT_FALSE(f.wave.isOpen(kCapture));
    EXPECT_FALSE(f.flags().retuneOnOpen);
    f.tick();
    EXPECT_EQ(f.wave.openedFormat[0].samplesPerSecond, 96000);
    EXPECT_EQ(f.wave.openedFormat[1].samplesPerSecond, 24000);
    EXPECT_EQ(f.sizes().captureBufferBytes, 19200);
}

TEST(RateMenu, FesEqualsFeeFollowsTheCaptureRateAndReturns) {
    StationFixture f;
    f.station->startUp();
    f.station->soundMenus().rateItemClick("Fe_48000");
    f.station->soundMenus().fesEqualsFeeClick(true);
    EXPECT_EQ(f.sizes().fes(), 48000);
    f.station->soundMenus().fesEqualsFeeClick(false);
    EXPECT_EQ(f.sizes().fes(), 12000);
}

TEST(ReceiverType, DirectConversionDisablesTheCorrectionWindows) {
    StationFixture f;
    f.startReceiving();
    f.station->soundMenus().receiverTypeClick(false);
    EXPECT_FALSE(f.rx().receiverIsSdR);
    EXPECT_EQ(f.station->store().record()[config::kReceiverType], 2);
    EXPECT_FALSE(f.station->controls().get("Correction_phase_amplitude_RX").enabled);
    EXPECT_FALSE(f.station->controls().get("Correction_phase_amplitude_TX").enabled);
    EXPECT_TRUE(f.station->controls().get("Recepteur_conversion_directe").down);
    EXPECT_FALSE(f.wave.isOpen(kCapture));  // restarted
    f.station->soundMenus().receiverTypeClick(true);
    EXPECT_TRUE(f.station->controls().get("Correction_phase_amplitude_RX").enabled);
    EXPECT_FALSE(f.station->controls().get("Recepteur_conversion_directe").down);
}

TEST(RegulatedRate, AClickWhileReceivingRestartsTheDevices) {
    StationFixture f;
    f.startReceiving();
    f.station->soundMenus().feRegulatedClick(true);
    EXPECT_TRUE(f.station->soundMenus().feRegulated());
    EXPECT_FALSE(f.wave.isOpen(kCapture));
    EXPECT_FALSE(f.flags().retuneOnOpen);
    f.tick();
    EXPECT_TRUE(f.wave.isOpen(kCapture));
}

TEST(MixerButtons, OpenTheMixerOnTheRightSideForTheChosenCard) {
    StationFixture f;
    f.wave.devices = {4, 4};
    f.station->startUp();
    f.station->soundMenus().cardItemClick("Carte_son3_RX");
    f.station->soundMenus().cardItemClick("Carte_son4_TX");
    for (const char* button : {"Volume_HP", "Sortie_TX", "recording_RX", "Microphone", "Unknown"})
        f.station->soundMenus().mixerButtonClick(button);
    using S = FakeMixer::Start;
    EXPECT_EQ(f.mixer.started, (std::vector<S>{{"pavucontrol", false, -1},
                                               {"pavucontrol", false, 3},
                                               {"pavucontrol", true, 2},
                                               {"pavucontrol", true, -1}}));
}

TEST(MixerButtons, DoNothingWhenNoMixerWasFound) {
    StationFixture f;
    f.mixer.command.clear();
    f.station->startUp();
    f.station->soundMenus().mixerButtonClick("Volume_HP");
    EXPECT_TRUE(f.mixer.started.empty());
}

TEST(FormatCheck, TrialOpensCaptureStereoAndAnEightBitSpeakerThenReportsInText) {
    StationFixture f;
    f.station->startUp();
    f.station->soundMenus().rateItemClick("Fe_48000");
    f.station->initReceive();
    f.tick();
    ASSERT_GE(f.wave.opens.size(), 4u);
    EXPECT_EQ(f.wave.opens[0].channels, 2);
    EXPECT_EQ(f.wave.opens[0].samplesPerSecond, 48000);
    EXPECT_EQ(f.wave.opens[1].bitsPerSample, 8);
    EXPECT_EQ(f.wave.opens[1].channels, 1);
    EXPECT_EQ(f.wave.opens[1].samplesPerSecond, 12000);
    EXPECT_EQ(f.station->controls().get("Label_full_duplex").text, "Format: 48000 samples/sec, 16 bits, full-duplex");
    EXPECT_TRUE(f.view.messages.empty());
    EXPECT_TRUE(f.wave.isOpen(kCapture));
}

TEST(FormatCheck, TwoFailedTrialsAreReportedAndTheOpenGoesAhead) {
    StationFixture f;
    f.useLanguage(kFrench);
    f.station->startUp();
    f.station->initReceive();
    f.wave.failNext(kCapture, Call::Open, 32, 2);
    f.tick();
    ASSERT_EQ(f.view.messages.size(), 1u);
    EXPECT_EQ(f.view.messages[0].title, "Information");
    EXPECT_EQ(f.view.messages[0].text, "Votre carte son ne supporte pas le format minimum requis (44100 échantillons/s)");
    EXPECT_EQ(f.station->controls().get("Label_full_duplex").text,
              "Format: 44100 échantillons/sec, 16 bits, full-duplex");
    EXPECT_TRUE(f.wave.isOpen(kCapture));
    EXPECT_TRUE(f.flags().formatChecked);
}

TEST(FormatCheck, ASecondTrialThatPassesSaysNothing) {
    StationFixture f;
    f.station->startUp();
    f.station->initReceive();
    f.wave.failNext(kPlayback, Call::Open, 32, 1);
    f.tick();
    EXPECT_TRUE(f.view.messages.empty());
    // First trial: capture, then the refused speaker; second trial: both open.
    ASSERT_GE(f.wave.opens.size(), 4u);
    EXPECT_EQ(f.wave.opens[2].channels, 2);
    EXPECT_EQ(f.wave.opens[3].bitsPerSample, 8);
}

}  // namespace
}  // namespace orv::test
