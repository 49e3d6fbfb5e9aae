#pragma once

#include <cstdint>
#include <optional>

#include "monitors/monitors.hpp"

namespace orv {

class Station;

// The slow timers that keep the audio path in order: Timer2 (1.1 s: the capture watchdog
// and the processor-load meter), Timer3 (3 s: the output-rate regulation and the drift of
// the cards), the latency track bar and the CPU button.
class MonitorController {
public:
    explicit MonitorController(Station& station) : st_(station) {}

    void timer2();
    void timer3();
    void latencyChange(int position);  // TEMPS_DE_LATENCE
    void cpuMeterClick(bool down);     // CPUmetre
    // The regulation starts again: a new rate, receiver type, latency or transmission.
    void clearRegulation() { regulator_.clearHistory(); }

    std::optional<double> driftPpm() const;
    // Speaker-queue corrections made, and those made after `sinceMs`.
    int corrections() const { return corrections_; }
    int correctionsSince(std::int64_t sinceMs) const { return sinceMs <= firstCorrectionWindowMs_ ? corrections_ : late_; }
    int captureRestarts() const { return restarts_; }
    // The speaker queue's average fill over the last regulation period, in percent of a
    // buffer (0 before the first).
    int fillPercent() const { return fillPercent_; }

private:
    void showDrift();

    Station& st_;
    OutputRateRegulator regulator_;
    CaptureWatchdog watchdog_;
    LoadMeter load_;
    bool cpuOn_ = false;
    bool cpuReady_ = false;
    int corrections_ = 0;
    int late_ = 0;  // after the first 30 s
    static constexpr std::int64_t firstCorrectionWindowMs_ = 30000;
    int restarts_ = 0;
    int fillPercent_ = 0;
    std::optional<double> driftSaid_;
    std::int64_t driftSaidMs_ = 0;
};

}  // namespace orv
