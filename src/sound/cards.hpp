#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "sound/wave_api.hpp"

namespace orv {

// The four roles a sound card can play.
enum class CardRole { Rx, Tx, Speaker, Mic };

// The card byte of the default card; it opens device 0.
inline constexpr std::uint8_t kDefaultCard = 99;
inline constexpr int kMaxCards = 16;

// The device chosen for each role: index 0 to 15, or kDefaultCard.
class CardChoices {
public:
    std::uint8_t& operator[](CardRole role) { return cards_[static_cast<std::size_t>(role)]; }
    std::uint8_t operator[](CardRole role) const { return cards_[static_cast<std::size_t>(role)]; }
    static int deviceIndex(std::uint8_t card) { return card == kDefaultCard ? 0 : card; }

private:
    std::array<std::uint8_t, 4> cards_{kDefaultCard, kDefaultCard, kDefaultCard, kDefaultCard};
};

// The devices the system offers, counted and named once at start-up (at most 16 a side;
// "?" for a name the system would not give).
class CardList {
public:
    // False when either side has no device at all.
    bool enumerate(WaveApi& api);
    int count(WaveDirection dir) const { return counts_[side(dir)]; }
    const std::string& name(WaveDirection dir, int k) const { return names_[side(dir)][static_cast<std::size_t>(k)]; }

private:
    static std::size_t side(WaveDirection dir) { return dir == WaveDirection::Capture ? 0 : 1; }
    std::array<int, 2> counts_{};
    std::array<std::array<std::string, kMaxCards>, 2> names_{};
};

}  // namespace orv
