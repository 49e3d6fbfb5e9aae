// The link over real TCP on 127.0.0.1: orvandel serving a looping recording, the
// orvandel-link client receiving its audio and sending a transmission.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <regex>
#include <thread>

#include "support/link_server.hpp"
#include "support/program_run.hpp"

namespace orv::test {
namespace {

class LinkRun : public ProgramRun {
protected:
    std::optional<LinkServer> server_;

    // orvandel in real time with the link open; the TX card is ALSA's null plugin.
    void startServer() { server_.emplace(dir, "--tx-file " + path("tx.wav") + " --mode usb --offset 2000"); }
    int stopServer() { return server_ ? server_->stop() : -1; }
    std::string serverSaid() const { return server_ ? server_->said() : std::string(); }
    // Runs the client; returns what it printed.
    std::string client(const std::string& args, int expectedStatus = 0) {
        const std::string out = path("client.txt");
        const int status = std::system((std::string(ORVANDEL_LINK_EXE) + " " + args + " >" + out + " 2>&1").c_str());
        std::ifstream in(out);
        const std::string said{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, expectedStatus) << args << ": " << said;
        return said;
    }
    static double number(const std::string& text, const std::string& pattern) {
        std::smatch m;
        return std::regex_search(text, m, std::regex(pattern)) ? std::stod(m[1]) : -1;
    }
};

TEST_F(LinkRun, AudioFlowsTransmissionsArePacedAndOneClientIsServedAtATime) {
    startServer();
    ASSERT_NE(serverSaid().find("Listening on 127.0.0.1:3020"), std::string::npos) << serverSaid();

    // Receive audio for 30 s in each format, without a gap longer than two capture buffers.
    for (const auto& [format, rate] : {std::pair{"11k", 11025.0}, std::pair{"48k", 48000.0}}) {
        const std::string said = client(std::string("--format ") + format + " --seconds 30");
        EXPECT_NEAR(number(said, R"(: (\d+) bytes/s)"), rate, rate * 0.02) << said;
        EXPECT_LT(number(said, R"(longest gap (\d+) ms)"), 400) << said;
    }

    // A transmission sent one byte per write: N reports every 200 ms, then receive again.
    const std::string tone = path("tone.wav");
    {
        SF_INFO info{};
        info.samplerate = 11025;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* out = sf_open(tone.c_str(), SFM_WRITE, &info);
        std::vector<short> samples(11025 * 2);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<short>(8000 * std::sin(2 * M_PI * 700 * static_cast<double>(i) / 11025));
        sf_writef_short(out, samples.data(), static_cast<sf_count_t>(samples.size()));
        sf_close(out);
    }
    const std::string sent = client("--send " + tone + " --bytewise --seconds 1");
    EXPECT_NE(sent.find("transmitted 22050 bytes"), std::string::npos) << sent;
    EXPECT_GE(number(sent, R"((\d+) N reports)"), 2) << sent;
    // Steady reports, not a stall; a loaded machine or a sanitizer build stretches the gaps.
    EXPECT_LE(number(sent, R"(at most (\d+) ms apart)"), 1000) << sent;
    EXPECT_NE(sent.find("receive audio resumed"), std::string::npos) << sent;

    // A second client while one is connected is refused; the first keeps its audio.
    const pid_t first = ::fork();
    if (first == 0) {
        const int status = std::system((std::string(ORVANDEL_LINK_EXE) + " --seconds 3 >/dev/null 2>&1").c_str());
        ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 1);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    const std::string second = client("--seconds 1", 1);
    EXPECT_NE(second.find("the server closed the connection"), std::string::npos) << second;
    int status = 0;
    ::waitpid(first, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);

    EXPECT_EQ(stopServer(), 0);
    const std::string log = serverSaid();
    EXPECT_NE(log.find("A second client (127.0.0.1) was refused"), std::string::npos) << log;
    // Every client's leaving was seen at once: as many leavings as arrivals.
    std::size_t arrivals = 0;
    std::size_t leavings = 0;
    for (std::size_t at = 0; (at = log.find("Connected to", at)) != std::string::npos; ++at) ++arrivals;
    for (std::size_t at = 0; (at = log.find("ORVANDEL disconnected", at)) != std::string::npos; ++at) ++leavings;
    EXPECT_EQ(arrivals, 4u) << log;  // the refused one is not an arrival
    EXPECT_EQ(leavings, 4u) << log;
    EXPECT_EQ(log.find("Error"), std::string::npos) << log;

    // The client's 700 Hz went out as USB I/Q 2000 Hz up, and comes back as 700 Hz.
    const Audio tx = read(path("tx.wav"));
    ASSERT_EQ(tx.channels, 2) << log;
    EXPECT_EQ(tx.rate, 48000);
    EXPECT_GE(tx.seconds(), 2.0);
    ASSERT_EQ(run("--headless --batch --rx-file " + path("tx.wav") + " --mode usb --offset 2000 --speaker-file " +
                  path("heard.wav")),
              0)
        << err;
    const Audio heard = read(path("heard.wav"));
    const double voice = heard.peak(700, 6, 0.5).second;
    EXPECT_GT(voice, 1000);
    EXPECT_GT(voice, 0.5 * heard.rms(0.5));
}

}  // namespace
}  // namespace orv::test
