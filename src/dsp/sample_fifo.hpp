#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace orv {

// A first-in first-out queue of samples. Samples removed from the front are skipped by
// an offset and reclaimed only when they outweigh the live ones, so a queue drained a
// buffer at a time costs no move per removal and, once warm, no allocation.
template <typename T>
class SampleFifo {
public:
    std::size_t size() const { return items_.size() - head_; }
    bool empty() const { return size() == 0; }

    void append(T value) { items_.push_back(value); }
    void append(std::span<const T> values) { items_.insert(items_.end(), values.begin(), values.end()); }
    void appendRepeated(T value, std::size_t count) { items_.insert(items_.end(), count, value); }
    // Appends the 16-bit little-endian samples held in `bytes` (an odd last byte is left).
    void appendLittleEndian(std::span<const std::uint8_t> bytes) {
        const std::size_t count = bytes.size() / 2;
        const std::size_t at = items_.size();
        items_.resize(at + count);
        T* out = items_.data() + at;
        const std::uint8_t* in = bytes.data();
        for (std::size_t i = 0; i < count; ++i)
            out[i] = static_cast<T>(static_cast<std::uint16_t>(in[2 * i] | in[2 * i + 1] << 8));
    }
    // Puts `count` samples of `value` ahead of the oldest one.
    void prependRepeated(T value, std::size_t count) {
        items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(head_), count, value);
    }

    // The first n samples (fewer when the queue is shorter).
    std::span<const T> first(std::size_t n) const {
        return std::span<const T>(items_).subspan(head_, n < size() ? n : size());
    }
    std::span<const T> view() const { return first(size()); }
    T operator[](std::size_t i) const { return items_[head_ + i]; }

    // Removing more samples than the queue holds empties it.
    void removeFirst(std::size_t n) {
        head_ += n < size() ? n : size();
        if (head_ == items_.size()) {
            clear();
        } else if (head_ > items_.size() - head_) {
            items_.erase(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(head_));
            head_ = 0;
        }
    }
    // Keeps the first n samples, dropping the newest; a longer n changes nothing.
    void truncate(std::size_t n) {
        if (n < size()) items_.resize(head_ + n);
    }
    void clear() {
        items_.clear();
        head_ = 0;
    }

private:
    std::vector<T> items_;
    std::size_t head_ = 0;
};

}  // namespace orv
