#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "dsp/mode.hpp"
#include "dsp/oscillator.hpp"
#include "dsp/sample_fifo.hpp"
#include "transmit/tx_filters.hpp"

namespace orv {

// What the modulator needs to know of the station for one chunk.
struct TxSettings {
    Mode mode = Mode::Usb;
    bool swapIq = false;
    std::int32_t amplitudeCorrection = 0;  // thousandths
    std::int32_t phaseCorrection = 0;      // steps of 0.001565 rad
};

// An 8-bit audio byte as the modulator's sample: −255 … 255, 127 and 128 either side of 0.
constexpr std::int32_t txSampleFromByte(std::uint8_t b) { return 2 * static_cast<std::int32_t>(b) - 255; }

// The transmit I/Q balance correction of Q: in single precision, rounded to nearest,
// ties to even.
std::int32_t correctTxQuadrature(std::int32_t i, std::int32_t q, std::int32_t amplitudeCorrection,
                                 std::int32_t phaseCorrection);

// Linear interpolation by a whole ratio r: each input c gives p + (c − p) × e div r for
// e = 1 … r − 1, then c.
class WholeRatioInterpolator {
public:
    void reset() { previous_ = 0; }
    template <typename Out>
    void run(std::int32_t c, int ratio, Out&& out) {
        for (int e = 1; e < ratio; ++e) out(previous_ + (c - previous_) * e / ratio);
        out(c);
        previous_ = c;
    }

private:
    std::int32_t previous_ = 0;
};

// Linear interpolation by any ratio: output k of the transmission lies at input position
// k × in / out, between the inputs either side. The counts run across chunks and start
// again when the output count passes ten thousand million.
class FractionalInterpolator {
public:
    void reset() {
        outputs_ = 0;
        inputs_ = 0;
        carried_ = 0;
    }
    void run(std::span<const std::int32_t> x, int inputRate, int outputRate, std::vector<std::int32_t>& out);

private:
    std::int64_t outputs_ = 0;  // k of the last output
    std::int64_t inputs_ = 0;   // inputs received before this chunk
    std::int32_t carried_ = 0;  // the last input of the previous chunk
};

// Turns 8-bit audio into 16-bit I/Q frames for the TX card: interpolation to the card's
// rate, the analytic signal, the sideband, the shift to the receive frequency (or AM or
// FM), the balance correction. Narrow cards (up to 44100) are reached in one stage; wider
// ones through 24000 and a second interpolation.
class TxModulator {
public:
    // Designs the filters and clears every state: the start of a transmission.
    // `sdrReceiver` gives Q its own second-stage filter; otherwise Q follows I there.
    void start(int audioRate, int fee, bool sdrReceiver);
    // Modulates one chunk and appends its frames (I, Q interleaved) to `tx`.
    void modulate(std::span<const std::uint8_t> chunk, const TxSettings& settings, MixOscillator& mix,
                  SampleFifo<std::int16_t>& tx);

    int audioRate() const { return audioRate_; }
    int fee() const { return fee_; }
    const TxInterpolationFilter& stage1() const { return stage1_; }
    const HilbertTransformer& hilbert() const { return hilbert_; }
    // The interpolation to the card is by a whole ratio (narrow cards only).
    bool wholeRatio() const { return fee_ <= kNarrowMax && fee_ % audioRate_ <= 4; }

    static constexpr int kNarrowMax = 44100;
    static constexpr int kWideRate = 24000;

private:
    void sendFrame(std::int32_t i, std::int32_t q, const TxSettings& settings, MixOscillator& mix,
              SampleFifo<std::int16_t>& tx);
    void modulateNarrow(const TxSettings& settings, MixOscillator& mix, SampleFifo<std::int16_t>& tx);
    void modulateWide(const TxSettings& settings, MixOscillator& mix, SampleFifo<std::int16_t>& tx);

    int audioRate_ = 11025;
    int fee_ = 11025;
    bool sdr_ = true;
    TxInterpolationFilter stage1_;
    TxInterpolationFilter stage2I_;
    TxInterpolationFilter stage2Q_;
    HilbertTransformer hilbert_;
    WholeRatioInterpolator whole_;
    WholeRatioInterpolator wholeI_;
    WholeRatioInterpolator wholeQ_;
    FractionalInterpolator fractional_;
    // Working arrays, kept between chunks so a transmission allocates only while they grow.
    std::vector<std::int32_t> input_;
    std::vector<std::int32_t> interpolated_;
    std::vector<std::int32_t> wideI_;
    std::vector<std::int32_t> wideQ_;
};

}  // namespace orv
