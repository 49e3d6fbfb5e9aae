#include "settings/config_record.hpp"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>

namespace orv {

namespace {

bool inRange(std::uint8_t v, int low, int high) { return v >= low && v <= high; }
bool oneOf(std::uint8_t v, std::initializer_list<int> values) {
    return std::find(values.begin(), values.end(), v) != values.end();
}
bool flag(std::uint8_t v) { return v == 1 || v == 2; }
bool card(std::uint8_t v) { return inRange(v, 1, 16) || v == config::kDefaultCardValue; }
bool port(std::uint8_t v) { return inRange(v, 1, 6) || inRange(v, 8, 18); }
bool correction(std::uint8_t v) { return inRange(v, 27, 227); }

// The valid set of each byte, in the order they are checked.
bool validByte(std::size_t i, std::uint8_t v) {
    switch (i) {
        case config::kLanguage: return flag(v);
        case config::kRxCard:
        case config::kTxCard:
        case config::kSpeakerCard:
        case config::kMicCard: return card(v);
        case config::kLatency: return inRange(v, 2, 20);
        case config::kMode: return inRange(v, 1, 6);
        case config::kBandwidth: return oneOf(v, {1, 2, 10, 21, 25, 33, 43, 120});
        case config::kOffsetHigh:
        case config::kOffsetLow:
        case 17:
        case 18:
        case 19:
        case 20: return v >= 1;
        case config::kOffsetSign: return inRange(v, 1, 4);
        case config::kNoiseReducer: return inRange(v, 1, 3);
        case config::kCaptureRate: return captureRateFromCode(v) != 0;
        case config::kReceiverType: return flag(v);
        case config::kRxAmplitude:
        case config::kRxPhase:
        case config::kTxAmplitude:
        case config::kTxPhase: return correction(v);
        case config::kPttOutputPort:
        case config::kPttInputPort: return port(v);
        default: return flag(v);  // the on/off bytes and the reserved ones
    }
}

constexpr std::size_t kCheckOrder[kConfigLength] = {0,  1,  2,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                                    13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24,
                                                    25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 3};

}  // namespace

bool validConfig(const ConfigRecord& record) {
    return std::all_of(std::begin(kCheckOrder), std::end(kCheckOrder),
                       [&](std::size_t i) { return validByte(i, record[i]); });
}

std::optional<ConfigRecord> readConfig(std::string_view text, std::size_t bytesRead) {
    // A zero byte among the bytes read makes the rest of them unknown: altered.
    if (bytesRead == 0 || bytesRead > kConfigLength || text.size() != bytesRead) return std::nullopt;
    ConfigRecord record = kStandardConfig;
    std::copy(text.begin(), text.end(), record.begin());
    if (!validConfig(record)) return std::nullopt;
    return record;
}

void encodeOffset(ConfigRecord& record, std::int32_t offsetHz, bool fixed, std::int32_t stepHz) {
    // Two base-255 digits hold 0 … 65024 steps; a larger offset is kept at that, so no
    // byte of the record is ever 0.
    const std::int32_t q = std::min(std::abs(offsetHz / stepHz), kMaxOffsetSteps);
    record[config::kOffsetHigh] = static_cast<std::uint8_t>(q / 255 + 1);
    record[config::kOffsetLow] = static_cast<std::uint8_t>(q % 255 + 1);
    record[config::kOffsetSign] = static_cast<std::uint8_t>((offsetHz > 0 ? 1 : 2) + (fixed ? 2 : 0));
}

std::int32_t decodeOffset(const ConfigRecord& record, std::int32_t stepHz) {
    const std::int32_t value = (record[config::kOffsetHigh] * 255 + record[config::kOffsetLow] - 256) * stepHz;
    const std::uint8_t sign = record[config::kOffsetSign];
    return sign == 2 || sign == 4 ? -value : value;
}

bool decodeFixed(const ConfigRecord& record) { return record[config::kOffsetSign] >= 3; }

void encodeCentreFrequency(ConfigRecord& record, std::int32_t hz) {
    constexpr std::int32_t kCube = 16387064;  // 254³
    constexpr std::int32_t kSquare = 64516;   // 254²
    std::int32_t r = std::clamp(hz, 0, kMaxCentreFrequencyHz);
    record[17] = static_cast<std::uint8_t>(r / kCube + 1);
    r -= (record[17] - 1) * kCube;
    record[18] = static_cast<std::uint8_t>(r / kSquare + 1);
    r -= (record[18] - 1) * kSquare;
    record[19] = static_cast<std::uint8_t>(r / 254 + 1);
    r -= (record[19] - 1) * 254;
    record[20] = static_cast<std::uint8_t>(r + 1);
}

std::int32_t decodeCentreFrequency(const ConfigRecord& record) {
    // Four base-254 digits reach past 32 bits: decoded in 64, kept to the nine digits the
    // frequency edit takes.
    const std::int64_t hz = std::int64_t{record[17]} * 16387064 + std::int64_t{record[18]} * 64516 +
                            std::int64_t{record[19]} * 254 + record[20] - 16451835;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(hz, 0, kMaxCentreFrequencyHz));
}

std::uint8_t languageForLocale(std::string_view locale) {
    return locale.substr(0, 5) == "fr_FR" ? 2 : 1;
}

std::optional<std::uint8_t> bandwidthCode(std::int32_t widthHz) {
    switch (widthHz) {
        case 300: return 1;
        case 700: return 2;
        case 1200: return 10;
        case 2100: return 21;
        case 2700: return 25;
        case 3300: return 33;
        case 4000: return 43;
        case 12000: return 120;
        default: return std::nullopt;
    }
}

std::uint8_t portCode(int com) {
    if (com <= 0) return config::kNoPort;
    if (com <= 6) return static_cast<std::uint8_t>(com);
    if (com <= 8) return static_cast<std::uint8_t>(com + 1);
    return static_cast<std::uint8_t>(com + 2);
}

int portFromCode(std::uint8_t code) {
    if (code <= 6) return code;
    if (code == 8 || code == 9) return code - 1;
    if (code >= 11 && code <= 18) return code - 2;
    return 0;
}

}  // namespace orv
