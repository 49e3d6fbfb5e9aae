#pragma once

#include <cstdint>
#include <deque>
#include <optional>

namespace orv {

// The rate a sound card really runs at: the slope of the frames it has moved against the
// times its buffers were seen complete, fitted over the last ten minutes. Each sighting
// is late by up to one poll, which a long fit averages out: over ten minutes a 10 ms poll
// leaves a part per million or two.
class ClockFit {
public:
    static constexpr double kWindowSeconds = 600;
    static constexpr double kMinSeconds = 60;      // a minute before saying anything
    static constexpr double kMinSpacing = 0.05;    // keeps at most 20 points a second

    // `frames` more moved by the sighting at `seconds`.
    void add(double seconds, std::int64_t frames) {
        total_ += frames;
        if (!points_.empty() && seconds - points_.back().t < kMinSpacing) return;
        points_.push_back({seconds, static_cast<double>(total_)});
        while (points_.back().t - points_.front().t > kWindowSeconds) points_.pop_front();
    }
    void clear() {
        points_.clear();
        total_ = 0;
    }
    // Frames per second.
    std::optional<double> rate() const {
        if (points_.size() < 3 || points_.back().t - points_.front().t < kMinSeconds) return std::nullopt;
        // Centred on the first point so the sums stay small over hours.
        const Point o = points_.front();
        double st = 0, sy = 0;
        for (const auto& p : points_) {
            st += p.t - o.t;
            sy += p.y - o.y;
        }
        const double n = static_cast<double>(points_.size());
        const double mt = st / n, my = sy / n;
        double num = 0, den = 0;
        for (const auto& p : points_) {
            const double dt = p.t - o.t - mt;
            num += dt * (p.y - o.y - my);
            den += dt * dt;
        }
        return num / den;
    }

private:
    struct Point {
        double t;
        double y;
    };
    std::deque<Point> points_;
    std::int64_t total_ = 0;
};

}  // namespace orv
