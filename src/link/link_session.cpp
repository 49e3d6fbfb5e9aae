#include "link/link_session.hpp"

#include <algorithm>

namespace orv {

std::string LinkSession::applyFormat(std::uint8_t mode, std::uint8_t rate) {
    if (mode == 0) sender_.setOut48k(false);
    if (mode == 4) sender_.setOut48k(true);
    txAudioRate_ = rate == 1 ? 5512 : 11025;
    return std::string(sender_.out48k() ? "TX=48K " : "TX=11K ") + (rate == 1 ? "RX=5.5K" : "RX=11K");
}

Bilingual LinkSession::userLabel(std::string_view identity) {
    const auto start = identity.find_first_not_of(' ');
    std::string word;
    if (start != std::string_view::npos) word = std::string(identity.substr(start, identity.find(' ', start) - start));
    return {"User: " + word, "Utilisateur: " + word};
}

bool LinkSession::appendTxAudio(std::span<const std::uint8_t> bytes) {
    rxByteCount_ += static_cast<std::int64_t>(bytes.size());
    const std::size_t room = kMaxTxAudioBytes - std::min(kMaxTxAudioBytes, txAudio_.size());
    txAudio_.append(bytes.first(std::min(room, bytes.size())));
    if (bytes.size() <= room || dropSaid_) return false;
    dropSaid_ = true;
    return true;
}

std::string LinkSession::thousandsShown() {
    if (rxByteCount_ / 1000 <= thousandsShown_) return {};
    thousandsShown_ = rxByteCount_ / 1000;
    return "N=" + std::to_string(thousandsShown_);
}

void LinkSession::startTransmission() {
    rxByteCount_ = 0;
    thousandsShown_ = 0;
    dropSaid_ = false;
    txAudio_.clear();
}

std::array<std::uint8_t, kLinkHeaderBytes> LinkSession::backlogFrame() const {
    return encodeLinkFrame('N', static_cast<std::uint16_t>(std::min<std::size_t>(txAudio_.size(), 65535)));
}

std::string LinkSession::backlogReadout() const {
    const std::size_t n = std::min<std::size_t>(txAudio_.size(), 65535);
    return "H=" + std::to_string((n + 500) / 1000);
}

}  // namespace orv
