#pragma once

#include <cstdint>
#include <span>

#include "dsp/sample_fifo.hpp"
#include "transmit/transmit_pacing.hpp"

namespace orv {

// The transmit side's audio: the microphone's 8-bit audio waiting for the modulator, and
// the modulator's entry. No modulator is built yet, so nothing
// can start a transmission and what it is handed is dropped, never sent to a card.
class TransmitChain {
public:
    // The transmit buttons and corrections kept with the settings.
    struct Options {
        bool agcOn = false;
        bool swapIq = false;
        bool filterOn = false;
        std::int32_t amplitudeCorrection = 0;  // thousandths
        std::int32_t phaseCorrection = 0;      // steps of 0.001565 rad
    };
    Options& options() { return options_; }
    const Options& options() const { return options_; }

    void modulateTxAudio(std::span<const std::uint8_t> audio) { (void)audio; }

    // The microphone's audio, 8-bit unsigned at the transmit audio rate, zero is 0x7F.
    SampleFifo<std::uint8_t>& voiceQueue() { return voice_; }
    VoiceLevelHistory& voiceLevels() { return voiceLevels_; }
    // The rate of the 8-bit audio handed to the modulator.
    int audioRate() const { return audioRate_; }
    void setAudioRate(int rate) { audioRate_ = rate; }

private:
    Options options_;
    SampleFifo<std::uint8_t> voice_;
    VoiceLevelHistory voiceLevels_;
    int audioRate_ = 0;
};

}  // namespace orv
