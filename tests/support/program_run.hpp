#pragma once

// Runs the orvandel program on generated recordings and reads what it wrote.
#include <gtest/gtest.h>

#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orv::test {

namespace fs = std::filesystem;

// A complex tone of the I/Q recording: frequency (negative below the centre), amplitude.
struct Tone {
    double hz;
    double amplitude;
};

struct Audio {
    int rate = 0;
    int channels = 0;
    std::vector<short> samples;

    double seconds() const { return rate ? static_cast<double>(samples.size()) / channels / rate : 0; }
    // The audio cut after `limit` seconds: the part a recording of that length fills, without
    // the silence that drains the processing at its end.
    Audio firstSeconds(double limit) const {
        Audio cut = *this;
        cut.samples.resize(std::min(samples.size(), static_cast<std::size_t>(limit * rate) * channels));
        return cut;
    }
    // RMS of a sine at `hz` in samples [from, end), by correlation (Goertzel-like).
    double toneRms(double hz, double fromSeconds) const {
        const auto from = static_cast<std::size_t>(fromSeconds * rate);
        std::complex<double> acc = 0;
        for (std::size_t n = from; n < samples.size(); ++n)
            acc += static_cast<double>(samples[n]) * std::polar(1.0, -2 * M_PI * hz * static_cast<double>(n) / rate);
        const double count = static_cast<double>(samples.size() - from);
        return std::abs(acc) / count * std::sqrt(2.0);
    }
    // The strongest sine within hz ± spread (0.25 Hz steps): the oscillator's phase step
    // is a whole number of 0.01° per sample, so a shift can be off by a few hertz.
    std::pair<double, double> peak(double hz, double spread, double fromSeconds) const {
        std::pair<double, double> best{hz, 0};
        for (double f = hz - spread; f <= hz + spread; f += 0.25) {
            const double r = toneRms(f, fromSeconds);
            if (r > best.second) best = {f, r};
        }
        return best;
    }
    double rms(double fromSeconds) const {
        const auto from = static_cast<std::size_t>(fromSeconds * rate);
        double p = 0;
        for (std::size_t n = from; n < samples.size(); ++n) p += static_cast<double>(samples[n]) * samples[n];
        return std::sqrt(p / static_cast<double>(samples.size() - from));
    }
};

// What the buffer arithmetic predicts the speaker file holds for a recording of `frames`
// frames at `fee`: whole capture buffers are cut into blocks, the rate regulator runs one
// sample late, the decimator keeps one sample in fee / fes, the band filter hands out
// blocks of 1024, and playback takes whole buffers after the primed silence. Latency 6 is
// the standard setting.
inline long predictedSpeakerSamples(long frames, int fee, int latency = 6) {
    const int fes = fee >= 96000 ? 24000 : (fee == 44100 || fee == 11025 ? 11025 : 12000);
    const long outBytes = (fes * latency / 40) * 2;
    const long bufferSamples = outBytes / 2;
    const long captureFrames = ((4L * fee) / (2L * fes)) * outBytes / 4;
    // After the whole buffers, the last part-buffer padded with silence, then enough
    // silence (latency × 25 + 250 ms, in whole buffers) to bring out what the filters hold.
    const long drain = (latency * 25L + 250) * fee / 1000;
    const long padded = captureFrames - (frames - frames / captureFrames * captureFrames);
    const long buffers = frames / captureFrames + 1 + (std::max(0L, drain - padded) + captureFrames - 1) / captureFrames;
    const long captured = buffers * captureFrames;
    const long blockLength = fee <= 12000 ? 1024 : 2048;
    const long processed = captured / blockLength * blockLength;
    const long decimated = (processed - 1) / (fee / fes);
    const long audio = decimated / 1024 * 1024;
    const long primed = (fee > 12000 ? 23 : 27) * bufferSamples / 10;
    return (2 + (primed + audio) / bufferSamples) * bufferSamples;
}

// A temporary folder for one test, removed afterwards.
class ProgramRun : public testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("orvandel-run-" + std::to_string(::getpid()) + "-" +
                                                testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string err;

    ProgramRun() { fs::create_directories(dir); }
    ~ProgramRun() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    // Stereo I/Q (left I, right Q), 16-bit, from the complex value of each sample.
    template <typename Signal>
    void writeIqSignal(const std::string& file, int rate, double seconds, Signal signal) {
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = 2;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* out = sf_open(file.c_str(), SFM_WRITE, &info);
        ASSERT_NE(out, nullptr);
        const auto frames = static_cast<std::size_t>(seconds * rate);
        std::vector<short> samples(frames * 2);
        for (std::size_t t = 0; t < frames; ++t) {
            const std::complex<double> v = signal(static_cast<long>(t));
            samples[2 * t] = static_cast<short>(std::lround(std::clamp(v.real(), -32767.0, 32767.0)));
            samples[2 * t + 1] = static_cast<short>(std::lround(std::clamp(v.imag(), -32767.0, 32767.0)));
        }
        sf_writef_short(out, samples.data(), static_cast<sf_count_t>(frames));
        sf_close(out);
    }

    // Stereo I/Q (left I, right Q) made of complex tones, 16-bit.
    void writeIq(const std::string& file, int rate, double seconds, const std::vector<Tone>& tones) {
        writeIqSignal(file, rate, seconds, [&](long t) {
            std::complex<double> v = 0;
            for (const auto& tone : tones)
                v += std::polar(tone.amplitude, 2 * M_PI * tone.hz * static_cast<double>(t) / rate);
            return v;
        });
    }

    // Runs orvandel with the arguments (after --dir); returns its exit status.
    int run(const std::string& args, const std::string& prefix = "") {
        const std::string command = prefix + std::string(ORVANDEL_EXE) + " --dir " + path("settings") + " " + args +
                                    " 2>" + path("err.txt");
        const int status = std::system(command.c_str());
        std::ifstream in(path("err.txt"));
        std::stringstream text;
        text << in.rdbuf();
        err = text.str();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static Audio read(const std::string& file) {
        Audio a;
        SF_INFO info{};
        SNDFILE* in = sf_open(file.c_str(), SFM_READ, &info);
        if (!in) return a;
        a.rate = info.samplerate;
        a.channels = info.channels;
        a.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
        sf_readf_short(in, a.samples.data(), info.frames);
        sf_close(in);
        return a;
    }
};

}  // namespace orv::test
