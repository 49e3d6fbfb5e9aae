#pragma once

#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sound/wave_api.hpp"

namespace orv {

// Real sound cards through PortAudio. Each open device runs PortAudio's callback on its
// driver thread, which does what a sound driver does with queued buffers: capture fills
// them in order and publishes bytesRecorded when one is full, playback drains them in
// order and sets the done flag; with nothing queued, capture input is dropped and
// playback outputs silence. Only atomics cross between the threads, so the station's
// thread never waits for the driver.
class PortAudioWaveApi final : public WaveApi {
public:
    PortAudioWaveApi();
    ~PortAudioWaveApi() override;
    PortAudioWaveApi(const PortAudioWaveApi&) = delete;
    PortAudioWaveApi& operator=(const PortAudioWaveApi&) = delete;

    // False when PortAudio could not start (then there are no devices).
    bool initialised() const { return initialised_; }

    int deviceCount(WaveDirection dir) override;
    int deviceName(WaveDirection dir, int index, std::string& name) override;
    int open(WaveDirection dir, Handle& handle, int device, const WaveFormat& format) override;
    int prepareHeader(WaveDirection dir, Handle handle, WaveHeader& header) override;
    int unprepareHeader(WaveDirection dir, Handle handle, WaveHeader& header) override;
    int addBuffer(Handle handle, WaveHeader& header) override;
    int write(Handle handle, WaveHeader& header) override;
    int start(Handle handle) override;
    int reset(WaveDirection dir, Handle handle) override;
    int close(WaveDirection dir, Handle handle) override;

    // Buffers queued at one device: the station pushes, the driver thread pops.
    class BufferQueue {
    public:
        bool push(WaveHeader* header);
        WaveHeader* front() const;
        void pop();
        void clear(std::vector<WaveHeader*>& returned);

    private:
        static constexpr std::size_t kCapacity = 8;
        std::array<std::atomic<WaveHeader*>, kCapacity> slots_{};
        std::atomic<std::size_t> head_{0};  // next to pop (driver)
        std::atomic<std::size_t> tail_{0};  // next to push (station)
    };

    struct Stream;

private:
    Stream* find(WaveDirection dir, Handle handle);

    bool initialised_ = false;
    std::array<std::vector<int>, 2> devices_;  // PortAudio device index of each capture / playback device
    std::map<Handle, std::unique_ptr<Stream>> streams_;
    Handle nextHandle_ = 1;
};

}  // namespace orv
