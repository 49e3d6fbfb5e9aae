#include <gtest/gtest.h>

#include <vector>

#include "support/station_fixture.hpp"

namespace orv::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes frame(char letter, std::uint16_t value, std::size_t payload = 0) {
    const auto header = encodeLinkFrame(letter, value);
    Bytes bytes(header.size() + payload, 0x80);
    std::copy(header.begin(), header.end(), bytes.begin());
    return bytes;
}

// A station receiving at 44100 whose link is open, with a client connected.
struct Linked : StationFixture {
    Linked() {
        startReceiving();
        station->link().connectionClick();
        station->link().listened();
        station->link().accepted("127.0.0.1");
        station->link().clientConnected();
        tick();  // the forced 48000 reopens the devices
    }
    LinkController& l() { return station->link(); }
    std::string memo() { return controls().get("Memo_Log").text; }
    void receive(const Bytes& bytes) { l().received(bytes); }
};

TEST(Link, ListeningBeyondThisComputerIsSaidToBeOpenToTransmissions) {
    StationFixture f;
    f.startReceiving();
    f.station->link().setAddress("0.0.0.0");
    f.station->link().connectionClick();
    f.station->link().listened();
    EXPECT_NE(f.controls().get("Memo_Log").text.find(
                  "Warning: every computer that reaches this address can make the station transmit."),
              std::string::npos);
    StationFixture local;
    local.startReceiving();
    local.station->link().connectionClick();
    local.station->link().listened();
    EXPECT_EQ(local.controls().get("Memo_Log").text.find("Warning"), std::string::npos);
}

TEST(Link, OpeningForces48000SavesItAndListensOnLoopback) {
    StationFixture f;
    f.startReceiving();
    f.station->soundMenus().rateItemClick("Fe_96000");
    f.station->link().connectionClick();
    EXPECT_EQ(f.sizes().fee, 48000);
    EXPECT_EQ(f.files.contents.at(f.files.pathOf(kConfigFileName))[config::kCaptureRate], 48);
    for (const char* item : {"Fe_192000", "Fe_96000", "Fe_44100", "Fe_12000", "Fe_11025"})
        EXPECT_FALSE(f.controls().get(item).enabled) << item;
    EXPECT_TRUE(f.controls().get("Fe_48000").enabled);
    EXPECT_FALSE(f.controls().get("Transmission_tune").enabled);
    EXPECT_TRUE(f.link.listening);
    EXPECT_EQ(f.link.address, "127.0.0.1");
    EXPECT_EQ(f.link.port, 3020);
    EXPECT_EQ(f.controls().get("Label_Fe").text, "Not connected");
    EXPECT_EQ(f.controls().get("Memo_Log").text, "00:00:00: Link opening\r\n");
    // Closing: Label_Fe empty (not "Not connected"), the rates back.
    f.station->link().disconnectionClick();
    EXPECT_EQ(f.controls().get("Label_Fe").text, "");
    EXPECT_TRUE(f.controls().get("Fe_96000").enabled);
    EXPECT_FALSE(f.link.listening);
}

TEST(Link, IdentityAndFormatShowInTheLabels) {
    Linked f;
    Bytes identity = frame('I', 10);
    identity.resize(6);
    for (const char c : std::string("F4ABC Jean")) identity.push_back(static_cast<std::uint8_t>(c));
    f.receive(identity);
    EXPECT_EQ(f.controls().get("Label_Utilisateur").text, "User: F4ABC");
    f.receive(frame('F', 0x0401));
    EXPECT_EQ(f.controls().get("Label_Fe").text, "TX=48K RX=5.5K");
}

TEST(Link, ReceiveAudioGoesToTheClientInWholeBlocks) {
    Linked f;
    f.receive(frame('F', 0x0000));  // 11K
    for (int k = 0; k < 60; ++k) {
        if (k % 5 == 0) {
            f.wave.completeCapture(0x00);
            f.wave.finishPlayback();
        }
        f.tick();
    }
    ASSERT_FALSE(f.link.sent.empty());
    EXPECT_EQ(f.link.sent.size() % 500, 0u);
    // A client that does not read loses whole blocks, said once.
    f.link.clientReads = false;
    for (int k = 0; k < 60; ++k) {
        if (k % 5 == 0) f.wave.completeCapture(0x00);
        f.tick();
    }
    std::size_t said = 0;
    for (std::size_t at = 0; (at = f.memo().find("does not read", at)) != std::string::npos; ++at) ++said;
    EXPECT_EQ(said, 1u);
}

TEST(Link, ATransmissionReportsItsBacklogEchoesAndEndsWhenTheClientLeaves) {
    Linked f;
    f.receive(frame('P', 1));  // not transmitting: no echo
    EXPECT_TRUE(f.link.sent.empty());
    f.receive(frame('T', 0));
    EXPECT_TRUE(f.flags().txInProgress);
    EXPECT_TRUE(f.flags().txChainReady);
    EXPECT_FALSE(f.flags().receiveActive);
    EXPECT_TRUE(f.controls().get("Label_TX_en_cours").visible);
    EXPECT_FALSE(f.controls().get("Connection").enabled);
    f.receive(frame('P', 0x1234));
    EXPECT_EQ(f.link.sent, frame('P', 0x1234));
    f.link.sent.clear();
    f.receive(frame('S', 3000, 3000));
    f.station->timer4();
    EXPECT_EQ(f.link.sent, frame('N', 3000));
    EXPECT_EQ(f.controls().get("Hauteur_Buffer").text, "H=3");  // (3000 + 500) div 1000
    EXPECT_EQ(f.controls().get("NOMBRE_MILLIERS").text, "N=3");
    // The client leaves in the middle: the transmission ends at once, receive comes back.
    f.l().clientDisconnected();
    EXPECT_FALSE(f.flags().txInProgress);
    EXPECT_TRUE(f.flags().receiveActive);
    EXPECT_FALSE(f.controls().get("Label_TX_en_cours").visible);
    EXPECT_NE(f.memo().find("ORVANDEL disconnected"), std::string::npos);
    f.tick();
    EXPECT_TRUE(f.flags().processingRunning);
    f.link.sent.clear();
    f.station->timer4();
    EXPECT_TRUE(f.link.sent.empty());  // no report outside a transmission
}

TEST(Link, TheLastBlockEndsTheTransmissionOnceItHasPlayed) {
    Linked f;
    f.receive(frame('T', 0));
    f.receive(frame('R', 1100, 1100));
    EXPECT_TRUE(f.flags().linkTxEndRequested);
    // The modulator takes the queue, the end pads the TX queue and it plays out.
    for (int k = 0; k < 200 && f.flags().txInProgress; ++k) {
        f.wave.finishPlayback();
        f.tick();
    }
    EXPECT_FALSE(f.flags().txInProgress);
    EXPECT_FALSE(f.flags().linkTxEndRequested);
    EXPECT_TRUE(f.station->linkSession().txAudio().empty());
}

TEST(Link, ErrorsAreLoggedInTheInterfaceLanguage) {
    Linked f;
    f.l().socketError(SocketErrorKind::Send, 10054);
    EXPECT_NE(f.memo().find("00:00:00: Writing error. Socket Error n°10054 : Connection reset by peer."),
              std::string::npos)
        << f.memo();
    StationFixture french;
    french.useLanguage(kFrench);
    french.startReceiving();
    french.station->link().socketError(SocketErrorKind::Other, 12345);
    EXPECT_NE(french.controls().get("Memo_Log").text.find("Erreur indéterminée. Erreur de socket n°12345 : Erreur de socket indéterminée."),
              std::string::npos);
}

TEST(Link, ClosingTheWindowStopsListeningOnlyWithoutAClient) {
    Linked f;
    f.station->formClose();
    EXPECT_EQ(f.memo().find("No more listening."), std::string::npos);
    EXPECT_EQ(f.link.closes, 0);
    f.l().clientDisconnected();
    f.station->formClose();
    EXPECT_NE(f.memo().find("No more listening."), std::string::npos);
    EXPECT_EQ(f.link.closes, 1);
}

}  // namespace
}  // namespace orv::test
