#include <gtest/gtest.h>

#include "support/station_fixture.hpp"

namespace orv::test {
namespace {

TEST(StartUp, HaltsWithBeepAndErrorBoxWhenARoleHasNoDevice) {
    for (const auto& devices : {std::array<int, 2>{1, 0}, std::array<int, 2>{0, 1}, std::array<int, 2>{0, 0}}) {
        StationFixture f;
        f.wave.devices = devices;
        EXPECT_FALSE(f.station->startUp());
        ASSERT_EQ(f.view.boxes.size(), 1u);
        EXPECT_EQ(f.view.boxes[0].icon, BoxIcon::Error);
        EXPECT_EQ(f.view.boxes[0].text, "Impossible working because there is no sound card.");
        EXPECT_EQ(f.view.beeps, (std::vector<std::pair<int, int>>{{1000, 300}}));
    }
}

TEST(StartUp, NoSoundCardMessageInFrench) {
    StationFixture f;
    f.station->settings().setSystemLanguage(kFrench);
    f.wave.devices = {0, 0};
    f.station->startUp();
    ASSERT_EQ(f.view.boxes.size(), 1u);
    EXPECT_EQ(f.view.boxes[0].text, "Fonctionnement impossible car il n'y a pas de carte son.");
}

TEST(StartUp, FindsTheMixerQuietly) {
    StationFixture f;
    EXPECT_TRUE(f.station->startUp());
    EXPECT_EQ(f.station->soundMenus().mixerCommand(), "pavucontrol");
    EXPECT_TRUE(f.view.boxes.empty());
    EXPECT_FALSE(f.flags().startRequested);
}

TEST(StartUp, NamesTheMixerProgramsLookedForWhenNoneIsFound) {
    StationFixture f;
    f.mixer.command.clear();
    EXPECT_TRUE(f.station->startUp());
    ASSERT_EQ(f.view.boxes.size(), 1u);
    EXPECT_EQ(f.view.boxes[0].icon, BoxIcon::Information);
    EXPECT_EQ(f.view.boxes[0].text,
              "No mixer program has been found (\"pavucontrol\" or \"alsamixer\")... "
              "So the mixer control by the user from Tessaryn is not possible.");

    StationFixture french;
    french.useLanguage(kFrench);
    french.mixer.command.clear();
    french.station->startUp();
    ASSERT_EQ(french.view.boxes.size(), 1u);
    EXPECT_EQ(french.view.boxes[0].text,
              "Aucun programme de mixage n'a été trouvé (\"pavucontrol\" ou \"alsamixer\")... "
              "Le contrôle du mixer par l'utilisateur depuis Tessaryn n'est pas possible.");
}

TEST(InitReceive, ClearsTheBacklogAndRequestsTheStart) {
    StationFixture f;
    f.startReceiving();
    f.wave.completeCapture(0x01);
    f.tick();
    ASSERT_FALSE(f.engine().rxBacklog().empty());  // the part of a buffer short of a block
    f.station->controls().setPosition("REGLAGE_FREQUENCE", 12);
    f.station->initReceive();
    EXPECT_TRUE(f.engine().rxBacklog().empty());
    EXPECT_EQ(f.station->controls().get("REGLAGE_FREQUENCE").position, 0);
    EXPECT_TRUE(f.station->controls().get("INVERSION_I_Q_RX").enabled);
    EXPECT_TRUE(f.flags().startRequested);
}

TEST(Shutdown, StationClosesItsDevicesWhenDestroyed) {
    StationFixture f;
    f.startReceiving();
    f.station->formClose();
    f.station.reset();
    EXPECT_FALSE(f.wave.isOpen(WaveDirection::Capture));
    EXPECT_FALSE(f.wave.isOpen(WaveDirection::Playback));
}

}  // namespace
}  // namespace orv::test
