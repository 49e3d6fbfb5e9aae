// Hostile and careless link clients over real TCP on 127.0.0.1, against orvandel in real
// time: the station keeps receiving and serving, and its memory stays bounded. Every
// loop is bounded and stops by itself.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <random>
#include <regex>
#include <thread>

#include "support/link_client.hpp"
#include "support/link_server.hpp"
#include "support/program_run.hpp"

namespace orv::test {
namespace {

using namespace std::chrono_literals;

class LinkAbuse : public ProgramRun {
protected:
    std::optional<LinkServer> server_;

    void start() { server_.emplace(dir, ""); }
    int stop() { return server_ ? server_->stop() : -1; }
    std::string said() const { return server_ ? server_->said() : std::string(); }
    long residentKb() const { return server_ ? server_->residentKb() : -1; }
    // A well-behaved client gets the receive audio at its rate.
    void expectServing(const char* when) {
        Client c;
        ASSERT_TRUE(c.connected()) << when;
        c.send(frame('F', 0));  // 11K
        c.drain(1500ms);        // the first moments fill the pipeline
        const std::size_t bytes = c.drain(2000ms);
        EXPECT_NEAR(static_cast<double>(bytes), 2 * 11025.0, 11025.0 * 0.3) << when;
    }
};

TEST_F(LinkAbuse, TheStationKeepsServingThroughHostileClients) {
    start();
    ASSERT_NE(said().find("Listening on 127.0.0.1:3020"), std::string::npos) << said();
    expectServing("at the start");
    const long memoryAtStart = residentKb();

    // A thousand connections that leave at once.
    int cycles = 0;
    for (int k = 0; k < 1000; ++k) {
        Client c;
        if (c.connected()) ++cycles;
        if (k % 50 == 0) std::this_thread::sleep_for(20ms);  // let the server see them go
    }
    EXPECT_EQ(cycles, 1000);
    std::this_thread::sleep_for(500ms);

    std::mt19937 random(7);
    {
        // Random bytes, a megabyte of them.
        Client c;
        std::vector<std::uint8_t> noise(1 << 20);
        for (auto& b : noise) b = static_cast<std::uint8_t>(random());
        c.send(noise);
        c.drain(500ms);
    }
    {
        // A transmission announcing 65535-byte blocks and sending nothing.
        Client c;
        c.send(frame('T', 0));
        c.send(frame('S', 65535));
        c.drain(1000ms);
    }
    {
        // S floods outside a transmission, and a client that never reads its audio.
        Client c;
        std::vector<std::uint8_t> flood;
        for (int k = 0; k < 2000; ++k) {
            const auto f = frame('S', 100);
            flood.insert(flood.end(), f.begin(), f.end());
            flood.insert(flood.end(), 100, 0x80);
        }
        c.send(flood);
        std::this_thread::sleep_for(3000ms);
        // A second client meanwhile is refused, the first stays.
        Client second;
        EXPECT_GE(second.drain(300ms), 0u);
    }
    {
        // Half open: the client stops writing and stays.
        Client c;
        c.halfClose();
        std::this_thread::sleep_for(1000ms);
    }
    std::this_thread::sleep_for(500ms);
    expectServing("after the abuse");
    const long memoryAtEnd = residentKb();
    EXPECT_LT(memoryAtEnd - memoryAtStart, 20 * 1024) << memoryAtStart << " kB → " << memoryAtEnd << " kB";
    std::printf("link abuse: %d connections cycled, memory %ld kB → %ld kB\n", cycles, memoryAtStart, memoryAtEnd);

    EXPECT_EQ(stop(), 0);
    const std::string log = said();
    EXPECT_NE(log.find("was refused: one client at a time"), std::string::npos) << log.substr(0, 2000);
    EXPECT_EQ(log.find("Error"), std::string::npos) << log.substr(0, 2000);
}

}  // namespace
}  // namespace orv::test
