#include "link/link_protocol.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "link/link_audio.hpp"
#include "link/link_session.hpp"

namespace orv {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes frame(char letter, std::uint16_t value, const std::string& payload = "") {
    const auto header = encodeLinkFrame(letter, value);
    Bytes bytes(header.size() + payload.size());
    std::copy(header.begin(), header.end(), bytes.begin());
    std::copy(payload.begin(), payload.end(), bytes.begin() + static_cast<std::ptrdiff_t>(header.size()));
    return bytes;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Writes down every call the parser makes, in order.
struct Recorder : LinkParser::Handler {
    bool inTransmission = false;
    bool chainReady = true;
    std::vector<std::string> calls;
    std::string audioBytes;

    bool transmitting() const override { return inTransmission; }
    bool transmitChainReady() const override { return chainReady; }
    void identity(std::string_view text) override { calls.push_back("I " + std::string(text)); }
    void format(std::uint8_t mode, std::uint8_t rate) override {
        calls.push_back("F " + std::to_string(mode) + " " + std::to_string(rate));
    }
    void startTransmission() override {
        calls.push_back("T");
        inTransmission = true;
    }
    void echo(std::span<const std::uint8_t> header) override {
        calls.push_back("P " + std::to_string(header[4] << 8 | header[5]));
    }
    void audioBlock(bool last) override { calls.push_back(last ? "R" : "S"); }
    void audio(std::span<const std::uint8_t> bytes) override { audioBytes.append(bytes.begin(), bytes.end()); }
    void lastBlockComplete() override { calls.push_back("end"); }
};

TEST(LinkFrames, HeadersAreSyncLetterAndABigEndianValue) {
    EXPECT_EQ(frame('N', 60000), (Bytes{1, 2, 3, 'N', 0xEA, 0x60}));
    const Bytes f = frame('F', 0x0401);
    const auto header = readLinkHeader(f);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->letter, 'F');
    EXPECT_EQ(header->value, 0x0401);
    EXPECT_FALSE(readLinkHeader(Bytes{1, 2, 3, 'F', 0}));
    EXPECT_FALSE(readLinkHeader(Bytes{1, 2, 4, 'F', 0, 0}));
}

TEST(LinkFrames, ReceiveAudioBytesAreOffsetBinaryRoundedToEven) {
    EXPECT_EQ(linkAudioByte(0), 128);  // 127.5 → 128
    EXPECT_EQ(linkAudioByte(-32768), 0);
    EXPECT_EQ(linkAudioByte(32767), 255);
    EXPECT_EQ(linkAudioByte(-256), 127);  // 126.502
}

TEST(LinkFrames, SocketErrorsReadAsTheLogShowsThem) {
    EXPECT_EQ(socketErrorText(SocketErrorKind::Send, 10054).english,
              "Writing error. Socket Error n°10054 : Connection reset by peer. This occurs when an established "
              "connection is shut down for some reason by the remote computer.");
    EXPECT_EQ(socketErrorText(SocketErrorKind::Receive, 12345).french,
              "Erreur de lecture sur la connexion socket. Erreur de socket n°12345 : Erreur de socket indéterminée.");
    EXPECT_TRUE(socketErrorText(SocketErrorKind::Accept, 10048).english.starts_with("Accepting error. Socket Error n°10048 : "));
}

TEST(LinkParser, FramesOfOneReadAreAllHonouredInOrder) {
    Recorder r;
    LinkParser parser;
    parser.feed(frame('I', 10, "F4ABC Jean") + frame('F', 0x0401) + frame('V', 7) + frame('P', 9) + frame('T', 0) +
                    frame('P', 5) + frame('S', 3, "abc") + frame('S', 2, "de") + frame('R', 1, "f"),
                r);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"I F4ABC Jean", "F 4 1", "T", "P 5", "S", "S", "R", "end"}));
    EXPECT_EQ(r.audioBytes, "abcdef");
}

TEST(LinkParser, APayloadSplitAcrossReadsKeepsEveryByte) {
    Recorder r;
    r.inTransmission = true;
    LinkParser parser;
    const std::string payload(1000, 'x');
    const Bytes s = frame('S', 1000, payload) + frame('P', 1);
    parser.feed(std::span(s).first(6 + 400), r);
    EXPECT_EQ(r.audioBytes.size(), 400u);
    parser.feed(std::span(s).subspan(6 + 400), r);
    EXPECT_EQ(r.audioBytes, payload);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"S", "P 1"}));
}

TEST(LinkParser, WhatIsNotHonouredIsSkippedWholeIncludingItsPayload) {
    Recorder r;
    LinkParser parser;
    // Outside a transmission P, S and R mean nothing; an S payload that looks like a frame
    // is not read as one.
    const std::string fake(reinterpret_cast<const char*>(frame('I', 0).data()), 6);
    parser.feed(frame('P', 1) + frame('S', 6, fake) + frame('R', 2, "xy") + Bytes{9, 9} + frame('F', 0x0000), r);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"F 0 0"}));
    // S before the transmit chain is ready is skipped too, R is not.
    r.inTransmission = true;
    r.chainReady = false;
    parser.feed(frame('S', 2, "ab") + frame('R', 2, "cd"), r);
    EXPECT_EQ(r.audioBytes, "cd");
}

TEST(LinkParser, AnySplitOfASessionGivesTheSameCalls) {
    const Bytes session = Bytes{7, 1, 2} + frame('I', 11, "G0XYZ Alice") + frame('F', 0x0400) + frame('T', 0) +
                          frame('P', 77) + frame('S', 300, std::string(300, '\x01')) + Bytes{0xAA} +
                          frame('S', 200, std::string(200, '\x03')) + frame('V', 1) + frame('R', 50, std::string(50, 'z'));
    const auto parse = [&](const std::vector<std::size_t>& cuts) {
        Recorder r;
        LinkParser parser;
        std::size_t from = 0;
        for (const std::size_t cut : cuts) {
            parser.feed(std::span(session).subspan(from, cut - from), r);
            from = cut;
        }
        parser.feed(std::span(session).subspan(from), r);
        return std::make_pair(r.calls, r.audioBytes);
    };
    const auto whole = parse({});
    EXPECT_EQ(whole.first, (std::vector<std::string>{"I G0XYZ Alice", "F 4 0", "T", "P 77", "S", "S", "R", "end"}));
    EXPECT_EQ(whole.second.size(), 550u);
    for (std::size_t cut = 1; cut < session.size(); ++cut) ASSERT_EQ(parse({cut}), whole) << "cut at " << cut;
    std::mt19937 rng(2026);
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<std::size_t> cuts;
        for (std::size_t at = 0; at < session.size(); at += 1 + rng() % 9) cuts.push_back(at);
        ASSERT_EQ(parse(cuts), whole) << "trial " << trial;
    }
    // One byte at a time.
    std::vector<std::size_t> bytewise;
    for (std::size_t at = 1; at < session.size(); ++at) bytewise.push_back(at);
    EXPECT_EQ(parse(bytewise), whole);
}

TEST(LinkSession, FormatReadoutAndTransmitAudioRate) {
    LinkSession s;
    EXPECT_EQ(s.applyFormat(4, 1), "TX=48K RX=5.5K");
    EXPECT_EQ(s.sender().blockLength(), 2200u);
    EXPECT_EQ(s.txAudioRate(), 5512);
    EXPECT_EQ(s.applyFormat(2, 0), "TX=48K RX=11K");  // another mode byte keeps 48K
    EXPECT_EQ(s.txAudioRate(), 11025);
    EXPECT_EQ(s.applyFormat(0, 0), "TX=11K RX=11K");
    EXPECT_EQ(s.sender().blockLength(), 500u);
    EXPECT_EQ(LinkSession::userLabel("F4ABC Jean").english, "User: F4ABC");
    EXPECT_EQ(LinkSession::userLabel("F4ABC Jean").french, "Utilisateur: F4ABC");
}

TEST(LinkSession, BacklogReportsAreCappedAndTheQueueBounded) {
    LinkSession s;
    s.appendTxAudio(Bytes(60000, 0x80));
    const auto n = s.backlogFrame();
    EXPECT_EQ(Bytes(n.begin(), n.end()), (Bytes{1, 2, 3, 'N', 0xEA, 0x60}));
    EXPECT_EQ(s.backlogReadout(), "H=60");
    s.appendTxAudio(Bytes(10000, 0x80));
    EXPECT_EQ(s.backlogFrame()[4], 0xFF);
    EXPECT_EQ(s.backlogFrame()[5], 0xFF);
    EXPECT_EQ(s.thousandsShown(), "N=70");
    EXPECT_EQ(s.thousandsShown(), "");  // shown once
    // Beyond 60 s the excess is dropped, said once a transmission.
    EXPECT_TRUE(s.appendTxAudio(Bytes(LinkSession::kMaxTxAudioBytes, 0x80)));
    EXPECT_FALSE(s.appendTxAudio(Bytes(10, 0x80)));
    EXPECT_EQ(s.txAudio().size(), LinkSession::kMaxTxAudioBytes);
    s.startTransmission();
    EXPECT_TRUE(s.txAudio().empty());
}

TEST(LinkAudio, ElevenKThinsTheOutputRateAndSendsWholeBlocks) {
    LinkAudioSender sender;
    std::vector<std::vector<std::uint8_t>> blocks;
    for (int k = 0; k < 12000 + 1; ++k) sender.addValue(0, 12000, blocks);
    // 11025 of 12000 samples kept: 22 whole blocks of 500 handed on (the 23rd still filling).
    EXPECT_EQ(blocks.size(), 22u);
    for (const auto& b : blocks) EXPECT_EQ(b.size(), 500u);
    blocks.clear();
    LinkAudioSender atRate;
    for (int k = 0; k < 501; ++k) atRate.addValue(0, 11025, blocks);
    EXPECT_EQ(blocks.size(), 1u);
}

TEST(LinkAudio, FortyEightKInterpolatesFourBytesFromTheLastOne) {
    LinkAudioSender sender;
    sender.setOut48k(true);
    std::vector<std::vector<std::uint8_t>> blocks;
    // A value whose byte is 100, then one whose byte is 103.
    const auto valueFor = [](int byte) { return byte * 256 - 32768 + 128; };
    ASSERT_EQ(linkAudioByte(valueFor(100)), 100);
    ASSERT_EQ(linkAudioByte(valueFor(103)), 103);
    for (int k = 0; k < 549; ++k) sender.addValue(valueFor(100), 12000, blocks);
    sender.addValue(valueFor(103), 12000, blocks);
    sender.addValue(valueFor(103), 12000, blocks);  // hands the first block on
    ASSERT_EQ(blocks.size(), 1u);
    ASSERT_EQ(blocks[0].size(), 2200u);
    EXPECT_EQ(Bytes(blocks[0].end() - 4, blocks[0].end()), (Bytes{100, 101, 102, 103}));
}

}  // namespace
}  // namespace orv
