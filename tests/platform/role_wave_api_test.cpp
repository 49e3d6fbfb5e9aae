#include "platform/role_wave_api.hpp"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <filesystem>

#include "ui/clock.hpp"
#include "support/scripted_wave_api.hpp"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

// Files standing in for roles, next to scripted cards.
struct RoleFixture : testing::Test {
    fs::path dir = fs::temp_directory_path() / ("orvandel-roles-" + std::to_string(::getpid()) + "-" +
                                                testing::UnitTest::GetInstance()->current_test_info()->name());
    VirtualClock clock;
    ScriptedWaveApi cards;

    RoleFixture() { fs::create_directories(dir); }
    ~RoleFixture() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    // Stereo frames numbered 1, 2, 3 … on the left channel, minus that on the right.
    Recording writeIq(const char* name, int rate, int frames) {
        const std::string path = (dir / name).string();
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = 2;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* out = sf_open(path.c_str(), SFM_WRITE, &info);
        std::vector<short> samples;
        for (int i = 1; i <= frames; ++i) {
            samples.push_back(static_cast<short>(i));
            samples.push_back(static_cast<short>(-i));
        }
        sf_writef_short(out, samples.data(), frames);
        sf_close(out);
        Bilingual error;
        Recording r = Recording::openReceiver(path, error);
        EXPECT_EQ(error.english, "");
        return r;
    }
};

TEST_F(RoleFixture, EachOpenGoesToItsRolesFileOrToTheCards) {
    FileWaveApi rx(clock, writeIq("rx.wav", 48000, 4800), "");
    FileWaveApi speaker(clock, std::nullopt, (dir / "speaker.wav").string());
    RoleWaveApi wave(cards, {&rx, nullptr, &speaker, nullptr});
    cards.devices = {0, 2};
    EXPECT_EQ(wave.deviceCount(WaveDirection::Capture), 1);  // the recording stands in for a card
    EXPECT_EQ(wave.deviceCount(WaveDirection::Playback), 2);

    WaveApi::Handle rxHandle = -1, micHandle = -1, speakerHandle = -1, txHandle = -1;
    EXPECT_EQ(wave.open(WaveDirection::Capture, rxHandle, 5, WaveFormat{2, 48000, 16}), kWaveOk);
    EXPECT_NE(wave.open(WaveDirection::Capture, micHandle, 0, WaveFormat{1, 12000, 16}), kWaveOk);  // no card
    EXPECT_EQ(wave.open(WaveDirection::Playback, speakerHandle, 1, WaveFormat{1, 12000, 16}), kWaveOk);
    EXPECT_EQ(wave.open(WaveDirection::Playback, txHandle, 1, WaveFormat{2, 48000, 16}), kWaveOk);
    EXPECT_FALSE(cards.isOpen(WaveDirection::Capture));
    EXPECT_TRUE(cards.isOpen(WaveDirection::Playback));  // the TX role kept its card
    EXPECT_EQ(cards.openedDevice[1], 1);
    EXPECT_EQ(wave.close(WaveDirection::Playback, txHandle), kWaveOk);
    EXPECT_FALSE(cards.isOpen(WaveDirection::Playback));
    EXPECT_EQ(wave.close(WaveDirection::Playback, txHandle), 5);
}

TEST_F(RoleFixture, ARecordingOpensOnlyAtItsOwnFormat) {
    FileWaveApi rx(clock, writeIq("rx.wav", 48000, 4800), "");
    WaveApi::Handle h = -1;
    EXPECT_EQ(rx.open(WaveDirection::Capture, h, 0, WaveFormat{2, 44100, 16}), 32);
    EXPECT_EQ(rx.open(WaveDirection::Capture, h, 0, WaveFormat{1, 48000, 16}), 32);
    EXPECT_EQ(rx.open(WaveDirection::Capture, h, 0, WaveFormat{2, 48000, 16}), kWaveOk);
}

TEST_F(RoleFixture, CaptureBuffersCompleteAsTheClockPassesTheirDurationAndInOrder) {
    FileWaveApi rx(clock, writeIq("rx.wav", 48000, 4800), "");  // 100 ms: two buffers of 50 ms
    WaveApi::Handle h = -1;
    ASSERT_EQ(rx.open(WaveDirection::Capture, h, 0, WaveFormat{2, 48000, 16}), kWaveOk);
    WaveHeader a(2400 * 4), b(2400 * 4);
    rx.addBuffer(h, a);
    rx.addBuffer(h, b);
    rx.start(h);
    clock.advance(49);
    rx.pump();
    EXPECT_EQ(a.bytesRecorded.load(), 0u);
    clock.advance(1);
    rx.pump();
    EXPECT_EQ(a.bytesRecorded.load(), a.data.size());
    EXPECT_EQ(b.bytesRecorded.load(), 0u);
    EXPECT_EQ(a.data[0], 1);        // left of frame 1, little-endian
    EXPECT_EQ(a.data[2], 0xFF);     // right of frame 1: -1
    clock.advance(50);
    rx.pump();
    EXPECT_EQ(b.bytesRecorded.load(), b.data.size());
    EXPECT_EQ(b.data[0], static_cast<std::uint8_t>(2401 & 0xFF));
    rx.addBuffer(h, a);
    clock.advance(50);
    rx.pump();
    EXPECT_TRUE(rx.recordingEnded());
    EXPECT_EQ(a.bytesRecorded.load(), 0u);  // no whole buffer left
}

TEST_F(RoleFixture, ALoopingRecordingJoinsItsEndToItsStart) {
    FileWaveApi rx(clock, writeIq("rx.wav", 48000, 3000), "", true);
    WaveApi::Handle h = -1;
    ASSERT_EQ(rx.open(WaveDirection::Capture, h, 0, WaveFormat{2, 48000, 16}), kWaveOk);
    WaveHeader a(2400 * 4), b(2400 * 4);
    rx.addBuffer(h, a);
    rx.addBuffer(h, b);
    rx.start(h);
    clock.advance(100);
    rx.pump();
    ASSERT_EQ(b.bytesRecorded.load(), b.data.size());
    EXPECT_FALSE(rx.recordingEnded());
    // Frame 2401 … 3000, then 1, 2, …
    EXPECT_EQ(b.data[599 * 4], static_cast<std::uint8_t>(3000 & 0xFF));
    EXPECT_EQ(b.data[600 * 4], 1);
}

TEST_F(RoleFixture, PlaybackWritesEachBufferWhenItHasPlayedAndMarksItDone) {
    const std::string path = (dir / "out.wav").string();
    {
        FileWaveApi speaker(clock, std::nullopt, path);
        WaveApi::Handle h = -1;
        ASSERT_EQ(speaker.open(WaveDirection::Playback, h, 0, WaveFormat{1, 12000, 16}), kWaveOk);
        WaveHeader a(1200), b(1200);  // 50 ms each
        a.data[0] = 0x34;
        a.data[1] = 0x12;
        speaker.prepareHeader(WaveDirection::Playback, h, a);
        speaker.prepareHeader(WaveDirection::Playback, h, b);
        speaker.write(h, a);
        speaker.write(h, b);
        clock.advance(50);
        speaker.pump();
        EXPECT_TRUE(a.flags.load() & kWaveHeaderDone);
        EXPECT_FALSE(b.flags.load() & kWaveHeaderDone);
        EXPECT_EQ(speaker.framesWritten(), 600);
        clock.advance(50);
        speaker.pump();
        EXPECT_TRUE(speaker.playbackIdle());
    }
    SF_INFO info{};
    SNDFILE* in = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(in, nullptr);
    short first = 0;
    sf_readf_short(in, &first, 1);
    sf_close(in);
    EXPECT_EQ(info.frames, 1200);
    EXPECT_EQ(first, 0x1234);
}

}  // namespace
}  // namespace orv::test
