#include "transmit/microphone.hpp"

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "dsp/receive_chain.hpp"

namespace orv {

void MicrophoneProcessor::resetLevel() {
    history_.fill(kUnmeasured);
    sum_ = 0;
    count_ = 0;
}

std::int32_t MicrophoneProcessor::agcGain(std::int32_t level) { return std::clamp(400 / (level + 1), 10, 200); }

bool MicrophoneProcessor::process(std::span<const std::int16_t> samples, bool filterOn, bool agcOn,
                                  SampleFifo<std::uint8_t>& voice) {
    bool measured = false;
    for (const std::int16_t sample : samples) {
        std::int32_t x = sample;
        if (filterOn) x = lowPass_.filter(x);
        sum_ += std::abs(x);
        if (++count_ == kMeterSamples) {
            std::copy(history_.begin() + 1, history_.end(), history_.begin());
            history_.back() = static_cast<std::int32_t>(sum_ / kMeterSamples);
            level_ = std::accumulate(history_.begin(), history_.end(), std::int32_t{0}) / 2624;
            sum_ = 0;
            count_ = 0;
            measured = true;
        }
        if (agcOn) {
            x = agcGain(level_) * x / 10;
            x = ReceiveChain::softLimit(x);
        }
        // 0 … 254 for 16-bit input; a louder sample (the filter's overshoot) is held at
        // the byte's ends rather than wrapped.
        voice.append(static_cast<std::uint8_t>(std::clamp(x / 258 + 127, 0, 255)));
    }
    return measured;
}

}  // namespace orv
