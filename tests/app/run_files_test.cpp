// What a run does with the files it is given: recordings read once and refused clearly
// when they cannot serve, outputs that never overwrite what the run reads and are put in
// place only when complete, settings that cannot be saved, a stop by Ctrl+C, and the
// messages in the user's language.
#include <sys/mount.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "support/program_run.hpp"

namespace orv::test {
namespace {

class RunFiles : public ProgramRun {
protected:
    // 16-bit stereo at `rate`: a 1000 Hz upper-sideband tone above the centre + 1000 Hz.
    void writeTone(const std::string& file, int rate, double seconds) {
        writeIq(file, rate, seconds, {{2000, 8000}});
    }
    std::string slurp(const std::string& file) const {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    int batch(const std::string& args, const std::string& prefix = "") {
        return run("--headless --batch " + args, prefix);
    }
    // A 44-byte WAV header for 16-bit stereo at `rate` with the given rate field and
    // data size.
    static std::string wavHeader(std::uint32_t rate, std::uint32_t dataBytes) {
        std::string h;
        const auto u32 = [&](std::uint32_t v) {
            for (int b = 0; b < 4; ++b) h.push_back(static_cast<char>((v >> (8 * b)) & 0xFF));
        };
        const auto u16 = [&](std::uint16_t v) {
            h.push_back(static_cast<char>(v & 0xFF));
            h.push_back(static_cast<char>(v >> 8));
        };
        h += "RIFF";
        u32(dataBytes + 36);
        h += "WAVEfmt ";
        u32(16);
        u16(1);
        u16(2);
        u32(rate);
        u32(rate * 4);
        u16(4);
        u16(16);
        h += "data";
        u32(dataBytes);
        return h;
    }
};

TEST_F(RunFiles, OutputsNeverOverwriteWhatTheRunReadsNorEachOther) {
    writeTone(path("in.wav"), 48000, 0.3);
    fs::create_symlink(path("in.wav"), path("link.wav"));
    const std::string before = slurp(path("in.wav"));
    const std::string in = " --rx-file " + path("in.wav");
    const std::string cases[] = {
        in + " --speaker-file " + path("in.wav"),
        in + " --waterfall " + path("in.wav"),
        in + " --speaker-file " + path("link.wav"),
        in + " --speaker-file " + path("../" + dir.filename().string() + "/in.wav"),
        in + " --speaker-file " + path("out.x") + " --waterfall " + path("out.x"),
        in + " --speaker-file " + path("settings/CONFORVL.SER"),
    };
    for (const auto& args : cases) {
        EXPECT_EQ(batch(args), 2) << args << ": " << err;
        EXPECT_NE(err.find("would overwrite"), std::string::npos) << err;
        EXPECT_EQ(slurp(path("in.wav")), before) << args;
        EXPECT_FALSE(fs::exists(path("out.x")));
    }
}

TEST_F(RunFiles, ARecordingFromAPipeIsReadOnceAndGivesWhatTheFileGives) {
    writeTone(path("in.wav"), 48000, 0.5);
    ASSERT_EQ(batch("--rx-file " + path("in.wav") + " --speaker-file " + path("file.wav")), 0) << err;
    ASSERT_EQ(batch("--rx-file /dev/stdin --speaker-file " + path("pipe.wav"), "cat " + path("in.wav") + " | "), 0)
        << err;
    const Audio fromFile = read(path("file.wav"));
    EXPECT_GT(fromFile.samples.size(), 0u);
    EXPECT_EQ(read(path("pipe.wav")).samples, fromFile.samples);
    // Looping goes back to the start, which a pipe cannot.
    EXPECT_EQ(run("--headless --rx-loop --rx-file /dev/stdin", "cat " + path("in.wav") + " | "), 2);
    EXPECT_NE(err.find("cannot go back"), std::string::npos) << err;
}

TEST_F(RunFiles, TheLastMomentsOfARecordingReachTheSpeakerFile) {
    for (const int rate : {48000, 96000}) {
        // 0.8 s of silence, then 0.2 s of the tone to the very end.
        writeIqSignal(path("end.wav"), rate, 1.0, [&](long t) {
            const double s = static_cast<double>(t) / rate;
            return s < 0.8 ? std::complex<double>(0, 0) : std::polar(8000.0, 2 * M_PI * 2000 * s);
        });
        ASSERT_EQ(batch("--agc off --mode usb --offset 1000 --rx-file " + path("end.wav") + " --speaker-file " +
                        path("end_out.wav")),
                  0)
            << err;
        Audio out = read(path("end_out.wav"));
        // How long the tone sounds: 10 ms windows where it is over half its level.
        const auto window = static_cast<std::size_t>(out.rate / 100);
        double loudest = 0;
        std::vector<double> levels;
        for (std::size_t from = 0; from + window <= out.samples.size(); from += window) {
            Audio part = out;
            part.samples.assign(out.samples.begin() + static_cast<long>(from),
                                out.samples.begin() + static_cast<long>(from + window));
            levels.push_back(part.toneRms(1000, 0));
            loudest = std::max(loudest, levels.back());
        }
        const auto sounding = std::count_if(levels.begin(), levels.end(), [&](double v) { return v > loudest / 2; });
        EXPECT_GT(loudest, 3000) << rate;
        EXPECT_GE(sounding, 18) << rate << ": the tone sounds for " << sounding << "0 ms of its 200";
    }
}

TEST_F(RunFiles, RecordingsThatCannotServeAreRefusedWithTheReasonBeforeAnythingIsWritten) {
    std::ofstream(path("empty.wav"), std::ios::binary) << wavHeader(48000, 0);
    std::ofstream(path("rate0.wav"), std::ios::binary) << wavHeader(0, 400) << std::string(400, '\0');
    std::ofstream(path("rate2g.wav"), std::ios::binary) << wavHeader(0x80000000u, 400) << std::string(400, '\0');
    std::ofstream(path("text.wav")) << "not a recording\n";
    fs::create_directories(path("folder.wav"));
    struct Case {
        std::string args;
        std::string said;
    };
    const Case cases[] = {
        {"--headless --batch --rx-file " + path("empty.wav"), "holds no sound"},
        {"--headless --rx-loop --rx-file " + path("empty.wav"), "holds no sound"},
        {"--headless --batch --rx-file " + path("rate0.wav"), "its header gives a rate of 0 samples/s"},
        {"--headless --batch --rx-file " + path("rate2g.wav"), "its header gives a rate of 2147483648 samples/s"},
        {"--headless --batch --rx-file " + path("text.wav"), "is not a WAV file that can be read"},
        {"--headless --batch --rx-file " + path("folder.wav"), "is a folder, not a recording"},
        {"--headless --batch --rx-file " + path("missing.wav"), "No such file or directory"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.args), 2) << c.args;
        EXPECT_NE(err.find(c.said), std::string::npos) << c.args << ": " << err;
        EXPECT_FALSE(fs::exists(path("settings"))) << c.args;
    }
}

TEST_F(RunFiles, AnOutputThatFailsWhileWrittenLeavesTheOldFileWhole) {
    writeTone(path("in.wav"), 48000, 0.5);
    // The waterfall on a full device: found when it is written.
    EXPECT_EQ(batch("--rx-file " + path("in.wav") + " --waterfall /dev/full"), 1);
    EXPECT_NE(err.find("No space left on device"), std::string::npos) << err;

    // A speaker file on a disk that fills: the earlier file stays as it was.
    const fs::path small = dir / "small";
    fs::create_directories(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here (" << std::strerror(errno) << "): the full-disk case is not run";
    const std::string old = "an earlier speaker file";
    std::ofstream((small / "out.wav").string(), std::ios::binary) << old;
    writeTone(path("long.wav"), 48000, 3.0);  // 3 s at 12000: 72 kB of speaker audio
    const int status = batch("--rx-file " + path("long.wav") + " --speaker-file " + (small / "out.wav").string());
    const std::string kept = slurp((small / "out.wav").string());
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(small)) ++entries;
    ::umount(small.c_str());
    EXPECT_EQ(status, 1) << err;
    EXPECT_NE(err.find("out.wav"), std::string::npos) << err;
    EXPECT_EQ(kept, old);
    EXPECT_EQ(entries, 1);  // the part-written file is gone
}

TEST_F(RunFiles, ASavedModeThatCannotReceiveTheRecordingGivesWayToUsb) {
    writeTone(path("fast.wav"), 96000, 0.3);
    writeTone(path("slow.wav"), 48000, 0.3);
    ASSERT_EQ(batch("--mode wfm --rx-file " + path("fast.wav")), 0) << err;
    ASSERT_EQ(batch("--rx-file " + path("slow.wav") + " --speaker-file " + path("out.wav")), 0) << err;
    EXPECT_NE(err.find("The saved mode (wfm) cannot receive a recording at 48000 samples/s: receiving in USB"),
              std::string::npos)
        << err;
    EXPECT_EQ(read(path("out.wav")).rate, 12000);
    EXPECT_EQ(slurp(path("settings/CONFORVL.SER"))[5], 1);  // USB, saved
}

TEST_F(RunFiles, SettingsThatCannotBeSavedSaySoOnceAndTheRunFails) {
    writeTone(path("in.wav"), 48000, 0.3);
    fs::create_directories(path("settings/CONFORVL.SER"));  // a folder where the file goes
    EXPECT_EQ(batch("--mode lsb --rx-file " + path("in.wav") + " --speaker-file " + path("out.wav")), 1);
    std::size_t said = 0;
    for (std::size_t at = 0; (at = err.find("CONFORVL.SER", at)) != std::string::npos; ++at) ++said;
    EXPECT_EQ(said, 1u) << err;
    EXPECT_NE(err.find("(Is a directory)"), std::string::npos) << err;
    EXPECT_NE(err.find("the settings could not be saved"), std::string::npos) << err;
    EXPECT_GT(read(path("out.wav")).samples.size(), 0u);  // the audio is still delivered
}

TEST_F(RunFiles, CtrlCEndsABatchRunAsARealTimeOneEnds) {
    // A recording that never ends: a header promising 4 GB, then zeros from a pipe.
    std::ofstream(path("endless.hdr"), std::ios::binary) << wavHeader(48000, 0xFFFFFFF0u);
    const std::string feed = "(cat " + path("endless.hdr") + "; cat /dev/zero) | timeout --preserve-status -s INT 1 ";
    EXPECT_EQ(batch("--mode lsb --rx-file /dev/stdin --speaker-file " + path("out.wav") + " --waterfall " +
                        path("band.png"),
                    feed),
              0)
        << err;
    EXPECT_GT(read(path("out.wav")).samples.size(), 12000u);  // at least a second, in a valid file
    EXPECT_TRUE(fs::exists(path("band.png")));
    EXPECT_EQ(slurp(path("settings/CONFORVL.SER"))[5], 2);  // LSB, saved
}

TEST_F(RunFiles, MessagesFollowTheUsersLanguage) {
    const std::string french = "LANG=fr_FR.UTF-8 ";
    EXPECT_EQ(run("--agc oui", french), 2);
    EXPECT_NE(err.find("orvandel: --agc prend on ou off, pas 'oui'"), std::string::npos) << err;
    EXPECT_NE(err.find("Essayez 'orvandel --help'."), std::string::npos) << err;
    writeTone(path("in.wav"), 48000, 0.3);
    EXPECT_EQ(batch("--rx-file " + path("in.wav") + " --speaker-file " + path("out.wav"), french), 0) << err;
    EXPECT_NE(err.find("Son du haut-parleur : "), std::string::npos) << err;
    EXPECT_EQ(run("--help", french + "sh -c 'exec \"$0\" \"$@\" >" + path("help.txt") + "' "), 0);
    EXPECT_NE(slurp(path("help.txt")).find("réducteur de bruit"), std::string::npos);
}

TEST_F(RunFiles, ABatchRunUsesNoCardAndSaysNothingOfAMixer) {
    writeTone(path("in.wav"), 48000, 0.3);
    ASSERT_EQ(batch("--rx-file " + path("in.wav")), 0) << err;
    EXPECT_EQ(err.find("mixer"), std::string::npos) << err;
}

}  // namespace
}  // namespace orv::test
