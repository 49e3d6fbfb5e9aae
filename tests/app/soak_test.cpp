// A real-time headless run with a link client connected throughout: receive audio
// flowing, a link transmission every minute. Memory stays flat after the warm-up, capture
// never restarts, nothing goes wrong, and the main cycle's ticks stay within a buffer's
// time. Two minutes by default; ORVANDEL_SOAK_SECONDS sets another length.
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <regex>

#include "support/link_client.hpp"
#include "support/link_server.hpp"
#include "support/program_run.hpp"

namespace orv::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class Soak : public ProgramRun {
protected:
    std::optional<LinkServer> server_;

    void start() { server_.emplace(dir, "--stats"); }
    int stop() { return server_ ? server_->stop() : -1; }
    std::string said() const { return server_ ? server_->said() : std::string(); }
    long residentKb() const { return server_ ? server_->residentKb() : -1; }
};

// Three seconds of a 700 Hz tone in 100 ms blocks, the last one sent with R.
void transmit(const Client& client) {
    client.send(frame('T', 0));
    std::vector<std::uint8_t> block(1102);
    for (int k = 0; k < 30; ++k) {
        for (std::size_t n = 0; n < block.size(); ++n)
            block[n] = static_cast<std::uint8_t>(127.5 + 100 * std::sin(2 * M_PI * 700 * static_cast<double>(k * 1102 + n) / 11025));
        std::vector<std::uint8_t> bytes = frame(k == 29 ? 'R' : 'S', static_cast<std::uint16_t>(block.size()));
        bytes.insert(bytes.end(), block.begin(), block.end());
        client.send(bytes);
        client.drain(100ms);
    }
}

TEST_F(Soak, HoursInMinutesMemoryFlatTicksOnTime) {
    const char* wanted = std::getenv("ORVANDEL_SOAK_SECONDS");
    const int seconds = wanted ? std::max(60, std::atoi(wanted)) : 120;
    start();
    ASSERT_NE(said().find("Listening"), std::string::npos) << said();
    Client client;
    ASSERT_TRUE(client.connected());
    client.send(frame('I', 4));
    client.send({'S', 'O', 'A', 'K'});
    client.send(frame('F', 0));

    const auto began = Clock::now();
    const auto elapsed = [&] { return std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - began).count(); };
    long warm = -1;
    long highest = 0;
    int transmissions = 0;
    std::size_t received = 0;
    while (elapsed() < seconds) {
        // A transmission every minute, the first after the warm-up.
        if (elapsed() >= 30 + 60 * transmissions) {
            transmit(client);
            ++transmissions;
        }
        received += client.drain(1000ms);
        if (warm < 0 && elapsed() >= 20) warm = residentKb();
        if (warm >= 0) highest = std::max(highest, residentKb());
    }
    EXPECT_EQ(stop(), 0);
    const std::string log = said();
    std::printf("soak: %d s, %d transmissions, %zu bytes of audio received, memory %ld kB after warm-up, at most %ld kB\n",
                seconds, transmissions, received, warm, highest);
    EXPECT_GE(transmissions, seconds >= 90 ? 2 : 1);
    // Receive audio flowed, less the transmissions' time (11025 bytes/s).
    EXPECT_GT(static_cast<double>(received), 11025.0 * (seconds - 10 * transmissions) * 0.8);
    EXPECT_LT(highest - warm, 2048) << "resident memory grew by " << highest - warm << " kB";
    EXPECT_EQ(log.find("Error"), std::string::npos) << log;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(log, m, std::regex(R"(99\.9 % within ([0-9.]+) ms.*a buffer lasts (\d+) ms; capture restarts: (\d+))")))
        << log;
    std::printf("soak: %s\n", m.str().c_str());
    EXPECT_LE(std::stod(m[1]), std::stod(m[2]));
    EXPECT_EQ(std::stoi(m[3]), 0);
}

}  // namespace
}  // namespace orv::test
