#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "dsp/sample_fifo.hpp"
#include "link/link_audio.hpp"
#include "link/link_protocol.hpp"
#include "ui/lang_text.hpp"

namespace orv {

// The link's own state between the station and one client: the parser, the receive-audio
// sender, the client's format, the transmit audio it sends (bounded) and the counts shown.
class LinkSession {
public:
    // 60 s of transmit audio at the highest rate: a client that ignores N cannot exhaust memory.
    static constexpr std::size_t kMaxTxAudioBytes = 60 * 11025;

    LinkParser& parser() { return parser_; }
    LinkAudioSender& sender() { return sender_; }
    const LinkAudioSender& sender() const { return sender_; }

    bool listening = false;
    std::string address = "127.0.0.1";  // where the server listens

    // The F frame: mode byte (0: 11K, 4: 48K, else unchanged) and rate byte (1: 5512).
    // Answers the readout for Label_Fe.
    std::string applyFormat(std::uint8_t mode, std::uint8_t rate);
    int txAudioRate() const { return txAudioRate_; }

    // "User:" and the first word of the identity text.
    static Bilingual userLabel(std::string_view identity);

    // The client's transmit audio, queued for the modulator. Bytes beyond the bound are
    // dropped; true the first time that happens in a transmission (to say it once).
    bool appendTxAudio(std::span<const std::uint8_t> bytes);
    SampleFifo<std::uint8_t>& txAudio() { return txAudio_; }
    const SampleFifo<std::uint8_t>& txAudio() const { return txAudio_; }
    // "N=" and the thousands of bytes received, when the thousands moved.
    std::string thousandsShown();
    // A new transmission: counts and the drop notice start again.
    void startTransmission();

    // The N frame for the queued transmit audio, and the "H=" readout.
    std::array<std::uint8_t, kLinkHeaderBytes> backlogFrame() const;
    std::string backlogReadout() const;

private:
    LinkParser parser_;
    LinkAudioSender sender_;
    int txAudioRate_ = 11025;
    SampleFifo<std::uint8_t> txAudio_;
    std::int64_t rxByteCount_ = 0;
    std::int64_t thousandsShown_ = 0;
    bool dropSaid_ = false;
};

}  // namespace orv
