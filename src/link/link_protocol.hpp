#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/lang_text.hpp"
#include "ui/link_socket.hpp"

namespace orv {

// The TCP port the decoding program connects to.
inline constexpr int kLinkPort = 3020;

// A frame header: 0x01 0x02 0x03, a command letter and a big-endian 16-bit value. For
// I, S and R the value is the length of the payload that follows.
struct LinkFrame {
    char letter = 0;
    std::uint16_t value = 0;
};
inline constexpr std::size_t kLinkHeaderBytes = 6;

std::array<std::uint8_t, kLinkHeaderBytes> encodeLinkFrame(char letter, std::uint16_t value);
// The header at the front of `bytes`, when they start with one.
std::optional<LinkFrame> readLinkHeader(std::span<const std::uint8_t> bytes);

// The 8-bit offset-binary byte of a receive-audio value: round((y + 32768 − 127.5) / 256),
// ties to even.
std::uint8_t linkAudioByte(std::int32_t y);

// A socket error as the log shows it: the kind's prefix, "Socket Error n°" and the
// number, " : " and the description of that Windows Sockets number.
Bilingual socketErrorText(SocketErrorKind kind, int number);

// The client's byte stream cut into what it asks for. TCP may split or join the bytes
// anywhere: incomplete headers and payloads are kept across reads, so any split of the
// same stream gives the same calls, and every frame of a read is honoured in order.
// Bytes before a header that are not part of a payload are skipped. A payload that is not
// honoured (S before the transmit chain is ready, S or R outside a transmission) is
// skipped whole, so audio bytes are never read as frames.
class LinkParser {
public:
    class Handler {
    public:
        virtual ~Handler() = default;
        virtual bool transmitting() const = 0;
        virtual bool transmitChainReady() const = 0;
        virtual void identity(std::string_view text) = 0;              // I, once its text is whole
        virtual void format(std::uint8_t mode, std::uint8_t rate) = 0;  // F
        virtual void startTransmission() = 0;                           // T
        virtual void echo(std::span<const std::uint8_t> header) = 0;    // P, while transmitting
        virtual void audioBlock(bool last) = 0;                         // an honoured S or R header
        virtual void audio(std::span<const std::uint8_t> bytes) = 0;    // its payload, as it comes
        virtual void lastBlockComplete() = 0;                           // R's payload all arrived
    };

    void feed(std::span<const std::uint8_t> bytes, Handler& handler);
    // Forgets a partial frame: a new client starts afresh.
    void reset();

private:
    enum class Payload { None, Identity, Audio, LastAudio, Skip };
    void header(const LinkFrame& frame, std::span<const std::uint8_t> bytes, Handler& handler);
    std::size_t payload(std::span<const std::uint8_t> bytes, Handler& handler);

    std::vector<std::uint8_t> pending_;  // a header's first bytes, never more than 5
    Payload payload_ = Payload::None;
    std::size_t remaining_ = 0;
    std::string identity_;
};

}  // namespace orv
