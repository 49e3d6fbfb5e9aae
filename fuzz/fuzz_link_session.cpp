// Whole link sessions: a client connects and sends frames and garbage in pieces of any
// size, with the main cycle and the backlog report running between them, transmissions
// starting and ending. The station must neither crash nor key the PTT for the link.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "support/station_fixture.hpp"

using namespace orv;
using namespace orv::test;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    StationFixture f;
    f.storeSetting(config::kPttOutputPort, 1);
    f.serial.names = {"ttyS0"};
    f.startReceiving();
    LinkController& link = f.station->link();
    link.connectionClick();
    link.listened();
    link.accepted("127.0.0.1");
    link.clientConnected();
    f.tick();
    // Each piece: one byte of length (0: a few ticks of the cycle instead), then the bytes.
    std::size_t at = 0;
    while (at < size) {
        const std::size_t n = data[at++];
        if (n == 0) {
            for (int k = 0; k < 5; ++k) f.tick();
            link.timer4();
            continue;
        }
        const std::size_t take = std::min(n, size - at);
        link.received(std::span(data + at, take));
        at += take;
        f.tick();
        // The link never keys the transmitter.
        if (f.serial.keyed("ttyS0")) std::abort();
    }
    link.clientDisconnected();
    f.tick();
    f.station->formClose();
    if (f.serial.keyed("ttyS0") || f.flags().txInProgress) std::abort();
    return 0;
}
