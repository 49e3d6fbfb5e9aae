#pragma once

namespace orv {

// The demodulation modes, numbered as the settings record stores them.
enum class Mode { Usb = 1, Lsb = 2, Am = 3, Fm = 4, BroadcastFm96 = 5, BroadcastFm192 = 6 };

constexpr int modeNumber(Mode mode) { return static_cast<int>(mode); }
// The mode stored as `number`, 1 to 6.
constexpr Mode modeFromNumber(int number) { return static_cast<Mode>(number); }
constexpr bool isSideband(Mode mode) { return mode == Mode::Usb || mode == Mode::Lsb; }
constexpr bool isBroadcastFm(Mode mode) { return mode == Mode::BroadcastFm96 || mode == Mode::BroadcastFm192; }
// AM and narrow FM are demodulated on the intermediate frequency.
constexpr bool usesIntermediateFrequency(Mode mode) { return mode == Mode::Am || mode == Mode::Fm; }

}  // namespace orv
