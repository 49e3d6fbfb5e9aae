#include "dsp/receive_chain.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "dsp/rates.hpp"
#include "dsp/simd.hpp"

namespace orv {

namespace {

constexpr std::int32_t kFullScale = 32767;
constexpr std::int32_t kLimiterKnee = 20000;
constexpr std::int32_t kLimiterScale = 28127;

std::int32_t roundToInt(float v) { return static_cast<std::int32_t>(simd::roundEven(v)); }

}  // namespace

std::int32_t ReceiveChain::softLimit(std::int32_t v) {
    const std::int32_t magnitude = std::abs(v);
    if (magnitude <= kLimiterKnee) return v;
    const float excess = static_cast<float>(magnitude - kLimiterKnee) / static_cast<float>(kLimiterScale - kLimiterKnee);
    const float degrees = std::atan(excess) * 57.296f;
    const float limited = static_cast<float>(kLimiterKnee) + static_cast<float>(kFullScale - kLimiterKnee) / 90.0f * degrees;
    const std::int32_t out = roundToInt(limited);
    return v < 0 ? -out : out;
}

void ReceiveChain::initReceive() {
    const ReceiveConfig& settings = config_;
    inputGain_ = 100;
    gainTarget_ = 100;
    inputPeak_ = 0;
    peakCount_ = 0;
    peakWindow_ = 2 * (settings.fee / 4);
    inputSmoother_ = {10.0f, 10.0f, 1.0f / (2.0f * static_cast<float>(settings.fee)), 0.333f};
    smootherSettled_ = false;
    envelope_ = {100.0f, 100.0f, 1.0f / static_cast<float>(settings.fes), 0.333f};
    outFill_ = 0;
    sumI_ = 0;
    sumQ_ = 0;
    if (settings.fes < settings.fee) antiAlias_.design(settings.fee);
}

void ReceiveChain::resetResampler() {
    resampleRatio_ = 10000;
    outputIndex_ = -1;
    halfBlocks_ = 0;
    lastI_ = {};
    lastQ_ = {};
}

void ReceiveChain::setOutputRate(int rateHz) {
    if (resampleRatio_ == 0) return;
    const std::int64_t h = static_cast<std::int64_t>(rateHz) * kResampleScale / nominalOutputRate(config_.fee, false);
    if (h == 0) return;
    // Keep the position in the input while the ratio changes.
    const std::int64_t position = resampleRatio_ * outputIndex_;
    resampleRatio_ = kResampleScale * kResampleScale / h;
    outputIndex_ = position / resampleRatio_;
    if (position % resampleRatio_ > resampleRatio_ / 2) ++outputIndex_;
}

void ReceiveChain::designBandFilter(int lowHz, int highHz, int blockLength) {
    bandFilter_.design(lowHz, highHz, config_.fes, blockLength);
}

void ReceiveChain::process(std::span<const std::int16_t> frames, int channels, int displayOffset,
                           SampleFifo<std::int16_t>& speaker) {
    const ReceiveConfig& settings = config_;
    const int count = static_cast<int>(frames.size()) / channels;
    // Without the receive gain control the samples do not depend on the gain, which only
    // the display needs: the gain smoother then steps alongside another long chain of
    // dependent steps of the half block, the high-pass of AM and FM or the de-emphasis of
    // broadcast FM at 192000, so the two overlap. (Alongside the decimator's short sums
    // it only slows them down.)
    const bool overlap = settings.spectrumAgcOn && !settings.rxAgcOn && settings.fes < settings.fee &&
                         (usesIntermediateFrequency(settings.mode) || settings.mode == Mode::BroadcastFm192);
    if (overlap) {
        const auto stride = static_cast<std::size_t>(channels);
        const std::int16_t* inI = channelStart(frames, channels, 1);
        for (std::size_t n = 0; n < static_cast<std::size_t>(count); ++n) blockI_[n] = inI[n * stride];
        if (channels == 2) {
            const std::int16_t* inQ = channelStart(frames, channels, 2);
            for (std::size_t n = 0; n < static_cast<std::size_t>(count); ++n) blockQ_[n] = inQ[n * stride];
        }
        pending_ = {frames, channels, displayOffset, count, 0};
        if (gains_.size() < static_cast<std::size_t>(2 * count)) gains_.resize(static_cast<std::size_t>(2 * count));
    } else {
        convertHalfBlock(frames, channels, 1, count, displayOffset);
        if (channels == 2) convertHalfBlock(frames, channels, 2, count, displayOffset);
    }
    if (channels != 2) {
        std::fill_n(blockQ_.begin(), count, 0);
        std::fill_n(displayQ_.begin() + displayOffset, count, 0);
    }
    if (settings.receiverIsSdR) correctIq(count);
    processHalfBlock(count, speaker);
    if (overlap) finishPendingGains();
}

void ReceiveChain::finishPendingGains() {
    PendingGains& p = pending_;
    const auto stride = static_cast<std::size_t>(p.channels);
    const int channels = p.channels == 2 ? 2 : 1;
    const int steps = channels * p.count;
    std::int32_t* gains = gains_.data();
    if (p.stepped < steps) {
        GainRun run = gainRun();
        for (int c = 1; c <= channels; ++c) {
            const std::int16_t* in = channelStart(p.frames, p.channels, c);
            const int first = (c - 1) * p.count;
            const int from = std::max(p.stepped, first);
            if (from < first + p.count)
                run.steps(in + static_cast<std::size_t>(from - first) * stride, stride, first + p.count - from,
                          gains + from);
        }
        keep(run);
        p.stepped = steps;
    }
    // The samples were taken ungained and have moved on: only the display is written.
    for (int c = 1; c <= channels; ++c) {
        std::int32_t* display = (c == 2 ? displayQ_ : displayI_).data() + p.displayOffset;
        const std::int16_t* in = channelStart(p.frames, p.channels, c);
        simd::kernels().applyGains(in, static_cast<int>(stride), gains + (c - 1) * p.count, p.count, display);
    }
    p = {};
}

ReceiveChain::GainRun ReceiveChain::gainRun() const {
    return {inputSmoother_, smootherSettled_, inputPeak_, peakCount_, gainTarget_, inputGain_, peakWindow_,
            config_.correctionWindowOpen};
}

void ReceiveChain::keep(const GainRun& run) {
    inputSmoother_ = run.smoother;
    smootherSettled_ = run.settled;
    inputPeak_ = run.peak;
    peakCount_ = run.peakCount;
    gainTarget_ = run.target;
    inputGain_ = run.gain;
}

const std::int16_t* ReceiveChain::channelStart(std::span<const std::int16_t> frames, int channels, int channel) const {
    // I is the left channel and Q the right, unless they are swapped.
    const bool right = channels == 2 && ((channel == 2) != config_.rxSwapIq);
    return frames.data() + (right ? 1 : 0);
}

void ReceiveChain::applyGains(const std::int16_t* in, std::size_t stride, int count, const std::int32_t* gains,
                              std::int32_t* display, std::int32_t* samples) const {
    // The gained samples go where a gain control is on (one at least is), the card's own
    // where it is off.
    const bool both = config_.spectrumAgcOn && config_.rxAgcOn;
    std::int32_t* gained = config_.spectrumAgcOn ? display : samples;
    std::int32_t* other = config_.spectrumAgcOn ? samples : display;
    simd::kernels().applyGains(in, static_cast<int>(stride), gains, count, gained);
    if (both) {
        std::copy_n(gained, count, other);
        return;
    }
    simd::kernels().widen(in, static_cast<int>(stride), count, other);
}

void ReceiveChain::convertHalfBlock(std::span<const std::int16_t> frames, int channels, int channel, int count,
                                    int displayOffset) {
    const ReceiveConfig& settings = config_;
    const std::int16_t* in = channelStart(frames, channels, channel);
    const auto stride = static_cast<std::size_t>(channels);
    std::int32_t* samples = (channel == 2 ? blockQ_ : blockI_).data();
    std::int32_t* display = (channel == 2 ? displayQ_ : displayI_).data() + displayOffset;
    if (!settings.spectrumAgcOn && !settings.rxAgcOn) {
        for (std::size_t n = 0; n < static_cast<std::size_t>(count); ++n) display[n] = samples[n] = in[n * stride];
        return;
    }
    // The gain of each sample first: the smoother is one long chain of dependent steps, so
    // it runs alone, its state in registers; the gained samples follow side by side.
    if (gains_.size() < static_cast<std::size_t>(count)) gains_.resize(static_cast<std::size_t>(count));
    std::int32_t* gains = gains_.data();
    GainRun run = gainRun();
    run.steps(in, stride, count, gains);
    keep(run);
    applyGains(in, stride, count, gains, display, samples);
}

void ReceiveChain::correctIq(int count) {
    // With no correction the sample comes back unchanged: q × 1000 / 1000 is within 0.004
    // of q for 16-bit q, and the phase term is zero.
    if (config_.amplitudeCorrection == 0 && config_.phaseCorrection == 0) return;
    const float amplitude = static_cast<float>(config_.amplitudeCorrection + 1000);
    const float phase = static_cast<float>(config_.phaseCorrection * 1565);
    for (std::size_t n = 0; n < static_cast<std::size_t>(count); ++n) {
        std::int32_t q = roundToInt(amplitude * static_cast<float>(blockQ_[n]) / 1000.0f);
        q = roundToInt(static_cast<float>(q) - phase * static_cast<float>(blockI_[n]) / 1000000.0f);
        blockQ_[n] = q;
    }
}

void ReceiveChain::processHalfBlock(int count, SampleFifo<std::int16_t>& speaker) {
    const ReceiveConfig& settings = config_;
    const Mode mode = settings.mode;
    const bool sideband = isSideband(mode);
    link_.clear();
    levelUpdated_ = false;
    // The gain steps still to do go alongside the demodulator's high-pass or the
    // de-emphasis.
    PendingStepper stepper(*this);
    if (mode != Mode::BroadcastFm96 && mode != Mode::BroadcastFm192) {
        // USB and LSB shift the tuned signal to 0 Hz; AM and FM put their carrier on the
        // intermediate frequency.
        mix_.frequencyHz = sideband ? settings.rxMixFrequencyHz : settings.ifMixFrequencyHz;
        mix_.rate = settings.fee;
        mix_.rotateBlock(blockI_.data(), blockQ_.data(), count);
    }
    if (!sideband) {
        if (mode == Mode::Am && stepper.active())
            demodulators_.demodulateAm(blockI_.data(), blockQ_.data(), count, settings.fee / 100, stepper);
        else if (mode == Mode::Am)
            demodulators_.demodulateAm(blockI_.data(), blockQ_.data(), count, settings.fee / 100);
        else if (mode == Mode::Fm && stepper.active())
            demodulators_.demodulateFm(blockI_.data(), blockQ_.data(), count, settings.fee, stepper);
        else if (mode == Mode::Fm)
            demodulators_.demodulateFm(blockI_.data(), blockQ_.data(), count, settings.fee);
        else
            demodulators_.discriminateBroadcastFm(blockI_.data(), blockQ_.data(), count);
        std::fill_n(blockQ_.begin(), count, 0);
    }
    const int resampled = resample(count, sideband);
    if (settings.fes < settings.fee) {
        if (mode == Mode::BroadcastFm192) {
            if (stepper.active()) {
                demodulators_.deEmphasize(resampledI_.data(), resampled, stepper);
            } else {
                demodulators_.deEmphasize(resampledI_.data(), resampled);
            }
        } else {
            antiAlias_.run(0, resampledI_.data(), resampled);
        }
        if (sideband && settings.receiverIsSdR)
            antiAlias_.run(1, resampledQ_.data(), resampled);
        else if (sideband)
            std::copy_n(resampledI_.begin(), resampled, resampledQ_.begin());
    }
    stepper.finish();
    outFill_ += decimate(resampled, sideband, settings.fee, settings.fes);
    const int n = count;
    for (int pass = 0; pass < 2 && outFill_ >= n; ++pass) blockStage(n, speaker);
}

int ReceiveChain::resample(int n, bool withQ) {
    const std::int64_t base = kResampleScale * halfBlocks_ * n;
    int produced = 0;
    const auto at = [&](const SampleArray& block, const std::array<std::int32_t, 2>& last, std::int64_t w) {
        return w < 0 ? last[static_cast<std::size_t>(w + 2)] : block[static_cast<std::size_t>(w)];
    };
    const std::int64_t first = outputIndex_ + 1 - halfBlocks_ * n;
    if (resampleRatio_ == kResampleScale && first >= -2) {
        // At the nominal ratio every output falls on an input sample (left weight 1, right
        // weight 0): the outputs are the inputs from `first` on.
        const std::int64_t wanted = std::max<std::int64_t>(n - 1 - first, 0);
        produced = static_cast<int>(std::min<std::int64_t>(wanted, static_cast<std::int64_t>(kResampledCapacity)));
        int k = 0;
        for (; k < produced && first + k < 0; ++k) {
            resampledI_[static_cast<std::size_t>(k)] = at(blockI_, lastI_, first + k);
            if (withQ) resampledQ_[static_cast<std::size_t>(k)] = at(blockQ_, lastQ_, first + k);
        }
        const auto from = static_cast<std::size_t>(first + k);
        std::copy_n(blockI_.begin() + static_cast<std::ptrdiff_t>(from), produced - k, resampledI_.begin() + k);
        if (withQ)
            std::copy_n(blockQ_.begin() + static_cast<std::ptrdiff_t>(from), produced - k, resampledQ_.begin() + k);
        outputIndex_ += produced;
    } else if (const std::int64_t v = resampleRatio_ * (outputIndex_ + 1); v / kResampleScale - halfBlocks_ * n >= -2) {
        // v = ratio × output index grows by the ratio from output to output: its whole part
        // and remainder in ten-thousandths are carried along rather than divided out. An
        // output then falls between inputs w and w + 1 with weights 10000 − r and r.
        std::int64_t w = v / kResampleScale - halfBlocks_ * n;
        std::int64_t r = v % kResampleScale;
        const std::int64_t wholeStep = resampleRatio_ / kResampleScale;
        const std::int64_t partStep = resampleRatio_ % kResampleScale;
        while (static_cast<std::size_t>(produced) < kResampledCapacity && w + 1 < n) {
            const std::int64_t left = kResampleScale - r;
            resampledI_[static_cast<std::size_t>(produced)] = static_cast<std::int32_t>(
                (at(blockI_, lastI_, w) * left + at(blockI_, lastI_, w + 1) * r) / kResampleScale);
            if (withQ)
                resampledQ_[static_cast<std::size_t>(produced)] = static_cast<std::int32_t>(
                    (at(blockQ_, lastQ_, w) * left + at(blockQ_, lastQ_, w + 1) * r) / kResampleScale);
            ++produced;
            w += wholeStep;
            r += partStep;
            if (r >= kResampleScale) {
                r -= kResampleScale;
                ++w;
            }
        }
        outputIndex_ += produced;
    } else {
        while (static_cast<std::size_t>(produced) < kResampledCapacity) {
            ++outputIndex_;
            const std::int64_t v = resampleRatio_ * outputIndex_;
            const std::int64_t p = v - base;
            std::int64_t w = v / kResampleScale - halfBlocks_ * n;
            if (w < -2) w = -2;
            if (w + 1 >= n) {
                --outputIndex_;
                break;
            }
            const std::int64_t left = kResampleScale * (w + 1) - p;
            const std::int64_t right = p - kResampleScale * w;
            resampledI_[static_cast<std::size_t>(produced)] = static_cast<std::int32_t>(
                (at(blockI_, lastI_, w) * left + at(blockI_, lastI_, w + 1) * right) / kResampleScale);
            resampledQ_[static_cast<std::size_t>(produced)] = static_cast<std::int32_t>(
                (at(blockQ_, lastQ_, w) * left + at(blockQ_, lastQ_, w + 1) * right) / kResampleScale);
            ++produced;
        }
    }
    lastI_ = {blockI_[static_cast<std::size_t>(n - 2)], blockI_[static_cast<std::size_t>(n - 1)]};
    lastQ_ = {blockQ_[static_cast<std::size_t>(n - 2)], blockQ_[static_cast<std::size_t>(n - 1)]};
    ++halfBlocks_;
    return produced;
}

ReceiveChain::PendingStepper::PendingStepper(ReceiveChain& chain)
    : chain_(chain),
      pending_(chain.pending_),
      run_(chain.gainRun()),
      steps_(pending_.count > 0 && pending_.stepped == 0 ? (pending_.channels == 2 ? 2 : 1) * pending_.count : 0),
      stride_(static_cast<std::size_t>(pending_.channels)),
      inI_(steps_ > 0 ? chain.channelStart(pending_.frames, pending_.channels, 1) : nullptr),
      inQ_(steps_ > 0 ? chain.channelStart(pending_.frames, pending_.channels, 2) : nullptr),
      gains_(chain.gains_.data()) {}

void ReceiveChain::PendingStepper::finish() {
    if (steps_ == 0 || done_ == 0) return;
    chain_.keep(run_);
    pending_.stepped = done_;
    steps_ = 0;
}

int ReceiveChain::decimate(int count, bool withQ, int fee, int fes) {
    int emitted = 0;
    const auto room = [&] { return static_cast<std::size_t>(outFill_ + emitted) < kOutCapacity; };
    if (fes >= fee) {
        for (int k = 0; k < count && room(); ++k, ++emitted) {
            outI_[static_cast<std::size_t>(outFill_ + emitted)] = resampledI_[static_cast<std::size_t>(k)];
            outQ_[static_cast<std::size_t>(outFill_ + emitted)] = withQ ? resampledQ_[static_cast<std::size_t>(k)] : 0;
        }
        return emitted;
    }
    const int roomLeft = static_cast<int>(kOutCapacity) - outFill_;
    if (const int whole = fee / fes; fee % fes == 0 && decimatorLast_ == decimatorCount_ / whole &&
                                     (decimatorCount_ % whole != 0 || (sumI_ == 0 && sumQ_ == 0)) &&
                                     (decimatorCount_ + count) / whole - decimatorCount_ / whole <= roomLeft)
        return decimateWhole(count, withQ, whole);
    const float ratio = static_cast<float>(fee / fes);
    // The quotient count × fes / fee, kept with its remainder so each sample costs an
    // addition rather than a division.
    std::int64_t counted = decimatorCount_;
    std::int64_t quotient = counted * fes / fee;
    std::int64_t remainder = counted * fes % fee;
    std::int64_t last = decimatorLast_;
    float sumI = sumI_;
    float sumQ = sumQ_;
    const std::int32_t* inI = resampledI_.data();
    const std::int32_t* inQ = resampledQ_.data();
    std::int32_t* outI = outI_.data() + outFill_;
    std::int32_t* outQ = outQ_.data() + outFill_;
    for (int k = 0; k < count; ++k) {
        sumI += static_cast<float>(inI[k]);
        if (withQ) sumQ += static_cast<float>(inQ[k]);
        ++counted;
        remainder += fes;
        if (remainder >= fee) {
            remainder -= fee;
            ++quotient;
        }
        if (quotient == last) continue;
        last = quotient;
        if (emitted >= roomLeft) break;
        outI[emitted] = roundToInt(sumI / ratio);
        outQ[emitted] = withQ ? roundToInt(sumQ / ratio) : 0;
        sumI = 0;
        sumQ = 0;
        ++emitted;
    }
    decimatorCount_ = counted;
    decimatorLast_ = last;
    sumI_ = sumI;
    sumQ_ = sumQ;
    return emitted;
}

int ReceiveChain::decimateWhole(int count, bool withQ, int whole) {
    const float ratio = static_cast<float>(whole);
    const std::int32_t* inI = resampledI_.data();
    const std::int32_t* inQ = resampledQ_.data();
    std::int32_t* outI = outI_.data() + outFill_;
    std::int32_t* outQ = outQ_.data() + outFill_;
    float sumI = sumI_;
    float sumQ = sumQ_;
    int k = 0;
    int emitted = 0;
    // The run the last call began goes on from its sums.
    if (int inRun = static_cast<int>(decimatorCount_ % whole); inRun != 0) {
        for (; k < count && inRun < whole; ++k, ++inRun) {
            sumI += static_cast<float>(inI[k]);
            if (withQ) sumQ += static_cast<float>(inQ[k]);
        }
        if (inRun == whole) {
            outI[0] = roundToInt(sumI / ratio);
            outQ[0] = withQ ? roundToInt(sumQ / ratio) : 0;
            emitted = 1;
            sumI = 0;
            sumQ = 0;
        }
    }
    // Whole runs side by side, then the start of the next.
    const int runs = (count - k) / whole;
    const simd::Kernels& kernels = simd::kernels();
    kernels.runMeans(inI + k, runs, whole, ratio, outI + emitted);
    if (withQ)
        kernels.runMeans(inQ + k, runs, whole, ratio, outQ + emitted);
    else
        std::fill_n(outQ + emitted, runs, 0);
    emitted += runs;
    for (k += runs * whole; k < count; ++k) {
        sumI += static_cast<float>(inI[k]);
        if (withQ) sumQ += static_cast<float>(inQ[k]);
    }
    decimatorCount_ += count;
    decimatorLast_ = decimatorCount_ / whole;
    sumI_ = sumI;
    sumQ_ = sumQ;
    return emitted;
}

void ReceiveChain::blockStage(int n, SampleFifo<std::int16_t>& speaker) {
    const ReceiveConfig& settings = config_;
    const bool sideband = isSideband(settings.mode);
    std::copy_n(outI_.begin(), n, blockI_.begin());
    if (sideband)
        std::copy_n(outQ_.begin(), n, blockQ_.begin());
    else
        std::fill_n(blockQ_.begin(), n, 0);
    outFill_ -= n;
    std::copy_n(outI_.begin() + n, outFill_, outI_.begin());
    std::copy_n(outQ_.begin() + n, outFill_, outQ_.begin());
    if (settings.fesEqualsFee) {
        std::copy_n(blockI_.begin(), n, audio_.begin());
    } else {
        const Sideband kept = settings.mode == Mode::Lsb ? Sideband::Lower : Sideband::Upper;
        bandFilter_.process(blockI_.data(), blockQ_.data(), kept, audio_.data());
    }
    outputStage(n, speaker);
}

void ReceiveChain::outputStage(int n, SampleFifo<std::int16_t>& speaker) {
    const ReceiveConfig& settings = config_;
    float power = 0;
    const bool envelopeNeeded = settings.rxAgcOn || settings.linkAudio;
    for (std::size_t k = 0; k < static_cast<std::size_t>(n); ++k) {
        const std::int32_t a = audio_[k];
        power += static_cast<float>(a) * static_cast<float>(a);
        std::int32_t b = a;
        std::int32_t c = a;
        if (envelopeNeeded) {
            std::int32_t e = roundToInt(envelope_.step(static_cast<float>(std::max(std::abs(a), 10))));
            if (e < 200) e = 200;
            b = e <= 4000 ? a * 4000 / e : a;
            c = a * 7000 / e;
            b = softLimit(b);
            c = softLimit(c);
        }
        std::int32_t v = settings.rxAgcOn ? b : softLimit(a);
        if (settings.linkAudio) link_.push_back(c);
        if (settings.noiseReducerLevel > 1) v = noiseReducer_.reduce(v);
        speaker.append(static_cast<std::int16_t>(std::clamp(v, -kFullScale, kFullScale)));
    }
    const float rms = std::sqrt(power / static_cast<float>(n));
    double level = levelHistory_.add(roundToInt(rms));
    if (settings.rxAgcOn && inputGain_ != 0) level = level / inputGain_ * 100;
    localLevel_ = level * 0.7071;
    levelUpdated_ = true;
}

}  // namespace orv
