#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "dsp/demodulators.hpp"
#include "dsp/filters.hpp"
#include "dsp/level_history.hpp"
#include "dsp/mode.hpp"
#include "dsp/noise_reducer.hpp"
#include "dsp/oscillator.hpp"
#include "dsp/sample_fifo.hpp"
#include "dsp/simd.hpp"

namespace orv {

// Sample arrays of the receive path: 16-bit-range values, index 0 the oldest.
inline constexpr std::size_t kSampleCapacity = 4097;
using SampleArray = std::array<std::int32_t, kSampleCapacity>;

// The receive chain's settings; each changes only when its control does.
struct ReceiveConfig {
    Mode mode = Mode::Usb;
    int fee = 44100;
    int fes = 11025;
    bool fesEqualsFee = false;
    bool receiverIsSdR = true;
    bool rxAgcOn = true;
    bool spectrumAgcOn = true;
    bool rxSwapIq = false;
    bool linkAudio = false;             // a link client is connected and we are receiving
    bool correctionWindowOpen = false;  // the receive I/Q correction window is on screen
    int noiseReducerLevel = 1;          // 1 off, 2 weak, 3 strong
    std::int32_t amplitudeCorrection = 0;  // thousandths
    std::int32_t phaseCorrection = 0;      // steps of 0.001565 rad
    std::int64_t rxMixFrequencyHz = 0;
    std::int64_t ifMixFrequencyHz = 0;
};

// A first-order low-pass stepped per sample: y = (x·T + T·x₋₁ − (T − 2τ)·y₋₁) / (T + 2τ),
// in single precision.
struct Smoother {
    float output = 0;
    float previousInput = 0;
    float period = 0;
    float tau = 0.333f;

    float step(float x) {
        output = (x * period + period * previousInput - (period - 2 * tau) * output) / (period + 2 * tau);
        previousInput = x;
        return output;
    }
};

// The receive chain from captured half blocks at Fee to speaker audio at Fes: input gain
// control and I/Q correction, the band shift, rate regulation, anti-alias filtering and
// decimation, blocks through the band filter with sideband selection, then audio gain
// control, the soft limiter and the level meter.
class ReceiveChain {
public:
    static constexpr std::size_t kResampledCapacity = 4301;
    static constexpr std::size_t kOutCapacity = 2101;
    // The resampler's positions are in ten-thousandths of an input sample.
    static constexpr std::int64_t kResampleScale = 10000;

    explicit ReceiveChain(MixOscillator& mix) : mix_(mix) {}

    const ReceiveConfig& config() const { return config_; }
    void setMode(Mode mode) { config_.mode = mode; }
    void setRates(int fee, int fes, bool fesEqualsFee) {
        config_.fee = fee;
        config_.fes = fes;
        config_.fesEqualsFee = fesEqualsFee;
    }
    void setReceiverIsSdR(bool sdr) { config_.receiverIsSdR = sdr; }
    void setRxAgc(bool on) { config_.rxAgcOn = on; }
    void setSpectrumAgc(bool on) { config_.spectrumAgcOn = on; }
    void setSwapIq(bool swap) { config_.rxSwapIq = swap; }
    void setLinkAudio(bool on) { config_.linkAudio = on; }
    void setCorrectionWindowOpen(bool open) { config_.correctionWindowOpen = open; }
    void setNoiseReducerLevel(int level) { config_.noiseReducerLevel = level; }
    void setCorrections(std::int32_t amplitude, std::int32_t phase) {
        config_.amplitudeCorrection = amplitude;
        config_.phaseCorrection = phase;
    }
    void setMixFrequencies(std::int64_t rxHz, std::int64_t ifHz) {
        config_.rxMixFrequencyHz = rxHz;
        config_.ifMixFrequencyHz = ifHz;
    }

    // Gain control to its start, the decimator emptied, the anti-alias filter designed.
    void initReceive();
    void resetResampler();
    // Lets the output run at `rateHz` (close to the nominal Fes) by changing the ratio.
    void setOutputRate(int rateHz);
    void designBandFilter(int lowHz, int highHz, int blockLength);
    // Designs the anti-alias filter for Fee and clears its delay lines.
    void initAntiAlias() { antiAlias_.design(config_.fee); }
    void setupIfFilters() { demodulators_.setupIfFilters(modeNumber(config_.mode), config_.fee); }
    // The noise reducer restarted for Fes with the step of its level (2 weak, 3 strong).
    void resetNoiseReducer() {
        noiseReducer_.setStep(config_.noiseReducerLevel == 3 ? 1 : 3);
        noiseReducer_.reset(config_.fes);
    }
    const NoiseReducer& noiseReducer() const { return noiseReducer_; }

    // The entry: one half block of captured frames (16-bit, `channels` samples a frame,
    // left I and right Q) through the whole chain. Speaker audio that completes is
    // appended to `speaker`; the display samples go to position `displayOffset` on.
    void process(std::span<const std::int16_t> frames, int channels, int displayOffset,
                 SampleFifo<std::int16_t>& speaker);

    // The stages of `process`, open for tests.
    // Reads `count` samples of one channel (1 = I, 2 = Q) into the block and the display.
    void convertHalfBlock(std::span<const std::int16_t> frames, int channels, int channel, int count,
                          int displayOffset);
    void correctIq(int count);

    // The display samples of the last block (with the spectrum AGC's gain when it is on).
    std::span<const std::int32_t> displayI(int count) const { return std::span(displayI_).first(static_cast<std::size_t>(count)); }
    std::span<const std::int32_t> displayQ(int count) const { return std::span(displayQ_).first(static_cast<std::size_t>(count)); }
    std::span<const std::int32_t> blockI(int count) const { return std::span(blockI_).first(static_cast<std::size_t>(count)); }
    std::span<const std::int32_t> blockQ(int count) const { return std::span(blockQ_).first(static_cast<std::size_t>(count)); }
    // The link's values of the last half block, while link audio is on.
    const std::vector<std::int32_t>& linkValues() const { return link_; }
    // Whether the last half block completed an audio block (and so measured its level).
    bool levelUpdated() const { return levelUpdated_; }

    std::int32_t inputGain() const { return inputGain_; }
    double localLevelPercent() const { return localLevel_; }
    std::int64_t resampleRatio() const { return resampleRatio_; }

    // The soft limiter above 20000: sign(v) × round(20000 + 12767/90 × atan((|v| − 20000)
    // / 8127) in degrees), never past 32767.
    static std::int32_t softLimit(std::int32_t v);

private:
    // The input gain control's state, held in locals through a run of steps.
    struct GainRun {
        Smoother smoother;
        bool settled;
        std::int32_t peak;
        std::int32_t peakCount;
        std::int32_t target;
        std::int32_t gain;
        std::int32_t window;
        bool fixedGain;  // the correction window holds the gain at 100

        // The gain the smoother gives now.
        std::int32_t smootherGain() const {
            return fixedGain ? 100 : static_cast<std::int32_t>(simd::roundEven(smoother.output));
        }
        // One sample v through the peak detector and the smoother; the sample's gain.
        std::int32_t step(std::int32_t v) {
            peak = std::max(peak, v < 0 ? -v : v);
            // Once a step leaves the smoother as it found it, every later step with the
            // same target does too.
            if (!settled) {
                const float output = smoother.output;
                const float previousInput = smoother.previousInput;
                smoother.step(static_cast<float>(target));
                settled = smoother.output == output && smoother.previousInput == previousInput;
            }
            gain = smootherGain();
            if (++peakCount >= window) {
                // The gained peak settles at 10922, a third of full scale.
                const std::int32_t next = peak == 0 ? 5000 : std::clamp(1092200 / peak, 100, 5000);
                if (next != target) settled = false;
                target = next;
                peak = 0;
                peakCount = 0;
            }
            return gain;
        }
        // Steps in[k × stride] for k < count into gains. While the smoother is settled and
        // the peak window goes on, the gain stays and only the peak moves: such stretches
        // are taken whole.
        void steps(const std::int16_t* in, std::size_t stride, int count, std::int32_t* gains) {
            for (int n = 0; n < count;) {
                const int stretch = settled ? std::min(count - n, window - 1 - peakCount) : 0;
                if (stretch <= 0) {
                    gains[n] = step(in[static_cast<std::size_t>(n) * stride]);
                    ++n;
                    continue;
                }
                const std::int16_t* from = in + static_cast<std::size_t>(n) * stride;
                peak = std::max(peak, simd::kernels().peakMagnitude(from, static_cast<int>(stride), stretch));
                peakCount += stretch;
                gain = smootherGain();
                std::fill_n(gains + n, stretch, gain);
                n += stretch;
            }
        }
    };
    // A half block whose display gains are still to be worked out, and how many of its
    // gain steps (I then Q) are done.
    struct PendingGains {
        std::span<const std::int16_t> frames;
        int channels = 2;
        int displayOffset = 0;
        int count = 0;
        int stepped = 0;
    };
    // Runs the pending half block's gain steps two at a time (I, then Q) as the
    // de-emphasis calls it with each sample's index.
    class PendingStepper {
    public:
        explicit PendingStepper(ReceiveChain& chain);
        bool active() const { return steps_ > 0; }
        void operator()(int k) {
            const int until = std::min(2 * (k + 1), steps_);
            for (; done_ < until; ++done_) {
                const bool q = done_ >= pending_.count;
                const std::int16_t* in = q ? inQ_ : inI_;
                gains_[done_] = run_.step(in[static_cast<std::size_t>(q ? done_ - pending_.count : done_) * stride_]);
            }
        }
        // Hands the state back to the chain.
        void finish();

    private:
        ReceiveChain& chain_;
        PendingGains& pending_;
        GainRun run_;
        int steps_;
        std::size_t stride_;
        const std::int16_t* inI_;
        const std::int16_t* inQ_;
        std::int32_t* gains_;
        int done_ = 0;
    };
    GainRun gainRun() const;
    void keep(const GainRun& run);
    const std::int16_t* channelStart(std::span<const std::int16_t> frames, int channels, int channel) const;
    void applyGains(const std::int16_t* in, std::size_t stride, int count, const std::int32_t* gains,
                    std::int32_t* display, std::int32_t* samples) const;
    void finishPendingGains();

    // Resamples the block at Fee to the output rate's ratio; Q only `withQ` (the other
    // modes have demodulated it away: it is zero, and nothing reads it).
    int resample(int n, bool withQ);
    int decimate(int count, bool withQ, int fee, int fes);
    // The same at a whole ratio, its state in step (the usual case): runs side by side.
    int decimateWhole(int count, bool withQ, int whole);
    void processHalfBlock(int count, SampleFifo<std::int16_t>& speaker);
    void blockStage(int n, SampleFifo<std::int16_t>& speaker);
    void outputStage(int n, SampleFifo<std::int16_t>& speaker);

    ReceiveConfig config_;
    MixOscillator& mix_;
    BandFilter bandFilter_;
    AntiAliasFilter antiAlias_;
    Demodulators demodulators_;
    NoiseReducer noiseReducer_;

    // Input gain control.
    std::int32_t inputGain_ = 100;
    std::int32_t gainTarget_ = 100;
    std::int32_t inputPeak_ = 0;
    std::int32_t peakCount_ = 0;
    std::int32_t peakWindow_ = 2 * (44100 / 4);
    Smoother inputSmoother_;
    bool smootherSettled_ = false;
    std::vector<std::int32_t> gains_;
    PendingGains pending_;
    Smoother envelope_;

    // Rate regulator.
    std::int64_t resampleRatio_ = 10000;
    std::int64_t outputIndex_ = -1;
    std::int64_t halfBlocks_ = 0;
    std::array<std::int32_t, 2> lastI_{};
    std::array<std::int32_t, 2> lastQ_{};
    std::array<std::int32_t, kResampledCapacity> resampledI_{};
    std::array<std::int32_t, kResampledCapacity> resampledQ_{};

    // Decimator.
    std::int64_t decimatorCount_ = 0;
    std::int64_t decimatorLast_ = 0;
    float sumI_ = 0;
    float sumQ_ = 0;
    std::array<std::int32_t, kOutCapacity> outI_{};
    std::array<std::int32_t, kOutCapacity> outQ_{};
    int outFill_ = 0;

    SampleArray blockI_{};
    SampleArray blockQ_{};
    SampleArray displayI_{};
    SampleArray displayQ_{};
    std::array<std::int32_t, kSampleCapacity> audio_{};
    std::vector<std::int32_t> link_;
    bool levelUpdated_ = false;
    LevelHistory levelHistory_;
    double localLevel_ = 0;
};

}  // namespace orv
