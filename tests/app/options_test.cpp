#include "app/options.hpp"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(Options, ReadsModesAndFolder) {
    const auto p = parseOptions({"--headless", "--batch", "--rx-file", "in.wav", "--dir", "/tmp/x"});
    EXPECT_EQ(p.error.english, "");
    EXPECT_TRUE(p.options.headless);
    EXPECT_TRUE(p.options.batch);
    EXPECT_EQ(p.options.dir, "/tmp/x");
    EXPECT_EQ(parseOptions({"--dir=/y"}).options.dir, "/y");
    const auto files = parseOptions({"--headless", "--batch", "--rx-file", "in.wav", "--speaker-file=out.wav"});
    EXPECT_EQ(files.error.english, "");
    EXPECT_EQ(files.options.rxFile, "in.wav");
    EXPECT_EQ(files.options.speakerFile, "out.wav");
    const auto receive = parseOptions({"--mode", "lsb", "--offset", "-1500", "--bandwidth=550-850", "--agc", "off"});
    EXPECT_EQ(receive.error.english, "");
    EXPECT_EQ(receive.options.offsetHz, -1500);
    EXPECT_STREQ(bandButtonFor(receive.options.bandwidth), "Bande_550_850");
    EXPECT_EQ(receive.options.agc, "off");
    EXPECT_EQ(parseOptions({"--offset=+650240"}).options.offsetHz, 650240);
}

TEST(Options, SaysWhatIsWrong) {
    struct Case {
        std::vector<std::string> args;
        const char* error;
    };
    const Case cases[] = {
        {{"--nope"}, "unknown option '--nope'"},
        {{"--dir"}, "option --dir needs a value"},
        {{"--dir="}, "option --dir needs a value"},
        // A value is never the next option.
        {{"--dir", "--rx-file", "x.wav"}, "option --dir needs a value"},
        {{"--headless", "--batch", "--rx-file"}, "option --rx-file needs a value"},
        {{"--headless", "--rx-loop"}, "--rx-loop goes with --rx-file"},
        {{"--headless", "--batch", "--rx-file", "a.wav", "--rx-loop"},
         "--rx-loop replays without end; batch mode ends with the recording"},
        {{"--batch"}, "--batch goes with --headless"},
        {{"--headless", "--batch"}, "a batch run replays a recording or transmits: give --rx-file or --transmit"},
        {{"--headless", "--batch", "--speaker-file", "x.wav"},
         "a batch run replays a recording or transmits: give --rx-file or --transmit"},
        {{"--transmit", "tune"}, "--transmit goes with --headless: in the window the buttons transmit"},
        {{"--headless", "--transmit", "cw"}, "--transmit takes voice, tune or tone3000, not 'cw'"},
        {{"--headless", "--duration", "3"}, "--duration goes with --transmit"},
        {{"--headless", "--transmit", "tune", "--duration", "0"}, "--duration takes seconds from 0 to 86400, not '0'"},
        {{"--headless", "--transmit", "tune", "--duration", "2s"}, "--duration takes seconds from 0 to 86400, not '2s'"},
        {{"--headless", "--batch", "--transmit", "tune"},
         "a batch transmission needs its length: give it with --duration"},
        {{"--headless", "--batch", "--transmit", "voice", "--duration", "2"},
         "a batch voice transmission needs its microphone: give it with --mic-file"},
        {{"--headless", "--rate", "22050"},
         "--rate takes 11025, 12000, 44100, 48000, 96000 or 192000, not '22050'"},
        {{"--headless", "--rate", "48000", "--rx-file", "a.wav"},
         "--rate and --rx-file do not go together: the recording's rate is the capture rate"},
        {{"--headless", "--link", "--transmit", "tune"},
         "--transmit and --link do not go together: the decoding program transmits through the link"},
        {{"--mode", "cw"}, "--mode takes usb, lsb, am, fm or wfm, not 'cw'"},
        {{"--nr", "max"}, "--nr takes off, weak or strong, not 'max'"},
        {{"--bandwidth", "3000"},
         "--bandwidth takes 550-850, 400-1100, 1200, 2100, 2700, 3300, 4000 or max, not '3000'"},
        {{"--agc", "yes"}, "--agc takes on or off, not 'yes'"},
        {{"--centre", " 7020000"}, "--centre takes a frequency of 1 to 9 digits in hertz, not ' 7020000'"},
        {{"stray"}, "unknown option 'stray'"},
    };
    for (const auto& c : cases) EXPECT_EQ(parseOptions(c.args).error.english, c.error) << c.args[0];
}

TEST(Options, OffsetsAreWholeNumbersWithinWhatTheSettingsKeep) {
    struct Case {
        const char* value;
        const char* error;  // empty: accepted
    };
    const Case cases[] = {
        {"-650240", ""},
        {"12k", "--offset takes a whole number of hertz, not '12k'"},
        // Spaces are refused on either side alike.
        {" 5", "--offset takes a whole number of hertz, not ' 5'"},
        {"5 ", "--offset takes a whole number of hertz, not '5 '"},
        {"+-5", "--offset takes a whole number of hertz, not '+-5'"},
        {"650250", "--offset 650250 is out of range (-650240 … 650240 Hz)"},
        {"2147483648", "--offset 2147483648 is out of range (-650240 … 650240 Hz)"},
        {"-99999999999999999999", "--offset -99999999999999999999 is out of range (-650240 … 650240 Hz)"},
    };
    for (const auto& c : cases) EXPECT_EQ(parseOptions({"--offset", c.value}).error.english, c.error) << c.value;
    EXPECT_EQ(parseOptions({"--offset"}).error.english, "option --offset needs a value");
}

TEST(Options, ClockErrorTestAidsTakePartsPerMillion) {
    const auto p = parseOptions({"--speaker-ppm", "200", "--rx-ppm=-12.5"});
    EXPECT_EQ(p.error.english, "");
    EXPECT_EQ(p.options.speakerPpmValue, 200);
    EXPECT_EQ(p.options.rxPpmValue, -12.5);
    EXPECT_EQ(parseOptions({"--speaker-ppm", "20000"}).error.english,
              "--speaker-ppm takes parts per million from -10000 to 10000, not '20000'");
    EXPECT_EQ(parseOptions({"--rx-ppm", "fast"}).error.english,
              "--rx-ppm takes parts per million from -10000 to 10000, not 'fast'");
}

TEST(Options, MessagesAndHelpInFrench) {
    EXPECT_EQ(parseOptions({"--agc", "oui"}).error.french, "--agc prend on ou off, pas 'oui'");
    EXPECT_EQ(parseOptions({"--nope"}).error.french, "option inconnue '--nope'");
    const std::string help = usageText(kFrench);
    EXPECT_NE(help.find("réducteur de bruit"), std::string::npos);
    EXPECT_NE(help.find("\n  --offset HZ"), std::string::npos);
}

TEST(Options, HelpListsEveryOptionOnALineOfItsOwn) {
    const std::string help = usageText(kEnglish);
    for (const char* option : {"--headless", "--batch", "--dir DIR", "--rx-file IQ.wav", "--rx-loop", "--speaker-file OUT.wav",
                               "--mic-file IN.wav", "--tx-file IQ_OUT.wav", "--mode usb|lsb|am|fm|wfm", "--nr off|weak|strong", "--offset HZ",
                               "--bandwidth BW", "--agc on|off", "--help",
                               "--version"})
        EXPECT_NE(help.find(std::string("\n  ") + option), std::string::npos) << option;
}

}  // namespace
}  // namespace orv
