#include "app/options.hpp"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(Options, ReadsModesAndFolder) {
    const auto p = parseOptions({"--headless", "--batch", "--dir", "/tmp/x"});
    EXPECT_TRUE(p.error.empty());
    EXPECT_TRUE(p.options.headless);
    EXPECT_TRUE(p.options.batch);
    EXPECT_EQ(p.options.dir, "/tmp/x");
    EXPECT_EQ(parseOptions({"--dir=/y"}).options.dir, "/y");
    const auto files = parseOptions({"--headless", "--batch", "--rx-file", "in.wav", "--speaker-file=out.wav"});
    EXPECT_TRUE(files.error.empty());
    EXPECT_EQ(files.options.rxFile, "in.wav");
    EXPECT_EQ(files.options.speakerFile, "out.wav");
    const auto roles = parseOptions({"--headless", "--rx-file", "in.wav", "--rx-loop", "--mic-file", "m.wav",
                                     "--tx-file", "t.wav"});
    EXPECT_TRUE(roles.error.empty());
    EXPECT_TRUE(roles.options.rxLoop);
    EXPECT_EQ(roles.options.micFile, "m.wav");
    EXPECT_EQ(roles.options.txFile, "t.wav");
    const auto receive = parseOptions({"--mode", "lsb", "--offset", "-1500", "--bandwidth=550-850", "--agc", "off"});
    EXPECT_TRUE(receive.error.empty());
    EXPECT_EQ(receive.options.offsetHz, -1500);
    EXPECT_STREQ(bandButtonFor(receive.options.bandwidth), "Bande_550_850");
    EXPECT_EQ(receive.options.agc, "off");
}

TEST(Options, SaysWhatIsWrong) {
    struct Case {
        std::vector<std::string> args;
        const char* error;
    };
    const Case cases[] = {{{"--nope"}, "unknown option '--nope'"},
                          {{"--dir"}, "option --dir needs a value"},
                          {{"--dir="}, "option --dir needs a value"},
                          {{"--headless", "--batch", "--rx-file"}, "option --rx-file needs a value"},
                          {{"--headless", "--rx-loop"}, "--rx-loop goes with --rx-file"},
                          {{"--headless", "--batch", "--rx-file", "a.wav", "--rx-loop"},
                           "--rx-loop replays without end; batch mode ends with the recording"},
                          {{"--batch"}, "--batch goes with --headless"},
                          {{"--mode", "cw"}, "--mode takes usb, lsb, am, fm or wfm, not 'cw'"},
                          {{"--nr", "max"}, "--nr takes off, weak or strong, not 'max'"},
                          {{"--bandwidth", "3000"},
                           "--bandwidth takes 550-850, 400-1100, 1200, 2100, 2700, 3300, 4000 or max, not '3000'"},
                          {{"--agc", "yes"}, "--agc takes on or off, not 'yes'"},
                          {{"--offset", "12k"}, "--offset takes a whole number of hertz, not '12k'"},
                          {{"--offset"}, "option --offset needs a value"},
                          {{"stray"}, "unknown option 'stray'"}};
    for (const auto& c : cases) EXPECT_EQ(parseOptions(c.args).error, c.error);
}

TEST(Options, HelpListsEveryOptionOnALineOfItsOwn) {
    const std::string help = usageText();
    for (const char* option : {"--headless", "--batch", "--dir DIR", "--rx-file IQ.wav", "--rx-loop", "--speaker-file OUT.wav",
                               "--mic-file IN.wav", "--tx-file IQ_OUT.wav", "--mode usb|lsb|am|fm|wfm", "--nr off|weak|strong", "--offset HZ",
                               "--bandwidth BW", "--agc on|off", "--help",
                               "--version"})
        EXPECT_NE(help.find(std::string("\n  ") + option), std::string::npos) << option;
}

}  // namespace
}  // namespace orv
