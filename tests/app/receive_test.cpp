// Single-sideband reception end to end: generated I/Q recordings through
// orvandel --headless --batch, the speaker file measured.
#include <cmath>

#include "support/program_run.hpp"

namespace orv::test {
namespace {

class Receive : public ProgramRun {
protected:
    // Plays `tones` at `rate` through the receiver with the options; the speaker audio.
    Audio receive(int rate, const std::vector<Tone>& tones, const std::string& options, double seconds = 2.0) {
        writeIq(path("in.wav"), rate, seconds, tones);
        const int status = run("--headless --batch --agc off --rx-file " + path("in.wav") + " --speaker-file " +
                               path("out.wav") + " " + options);
        EXPECT_EQ(status, 0) << err;
        return read(path("out.wav"));
    }
    static double db(double ratio) { return 20 * std::log10(ratio); }
};

TEST_F(Receive, UpperSidebandToneComesOutAtItsAudioFrequency) {
    const Audio out = receive(48000, {{6000, 8000}}, "--mode usb --offset 5000");
    ASSERT_EQ(out.rate, 12000);
    ASSERT_EQ(out.channels, 1);
    const double tone = out.toneRms(1000, 0.8);
    EXPECT_GT(tone, 5000);  // a complex tone of 8000 gives a cosine of 16000 (RMS 11300)
    EXPECT_GT(db(tone / out.toneRms(1100, 0.8)), 30);
    EXPECT_GT(db(tone / out.toneRms(900, 0.8)), 30);
    // Nearly all the audio is that tone.
    EXPECT_GT(tone / out.rms(0.8), 0.95);
}

TEST_F(Receive, TheOppositeSidebandIsRejected) {
    const double wanted = receive(48000, {{6000, 8000}}, "--mode usb --offset 5000").toneRms(1000, 0.8);
    const double image = receive(48000, {{4000, 8000}}, "--mode usb --offset 5000").toneRms(1000, 0.8);
    EXPECT_GT(db(wanted / image), 40.0) << wanted << " vs " << image;
}

TEST_F(Receive, LowerSidebandMirrorsIt) {
    const double wanted = receive(48000, {{4000, 8000}}, "--mode lsb --offset 5000").toneRms(1000, 0.8);
    const double image = receive(48000, {{6000, 8000}}, "--mode lsb --offset 5000").toneRms(1000, 0.8);
    EXPECT_GT(wanted, 5000);
    EXPECT_GT(db(wanted / image), 40.0) << wanted << " vs " << image;
}

TEST_F(Receive, ToneOutsideTheBandwidthIsAttenuated) {
    const double inBand = receive(48000, {{6000, 8000}}, "--mode usb --offset 5000 --bandwidth 2100").toneRms(1000, 0.8);
    const double outside = receive(48000, {{8000, 8000}}, "--mode usb --offset 5000 --bandwidth 2100").toneRms(3000, 0.8);
    EXPECT_GT(db(inBand / outside), 40.0) << inBand << " vs " << outside;
    const double cw = receive(48000, {{5700, 8000}}, "--mode usb --offset 5000 --bandwidth 550-850").toneRms(700, 0.8);
    const double besideCw = receive(48000, {{6000, 8000}}, "--mode usb --offset 5000 --bandwidth 550-850").toneRms(1000, 0.8);
    EXPECT_GT(db(cw / besideCw), 40.0) << cw << " vs " << besideCw;
}

TEST_F(Receive, EveryRateGivesAudioAtItsOutputRateForThePredictedDuration) {
    struct Case {
        int fee, fes;
    };
    for (const auto c : {Case{11025, 11025}, Case{12000, 12000}, Case{44100, 11025}, Case{48000, 12000},
                         Case{96000, 24000}, Case{192000, 24000}}) {
        const Audio out = receive(c.fee, {{2000, 8000}}, "--mode usb --offset 1000", 1.5);
        EXPECT_EQ(out.rate, c.fes) << c.fee;
        EXPECT_EQ(static_cast<long>(out.samples.size()), predictedSpeakerSamples(static_cast<long>(1.5 * c.fee), c.fee))
            << c.fee;
        // At 192000 the 1000 Hz shift steps by 187 hundredths of a degree, not 187.5: the
        // tone lands 2.7 Hz high.
        const Audio steady = out.firstSeconds(1.5);  // not the silence that drains the filters
        const auto [hz, level] = steady.peak(1000, 4, 0.9);
        EXPECT_GT(level, 5000) << c.fee << " at " << hz;
        EXPECT_GT(level / steady.rms(0.9), 0.95) << c.fee;
    }
}

}  // namespace
}  // namespace orv::test

namespace orv::test {
namespace {

// Energy of 20 ms frames: follows the syllables of speech whatever the phase or rate.
std::vector<double> frameEnergy(const Audio& a) {
    const auto frame = static_cast<std::size_t>(a.rate / 50);
    std::vector<double> e;
    for (std::size_t at = 0; at + frame <= a.samples.size(); at += frame) {
        double p = 0;
        for (std::size_t k = at; k < at + frame; ++k) p += static_cast<double>(a.samples[k]) * a.samples[k];
        e.push_back(std::sqrt(p / static_cast<double>(frame)));
    }
    return e;
}

// The best normalised correlation of the speech's syllables with the received audio.
double syllableCorrelation(const Audio& received, const Audio& speech) {
    const auto r = frameEnergy(received);
    auto s = frameEnergy(speech);
    const auto centre = [](std::vector<double>& v) {
        double mean = 0;
        for (const double x : v) mean += x;
        mean /= static_cast<double>(v.size());
        for (double& x : v) x -= mean;
    };
    centre(s);
    double best = 0;
    for (std::size_t lag = 0; lag + s.size() <= r.size(); ++lag) {
        std::vector<double> seg(r.begin() + static_cast<std::ptrdiff_t>(lag),
                                r.begin() + static_cast<std::ptrdiff_t>(lag + s.size()));
        centre(seg);
        double xy = 0, xx = 0, yy = 0;
        for (std::size_t k = 0; k < s.size(); ++k) {
            xy += seg[k] * s[k];
            xx += seg[k] * seg[k];
            yy += s[k] * s[k];
        }
        best = std::max(best, xy / std::sqrt(xx * yy));
    }
    return best;
}

class DemoBand : public ProgramRun {
protected:
    Audio listen(const std::string& options) {
        EXPECT_EQ(run("--headless --batch --rx-file " + std::string(ORVANDEL_DATA) + "/demo_band.wav --speaker-file " +
                      path("out.wav") + " " + options),
                  0)
            << err;
        return read(path("out.wav"));
    }
};

TEST_F(DemoBand, EachStationGivesItsOwnSpeechBack) {
    const Audio usbSpeech = read(std::string(ORVANDEL_DATA) + "/demo_usb_speech.wav");
    const Audio lsbSpeech = read(std::string(ORVANDEL_DATA) + "/demo_lsb_speech.wav");
    ASSERT_GT(usbSpeech.samples.size(), 0u);
    const Audio usb = listen("--mode usb --offset 6000 --agc off");
    const Audio lsb = listen("--mode lsb --offset -9000 --agc off");
    EXPECT_GT(syllableCorrelation(usb, usbSpeech), 0.9);
    EXPECT_GT(syllableCorrelation(lsb, lsbSpeech), 0.9);
    EXPECT_LT(syllableCorrelation(usb, lsbSpeech), 0.5);
    EXPECT_LT(syllableCorrelation(lsb, usbSpeech), 0.5);
}

TEST_F(DemoBand, TheCwStationIsAToneInTheNarrowFilter) {
    const Audio cw = listen("--mode usb --offset 14300 --bandwidth 550-850 --agc off");
    const auto [hz, level] = cw.peak(700, 10, 1.0);
    EXPECT_NEAR(hz, 700, 3);
    // Keyed at about half duty, the carrier holds √½ of the audio's RMS; around it the
    // narrow filter leaves little.
    EXPECT_GT(level / cw.rms(1.0), 0.6);
    EXPECT_GT(level / cw.peak(1000, 10, 1.0).second, 30);
    EXPECT_GT(level / cw.peak(400, 10, 1.0).second, 30);
}

}  // namespace
}  // namespace orv::test
