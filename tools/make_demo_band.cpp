// Makes the demo band: a 48000 samples/s I/Q recording (left I, right Q) holding an
// upper-sideband voice station 6 kHz above the centre, a lower-sideband voice station
// 9 kHz below it, a keyed CW carrier 15 kHz above it and a little noise.
//
//   make_demo_band OUT.wav USB_SPEECH.wav LSB_SPEECH.wav [SECONDS]
//
// The speech files are mono recordings at any rate (tools/make_demo_band.sh makes them
// with espeak-ng).
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <complex>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 48000;
constexpr double kPi = 3.14159265358979323846;

std::vector<double> readMono(const std::string& path, int& rate) {
    SF_INFO info{};
    SNDFILE* in = sf_open(path.c_str(), SFM_READ, &info);
    if (!in) {
        std::fprintf(stderr, "make_demo_band: cannot read %s: %s\n", path.c_str(), sf_strerror(nullptr));
        std::exit(1);
    }
    std::vector<double> frames(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_double(in, frames.data(), info.frames);
    sf_close(in);
    std::vector<double> mono(static_cast<std::size_t>(info.frames));
    for (std::size_t i = 0; i < mono.size(); ++i) mono[i] = frames[i * static_cast<std::size_t>(info.channels)];
    rate = info.samplerate;
    return mono;
}

double blackman(double n, double length) {
    return 0.42 - 0.5 * std::cos(2 * kPi * n / (length - 1)) + 0.08 * std::cos(4 * kPi * n / (length - 1));
}

// Band-limited interpolation to 48000 with a windowed sinc of 64 taps.
std::vector<double> resample(const std::vector<double>& x, int rate) {
    const double step = static_cast<double>(rate) / kRate;
    const double cutoff = std::min(1.0, 1.0 / step) * 0.95;
    std::vector<double> y(static_cast<std::size_t>(static_cast<double>(x.size()) / step));
    for (std::size_t k = 0; k < y.size(); ++k) {
        const double p = static_cast<double>(k) * step;
        const auto base = static_cast<long>(p);
        double sum = 0;
        for (long t = base - 31; t <= base + 32; ++t) {
            if (t < 0 || t >= static_cast<long>(x.size())) continue;
            const double d = p - static_cast<double>(t);
            const double sinc = d == 0 ? 1.0 : std::sin(kPi * cutoff * d) / (kPi * cutoff * d);
            sum += x[static_cast<std::size_t>(t)] * cutoff * sinc * blackman(d + 32, 65);
        }
        y[k] = sum;
    }
    return y;
}

// Odd-length FIR filter; the output is aligned with the input (delay removed).
std::vector<double> filter(const std::vector<double>& x, const std::vector<double>& taps) {
    const long half = static_cast<long>(taps.size()) / 2;
    std::vector<double> y(x.size(), 0.0);
    for (long n = 0; n < static_cast<long>(x.size()); ++n) {
        double s = 0;
        for (long k = -half; k <= half; ++k) {
            const long at = n - k;
            if (at >= 0 && at < static_cast<long>(x.size())) s += taps[static_cast<std::size_t>(k + half)] * x[static_cast<std::size_t>(at)];
        }
        y[static_cast<std::size_t>(n)] = s;
    }
    return y;
}

std::vector<double> bandPass(double low, double high, int length) {
    std::vector<double> taps(static_cast<std::size_t>(length));
    const int half = length / 2;
    for (int n = -half; n <= half; ++n) {
        const double ideal = n == 0 ? 2 * (high - low) / kRate
                                    : (std::sin(2 * kPi * high * n / kRate) - std::sin(2 * kPi * low * n / kRate)) / (kPi * n);
        taps[static_cast<std::size_t>(n + half)] = ideal * blackman(n + half, length);
    }
    return taps;
}

std::vector<double> hilbert(int length) {
    std::vector<double> taps(static_cast<std::size_t>(length), 0.0);
    const int half = length / 2;
    for (int n = -half; n <= half; ++n)
        if (n % 2 != 0) taps[static_cast<std::size_t>(n + half)] = 2.0 / (kPi * n) * blackman(n + half, length);
    return taps;
}

// Speech band-passed to 300 … 2800 Hz, normalised to a peak of 1, repeated with pauses to
// fill `total` samples, starting after `delay` samples.
std::vector<double> voice(const std::string& path, std::size_t total, std::size_t delay) {
    int rate = 0;
    const auto recorded = readMono(path, rate);
    auto speech = filter(resample(recorded, rate), bandPass(300, 2800, 511));
    double peak = 1e-9;
    for (const double v : speech) peak = std::max(peak, std::abs(v));
    std::vector<double> out(total, 0.0);
    for (std::size_t start = delay; start < total; start += speech.size() + kRate) {
        for (std::size_t k = 0; k < speech.size() && start + k < total; ++k) out[start + k] = speech[k] / peak;
    }
    return out;
}

// Adds a single-sideband station: the analytic signal of `audio` moved to `carrierHz`;
// the lower sideband takes the conjugate.
void addSideband(std::vector<std::complex<double>>& band, const std::vector<double>& audio, double carrierHz,
                 bool upper, double amplitude) {
    const auto quadrature = filter(audio, hilbert(255));
    for (std::size_t n = 0; n < band.size(); ++n) {
        const std::complex<double> analytic(audio[n], upper ? quadrature[n] : -quadrature[n]);
        band[n] += amplitude * analytic * std::polar(1.0, 2 * kPi * carrierHz * static_cast<double>(n) / kRate);
    }
}

// "CQ" in Morse at 20 words per minute, again and again, with 5 ms ramps.
void addCw(std::vector<std::complex<double>>& band, double carrierHz, double amplitude) {
    const std::string code = "-.-. --.-   ";
    const std::size_t dot = kRate * 60 / 1000;  // 60 ms
    std::vector<double> key;
    for (const char c : code) {
        const std::size_t on = c == '-' ? 3 * dot : (c == '.' ? dot : 0);
        key.insert(key.end(), on, 1.0);
        key.insert(key.end(), c == ' ' ? 2 * dot : dot, 0.0);
    }
    double envelope = 0;
    const double ramp = 1.0 / (0.005 * kRate);
    for (std::size_t n = 0; n < band.size(); ++n) {
        const double target = key[n % key.size()];
        envelope += std::clamp(target - envelope, -ramp, ramp);
        band[n] += amplitude * envelope * std::polar(1.0, 2 * kPi * carrierHz * static_cast<double>(n) / kRate);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: make_demo_band OUT.wav USB_SPEECH.wav LSB_SPEECH.wav [SECONDS]\n");
        return 2;
    }
    const double seconds = argc > 4 ? std::atof(argv[4]) : 12.0;
    const auto total = static_cast<std::size_t>(seconds * kRate);
    std::vector<std::complex<double>> band(total);
    addSideband(band, voice(argv[2], total, kRate / 2), 6000, true, 6000);
    addSideband(band, voice(argv[3], total, kRate), -9000, false, 5000);
    addCw(band, 15000, 2500);
    std::mt19937 rng(2026);
    std::normal_distribution<double> noise(0.0, 120.0);
    std::vector<short> frames(2 * total);
    for (std::size_t n = 0; n < total; ++n) {
        const std::complex<double> v = band[n] + std::complex<double>(noise(rng), noise(rng));
        frames[2 * n] = static_cast<short>(std::lround(std::clamp(v.real(), -32767.0, 32767.0)));
        frames[2 * n + 1] = static_cast<short>(std::lround(std::clamp(v.imag(), -32767.0, 32767.0)));
    }
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* out = sf_open(argv[1], SFM_WRITE, &info);
    if (!out) {
        std::fprintf(stderr, "make_demo_band: cannot write %s: %s\n", argv[1], sf_strerror(nullptr));
        return 1;
    }
    sf_writef_short(out, frames.data(), static_cast<sf_count_t>(total));
    sf_close(out);
    return 0;
}
