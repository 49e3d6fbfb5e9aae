#pragma once

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "sound/wave_api.hpp"

namespace orv::test {

// A sound system driven by the test: capture buffers complete and playback buffers
// finish when the test says so, and any call can be made to fail with any code.
class ScriptedWaveApi final : public WaveApi {
public:
    enum class Call { Open, Prepare, Unprepare, AddBuffer, Write, Start, Reset, Close };
    static constexpr int kInvalidHandle = kWaveInvalidHandle;

    std::array<int, 2> devices{1, 1};               // capture, playback
    int failingName = -1;                           // capture device whose name query fails
    std::array<WaveFormat, 2> openedFormat{};
    std::array<int, 2> openedDevice{-1, -1};
    std::vector<std::string> calls;                 // "Prepare capture", "Write playback", …
    std::vector<WaveFormat> opens;                  // every format asked for, in order
    std::vector<std::uint8_t> played;               // bytes of the playback buffers finished, in order
    // Runs after each successful capture add, as a driver that fills buffers at once would.
    std::function<void(WaveHeader&)> afterAdd;

    // The next `times` calls of this kind fail with `code`.
    void failNext(WaveDirection dir, Call call, int code, int times = 1);
    // No call fails any more.
    void clearFailures() { failures_.clear(); }

    // Some handle of that direction is open (a card opens as often as it is asked, as the
    // systems' own do: each open is a stream of its own).
    bool isOpen(WaveDirection dir) const {
        for (const auto& [handle, d] : handles_)
            if (d == dir) return true;
        return false;
    }
    std::size_t queuedCaptureBuffers() const { return captureQueue_.size(); }
    std::size_t pendingPlaybackBuffers() const { return playQueue_.size(); }

    // Fills the oldest queued capture buffer with `bytes` (its whole length) and marks
    // it recorded; false when no buffer is queued.
    bool completeCapture(std::span<const std::uint8_t> bytes);
    // The same with every byte set to `fill`.
    bool completeCapture(std::uint8_t fill);
    // Plays the oldest written playback buffer: its bytes go to `played`, it is done.
    bool finishPlayback();
    // Number of calls of this kind made so far.
    int count(WaveDirection dir, Call call) const;

    int deviceCount(WaveDirection dir) override { return devices[side(dir)]; }
    int deviceName(WaveDirection dir, int index, std::string& name) override;
    int open(WaveDirection dir, Handle& handle, int device, const WaveFormat& format) override;
    int prepareHeader(WaveDirection dir, Handle handle, WaveHeader& header) override;
    int unprepareHeader(WaveDirection dir, Handle handle, WaveHeader& header) override;
    int addBuffer(Handle handle, WaveHeader& header) override;
    int write(Handle handle, WaveHeader& header) override;
    int start(Handle handle) override;
    int reset(WaveDirection dir, Handle handle) override;
    int close(WaveDirection dir, Handle handle) override;

private:
    static std::size_t side(WaveDirection dir) { return dir == WaveDirection::Capture ? 0 : 1; }
    // Logs the call and answers the scripted failure, or 0.
    int enter(WaveDirection dir, Call call);
    bool valid(WaveDirection dir, Handle handle) const {
        const auto it = handles_.find(handle);
        return it != handles_.end() && it->second == dir;
    }

    std::map<Handle, WaveDirection> handles_;
    Handle nextHandle_ = 1;
    std::map<std::pair<int, int>, std::deque<int>> failures_;
    std::map<std::pair<int, int>, int> counts_;
    std::deque<WaveHeader*> captureQueue_;
    std::deque<WaveHeader*> playQueue_;
};

}  // namespace orv::test
