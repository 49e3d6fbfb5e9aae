#pragma once

#include <chrono>
#include <ctime>
#include <string>
#include <thread>

#include "ui/clock.hpp"

namespace orv {

class RealClock final : public Clock {
public:
    std::int64_t nowMs() const override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    // A plain sleep: the station's thread runs nothing else meanwhile.
    void delayMs(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    std::string timeOfDay() const override {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        char text[64];
        std::strftime(text, sizeof text, "%X", &local);  // the locale's time format
        return text;
    }
};

}  // namespace orv
