#pragma once

#include <cstdint>
#include <span>

#include "dsp/mode.hpp"
#include "dsp/oscillator.hpp"
#include "dsp/sample_fifo.hpp"
#include "transmit/microphone.hpp"
#include "transmit/transmit_pacing.hpp"
#include "transmit/tx_modulator.hpp"

namespace orv {

// The transmit side: the microphone's processing into 8-bit voice, the queue of that
// voice, the modulator that makes the TX card's I/Q, and the transmit options kept with
// the settings.
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

    // A transmission starts: the filters designed for its rates, every state cleared.
    void start(int fee, bool sdrReceiver) { modulator_.start(audioRate_, fee, sdrReceiver); }
    // One chunk of 8-bit audio at the audio rate to I/Q frames appended to `tx`.
    void modulateTxAudio(std::span<const std::uint8_t> audio, Mode mode, MixOscillator& mix,
                         SampleFifo<std::int16_t>& tx) {
        modulator_.modulate(audio, {mode, options_.swapIq, options_.amplitudeCorrection, options_.phaseCorrection},
                            mix, tx);
    }

    MicrophoneProcessor& microphone() { return microphone_; }
    const MicrophoneProcessor& microphone() const { return microphone_; }
    // Microphone samples to voice bytes. True when the level was measured again.
    bool processMicrophone(std::span<const std::int16_t> samples) {
        return microphone_.process(samples, options_.filterOn, options_.agcOn, voice_);
    }

    // The microphone's audio, 8-bit unsigned at the transmit audio rate, zero is 0x7F.
    SampleFifo<std::uint8_t>& voiceQueue() { return voice_; }
    VoiceLevelHistory& voiceLevels() { return voiceLevels_; }
    // The rate of the 8-bit audio handed to the modulator.
    int audioRate() const { return audioRate_; }
    void setAudioRate(int rate) { audioRate_ = rate; }
    const TxModulator& modulator() const { return modulator_; }

private:
    Options options_;
    SampleFifo<std::uint8_t> voice_;
    VoiceLevelHistory voiceLevels_;
    MicrophoneProcessor microphone_;
    TxModulator modulator_;
    int audioRate_ = 11025;
};

}  // namespace orv
