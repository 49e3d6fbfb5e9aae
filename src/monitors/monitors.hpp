#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace orv {

// The output-rate regulation run every 3 s: the speaker queue's average fill after each
// refill, against a target of 170 % of a buffer, moves the output rate by a little.
class OutputRateRegulator {
public:
    static constexpr std::int32_t kFillTarget = 170;

    struct Result {
        std::int32_t fillPercent = 0;
        // Samples to drop from (positive) or put in front of (negative) the speaker queue.
        std::int32_t correctionSamples = 0;
        int adaptedRate = 0;
    };

    // One period's refills: the queue length left after each, summed, and their count
    // (never 0). `fes` the output rate, `correctionWindow` the receive I/Q window open.
    Result regulate(std::int64_t fillSum, std::int32_t refills, int outBufferBytes, int fee, int fes,
                    bool feRegulated, bool correctionWindow);
    // The history of corrections starts again (latency change, new rate, transmission).
    void clearHistory() { corrections_ = {}; }

private:
    std::array<std::int32_t, 4> corrections_{};
};

// The capture watchdog run every 1.1 s: false when no capture buffer completed since the
// previous look.
class CaptureWatchdog {
public:
    bool capturing(std::int32_t captureCount) {
        if (captureCount == seen_) return false;
        seen_ = captureCount;
        return true;
    }

private:
    std::int32_t seen_ = 20;
};

// The processor-load readout: each new reading shown averaged with the previous one.
class LoadMeter {
public:
    int show(int percent) {
        const int shown = (percent + previous_) / 2;
        previous_ = percent;
        return shown;
    }

private:
    int previous_ = 0;
};

}  // namespace orv
