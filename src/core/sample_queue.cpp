#include "core/sample_queue.hpp"

#include <algorithm>

namespace orv {

void SampleQueue::prepend(std::span<const std::uint8_t> bytes) {
    if (bytes.size() <= head_) {
        head_ -= bytes.size();
        std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(head_));
        return;
    }
    std::vector<std::uint8_t> joined;
    joined.reserve(bytes.size() + length());
    joined.insert(joined.end(), bytes.begin(), bytes.end());
    joined.insert(joined.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(head_), bytes_.end());
    bytes_ = std::move(joined);
    head_ = 0;
}

std::span<const std::uint8_t> SampleQueue::first(std::size_t n) const {
    return {bytes_.data() + head_, std::min(n, length())};
}

void SampleQueue::removeFirst(std::size_t n) {
    if (n >= length()) {
        clear();
        return;
    }
    head_ += n;
    if (head_ > bytes_.size() / 2) {
        bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(head_));
        head_ = 0;
    }
}

void SampleQueue::truncate(std::size_t n) {
    if (n < length()) bytes_.resize(head_ + n);
}

void SampleLanes::appendSample(std::int16_t sample) {
    const auto bits = static_cast<std::uint16_t>(sample);
    low.append(static_cast<std::uint8_t>(bits & 0xFF));
    high.append(static_cast<std::uint8_t>(bits >> 8));
}

void SampleLanes::appendSilence(std::size_t count) {
    low.appendRepeated(0, count);
    high.appendRepeated(0, count);
}

void SampleLanes::removeFirst(std::size_t count) {
    low.removeFirst(count);
    high.removeFirst(count);
}

void SampleLanes::truncate(std::size_t count) {
    low.truncate(count);
    high.truncate(count);
}

void SampleLanes::clear() {
    low.clear();
    high.clear();
}

}  // namespace orv
