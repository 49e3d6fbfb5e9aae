#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace orv {

// A growable byte string used as a first-in first-out queue. Bytes removed from the
// front are skipped by an offset and reclaimed when they outweigh the live bytes, so a
// queue drained a buffer at a time costs no memmove per removal.
class SampleQueue {
public:
    std::size_t length() const { return bytes_.size() - head_; }
    bool empty() const { return length() == 0; }

    void append(std::uint8_t byte) { bytes_.push_back(byte); }
    void append(std::span<const std::uint8_t> bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }
    void append(const SampleQueue& other) { append(other.view()); }
    void appendRepeated(std::uint8_t byte, std::size_t count) { bytes_.insert(bytes_.end(), count, byte); }
    void prepend(std::span<const std::uint8_t> bytes);

    // The first n bytes (fewer when the queue is shorter).
    std::span<const std::uint8_t> first(std::size_t n) const;
    std::span<const std::uint8_t> view() const { return first(length()); }
    std::uint8_t operator[](std::size_t i) const { return bytes_[head_ + i]; }

    // Deleting more bytes than the queue holds empties it.
    void removeFirst(std::size_t n);
    // Truncates to n bytes, dropping the newest; a longer n leaves the queue as it is.
    void truncate(std::size_t n);
    void clear() { bytes_.clear(); head_ = 0; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t head_ = 0;
};

// A 16-bit stream stored as two byte lanes: sample i is low[i] | high[i] << 8.
// Producers and consumers go through these helpers so the lanes never differ in length.
struct SampleLanes {
    SampleQueue low;
    SampleQueue high;

    std::size_t samples() const { return high.length(); }
    void appendSample(std::int16_t sample);
    void appendSilence(std::size_t count);
    void removeFirst(std::size_t count);
    void truncate(std::size_t count);
    void clear();
};

}  // namespace orv

namespace orv {

// A 16-bit stereo stream (left = I, right = Q) as four byte lanes; frame i is sample i
// of both channels.
struct StereoLanes {
    SampleLanes left;
    SampleLanes right;

    std::size_t frames() const { return left.samples(); }
    void appendSilence(std::size_t count) {
        left.appendSilence(count);
        right.appendSilence(count);
    }
    void removeFirst(std::size_t count) {
        left.removeFirst(count);
        right.removeFirst(count);
    }
    void clear() {
        left.clear();
        right.clear();
    }
};

}  // namespace orv
