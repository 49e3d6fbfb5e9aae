#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "dsp/demodulators.hpp"
#include "dsp/filters.hpp"
#include "dsp/noise_reducer.hpp"
#include "dsp/oscillator.hpp"

namespace orv {

// Sample arrays of the receive path: 16-bit-range values, index 0 the oldest.
inline constexpr std::size_t kSampleCapacity = 4097;
using SampleArray = std::array<std::int32_t, kSampleCapacity>;

// What the receive chain reads of the station's settings for one half block.
struct ReceiveSettings {
    int mode = 1;  // 1 USB, 2 LSB, 3 AM, 4 FM, 5 and 6 broadcast FM
    int fee = 44100;
    int fes = 11025;
    bool fesEqualsFee = false;
    bool receiverIsSdR = true;
    bool rxAgcOn = true;
    bool spectrumAgcOn = true;
    bool rxSwapIq = false;
    bool linkAudio = false;            // a link client is connected and we are receiving
    bool correctionWindowOpen = false;  // the receive I/Q correction window is on screen
    int noiseReducerLevel = 1;
    std::int32_t amplitudeCorrection = 0;  // thousandths
    std::int32_t phaseCorrection = 0;      // steps of 0.001565 rad
    std::int64_t rxMixFrequencyHz = 0;
    std::int64_t ifMixFrequencyHz = 0;
};

// Audio produced by one half block.
struct ReceiveOutput {
    std::vector<std::int16_t> speaker;  // at fes
    std::vector<std::int32_t> link;     // the link's values, while link audio is on
    bool levelUpdated = false;
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

    explicit ReceiveChain(MixOscillator& mix) : mix_(mix) {}

    SampleArray captureI{};
    SampleArray captureQ{};
    SampleArray displayI{};
    SampleArray displayQ{};
    SampleArray blockI{};
    SampleArray blockQ{};

    // Gain control to its start, the decimator emptied, the anti-alias filter designed.
    void initReceive(const ReceiveSettings& settings);
    void resetResampler();
    // Lets the output run at `rateHz` (close to the nominal Fes) by changing the ratio.
    void setOutputRate(int rateHz, int fee);
    void designBandFilter(int lowHz, int highHz, int fes, int blockLength);
    // Designs the anti-alias filter for `fee` and clears its delay lines.
    void initAntiAlias(int fee) { antiAlias_.design(fee); }
    void setupIfFilters(int mode, int fee) { demodulators_.setupIfFilters(mode, fee); }
    // The noise reducer restarted for `fes` with the step of its level (2 weak, 3 strong).
    void resetNoiseReducer(int level, int fes) {
        noiseReducer_.setStep(level == 3 ? 1 : 3);
        noiseReducer_.reset(fes);
    }
    const NoiseReducer& noiseReducer() const { return noiseReducer_; }

    // Reads `count` samples of one channel (1 = I, 2 = Q) from frame `offset` of the raw
    // 16-bit little-endian capture bytes into captureI/Q and displayI/Q.
    void convertHalfBlock(std::span<const std::uint8_t> raw, int channel, int count, int offset, bool stereo,
                          const ReceiveSettings& settings);
    void correctIq(int count, const ReceiveSettings& settings);
    // Runs blockI/blockQ (count samples) through the chain; audio blocks that complete
    // go to `out`.
    void processHalfBlock(int count, const ReceiveSettings& settings, ReceiveOutput& out);

    std::int32_t inputGain() const { return inputGain_; }
    double localLevelPercent() const { return localLevel_; }
    std::int64_t resampleRatio() const { return resampleRatio_; }

    // The soft limiter above 20000: sign(v) × round(20000 + 12767/90 × atan((|v| − 20000)
    // / 8127) in degrees), never past 32767.
    static std::int32_t softLimit(std::int32_t v);

private:
    int resample(int n);
    int decimate(int count, bool withQ, int fee, int fes);
    void blockStage(int n, const ReceiveSettings& settings, ReceiveOutput& out);
    void outputStage(int n, const ReceiveSettings& settings, ReceiveOutput& out);

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

    std::array<std::int32_t, kSampleCapacity> audio_{};
    std::array<std::int32_t, 22> levelHistory_{};
    double localLevel_ = 0;
};

}  // namespace orv
