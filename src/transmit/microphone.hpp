#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "dsp/sample_fifo.hpp"
#include "transmit/tx_filters.hpp"

namespace orv {

// The microphone's 16-bit samples made into the voice's 8-bit audio: the optional
// 2800 Hz low-pass, the level meter (mean magnitude of 4000 samples, averaged over the
// last eight), the optional AGC steered by that level, and the byte centred on 127.
class MicrophoneProcessor {
public:
    static constexpr std::int32_t kUnmeasured = 81;  // the level before any measurement
    static constexpr int kMeterSamples = 4000;

    // The low-pass is designed once, for the microphone rate of the start-up.
    void designLowPass(int micRate) { lowPass_ = VoiceLowPass(micRate); }
    // A voice transmission starts with the meter unmeasured.
    void resetLevel();

    // Appends one byte per sample to `voice`. True when the level was measured again.
    bool process(std::span<const std::int16_t> samples, bool filterOn, bool agcOn, SampleFifo<std::uint8_t>& voice);

    // 0 … 63 once measured.
    std::int32_t level() const { return level_; }
    // The AGC's gain in tenths for a level: 400 div (level + 1), within 10 … 200.
    static std::int32_t agcGain(std::int32_t level);

private:
    VoiceLowPass lowPass_;
    std::array<std::int32_t, 8> history_{};
    std::int64_t sum_ = 0;
    int count_ = 0;
    std::int32_t level_ = kUnmeasured;
};

}  // namespace orv
