// Transmissions made by the program into a TX file, then received back by it: the
// sidebands, the carrier and the calibration tone where they belong.
#include "support/program_run.hpp"

namespace orv::test {
namespace {

class TransmitRun : public ProgramRun {
protected:
    // A mono microphone recording of one tone.
    void writeMicrophone(const std::string& file, int rate, double hz, double seconds) {
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* out = sf_open(file.c_str(), SFM_WRITE, &info);
        ASSERT_NE(out, nullptr);
        std::vector<short> samples(static_cast<std::size_t>(rate * seconds));
        for (std::size_t n = 0; n < samples.size(); ++n)
            samples[n] = static_cast<short>(std::lround(16000 * std::sin(2 * M_PI * hz * static_cast<double>(n) / rate)));
        sf_writef_short(out, samples.data(), static_cast<sf_count_t>(samples.size()));
        sf_close(out);
    }

    // Level in dB of the I/Q file's complex tone at `hz` (negative below the centre): the
    // mean power of Hann-windowed tenths of a second, so a tone a few hertz off (the
    // oscillators step in whole 0.01°) still counts in full.
    static double iqDb(const Audio& iq, double hz, double fromSeconds) {
        const auto block = static_cast<std::size_t>(iq.rate / 10);
        const std::size_t frames = iq.samples.size() / 2;
        double power = 0;
        int blocks = 0;
        for (auto at = static_cast<std::size_t>(fromSeconds * iq.rate); at + block <= frames; at += block, ++blocks) {
            std::complex<double> acc = 0;
            for (std::size_t k = 0; k < block; ++k) {
                const std::size_t n = at + k;
                const double hann = 0.5 - 0.5 * std::cos(2 * M_PI * static_cast<double>(k) / static_cast<double>(block));
                acc += hann * std::complex<double>(iq.samples[2 * n], iq.samples[2 * n + 1]) *
                       std::polar(1.0, -2 * M_PI * hz * static_cast<double>(n) / iq.rate);
            }
            power += std::norm(acc / (0.5 * static_cast<double>(block)));
        }
        return 10 * std::log10(power / std::max(blocks, 1) + 1e-9);
    }
};

TEST_F(TransmitRun, TheTuneCarrierLiesAtTheOffsetPlus1000Hz) {
    ASSERT_EQ(run("--headless --batch --rate 44100 --transmit tune --duration 4 --tx-file " + path("tx.wav") +
                  " --mode usb --offset 3000"),
              0)
        << err;
    const Audio tx = read(path("tx.wav"));
    ASSERT_EQ(tx.rate, 44100);
    ASSERT_EQ(tx.channels, 2);
    EXPECT_NEAR(tx.seconds(), 4, 0.2);
    EXPECT_NE(err.find("Transmitted I/Q: "), std::string::npos) << err;
    const double carrier = iqDb(tx, 4000, 0.5);
    EXPECT_GT(carrier, 80);  // near full scale
    EXPECT_GT(carrier - iqDb(tx, -4000, 0.5), 40);
    EXPECT_GT(carrier - iqDb(tx, 2000, 0.5), 40);
}

TEST_F(TransmitRun, TheCalibrationToneLiesAt3000HzWithoutCorrection) {
    ASSERT_EQ(run("--headless --batch --transmit tone3000 --duration 3 --tx-file " + path("tone.wav")), 0) << err;
    const Audio tone = read(path("tone.wav"));
    ASSERT_EQ(tone.rate, 11025);
    const double wanted = iqDb(tone, 3000, 1);
    EXPECT_GT(wanted, 80);
    EXPECT_GT(wanted - iqDb(tone, -3000, 1), 40);
}

struct VoiceCase {
    const char* mode;
    int rate;
    double wantedHz;    // where the 1000 Hz voice lands in the I/Q, the offset being 3000
    double oppositeHz;  // the other sideband
};

// Voice through the microphone file in each mode, received back at the same offset.
TEST_F(TransmitRun, VoiceComesBackInEveryMode) {
    writeMicrophone(path("mic11.wav"), 11025, 1000, 3);
    writeMicrophone(path("mic12.wav"), 12000, 1000, 3);
    const VoiceCase kCases[] = {{"usb", 48000, 4000, 2000},  {"lsb", 48000, 2000, 4000}, {"usb", 44100, 4000, 2000},
                                {"lsb", 192000, 2000, 4000}, {"am", 48000, 0, 0},        {"fm", 44100, 0, 0}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.mode) + " at " + std::to_string(c.rate));
        const std::string mic = path(c.rate == 44100 ? "mic11.wav" : "mic12.wav");
        const std::string tx = path(std::string("tx_") + c.mode + std::to_string(c.rate) + ".wav");
        ASSERT_EQ(run("--headless --batch --rate " + std::to_string(c.rate) + " --transmit voice --mic-file " + mic +
                      " --duration 3 --tx-file " + tx + " --mode " + c.mode + " --offset 3000"),
                  0)
            << err;
        const Audio iq = read(tx);
        ASSERT_EQ(iq.rate, c.rate);
        if (c.wantedHz != 0) EXPECT_GT(iqDb(iq, c.wantedHz, 1) - iqDb(iq, c.oppositeHz, 1), 40);
        // The rate 192000 is received in broadcast FM only; the I/Q check is enough there.
        if (c.rate == 192000) continue;
        const std::string heard = path(std::string("heard_") + c.mode + ".wav");
        ASSERT_EQ(run("--headless --batch --rx-file " + tx + " --mode " + c.mode + " --offset 3000 --speaker-file " +
                      heard),
                  0)
            << err;
        const Audio audio = read(heard);
        const double voice = audio.peak(1000, 6, 1).second;
        EXPECT_GT(voice, 1000);
        // The voice's tone carries most of what is heard (the rest: the receive limiter's
        // harmonics and noise).
        EXPECT_GT(voice, 0.5 * audio.rms(1));
    }
}

TEST_F(TransmitRun, AMicrophoneAtTheWrongRateIsRefused) {
    writeMicrophone(path("mic11.wav"), 11025, 1000, 1);
    EXPECT_EQ(run("--headless --batch --rate 48000 --transmit voice --mic-file " + path("mic11.wav") +
                  " --duration 1 --tx-file " + path("tx.wav")),
              2);
    EXPECT_NE(err.find("the microphone recording is at 11025 samples/s, and at a capture rate of 48000 the "
                       "microphone runs at 12000"),
              std::string::npos)
        << err;
}

}  // namespace
}  // namespace orv::test
