#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/role_wave_api.hpp"
#include "station/station.hpp"
#include "ui/clock.hpp"

namespace orv {

// A transmission asked for on the command line, run through the buttons: voice, the tune
// carrier or the +3000 Hz tone starts at the first tick and, with a duration, is released
// after it; the script is done when the station receives again.
class TransmitScript {
public:
    TransmitScript(Station& station, std::string kind, std::optional<double> seconds)
        : station_(station), kind_(std::move(kind)), seconds_(seconds) {}

    void tick(std::int64_t nowMs);
    bool finished() const { return phase_ == Phase::Done; }
    bool started() const { return phase_ != Phase::Waiting; }

private:
    enum class Phase { Waiting, Transmitting, Ending, Done };
    void press(bool down);

    Station& station_;
    std::string kind_;
    std::optional<double> seconds_;
    Phase phase_ = Phase::Waiting;
    std::int64_t startMs_ = 0;
};

// Runs Timer1 on the virtual clock until the script is done or `stop` is set (never
// longer than the transmission plus a minute), then closes the station.
Bilingual runTransmitBatch(Station& station, RoleWaveApi& wave, VirtualClock& clock, TransmitScript& script,
                           double seconds, const std::atomic<bool>& stop);

}  // namespace orv
