// The PortAudio devices for real, on ALSA's null and file plugins declared in a
// temporary .asoundrc. These plugins are not paced by a clock: they run as fast as the
// stream asks, so the tests check order and hand-over, not timing, and bound how long
// they run and how much the file plugin writes.
#include "platform/portaudio_wave_api.hpp"

#include <gtest/gtest.h>
#include <portaudio.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

namespace orv {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kFrames = 1024;        // frames per buffer
constexpr std::size_t kBufferBytes = kFrames * 4;
constexpr std::uint32_t kInputFrames = 1u << 22;  // 16 MB of numbered frames to capture from

// Frame i carries i + 1 as a 32-bit little-endian value over its two 16-bit samples:
// never zero, so silence is easy to tell apart.
std::uint32_t frameAt(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

int threadCount() {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/task")) ++n;
    return n;
}

class PortAudioDevices : public testing::Test {
protected:
    static void SetUpTestSuite() {
        home_ = fs::temp_directory_path() / ("orvandel-alsa-" + std::to_string(::getpid()));
        fs::create_directories(home_);
        std::ofstream(home_ / ".asoundrc") << "pcm.orvnull { type null }\n"
                                              "pcm.orvfile {\n  type file\n  slave.pcm \"orvnull\"\n"
                                              "  file \"" << (home_ / "out.raw").string() << "\"\n"
                                              "  infile \"" << (home_ / "in.raw").string() << "\"\n"
                                              "  format \"raw\"\n}\n";
        std::ofstream in(home_ / "in.raw", std::ios::binary);
        std::vector<std::uint32_t> frames(kInputFrames);
        for (std::uint32_t i = 0; i < kInputFrames; ++i) frames[i] = i + 1;
        in.write(reinterpret_cast<const char*>(frames.data()), static_cast<std::streamsize>(frames.size() * 4));
        // ALSA reads the user's configuration from HOME when it is first used.
        setenv("HOME", home_.c_str(), 1);
    }
    static void TearDownTestSuite() {
        std::error_code ec;
        fs::remove_all(home_, ec);
    }

    // The index among `dir` devices of the PCM with this name.
    static int deviceNamed(PortAudioWaveApi& api, WaveDirection dir, const std::string& wanted) {
        for (int i = 0; i < api.deviceCount(dir); ++i) {
            std::string name;
            if (api.deviceName(dir, i, name) == kWaveOk && name == wanted) return i;
        }
        return -1;
    }

    static inline fs::path home_;
};

TEST_F(PortAudioDevices, EnumerationFindsThePluginsBothWays) {
    PortAudioWaveApi api;
    ASSERT_TRUE(api.initialised());
    for (const auto dir : {WaveDirection::Capture, WaveDirection::Playback}) {
        EXPECT_GE(deviceNamed(api, dir, "orvnull"), 0);
        EXPECT_GE(deviceNamed(api, dir, "orvfile"), 0);
    }
    std::string name;
    EXPECT_NE(api.deviceName(WaveDirection::Capture, api.deviceCount(WaveDirection::Capture), name), kWaveOk);
    // The system's default device is device 0, which the menus' default card opens.
    for (const auto& [dir, device] : {std::pair{WaveDirection::Capture, Pa_GetDefaultInputDevice()},
                                      std::pair{WaveDirection::Playback, Pa_GetDefaultOutputDevice()}}) {
        if (device == paNoDevice) continue;
        ASSERT_EQ(api.deviceName(dir, 0, name), kWaveOk);
        EXPECT_EQ(name, Pa_GetDeviceInfo(device)->name);
    }
    WaveApi::Handle handle = -1;
    EXPECT_EQ(api.open(WaveDirection::Capture, handle, 99, WaveFormat{2, 48000, 16}), 2);
    EXPECT_EQ(api.prepareHeader(WaveDirection::Capture, 12345, *std::make_unique<WaveHeader>(4)), 5);
}

TEST_F(PortAudioDevices, CaptureBuffersCompleteInTurnWithTheBytesInOrder) {
    const int threadsBefore = threadCount();
    {
        PortAudioWaveApi api;
        const int device = deviceNamed(api, WaveDirection::Capture, "orvfile");
        ASSERT_GE(device, 0);
        WaveApi::Handle h = -1;
        ASSERT_EQ(api.open(WaveDirection::Capture, h, device, WaveFormat{2, 48000, 16}), kWaveOk);
        WaveHeader buffers[2]{WaveHeader(kBufferBytes), WaveHeader(kBufferBytes)};
        for (auto& b : buffers) ASSERT_EQ(api.prepareHeader(WaveDirection::Capture, h, b), kWaveOk);
        for (auto& b : buffers) ASSERT_EQ(api.addBuffer(h, b), kWaveOk);
        ASSERT_EQ(api.start(h), kWaveOk);

        // Poll like the main cycle: take buffer k when full, check it, queue it again.
        int next = 0;
        int completed = 0;
        std::uint32_t last = 0;
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (completed < 12 && Clock::now() < deadline) {
            WaveHeader& b = buffers[next];
            if (b.bytesRecorded.load(std::memory_order_acquire) != kBufferBytes) {
                ASSERT_NE(buffers[1 - next].bytesRecorded.load(), kBufferBytes) << "buffers completed out of turn";
                std::this_thread::yield();
                continue;
            }
            // Within a buffer the frames are consecutive; across buffers they only move
            // forward (input arriving while no buffer is queued is dropped).
            const std::uint32_t first = frameAt(b.data.data());
            // The unpaced plugin may read past the end of the input file while buffers
            // are being handed back; what it delivers from there on is not ours to check.
            if (first + kFrames > kInputFrames) break;
            ASSERT_GT(first, last);
            for (std::size_t i = 1; i < kFrames; ++i) ASSERT_EQ(frameAt(b.data.data() + 4 * i), first + i);
            last = first + kFrames - 1;
            ++completed;
            ASSERT_EQ(api.addBuffer(h, b), kWaveOk);
            next = 1 - next;
        }
        EXPECT_GE(completed, 4);
        EXPECT_EQ(api.reset(WaveDirection::Capture, h), kWaveOk);
        for (auto& b : buffers) EXPECT_TRUE(b.flags.load() & kWaveHeaderDone);
        for (auto& b : buffers) EXPECT_EQ(api.unprepareHeader(WaveDirection::Capture, h, b), kWaveOk);
        EXPECT_EQ(api.close(WaveDirection::Capture, h), kWaveOk);
        EXPECT_EQ(api.close(WaveDirection::Capture, h), 5);
    }
    EXPECT_EQ(threadCount(), threadsBefore);
}

TEST_F(PortAudioDevices, PlaybackPlaysWrittenBuffersInOrderWithSilenceOnUnderrun) {
    fs::remove(home_ / "out.raw");
    const int threadsBefore = threadCount();
    std::uint32_t nextFrame = 1;
    constexpr int kWrites = 8;
    {
        PortAudioWaveApi api;
        const int device = deviceNamed(api, WaveDirection::Playback, "orvfile");
        ASSERT_GE(device, 0);
        WaveApi::Handle h = -1;
        ASSERT_EQ(api.open(WaveDirection::Playback, h, device, WaveFormat{2, 48000, 16}), kWaveOk);
        WaveHeader buffers[2]{WaveHeader(kBufferBytes), WaveHeader(kBufferBytes)};
        for (auto& b : buffers) ASSERT_EQ(api.prepareHeader(WaveDirection::Playback, h, b), kWaveOk);
        const auto fill = [&](WaveHeader& b) {
            for (std::size_t i = 0; i < kFrames; ++i, ++nextFrame) std::memcpy(b.data.data() + 4 * i, &nextFrame, 4);
        };
        int written = 0;
        for (auto& b : buffers) {
            fill(b);
            ASSERT_EQ(api.write(h, b), kWaveOk);
            ++written;
        }
        int next = 0;
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (written < kWrites && Clock::now() < deadline) {
            WaveHeader& b = buffers[next];
            if (!(b.flags.load(std::memory_order_acquire) & kWaveHeaderDone)) {
                std::this_thread::yield();
                continue;
            }
            fill(b);
            ASSERT_EQ(api.write(h, b), kWaveOk);
            ++written;
            next = 1 - next;
        }
        ASSERT_EQ(written, kWrites);
        while (!(buffers[next].flags.load() & kWaveHeaderDone) && Clock::now() < deadline) std::this_thread::yield();
        // "Done" means handed to the driver; let its own buffer reach the file before
        // the reset discards what it still holds, as a reset on a card would.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(api.reset(WaveDirection::Playback, h), kWaveOk);
        EXPECT_EQ(api.close(WaveDirection::Playback, h), kWaveOk);
    }
    EXPECT_EQ(threadCount(), threadsBefore);

    // The file holds every written frame once, in order, with only silence between.
    std::ifstream out(home_ / "out.raw", std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(out)), {});
    ASSERT_LT(bytes.size(), 512u << 20);
    std::uint32_t expected = 1;
    for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4) {
        const std::uint32_t frame = frameAt(bytes.data() + at);
        if (frame == 0) continue;
        ASSERT_EQ(frame, expected) << "at byte " << at;
        ++expected;
    }
    EXPECT_EQ(expected, nextFrame);
}

}  // namespace
}  // namespace orv
