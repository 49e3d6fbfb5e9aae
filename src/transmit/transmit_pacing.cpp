#include "transmit/transmit_pacing.hpp"

#include <cmath>
#include <numeric>

namespace orv {

std::int32_t VoiceLevelHistory::average() const {
    return std::accumulate(levels_.begin(), levels_.end(), std::int32_t{0}) / 20;
}

std::vector<std::uint8_t> VoiceLevelHistory::takeChunk(SampleFifo<std::uint8_t>& txVoice, int n, int captureBufferBytes) {
    const auto taken = txVoice.first(static_cast<std::size_t>(n));
    std::vector<std::uint8_t> chunk(taken.begin(), taken.end());
    const std::size_t m = chunk.size();
    txVoice.removeFirst(m);

    std::copy(levels_.begin() + 1, levels_.end(), levels_.begin());
    levels_.back() = static_cast<std::int32_t>(static_cast<std::int64_t>(txVoice.size()) * 1000 / captureBufferBytes);
    const std::int32_t a = average();

    if (chunk.empty()) return chunk;
    if (a <= 1000)
        chunk.push_back(chunk.back());
    else if (a >= 1200)
        chunk.pop_back();
    if (a >= 2000 && m / 2 > 0) {
        const auto at = chunk.begin() + static_cast<std::ptrdiff_t>(m / 2 - 1);
        chunk.erase(at, at + static_cast<std::ptrdiff_t>(m / 2));
    }
    return chunk;
}

int voiceChunkSamples(int micRate, int outBufferBytes, int fee) {
    const int k = outBufferBytes / 10;
    const float n = static_cast<float>(micRate) * static_cast<float>(k) / static_cast<float>(fee);
    return static_cast<int>(std::nearbyint(n));
}

}  // namespace orv
