#include <gtest/gtest.h>

#include "support/station_fixture.hpp"

namespace orv::test {
namespace {

struct ModeCase {
    Mode mode;
    int startRate;
    int expectedRate;
    std::vector<const char*> enabledRates;
};

TEST(ModeButtons, AllowTheirRatesAndForceOneWhenTheStoredRateWillNotDo) {
    const ModeCase cases[] = {
        {Mode::Am, 96000, 48000, {"Fe_44100", "Fe_48000"}},
        {Mode::Am, 44100, 44100, {"Fe_44100", "Fe_48000"}},
        {Mode::Fm, 12000, 48000, {"Fe_44100", "Fe_48000"}},
        {Mode::BroadcastFm96, 48000, 96000, {"Fe_96000"}},
        {Mode::BroadcastFm192, 44100, 192000, {"Fe_192000"}},
        {Mode::Usb, 192000, 192000, {"Fe_192000", "Fe_96000", "Fe_48000", "Fe_44100", "Fe_12000", "Fe_11025"}},
    };
    for (const auto& c : cases) {
        StationFixture f;
        f.startReceiving();
        for (const auto& item : kRateItems)
            if (item.rate == c.startRate) f.station->soundMenus().rateItemClick(item.name);
        f.station->receiver().modeClick(c.mode);
        EXPECT_EQ(f.sizes().fee, c.expectedRate) << "mode " << modeNumber(c.mode) << " from " << c.startRate;
        EXPECT_EQ(f.station->store().record()[config::kCaptureRate], captureRateCode(c.expectedRate));
        EXPECT_EQ(f.files.contents.at(f.files.pathOf(kConfigFileName))[config::kCaptureRate],
                  static_cast<char>(captureRateCode(c.expectedRate)));
        for (const auto& item : kRateItems) {
            const bool enabled = std::find_if(c.enabledRates.begin(), c.enabledRates.end(), [&](const char* n) {
                                     return std::string(n) == item.name;
                                 }) != c.enabledRates.end();
            EXPECT_EQ(f.station->controls().get(item.name).enabled, enabled) << "mode " << modeNumber(c.mode) << " " << item.name;
        }
        EXPECT_EQ(f.station->controls().get("Box_Fonctions_TX").enabled, !isBroadcastFm(c.mode));
        EXPECT_EQ(f.station->controls().get("Bande_max").down, isBroadcastFm(c.mode)) << modeNumber(c.mode);
    }
}

TEST(ModeButtons, TuningFollowsTheMode) {
    StationFixture f;
    f.startReceiving();
    f.station->receiver().setTuneOffset(5000);
    f.station->receiver().modeClick(Mode::Am);  // AM: the carrier goes to the 7 kHz IF
    EXPECT_EQ(f.rx().ifMixFrequencyHz, 7000 - 5000);
    f.station->receiver().modeClick(Mode::BroadcastFm192);
    EXPECT_EQ(f.rx().rxMixFrequencyHz, 0);
    EXPECT_EQ(f.rx().ifMixFrequencyHz, 0);
}

TEST(NoiseReducerButtons, ExcludeEachOtherAndMayBothBeUp) {
    StationFixture f;
    f.startReceiving();
    f.station->receiver().noiseReducerClick("REDUCTEUR_WIENER_FAIBLE", true);
    EXPECT_EQ(f.rx().noiseReducerLevel, 2);
    f.station->receiver().noiseReducerClick("REDUCTEUR_WIENER_FORT", true);
    EXPECT_EQ(f.rx().noiseReducerLevel, 3);
    EXPECT_FALSE(f.station->controls().get("REDUCTEUR_WIENER_FAIBLE").down);
    EXPECT_TRUE(f.station->controls().get("REDUCTEUR_WIENER_FORT").down);
    EXPECT_EQ(f.station->receiveChain().noiseReducer().taps(), 27);  // Fes 11025
    EXPECT_EQ(f.station->receiveChain().noiseReducer().window(), 55);
    f.station->receiver().noiseReducerClick("REDUCTEUR_WIENER_FORT", false);
    EXPECT_EQ(f.rx().noiseReducerLevel, 1);
    EXPECT_FALSE(f.station->controls().get("REDUCTEUR_WIENER_FAIBLE").down);
}

}  // namespace
}  // namespace orv::test
