#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace orv {

// Milliseconds, for the PTT release delay, debouncing and short waits.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() const = 0;
    // Waits ms milliseconds without letting any other event of the station run.
    virtual void delayMs(int ms) = 0;
    // The time of day for the link's log, in the system's long time format ("14:03:27").
    virtual std::string timeOfDay() const = 0;
};

// A clock that moves only when told: batch runs and tests.
class VirtualClock final : public Clock {
public:
    std::int64_t nowMs() const override { return nowMs_; }
    void delayMs(int ms) override { nowMs_ += ms; }
    void advance(std::int64_t ms) { nowMs_ += ms; }
    // Its milliseconds read as a time of day from midnight.
    std::string timeOfDay() const override {
        const std::int64_t s = nowMs_ / 1000;
        char text[16];
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(s / 3600 % 24), static_cast<int>(s / 60 % 60),
                      static_cast<int>(s % 60));
        return text;
    }

private:
    std::int64_t nowMs_ = 0;
};

}  // namespace orv
