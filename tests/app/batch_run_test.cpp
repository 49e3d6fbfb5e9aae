// Runs the program on generated recordings, as a user would from a terminal.
#include <gtest/gtest.h>

#include <sndfile.h>
#include <sys/wait.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct BatchRun : testing::Test {
    fs::path dir = fs::temp_directory_path() / ("orvandel-batch-" + std::to_string(::getpid()) + "-" +
                                                testing::UnitTest::GetInstance()->current_test_info()->name());
    BatchRun() { fs::create_directories(dir); }
    ~BatchRun() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    std::string path(const char* name) const { return (dir / name).string(); }

    // A tone on I and Q at `rate` for `seconds`.
    void writeRecording(const std::string& file, int rate, int channels, double seconds, int format = SF_FORMAT_PCM_16) {
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

    // Runs orvandel with the arguments; its standard error lands in `err`.
    int run(const std::string& args) {
        const std::string command = std::string(ORVANDEL_EXE) + " --headless --batch --dir " + path("settings") + " " +
                                    args + " 2>" + path("err.txt");
        const int status = std::system(command.c_str());
        std::FILE* f = std::fopen(path("err.txt").c_str(), "r");
        err.clear();
        if (f) {
            char buffer[4096];
            const auto n = std::fread(buffer, 1, sizeof buffer, f);
            err.assign(buffer, n);
            std::fclose(f);
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string err;
};

TEST_F(BatchRun, MovesAWholeRecordingThroughToTheSpeakerFileInWholeBuffers) {
    writeRecording(path("band.wav"), 48000, 2, 2.0);
    ASSERT_EQ(run("--rx-file " + path("band.wav") + " --speaker-file " + path("out.wav")), 0) << err;
    SF_INFO info{};
    SNDFILE* in = sf_open(path("out.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(in, nullptr) << err;
    sf_close(in);
    EXPECT_EQ(info.samplerate, 12000);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
    // Buffers of 600 samples: the two written at the open, then whole buffers from the
    // queue. The 46 whole blocks of 2048 frames in 96000 give 94207 resampled samples
    // (the regulator runs one sample late), 23551 after decimation by 4, so 22 audio
    // blocks of 1024; with 2.3 buffers of silence (1380) the queue receives 23908
    // samples, 39 whole buffers. 41 in all.
    EXPECT_EQ(info.frames, 600 * 41);
    EXPECT_NE(err.find("written to"), std::string::npos) << err;
}

TEST_F(BatchRun, AnOutputFileThatCannotBeWrittenStopsTheRunWithAFailure) {
    writeRecording(path("band.wav"), 48000, 2, 0.5);
    for (const std::string& out : {path("no-such-folder") + "/out.wav", std::string("/dev/full")}) {
        EXPECT_EQ(run("--rx-file " + path("band.wav") + " --speaker-file " + out), 1) << out << ": " << err;
        EXPECT_NE(err.find("cannot write the output file"), std::string::npos) << err;
        EXPECT_EQ(err.find("written to"), std::string::npos) << err;
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
        EXPECT_EQ(run("--rx-file " + c.file + " --speaker-file " + path("out.wav")), 2) << c.file;
        EXPECT_NE(err.find(c.says), std::string::npos) << err;
        EXPECT_FALSE(fs::exists(path("out.wav")));
    }
}

}  // namespace

namespace {

// Real time: the recording is replayed at its own pace through the real-time clock.
TEST_F(BatchRun, ARealTimeRunOfARecordingTakesItsDuration) {
    writeRecording(path("short.wav"), 48000, 2, 0.6);
    const std::string command = std::string(ORVANDEL_EXE) + " --headless --dir " + path("settings") + " --rx-file " +
                                path("short.wav") + " --speaker-file " + path("rt.wav") + " 2>" + path("err.txt");
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_GE(elapsed, std::chrono::milliseconds(600));
    SF_INFO info{};
    SNDFILE* in = sf_open(path("rt.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(in, nullptr);
    sf_close(in);
    EXPECT_EQ(info.frames % 600, 0);
    EXPECT_GE(info.frames, 600 * 12);  // 0.6 s of audio at least, with the primed silence
}

// Looping, the run goes on past the end of the recording until it is stopped.
TEST_F(BatchRun, ALoopingRecordingPlaysUntilStopped) {
    writeRecording(path("short.wav"), 48000, 2, 0.2);
    const std::string command = "timeout --preserve-status -s TERM 1.2 " + std::string(ORVANDEL_EXE) + " --headless --dir " +
                                path("settings") + " --rx-file " + path("short.wav") + " --rx-loop --speaker-file " +
                                path("loop.wav") + " 2>" + path("err.txt");
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);  // a stop by signal is a clean end
    SF_INFO info{};
    SNDFILE* in = sf_open(path("loop.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(in, nullptr);
    sf_close(in);
    EXPECT_GT(info.frames, 12000 * 6 / 10);  // well past the 0.2 s recording
}

}  // namespace
