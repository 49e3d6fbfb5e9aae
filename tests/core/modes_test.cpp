#include <gtest/gtest.h>

#include "support/station_fixture.hpp"

namespace orv::test {
namespace {

struct ModeCase {
    int mode;
    int startRate;
    int expectedRate;
    std::vector<const char*> enabledRates;
};

TEST(ModeButtons, AllowTheirRatesAndForceOneWhenTheStoredRateWillNotDo) {
    const ModeCase cases[] = {
        {3, 96000, 48000, {"Fe_44100", "Fe_48000"}},
        {3, 44100, 44100, {"Fe_44100", "Fe_48000"}},
        {4, 12000, 48000, {"Fe_44100", "Fe_48000"}},
        {5, 48000, 96000, {"Fe_96000"}},
        {6, 44100, 192000, {"Fe_192000"}},
        {1, 192000, 192000, {"Fe_192000", "Fe_96000", "Fe_48000", "Fe_44100", "Fe_12000", "Fe_11025"}},
    };
    for (const auto& c : cases) {
        StationFixture f;
        f.startReceiving();
        for (const auto& item : kRateItems)
            if (item.rate == c.startRate) f.station->rateItemClick(item.name);
        f.station->modeClick(c.mode);
        EXPECT_EQ(f.s().fee, c.expectedRate) << "mode " << c.mode << " from " << c.startRate;
        EXPECT_EQ(f.station->config()[config::kCaptureRate], captureRateCode(c.expectedRate));
        EXPECT_EQ(f.files.contents.at(f.files.pathOf(kConfigFileName))[config::kCaptureRate],
                  static_cast<char>(captureRateCode(c.expectedRate)));
        for (const auto& item : kRateItems) {
            const bool enabled = std::find_if(c.enabledRates.begin(), c.enabledRates.end(), [&](const char* n) {
                                     return std::string(n) == item.name;
                                 }) != c.enabledRates.end();
            EXPECT_EQ(f.station->controls().get(item.name).enabled, enabled) << "mode " << c.mode << " " << item.name;
        }
        EXPECT_EQ(f.station->controls().get("Box_Fonctions_TX").enabled, c.mode < 5);
        EXPECT_EQ(f.station->controls().get("Bande_max").down, c.mode >= 5) << c.mode;
    }
}

TEST(ModeButtons, TuningFollowsTheMode) {
    StationFixture f;
    f.startReceiving();
    f.station->setTuneOffset(5000);
    f.station->modeClick(3);  // AM: the carrier goes to the 7 kHz IF
    EXPECT_EQ(f.s().ifMixFrequencyHz, 7000 - 5000);
    f.station->modeClick(6);
    EXPECT_EQ(f.s().rxMixFrequencyHz, 0);
    EXPECT_EQ(f.s().ifMixFrequencyHz, 0);
}

TEST(NoiseReducerButtons, ExcludeEachOtherAndMayBothBeUp) {
    StationFixture f;
    f.startReceiving();
    f.station->noiseReducerClick("REDUCTEUR_WIENER_FAIBLE", true);
    EXPECT_EQ(f.s().noiseReducerLevel, 2);
    f.station->noiseReducerClick("REDUCTEUR_WIENER_FORT", true);
    EXPECT_EQ(f.s().noiseReducerLevel, 3);
    EXPECT_FALSE(f.station->controls().get("REDUCTEUR_WIENER_FAIBLE").down);
    EXPECT_TRUE(f.station->controls().get("REDUCTEUR_WIENER_FORT").down);
    EXPECT_EQ(f.station->receiveChain().noiseReducer().taps(), 27);  // Fes 11025
    EXPECT_EQ(f.station->receiveChain().noiseReducer().window(), 55);
    f.station->noiseReducerClick("REDUCTEUR_WIENER_FORT", false);
    EXPECT_EQ(f.s().noiseReducerLevel, 1);
    EXPECT_FALSE(f.station->controls().get("REDUCTEUR_WIENER_FAIBLE").down);
}

}  // namespace
}  // namespace orv::test
