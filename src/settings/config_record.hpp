#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace orv {

// The 35 settings bytes kept in CONFORVL.SER, one setting a byte, never 0: flags are
// 1 off and 2 on, cards 100 for the default card and k for card k.
inline constexpr std::size_t kConfigLength = 35;
using ConfigRecord = std::array<std::uint8_t, kConfigLength>;

inline constexpr ConfigRecord kStandardConfig{1,   100, 1,   2, 6, 1, 25,  1,   1,   1,   1,   1,
                                              2,   2,   48,  1, 1, 1, 109, 206, 203, 127, 127, 1,
                                              1,   127, 127, 1, 100, 10, 2,  100, 100, 10,  1};

inline constexpr const char* kConfigFileName = "CONFORVL.SER";

// Positions of the bytes.
namespace config {
inline constexpr std::size_t kLanguage = 0;
inline constexpr std::size_t kRxCard = 1;
inline constexpr std::size_t kGreyWaterfall = 2;
inline constexpr std::size_t kSpectrumAgc = 3;
inline constexpr std::size_t kLatency = 4;
inline constexpr std::size_t kMode = 5;
inline constexpr std::size_t kBandwidth = 6;
inline constexpr std::size_t kOffsetHigh = 7;
inline constexpr std::size_t kOffsetLow = 8;
inline constexpr std::size_t kOffsetSign = 9;
inline constexpr std::size_t kReservedFlag = 10;
inline constexpr std::size_t kNoiseReducer = 11;
inline constexpr std::size_t kFeRegulated = 12;
inline constexpr std::size_t kRxAgc = 13;
inline constexpr std::size_t kCaptureRate = 14;
inline constexpr std::size_t kReceiverType = 15;
inline constexpr std::size_t kRxSwapIq = 16;
inline constexpr std::size_t kCentreFrequency = 17;  // four bytes, 17 … 20
inline constexpr std::size_t kRxAmplitude = 21;
inline constexpr std::size_t kRxPhase = 22;
inline constexpr std::size_t kSweep = 23;
inline constexpr std::size_t kTxAgc = 24;
inline constexpr std::size_t kTxAmplitude = 25;
inline constexpr std::size_t kTxPhase = 26;
inline constexpr std::size_t kTxSwapIq = 27;
inline constexpr std::size_t kTxCard = 28;
inline constexpr std::size_t kPttOutputPort = 29;
inline constexpr std::size_t kSpeakerCard = 31;
inline constexpr std::size_t kMicCard = 32;
inline constexpr std::size_t kPttInputPort = 33;
inline constexpr std::size_t kTxFilter = 34;

inline constexpr std::uint8_t kDefaultCardValue = 100;
inline constexpr std::uint8_t kNoPort = 10;
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

constexpr std::uint8_t flagByte(bool on) { return on ? 2 : 1; }

// True when every byte lies in its valid set.
bool validConfig(const ConfigRecord& record);

// The record read from a file of `bytesRead` bytes whose text (cut at a zero byte) is
// `text`: a short file keeps its bytes and takes the rest from the standard record.
// Empty when the file cannot be taken: empty, too long, a zero byte among its bytes, or a
// byte out of range.
std::optional<ConfigRecord> readConfig(std::string_view text, std::size_t bytesRead);

// The largest values the record can hold: 65024 tuning steps, nine digits of hertz.
inline constexpr std::int32_t kMaxOffsetSteps = 255 * 255 - 1;
inline constexpr std::int32_t kMaxCentreFrequencyHz = 999999999;

// The tuning offset in bytes 7 to 9: |offset / step| in base 255 (each digit + 1, at most
// kMaxOffsetSteps), then the sign (1 positive, 2 zero or negative) plus 2 when the
// frequency is fixed.
void encodeOffset(ConfigRecord& record, std::int32_t offsetHz, bool fixed, std::int32_t stepHz);
std::int32_t decodeOffset(const ConfigRecord& record, std::int32_t stepHz);
bool decodeFixed(const ConfigRecord& record);

// The centre frequency in bytes 17 to 20, base 254, each digit + 1; 0 … 999999999.
void encodeCentreFrequency(ConfigRecord& record, std::int32_t hz);
std::int32_t decodeCentreFrequency(const ConfigRecord& record);

// The language of the standard settings for a locale name: French for French of France
// ("fr_FR", with or without an encoding), English otherwise.
std::uint8_t languageForLocale(std::string_view locale);

// The bandwidth code of byte 6 for a width in Hz, empty for an unknown width.
std::optional<std::uint8_t> bandwidthCode(std::int32_t widthHz);
// The port code of bytes 29 and 33 for COMn, and back (0 for no port).
std::uint8_t portCode(int com);
int portFromCode(std::uint8_t code);

}  // namespace orv
