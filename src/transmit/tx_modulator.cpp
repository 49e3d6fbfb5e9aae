#include "transmit/tx_modulator.hpp"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {
constexpr std::int64_t kOutputRestart = 10'000'000'000;
constexpr std::int32_t kTxFullScale = 32767;
// A tenth of a second at the widest card rate, both ways.
constexpr std::size_t kWorkingSamples = 19200 * 2;
}  // namespace

std::int32_t correctTxQuadrature(std::int32_t i, std::int32_t q, std::int32_t amplitudeCorrection,
                                 std::int32_t phaseCorrection) {
    const float gained = static_cast<float>(static_cast<std::int64_t>(amplitudeCorrection + 1000) * q) / 1000.0f;
    const float turned = static_cast<float>(static_cast<std::int64_t>(phaseCorrection) * 1565 * i) / 1000000.0f;
    return static_cast<std::int32_t>(std::nearbyint(gained - turned));
}

void FractionalInterpolator::run(std::span<const std::int32_t> x, int inputRate, int outputRate,
                                 std::vector<std::int32_t>& out) {
    // Restarted between chunks only, so a chunk's inputs keep their numbering.
    if (outputs_ > kOutputRestart) reset();
    const std::int64_t received = inputs_ + static_cast<std::int64_t>(x.size());
    const auto at = [&](std::int64_t n) { return n < inputs_ ? carried_ : x[static_cast<std::size_t>(n - inputs_)]; };
    for (;;) {
        const std::int64_t k = outputs_ + 1;
        const double position = static_cast<double>(k) * inputRate / outputRate;
        const auto m = static_cast<std::int64_t>(std::floor(position));
        if (m >= received) break;
        double phi = position - static_cast<double>(m);
        if (phi > 1 || phi < 0) phi = 0.5;
        const std::int32_t before = m == 0 ? 0 : at(m - 1);
        const std::int32_t after = at(m);
        out.push_back(before + static_cast<std::int32_t>(std::nearbyint((after - before) * phi)));
        outputs_ = k;
    }
    if (!x.empty()) carried_ = x.back();
    inputs_ = received;
}

void TxModulator::start(int audioRate, int fee, bool sdrReceiver) {
    audioRate_ = audioRate;
    fee_ = fee;
    sdr_ = sdrReceiver;
    if (fee <= kNarrowMax) {
        stage1_ = designTxInterpolation(1, audioRate, fee);
        hilbert_ = HilbertTransformer(fee);
        stage2I_ = TxInterpolationFilter();
        stage2Q_ = TxInterpolationFilter();
    } else {
        stage1_ = designTxInterpolation(1, audioRate, kWideRate);
        hilbert_ = HilbertTransformer(kWideRate);
        stage2I_ = designTxInterpolation(2, kWideRate, fee);
        stage2Q_ = designTxInterpolation(2, kWideRate, fee);
    }
    whole_.reset();
    wholeI_.reset();
    wholeQ_.reset();
    fractional_.reset();
    for (auto* v : {&input_, &interpolated_, &wideI_, &wideQ_}) {
        v->clear();
        v->reserve(kWorkingSamples);
    }
}

void TxModulator::modulate(std::span<const std::uint8_t> chunk, const TxSettings& settings, MixOscillator& mix,
                           SampleFifo<std::int16_t>& tx) {
    input_.clear();
    for (const std::uint8_t b : chunk) input_.push_back(txSampleFromByte(b));
    if (fee_ <= kNarrowMax)
        modulateNarrow(settings, mix, tx);
    else
        modulateWide(settings, mix, tx);
}

void TxModulator::modulateNarrow(const TxSettings& settings, MixOscillator& mix, SampleFifo<std::int16_t>& tx) {
    interpolated_.clear();
    if (wholeRatio()) {
        const int ratio = fee_ / audioRate_;
        for (const std::int32_t c : input_) whole_.run(c, ratio, [&](std::int32_t y) { interpolated_.push_back(y); });
    } else {
        fractional_.run(input_, audioRate_, fee_, interpolated_);
    }
    const bool filtered = audioRate_ < fee_;
    for (std::int32_t y : interpolated_) {
        if (filtered) y = stage1_.filter(y);
        const auto [i, q] = hilbert_.push(y);
        sendFrame(i, q, settings, mix, tx);
    }
}

void TxModulator::modulateWide(const TxSettings& settings, MixOscillator& mix, SampleFifo<std::int16_t>& tx) {
    interpolated_.clear();
    fractional_.run(input_, audioRate_, kWideRate, interpolated_);
    wideI_.clear();
    wideQ_.clear();
    const int ratio = fee_ / kWideRate;
    for (const std::int32_t y : interpolated_) {
        const auto [i, q] = hilbert_.push(stage1_.filter(y));
        wholeI_.run(i, ratio, [&](std::int32_t v) { wideI_.push_back(v); });
        wholeQ_.run(q, ratio, [&](std::int32_t v) { wideQ_.push_back(v); });
    }
    for (std::size_t n = 0; n < wideI_.size(); ++n) {
        const std::int32_t i = stage2I_.filter(wideI_[n]);
        const std::int32_t q = sdr_ ? stage2Q_.filter(wideQ_[n]) : i;
        sendFrame(i, q, settings, mix, tx);
    }
}

void TxModulator::sendFrame(std::int32_t i, std::int32_t q, const TxSettings& settings, MixOscillator& mix,
                       SampleFifo<std::int16_t>& tx) {
    if (settings.mode == Mode::Lsb) q = -q;
    std::pair<std::int32_t, std::int32_t> iq;
    if (settings.mode == Mode::Am)
        iq = mix.modulateAm(i);
    else if (settings.mode == Mode::Fm)
        iq = mix.modulateFm(i);
    else
        iq = mix.rotate(i, q);
    std::int32_t outI = iq.first;
    std::int32_t outQ = correctTxQuadrature(outI, iq.second, settings.amplitudeCorrection, settings.phaseCorrection);
    outI = std::clamp(outI, -kTxFullScale, kTxFullScale);
    outQ = std::clamp(outQ, -kTxFullScale, kTxFullScale);
    if (settings.swapIq) std::swap(outI, outQ);
    tx.append(static_cast<std::int16_t>(outI));
    tx.append(static_cast<std::int16_t>(outQ));
}

}  // namespace orv
