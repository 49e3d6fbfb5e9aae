#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "link/link_protocol.hpp"
#include "ui/lang_text.hpp"

namespace orv {

class Station;

// The link with the decoding program: the Connection and Disconnection buttons, the
// events of the server socket, the 200 ms backlog report (Timer4), the receive audio to
// the client and the client's transmissions. Every event is logged in Memo_Log.
class LinkController : private LinkParser::Handler {
public:
    explicit LinkController(Station& station) : st_(station) {}

    void connectionClick();     // opens the link
    void disconnectionClick();  // closes it
    // The address the server listens on: loopback unless the user opens it to others.
    void setAddress(const std::string& address);

    // The server socket's events.
    void listened();
    void accepted(const std::string& address);
    void clientConnected();
    void clientDisconnected();
    void received(std::span<const std::uint8_t> bytes);
    void socketError(SocketErrorKind kind, int number);
    void refused(const std::string& address);  // a second client while one is connected

    void timer4();
    // The main window closes: a server with no client stops listening.
    void windowClosing();
    // The receive chain's link values of one half block.
    void sendReceiveAudio(std::span<const std::int32_t> values);
    // A transmission for the client ended: its queue and flags start again.
    void transmissionEnded();
    // A transmission for the client stops at once: it left, the link closed, or the
    // program ends.
    void abandonTransmission();

private:
    bool transmitting() const override;
    bool transmitChainReady() const override;
    void identity(std::string_view text) override;
    void format(std::uint8_t mode, std::uint8_t rate) override;
    void startTransmission() override;
    void echo(std::span<const std::uint8_t> header) override;
    void audioBlock(bool last) override;
    void audio(std::span<const std::uint8_t> bytes) override;
    void lastBlockComplete() override;

    void log(const Bilingual& text);
    void send(std::span<const std::uint8_t> bytes);
    void setRateItemsEnabled(bool enabled);

    Station& st_;
    bool sendDropSaid_ = false;
};

}  // namespace orv
