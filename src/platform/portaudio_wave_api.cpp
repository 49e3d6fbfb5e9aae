#include "platform/portaudio_wave_api.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <portaudio.h>

// Linux: ALSA's own error printer and a POSIX redirection of standard error keep the
// host probes quiet. Elsewhere PortAudio starts as it is.
#if defined(__linux__)
#define ORVANDEL_QUIET_AUDIO_PROBES 1
#include <alsa/asoundlib.h>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace orv {

namespace {

int resultOf(PaError error) {
    switch (error) {
        case paNoError: return kWaveOk;
        case paInvalidDevice: return kWaveBadDevice;
        case paDeviceUnavailable: return kWaveAllocated;
        case paInsufficientMemory: return kWaveNoMemory;
        case paInvalidChannelCount:
        case paInvalidSampleRate:
        case paSampleFormatNotSupported: return kWaveBadFormat;
        default: return kWaveError;
    }
}

std::size_t side(WaveDirection dir) { return dir == WaveDirection::Capture ? 0 : 1; }

#if ORVANDEL_QUIET_AUDIO_PROBES
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

// PortAudio's start-up probes every host interface, and some (JACK without a server)
// write to standard error. Nothing it says there is of use to the user.
PaError initialiseQuietly() {
    setenv("JACK_NO_START_SERVER", "1", 0);
    snd_lib_error_set_handler(quietAlsa);
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int devNull = ::open("/dev/null", O_WRONLY);
    if (saved >= 0 && devNull >= 0) dup2(devNull, STDERR_FILENO);
    const PaError error = Pa_Initialize();
    if (saved >= 0) {
        dup2(saved, STDERR_FILENO);
        ::close(saved);
    }
    if (devNull >= 0) ::close(devNull);
    return error;
}
#else
PaError initialiseQuietly() { return Pa_Initialize(); }
#endif

}  // namespace

bool PortAudioWaveApi::BufferQueue::push(WaveHeader* header) {
    const std::size_t tail = tail_.load(std::memory_order_relaxed);
    if (tail - head_.load(std::memory_order_acquire) >= kCapacity) return false;
    slots_[tail % kCapacity].store(header, std::memory_order_relaxed);
    tail_.store(tail + 1, std::memory_order_release);
    return true;
}

WaveHeader* PortAudioWaveApi::BufferQueue::front() const {
    const std::size_t head = head_.load(std::memory_order_relaxed);
    if (head == tail_.load(std::memory_order_acquire)) return nullptr;
    return slots_[head % kCapacity].load(std::memory_order_relaxed);
}

void PortAudioWaveApi::BufferQueue::pop() { head_.fetch_add(1, std::memory_order_release); }

void PortAudioWaveApi::BufferQueue::clear(std::vector<WaveHeader*>& returned) {
    // Only called while the driver thread is stopped.
    while (WaveHeader* header = front()) {
        returned.push_back(header);
        pop();
    }
}

struct PortAudioWaveApi::Stream {
    WaveDirection dir;
    PaStream* pa = nullptr;
    std::size_t frameBytes = 0;
    bool running = false;
    BufferQueue queue;
    std::size_t offset = 0;  // bytes of the front buffer done so far (driver thread only)

    static int callback(const void* input, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags, void* self) {
        auto& s = *static_cast<Stream*>(self);
        const std::size_t bytes = frames * s.frameBytes;
        if (s.dir == WaveDirection::Capture)
            s.capture(static_cast<const std::uint8_t*>(input), bytes);
        else
            s.play(static_cast<std::uint8_t*>(output), bytes);
        return paContinue;
    }

    void capture(const std::uint8_t* input, std::size_t bytes) {
        while (bytes > 0) {
            WaveHeader* header = queue.front();
            if (!header) return;  // nothing queued: the input is dropped, as by a card
            const std::size_t n = std::min(bytes, header->data.size() - offset);
            if (input)
                std::memcpy(header->data.data() + offset, input, n);
            else
                std::memset(header->data.data() + offset, 0, n);
            if (input) input += n;
            bytes -= n;
            offset += n;
            if (offset == header->data.size()) {
                offset = 0;
                queue.pop();
                header->flags.fetch_or(kWaveHeaderDone, std::memory_order_relaxed);
                header->bytesRecorded.store(static_cast<std::uint32_t>(header->data.size()), std::memory_order_release);
            }
        }
    }

    void play(std::uint8_t* output, std::size_t bytes) {
        while (bytes > 0) {
            WaveHeader* header = queue.front();
            if (!header) {
                std::memset(output, 0, bytes);  // underrun: silence
                return;
            }
            const std::size_t n = std::min(bytes, header->data.size() - offset);
            std::memcpy(output, header->data.data() + offset, n);
            output += n;
            bytes -= n;
            offset += n;
            if (offset == header->data.size()) {
                offset = 0;
                queue.pop();
                header->flags.fetch_or(kWaveHeaderDone, std::memory_order_release);
            }
        }
    }

    // Stops the driver thread and hands every queued buffer back, marked done.
    void stop() {
        if (running) Pa_AbortStream(pa);
        running = false;
        std::vector<WaveHeader*> returned;
        queue.clear(returned);
        for (WaveHeader* header : returned) header->flags.fetch_or(kWaveHeaderDone, std::memory_order_release);
        offset = 0;
    }
};

PortAudioWaveApi::PortAudioWaveApi() {
    initialised_ = initialiseQuietly() == paNoError;
    if (!initialised_) return;
    // The system's default device comes first: the "default card" of the menus opens
    // device 0, and on this platform that should be the device the desktop uses.
    const PaDeviceIndex defaults[2] = {Pa_GetDefaultInputDevice(), Pa_GetDefaultOutputDevice()};
    for (std::size_t side = 0; side < 2; ++side)
        if (defaults[side] != paNoDevice) devices_[side].push_back(defaults[side]);
    const int count = Pa_GetDeviceCount();
    for (int i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (!info) continue;
        if (info->maxInputChannels > 0 && i != defaults[0]) devices_[0].push_back(i);
        if (info->maxOutputChannels > 0 && i != defaults[1]) devices_[1].push_back(i);
    }
}

PortAudioWaveApi::~PortAudioWaveApi() {
    for (auto& [handle, stream] : streams_) {
        stream->stop();
        Pa_CloseStream(stream->pa);
    }
    streams_.clear();
    if (initialised_) Pa_Terminate();
}

int PortAudioWaveApi::deviceCount(WaveDirection dir) { return static_cast<int>(devices_[side(dir)].size()); }

int PortAudioWaveApi::deviceName(WaveDirection dir, int index, std::string& name) {
    if (index < 0 || index >= deviceCount(dir)) return kWaveBadDevice;
    const PaDeviceInfo* info = Pa_GetDeviceInfo(devices_[side(dir)][static_cast<std::size_t>(index)]);
    if (!info || !info->name) return kWaveError;
    name = info->name;
    return kWaveOk;
}

PortAudioWaveApi::Stream* PortAudioWaveApi::find(WaveDirection dir, Handle handle) {
    const auto it = streams_.find(handle);
    return it == streams_.end() || it->second->dir != dir ? nullptr : it->second.get();
}

int PortAudioWaveApi::open(WaveDirection dir, Handle& handle, int device, const WaveFormat& format) {
    if (device < 0 || device >= deviceCount(dir)) return kWaveBadDevice;
    if (format.bitsPerSample != 16 && format.bitsPerSample != 8) return kWaveBadFormat;
    const PaDeviceIndex index = devices_[side(dir)][static_cast<std::size_t>(device)];
    const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
    PaStreamParameters params{};
    params.device = index;
    params.channelCount = format.channels;
    params.sampleFormat = format.bitsPerSample == 16 ? paInt16 : paUInt8;
    params.suggestedLatency = dir == WaveDirection::Capture ? info->defaultLowInputLatency : info->defaultLowOutputLatency;
    const PaStreamParameters* in = dir == WaveDirection::Capture ? &params : nullptr;
    const PaStreamParameters* out = dir == WaveDirection::Playback ? &params : nullptr;
    if (const PaError check = Pa_IsFormatSupported(in, out, format.samplesPerSecond); check != paFormatIsSupported)
        return resultOf(check);

    auto stream = std::make_unique<Stream>();
    stream->dir = dir;
    stream->frameBytes = static_cast<std::size_t>(format.blockAlign());
    const PaError error = Pa_OpenStream(&stream->pa, in, out, format.samplesPerSecond, paFramesPerBufferUnspecified,
                                        paNoFlag, &Stream::callback, stream.get());
    if (error != paNoError) return resultOf(error);
    // Playback runs from the open, playing silence until the first buffer arrives.
    if (dir == WaveDirection::Playback) {
        if (const PaError started = Pa_StartStream(stream->pa); started != paNoError) {
            Pa_CloseStream(stream->pa);
            return resultOf(started);
        }
        stream->running = true;
    }
    handle = nextHandle_++;
    streams_[handle] = std::move(stream);
    return kWaveOk;
}

int PortAudioWaveApi::prepareHeader(WaveDirection dir, Handle handle, WaveHeader& header) {
    if (!find(dir, handle)) return kWaveInvalidHandle;
    header.flags.fetch_or(kWaveHeaderPrepared);
    return kWaveOk;
}

int PortAudioWaveApi::unprepareHeader(WaveDirection dir, Handle handle, WaveHeader& header) {
    if (!find(dir, handle)) return kWaveInvalidHandle;
    header.flags.fetch_and(~kWaveHeaderPrepared);
    return kWaveOk;
}

int PortAudioWaveApi::addBuffer(Handle handle, WaveHeader& header) {
    Stream* stream = find(WaveDirection::Capture, handle);
    if (!stream) return kWaveInvalidHandle;
    if (header.data.empty() || header.data.size() % stream->frameBytes != 0) return kWaveError;
    header.bytesRecorded.store(0, std::memory_order_relaxed);
    header.flags.fetch_and(~kWaveHeaderDone);
    return stream->queue.push(&header) ? kWaveOk : kWaveError;
}

int PortAudioWaveApi::write(Handle handle, WaveHeader& header) {
    Stream* stream = find(WaveDirection::Playback, handle);
    if (!stream) return kWaveInvalidHandle;
    if (header.data.empty()) return kWaveError;
    header.flags.fetch_and(~kWaveHeaderDone);
    if (!stream->queue.push(&header)) {
        header.flags.fetch_or(kWaveHeaderDone);
        return kWaveError;
    }
    if (!stream->running) {
        if (const PaError error = Pa_StartStream(stream->pa); error != paNoError) return resultOf(error);
        stream->running = true;
    }
    return kWaveOk;
}

int PortAudioWaveApi::start(Handle handle) {
    Stream* stream = find(WaveDirection::Capture, handle);
    if (!stream) return kWaveInvalidHandle;
    if (stream->running) return kWaveOk;
    if (const PaError error = Pa_StartStream(stream->pa); error != paNoError) return resultOf(error);
    stream->running = true;
    return kWaveOk;
}

int PortAudioWaveApi::reset(WaveDirection dir, Handle handle) {
    Stream* stream = find(dir, handle);
    if (!stream) return kWaveInvalidHandle;
    stream->stop();
    return kWaveOk;
}

int PortAudioWaveApi::close(WaveDirection dir, Handle handle) {
    Stream* stream = find(dir, handle);
    if (!stream) return kWaveInvalidHandle;
    stream->stop();
    const PaError error = Pa_CloseStream(stream->pa);
    streams_.erase(handle);
    return resultOf(error);
}

}  // namespace orv
