// The speaker files of fixed recordings, pinned byte for byte: any change to the receive
// path, its buffering or its order of operations that alters one output bit fails here.
// The checksums were taken from the receiver as it stood when the signal path was
// judged right by the behaviour tests; a deliberate change of output updates them. Since
// a run drains its filters at the end of the recording, a file is longer than it was;
// what it held before stays pinned as its beginning.
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>

#include <QImage>
#include <QString>

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

// FNV-1a over the first `count` samples of a WAV file's audio.
std::uint64_t samplesChecksum(const Audio& audio, std::size_t count) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (std::size_t i = 0; i < std::min(count, audio.samples.size()); ++i) {
        const auto bits = static_cast<std::uint16_t>(audio.samples[i]);
        for (const std::uint8_t byte : {static_cast<std::uint8_t>(bits & 0xFF), static_cast<std::uint8_t>(bits >> 8)}) {
            h ^= byte;
            h *= 0x100000001b3ULL;
        }
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
    std::uint64_t checksum;       // the whole file
    std::size_t earlierSamples;   // what the receiver wrote before it drained its filters,
    std::uint64_t earlierChecksum;  // which every file still begins with
};

constexpr GoldenCase kCases[] = {
    {"demo USB", nullptr, 48000, 0, "--mode usb --offset 6000", 0x759f8606388e0d0aULL, 149400, 0xa033a26f60818bb3ULL},
    {"demo LSB", nullptr, 48000, 0, "--mode lsb --offset -9000", 0x4989782df42f122cULL, 149400, 0x2873354ddf182bc5ULL},
    {"demo CW filter", nullptr, 48000, 0, "--mode usb --offset 14300 --bandwidth 550-850", 0x64d931fb8a88785eULL, 149400, 0x2ca11c98a6943206ULL},
    {"demo USB strong NR, AGC off", nullptr, 48000, 0, "--mode usb --offset 6000 --nr strong --agc off", 0x2285d13d118285dULL, 149400, 0x58352c278ec35e98ULL},
    {"AM 48000", amCarrier, 48000, 2.0, "--mode am --offset 5000", 0xd9c7d84fe7751440ULL, 28800, 0x856e9ec16c365eeaULL},
    {"AM 44100 weak NR", amCarrier, 44100, 2.0, "--mode am --offset 5000 --nr weak", 0xc19cc0ce9a06e940ULL, 26448, 0x45ab62315d626d79ULL},
    {"FM 44100", narrowFm, 44100, 2.0, "--mode fm --offset -6000", 0x8a624fb756c8f45ULL, 26448, 0xc063e71daba9fd7fULL},
    {"broadcast FM 96000", broadcastFm, 96000, 1.5, "--mode wfm", 0x8b024a658c2d5a19ULL, 46800, 0x268574298ffba845ULL},
    {"broadcast FM 192000", broadcastFm, 192000, 1.5, "--mode wfm", 0x40b134b4858a5aa9ULL, 46800, 0x171501d9b3555359ULL},
    {"USB 192000 max band", broadcastFm, 192000, 1.0, "--mode usb --offset 2000 --bandwidth max", 0xa2aa56c7c2a58ca2ULL, 32400, 0x3a6d6fc647245630ULL},
    {"LSB 11025", amCarrier, 11025, 2.0, "--mode lsb --offset 2000 --bandwidth 2100", 0xdefdfd72d4bbff02ULL, 26448, 0x30d22cd1361206beULL},
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
        const Audio out = read(path("out.wav"));
        EXPECT_EQ(fileChecksum(path("out.wav")), c.checksum)
            << c.name << ": 0x" << std::hex << fileChecksum(path("out.wav")) << std::dec << ", "
            << out.samples.size() << " samples, 0x" << std::hex << samplesChecksum(out, out.samples.size());
        EXPECT_GE(out.samples.size(), c.earlierSamples) << c.name;
        EXPECT_EQ(samplesChecksum(out, c.earlierSamples), c.earlierChecksum) << c.name;
    }
}

// FNV-1a over an image's pixels, row by row as 0xAARRGGBB; zero when it cannot be read.
std::uint64_t pixelsChecksum(const std::string& file) {
    const QImage image = QImage(QString::fromStdString(file)).convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) return 0;
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            for (int shift = 0; shift < 32; shift += 8) {
                h ^= (image.pixel(x, y) >> shift) & 0xFF;
                h *= 0x100000001b3ULL;
            }
    return h;
}

// The picture is pinned, not the PNG's bytes, which follow the compression chosen.
TEST_F(GoldenOutput, TheDemoBandsWaterfallIsPixelIdenticalToThePinnedOne) {
    ASSERT_EQ(run("--headless --batch --rx-file " + std::string(ORVANDEL_DATA) + "/demo_band.wav --waterfall " +
                  path("band.png") + " --mode usb --offset 6000 --bandwidth 3300 --centre 7050000"),
              0)
        << err;
    const std::uint64_t pixels = pixelsChecksum(path("band.png"));
    EXPECT_EQ(pixels, 0x153aa88b546752b3ULL) << "0x" << std::hex << pixels;
}

}  // namespace
}  // namespace orv::test
