// The command line's transmission on a station wired to a fake serial line: keyed while it
// runs, released when it ends, and released when the run is stopped (SIGINT or SIGTERM
// set the same flag) in the middle of it.
#include "app/transmit_run.hpp"

#include <gtest/gtest.h>

#include "support/station_fixture.hpp"

namespace orv::test {
namespace {

struct ScriptedRun : StationFixture {
    RoleWaveApi roles{wave, {}};
    ScriptedRun() {
        storeSetting(config::kPttOutputPort, 1);  // COM1
        serial.names = {"ttyUSB0"};
        station->startUp();
        station->initReceive();
    }
};

TEST(TransmitScript, TuneKeysForItsDurationAndReleasesAtItsEnd) {
    for (const char* kind : {"tune", "tone3000", "voice"}) {
        SCOPED_TRACE(kind);
        ScriptedRun f;
        TransmitScript script(*f.station, kind, 0.5);
        bool keyedWhileRunning = false;
        std::atomic<bool> stop{false};
        // The script's first tick presses the button; watch the line from the next.
        f.clock.advance(10);
        script.tick(f.clock.nowMs());
        keyedWhileRunning = f.serial.keyed("ttyUSB0");
        const Bilingual failure = runTransmitBatch(*f.station, f.roles, f.clock, script, 0.5, stop);
        EXPECT_TRUE(failure.english.empty()) << failure.english;
        EXPECT_TRUE(keyedWhileRunning);
        EXPECT_TRUE(script.finished());
        EXPECT_FALSE(f.serial.keyed("ttyUSB0"));
        EXPECT_FALSE(f.flags().txInProgress);
    }
}

TEST(TransmitScript, AStopInTheMiddleReleasesThePtt) {
    ScriptedRun f;
    TransmitScript script(*f.station, "tune", 60);
    std::atomic<bool> stop{false};
    f.clock.advance(10);
    script.tick(f.clock.nowMs());
    ASSERT_TRUE(f.serial.keyed("ttyUSB0"));
    stop = true;  // what the signal handler does
    runTransmitBatch(*f.station, f.roles, f.clock, script, 60, stop);
    EXPECT_FALSE(script.finished());
    EXPECT_FALSE(f.serial.keyed("ttyUSB0"));
    EXPECT_FALSE(f.flags().txInProgress);
    EXPECT_TRUE(f.serial.open_.empty());  // and the port closed
}

}  // namespace
}  // namespace orv::test
