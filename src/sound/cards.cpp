#include "sound/cards.hpp"

#include <algorithm>

namespace orv {

bool CardList::enumerate(WaveApi& api) {
    for (const WaveDirection dir : {WaveDirection::Capture, WaveDirection::Playback})
        counts_[side(dir)] = api.deviceCount(dir);
    if (counts_[0] <= 0 || counts_[1] <= 0) return false;
    for (const WaveDirection dir : {WaveDirection::Capture, WaveDirection::Playback}) {
        int& count = counts_[side(dir)];
        count = std::min(count, kMaxCards);
        for (int k = 0; k < count; ++k) {
            std::string name;
            names_[side(dir)][static_cast<std::size_t>(k)] = api.deviceName(dir, k, name) == kWaveOk ? name : "?";
        }
    }
    return true;
}

}  // namespace orv
