// The speaker files of fixed recordings, pinned byte for byte: any change to the receive
// path, its buffering or its order of operations that alters one output bit fails here.
// The checksums were taken from the receiver as it stood when the signal path was
// judged right by the behaviour tests; a deliberate change of output updates them.
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "support/program_run.hpp"

namespace orv::test {
namespace {

constexpr double kTwoPi = 2 * M_PI;

// FNV-1a over the whole file: header and samples.
std::uint64_t fileChecksum(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (std::istreambuf_iterator<char> it(in), end; it != end; ++it) {
        h ^= static_cast<std::uint8_t>(*it);
        h *= 0x100000001b3ULL;
    }
    return h;
}

using Signal = std::complex<double> (*)(long t, int rate);

// A little noise on every signal, from a fixed seed, so the filters see a full band.
std::complex<double> noise(long t) {
    std::uint64_t z = static_cast<std::uint64_t>(t) * 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return {static_cast<double>(z % 401) - 200, static_cast<double>((z >> 32) % 401) - 200};
}

std::complex<double> amCarrier(long t, int rate) {
    const double s = static_cast<double>(t) / rate;
    return std::polar(8000 * (1 + 0.5 * std::cos(kTwoPi * 1000 * s)), kTwoPi * 5000 * s) + noise(t);
}
std::complex<double> narrowFm(long t, int rate) {
    const double s = static_cast<double>(t) / rate;
    return std::polar(8000.0, kTwoPi * -6000 * s + 2.5 * std::sin(kTwoPi * 1000 * s)) + noise(t);
}
std::complex<double> broadcastFm(long t, int rate) {
    const double s = static_cast<double>(t) / rate;
    const double deviation = rate == 192000 ? 75.0 : 40.0;
    return std::polar(8000.0, deviation * std::sin(kTwoPi * 1000 * s)) + noise(t);
}

struct GoldenCase {
    const char* name;
    Signal signal;  // nullptr: the demo band
    int rate;
    double seconds;
    const char* options;
    std::uint64_t checksum;
};

constexpr GoldenCase kCases[] = {
    {"demo USB", nullptr, 48000, 0, "--mode usb --offset 6000", 0x16f8f4c62f5ca969ULL},
    {"demo LSB", nullptr, 48000, 0, "--mode lsb --offset -9000", 0x42f5fd2560a2b71fULL},
    {"demo CW filter", nullptr, 48000, 0, "--mode usb --offset 14300 --bandwidth 550-850", 0x5f77f342f2006bc0ULL},
    {"demo USB strong NR, AGC off", nullptr, 48000, 0, "--mode usb --offset 6000 --nr strong --agc off", 0x26c04785e173abd2ULL},
    {"AM 48000", amCarrier, 48000, 2.0, "--mode am --offset 5000", 0x35c57cd11782f648ULL},
    {"AM 44100 weak NR", amCarrier, 44100, 2.0, "--mode am --offset 5000 --nr weak", 0xd073b66aeb7c009eULL},
    {"FM 44100", narrowFm, 44100, 2.0, "--mode fm --offset -6000", 0x6751dcf7fbab3184ULL},
    {"broadcast FM 96000", broadcastFm, 96000, 1.5, "--mode wfm", 0xe7bb92ff493721a4ULL},
    {"broadcast FM 192000", broadcastFm, 192000, 1.5, "--mode wfm", 0xef58e386d66da39cULL},
    {"USB 192000 max band", broadcastFm, 192000, 1.0, "--mode usb --offset 2000 --bandwidth max", 0xb45800b7b88fc5a1ULL},
    {"LSB 11025", amCarrier, 11025, 2.0, "--mode lsb --offset 2000 --bandwidth 2100", 0x69648697735774c1ULL},
};

class GoldenOutput : public ProgramRun {};

TEST_F(GoldenOutput, SpeakerFilesAreByteIdenticalToThePinnedOnes) {
    for (const auto& c : kCases) {
        std::string input = std::string(ORVANDEL_DATA) + "/demo_band.wav";
        if (c.signal) {
            input = path("in.wav");
            writeIqSignal(input, c.rate, c.seconds, [&](long t) { return c.signal(t, c.rate); });
        }
        fs::remove_all(path("settings"));
        ASSERT_EQ(run("--headless --batch --rx-file " + input + " --speaker-file " + path("out.wav") + " " + c.options),
                  0)
            << c.name << ": " << err;
        EXPECT_EQ(fileChecksum(path("out.wav")), c.checksum)
            << c.name << ": 0x" << std::hex << fileChecksum(path("out.wav"));
    }
}

TEST_F(GoldenOutput, TheDemoBandsWaterfallIsByteIdenticalToThePinnedOne) {
    ASSERT_EQ(run("--headless --batch --rx-file " + std::string(ORVANDEL_DATA) + "/demo_band.wav --waterfall " +
                  path("band.png") + " --mode usb --offset 6000 --bandwidth 3300 --centre 7050000"),
              0)
        << err;
    EXPECT_EQ(fileChecksum(path("band.png")), 0xab92020828923c6ULL) << "0x" << std::hex << fileChecksum(path("band.png"));
}

}  // namespace
}  // namespace orv::test
