#pragma once

#include <cstdint>

namespace orv {

// Milliseconds, for the PTT release delay, debouncing and short waits.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() const = 0;
    // Waits ms milliseconds without letting any other event of the station run.
    virtual void delayMs(int ms) = 0;
};

// A clock that moves only when told: batch runs and tests.
class VirtualClock final : public Clock {
public:
    std::int64_t nowMs() const override { return nowMs_; }
    void delayMs(int ms) override { nowMs_ += ms; }
    void advance(std::int64_t ms) { nowMs_ += ms; }

private:
    std::int64_t nowMs_ = 0;
};

}  // namespace orv
