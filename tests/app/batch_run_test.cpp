// Runs the program on generated recordings, as a user would from a terminal.
#include <chrono>
#include <fstream>
#include <regex>

#include "settings/config_record.hpp"
#include "support/program_run.hpp"

namespace orv::test {
namespace {

class BatchRun : public ProgramRun {
protected:
    // A tone on I and Q at `rate` for `seconds`, as 16-bit or another sample format.
    void writeRecording(const std::string& file, int rate, int channels, double seconds,
                        int format = SF_FORMAT_PCM_16) {
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = channels;
        info.format = SF_FORMAT_WAV | format;
        SNDFILE* out = sf_open(file.c_str(), SFM_WRITE, &info);
        ASSERT_NE(out, nullptr);
        const auto frames = static_cast<std::size_t>(seconds * rate);
        std::vector<short> samples(frames * static_cast<std::size_t>(channels));
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<short>(8000 * std::sin(0.01 * static_cast<double>(i)));
        sf_writef_short(out, samples.data(), static_cast<sf_count_t>(frames));
        sf_close(out);
    }
    int batch(const std::string& args) { return run("--headless --batch " + args); }
};

TEST_F(BatchRun, MovesAWholeRecordingThroughToTheSpeakerFileInWholeBuffers) {
    writeRecording(path("band.wav"), 48000, 2, 2.0);
    ASSERT_EQ(batch("--rx-file " + path("band.wav") + " --speaker-file " + path("out.wav")), 0) << err;
    SF_INFO info{};
    SNDFILE* in = sf_open(path("out.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(in, nullptr) << err;
    sf_close(in);
    EXPECT_EQ(info.samplerate, 12000);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
    // At the standard latency 6 a buffer holds 1800 samples: the two written at the open,
    // then whole buffers from the queue. Capture gives 13 whole buffers of 7200 frames, the
    // last 2400 frames padded to a buffer, then 400 ms of silence (19200 frames, two more
    // buffers) that drains the processing: 115200 frames, 56 blocks of 2048, 114687
    // regulated samples (one sample late), 28671 after decimation by 4: 27 audio blocks of
    // 1024; with 2.3 buffers of silence (4140) the queue receives 31788 samples, 17 whole
    // buffers. 19 in all.
    EXPECT_EQ(info.frames, 1800 * 19);
    EXPECT_EQ(info.frames, predictedSpeakerSamples(96000, 48000));
    EXPECT_NE(err.find("written to"), std::string::npos) << err;
}

TEST_F(BatchRun, AnOutputFileThatCannotBeWrittenStopsTheRunWithTheSystemsReason) {
    writeRecording(path("band.wav"), 48000, 2, 0.5);
    struct Case {
        std::string out;
        int status;
        std::string said;
    };
    const Case cases[] = {
        // Found before anything runs or is written: a bad path is a bad command line.
        {path("no-such-folder") + "/out.wav", 2, "No such file or directory"},
        {path("no-such-folder") + "/band.png", 2, "No such file or directory"},
        // Found while writing: a run-time failure.
        {"/dev/full", 1, "cannot write the output file '/dev/full'"},
    };
    for (const auto& c : cases) {
        fs::remove_all(path("settings"));
        const std::string option = c.out.ends_with(".png") ? " --waterfall " : " --speaker-file ";
        EXPECT_EQ(batch("--rx-file " + path("band.wav") + option + c.out), c.status) << c.out << ": " << err;
        EXPECT_NE(err.find(c.said), std::string::npos) << err;
        EXPECT_EQ(err.find("written to"), std::string::npos) << err;
        if (c.status == 2) {
            EXPECT_FALSE(fs::exists(path("settings"))) << c.out;
        }
    }
}

TEST_F(BatchRun, RefusesRecordingsItCannotReplayBeforeWritingAnything) {
    writeRecording(path("odd-rate.wav"), 22050, 2, 0.1);
    writeRecording(path("mono.wav"), 48000, 1, 0.1);
    writeRecording(path("float.wav"), 48000, 2, 0.1, SF_FORMAT_FLOAT);
    struct Case {
        std::string file;
        std::string says;
    };
    const Case cases[] = {{path("odd-rate.wav"), "is at 22050 samples/s"},
                          {path("mono.wav"), "is not 16-bit stereo"},
                          {path("float.wav"), "is not 16-bit"},
                          {path("missing.wav"), "cannot read the recording"}};
    for (const auto& c : cases) {
        EXPECT_EQ(batch("--rx-file " + c.file + " --speaker-file " + path("out.wav")), 2) << c.file;
        EXPECT_NE(err.find(c.says), std::string::npos) << err;
        EXPECT_FALSE(fs::exists(path("out.wav")));
        EXPECT_FALSE(fs::exists(path("settings")));
    }
}

// Real time: the recording is replayed at its own pace through the real-time clock.
TEST_F(BatchRun, ARealTimeRunOfARecordingTakesItsDuration) {
    writeRecording(path("short.wav"), 48000, 2, 0.6);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(run("--headless --rx-file " + path("short.wav") + " --speaker-file " + path("rt.wav")), 0) << err;
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(600));
    const Audio out = read(path("rt.wav"));
    EXPECT_EQ(out.samples.size() % 1800, 0u);
    EXPECT_GE(out.seconds(), 0.6);  // the recording's audio and the primed silence
}

// Looping, the run goes on past the end of the recording until it is stopped.
TEST_F(BatchRun, ALoopingRecordingPlaysUntilStopped) {
    writeRecording(path("short.wav"), 48000, 2, 0.2);
    ASSERT_EQ(run("--headless --rx-file " + path("short.wav") + " --rx-loop --speaker-file " + path("loop.wav"),
                  "timeout --preserve-status -s TERM 1.5 "),
              0)  // a stop by signal is a clean end
        << err;
    EXPECT_GT(read(path("loop.wav")).seconds(), 0.6);  // well past the 0.2 s recording
}

}  // namespace
}  // namespace orv::test

namespace orv::test {
namespace {

class SettingsRun : public ProgramRun {
protected:
    std::string settingsFile() {
        std::ifstream in(path("settings") + "/CONFORVL.SER", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

TEST_F(SettingsRun, ASettingChangedInOneRunIsThereInTheNext) {
    writeIq(path("band.wav"), 48000, 0.5, {{1000, 4000}});
    ASSERT_EQ(run("--headless --batch --rx-file " + path("band.wav") + " --mode lsb --bandwidth 2100 --offset -4000"), 0)
        << err;
    std::string first = settingsFile();
    ASSERT_EQ(first.size(), 35u);
    EXPECT_EQ(first[config::kMode], 2);
    EXPECT_EQ(first[config::kBandwidth], 21);
    EXPECT_EQ(first.substr(config::kOffsetHigh, 3), std::string("\x02\x92\x02", 3));  // 400 steps, negative
    // The second run names none of them: they come back from the file and are saved again.
    ASSERT_EQ(run("--headless --batch --rx-file " + path("band.wav")), 0) << err;
    EXPECT_EQ(settingsFile(), first);
    std::ifstream memory(path("settings") + "/SDR_QRG.TXT", std::ios::binary);
    const std::string memoryText{std::istreambuf_iterator<char>(memory), {}};
    EXPECT_EQ(memoryText.size(), 149u);
    for (const auto& entry : fs::directory_iterator(path("settings")))
        EXPECT_EQ(entry.path().extension(), entry.path().filename() == "SDR_QRG.TXT" ? ".TXT" : ".SER");
}

}  // namespace
}  // namespace orv::test

namespace orv::test {
namespace {

// Real time with a real card: the recording replaces the receive card, and the speaker
// audio goes to ALSA's null plugin through PortAudio, declared in a temporary .asoundrc.
TEST_F(BatchRun, ARecordingPlaysOnARealSpeakerCardInRealTime) {
    fs::create_directories(path("home"));
    std::ofstream(path("home") + "/.asoundrc") << "pcm.!default { type null }\npcm.orvnull { type null }\n";
    writeRecording(path("short.wav"), 48000, 2, 0.6);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(run("--headless --rx-file " + path("short.wav") + " --mode usb --offset 1000",
                  "HOME=" + path("home") + " timeout 20 "),
              0)
        << err;
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(600));
    EXPECT_EQ(err.find("Impossible working"), std::string::npos) << err;
    EXPECT_EQ(err.find("Error"), std::string::npos) << err;
}

}  // namespace
}  // namespace orv::test

namespace orv::test {
namespace {

// Ten minutes of a silent 48000 band, piped in, with one card's clock off by 200 ppm.
class ClockDriftRun : public ProgramRun {
protected:
    // The shell prefix that feeds the recording on standard input: a WAV header, zeros.
    std::string tenMinutesOfBand() {
        const std::uint32_t bytes = 600u * 48000u * 4u;
        const auto le32 = [](std::uint32_t v) {
            return std::string{char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24 & 0xFF)};
        };
        std::ofstream header(path("header.wav"), std::ios::binary);
        header << "RIFF" << le32(36 + bytes) << "WAVEfmt " << le32(16) << std::string("\x01\x00\x02\x00", 4)
               << le32(48000) << le32(48000 * 4) << std::string("\x04\x00\x10\x00", 4) << "data" << le32(bytes);
        return "(cat " + path("header.wav") + "; head -c " + std::to_string(bytes) + " /dev/zero) | ";
    }
    void storeFeRegulated(bool on) {
        fs::create_directories(path("settings"));
        ConfigRecord record = kStandardConfig;
        record[config::kFeRegulated] = on ? 2 : 1;
        std::ofstream(path("settings") + "/" + kConfigFileName, std::ios::binary)
            .write(reinterpret_cast<const char*>(record.data()), static_cast<std::streamsize>(record.size()));
    }
};

TEST_F(ClockDriftRun, TheQueueStaysInItsBandAndTheDriftIsMeasuredWithinAFewPpm) {
    struct Case {
        const char* clock;
        bool feRegulated;
        double drift;  // speaker card against receive card
    };
    for (const Case c : {Case{"--speaker-ppm 200", true, 200}, Case{"--speaker-ppm -200", true, -200},
                         Case{"--speaker-ppm 200", false, 200}, Case{"--speaker-ppm -200", false, -200},
                         Case{"--rx-ppm 200", true, -200}}) {
        SCOPED_TRACE(std::string(c.clock) + (c.feRegulated ? ", Fe_regulee on" : ", Fe_regulee off"));
        storeFeRegulated(c.feRegulated);
        ASSERT_EQ(run("--headless --batch --rx-file /dev/stdin --speaker-file " + path("out.wav") + " " + c.clock,
                      tenMinutesOfBand()),
                  0)
            << err;
        std::smatch m;
        const std::regex said(R"(Rate regulation: (\d+) speaker-queue corrections \((\d+) after the first 30 s\), )"
                              R"((\d+) capture restarts, drift ([-+]\d+\.\d) ppm, )"
                              R"(speaker queue at (\d+) % of a buffer)");
        ASSERT_TRUE(std::regex_search(err, m, said)) << err;
        // A single correction may come when the card's lead first crosses a capture burst.
        EXPECT_LE(std::stoi(m[2]), 1) << err;
        EXPECT_EQ(std::stoi(m[3]), 0) << err;
        EXPECT_NEAR(std::stod(m[4]), c.drift, 10) << err;
        // Within ±50 % of the 170 % target: no gross correction pending.
        EXPECT_GE(std::stoi(m[5]), 120) << err;
        EXPECT_LE(std::stoi(m[5]), 220) << err;
    }
}

}  // namespace
}  // namespace orv::test
