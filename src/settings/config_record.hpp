#pragma once

#include <array>
#include <cstdint>

namespace orv {

// The 35 settings bytes kept in CONFORVL.SER, one setting a byte, never 0: flags are
// 1 off and 2 on, cards 100 for the default card and k for card k.
inline constexpr std::size_t kConfigLength = 35;
using ConfigRecord = std::array<std::uint8_t, kConfigLength>;

inline constexpr ConfigRecord kStandardConfig{1,   100, 1,   2, 6, 1, 25,  1,   1,   1,   1,   1,
                                              2,   2,   48,  1, 1, 1, 109, 206, 203, 127, 127, 1,
                                              1,   127, 127, 1, 100, 10, 2,  100, 100, 10,  1};

// Positions of the bytes.
namespace config {
inline constexpr std::size_t kLanguage = 0;
inline constexpr std::size_t kRxCard = 1;
inline constexpr std::size_t kLatency = 4;
inline constexpr std::size_t kFeRegulated = 12;
inline constexpr std::size_t kCaptureRate = 14;
inline constexpr std::size_t kReceiverType = 15;
inline constexpr std::size_t kTxCard = 28;
inline constexpr std::size_t kSpeakerCard = 31;
inline constexpr std::size_t kMicCard = 32;

inline constexpr std::uint8_t kDefaultCardValue = 100;
}  // namespace config

// The capture rate stored in byte 14 as its kHz rounded down (11, 12, 44, 48, 96, 192);
// 0 for any other code.
constexpr int captureRateFromCode(std::uint8_t code) {
    switch (code) {
        case 11: return 11025;
        case 12: return 12000;
        case 44: return 44100;
        case 48: return 48000;
        case 96: return 96000;
        case 192: return 192000;
        default: return 0;
    }
}
constexpr std::uint8_t captureRateCode(int rate) { return static_cast<std::uint8_t>(rate / 1000); }

}  // namespace orv
