#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/clock.hpp"
#include "core/processing_state.hpp"
#include "core/transmit_pacing.hpp"
#include "display/display.hpp"
#include "dsp/receive_chain.hpp"
#include "link/transmit_chain.hpp"
#include "settings/config_record.hpp"
#include "settings/frequency_memory.hpp"
#include "sound/device_tables.hpp"
#include "sound/mixer.hpp"
#include "sound/wave_api.hpp"
#include "sound/wave_engine.hpp"
#include "ui/controls_model.hpp"
#include "ui/file_utilities.hpp"
#include "ui/files.hpp"
#include "ui/lang_text.hpp"
#include "ui/message_window.hpp"
#include "ui/view.hpp"

namespace orv {

// The ports a station reaches the outside world through.
struct StationPorts {
    WaveApi& wave;
    Clock& clock;
    View& view;
    Files& files;
    Mixer& mixer;
};

// The radio: processing state, sample queues, devices and the processing blocks, run
// from one thread by the timers and the window's handlers. No globals: tests build as
// many stations as they like.
class Station {
public:
    explicit Station(StationPorts ports);

    // Start-up and shutdown.
    bool startUp();        // false: the program cannot run (it has said why)
    void initReceive();
    void formClose();
    void abandonClick();

    // Settings: the record applied to the controls, gathered back, the standard record.
    void applyConfigControls();
    void saveAllSettings();
    void standardSettingsClick();  // Parametres_standard
    // 2 when the user's locale is French of France, else 1.
    void setSystemLanguage(std::uint8_t language) { systemLanguage_ = language; }
    FrequencyMemory& frequencyMemory() { return frequencyMemory_; }
    bool saveFrequencyMemory();
    // The centre-frequency edit: digits only, 1 to 9 of them, capped at 999999999.
    void centreFrequencyChange(std::string_view text);
    // The frequency memory window (Form52): activation fills Frequence1 … 12; Select k
    // copies memory k into Frequence_centrale; OK stores and saves (false when the file
    // could not be written; the window closes either way); Cancel just closes it.
    void frequencyWindowActivate();
    void frequencySelectClick(int k);
    bool frequencyOkClick();
    void frequencyHelpClick();

    // Sound-card, rate and receiver-type menus and the mixer buttons.
    void cardItemClick(std::string_view item);  // any of the 68 card items
    void applyCard(CardRole role);
    void rateItemClick(std::string_view item);  // Fe_192000 … Fe_11025
    void applySampleRate();
    void receiverTypeClick(bool sdr);           // Recepteur_type_SdR / Recepteur_conversion_directe
    void applyReceiverType();
    void feRegulatedClick(bool down);
    void fesEqualsFeeClick(bool down);
    void mixerButtonClick(std::string_view button);
    // Tuning, the mode, bandwidth and noise-reducer buttons.
    void applyTuning(std::int32_t offsetHz);
    void setTuneOffset(double offsetHz);
    void modeClick(int mode);  // 1 USB, 2 LSB, 3 AM, 4 FM, 5 and 6 broadcast FM
    // The waterfall's mouse (column x), the up-down control, the wheel (+1 a notch down,
    // −1 up), La_Frequence_fixe, Balayage and the display buttons.
    void tuneToPixel(int x);
    void spectrumMouseDown(int x);
    void spectrumMouseMove(int x);
    void tuningControlClick(int position);
    void mouseWheel(int notches);
    void fixedFrequencyClick(bool down);
    void sweepClick(bool down);
    void spectrumAgcClick(bool down);
    void greyWaterfallClick(bool down);
    void historyClick(bool down);
    void otherFrequenciesClick() { ports_.view.openFrequencyMemory(); }  // Autres_frequences_SDR
    void noiseReducerClick(std::string_view button, bool down);
    void bandClick(std::string_view button);
    // The receive chain's view of the settings.
    ReceiveSettings receiveSettings() const;
    const ReceiveChain& receiveChain() const { return receive_; }

    int cardCount(WaveDirection dir) const { return cardCounts_[dir == WaveDirection::Capture ? 0 : 1]; }
    const std::string& cardName(WaveDirection dir, int k) const {
        return cardNames_[dir == WaveDirection::Capture ? 0 : 1][static_cast<std::size_t>(k)];
    }

    // Timers.
    void timer1() { mainCycle(); }

    // The main cycle and its steps.
    void mainCycle();
    void capturePoll();
    void processCapturedBuffer(int k);
    void cutBlocks();
    void processBlock();
    void feedPlayback();

    // The restart pattern: stop the devices, reset the receive state; the next tick
    // reopens them with the sizes then in force.
    void stopAllSound() { engine_.stopAllSound(); }
    void resetReceiveState();

    ProcessingState& state() { return s_; }
    const ProcessingState& state() const { return s_; }
    ControlsModel& controls() { return controls_; }
    WaveEngine& engine() { return engine_; }
    const Display& display() const { return display_; }
    Display& display() { return display_; }
    // Where the waterfall is drawn; none in tests and in runs that draw nothing.
    void setWaterfallCanvas(WaterfallCanvas* canvas) { canvas_ = canvas; }

    std::uint8_t language() const { return config_[config::kLanguage]; }
    void setLanguage(std::uint8_t language) { config_[config::kLanguage] = language; }
    std::string text(std::string_view english, std::string_view french) const {
        return langText(language(), english, french);
    }
    ConfigRecord& config() { return config_; }
    const std::string& mixerCommand() const { return mixerCommand_; }
    bool linkListening() const { return linkListening_; }

private:
    // Main-cycle steps.
    bool pttReleaseStep();
    bool deviceOpenStep();
    void pttInputStep();
    void transmitStep();
    void refillPlaybackBuffer(int k);
    void regulateSpeakerQueue();
    void collectCaptureBuffer(int k);
    void voiceStep();
    void linkEndStep();

    void computeOffsetRange();
    std::int32_t passbandTopHz() const;
    void placeMarker(const char* name, std::int32_t hz);
    void showLocalLevel();
    void showInputLevel();

    // Device selection.
    bool enumerateCards();
    void testCardFormat();
    bool formatTrial();
    void restartReceive();
    // A new capture rate or receiver type while running: reopen with new sizes, filters
    // and tuning.
    void restartWithNewFormat();
    // Settings and the frequency memory.
    void loadConfig();
    void applyConfigMenus();
    void writeConfig();
    void loadFrequencyMemory();
    void frequencyKeepDigits();

    // Calls into the transmit and PTT parts.
    void locateMixer();
    void stopVoiceTransmit();
    void endTransmit();
    void pttKeyOff() {}

    StationPorts ports_;
    ConfigRecord config_ = kStandardConfig;  // the settings bytes; byte 0 is the language
    ProcessingState s_;
    ControlsModel controls_;
    MessageWindow messages_;
    FileUtilities files_;
    WaveEngine engine_;
    MixOscillator mix_;  // one phase, shared by the receive mixer and the transmit modulators
    ReceiveChain receive_{mix_};
    ReceiveOutput audioOut_;
    double globalLevel_ = 0;  // the whole band's level, from the spectrum display
    WaterfallCanvas* canvas_ = nullptr;
    std::int64_t lastWheelMs_ = -1000;
    double levelRatio_ = 0;
    Display display_;
    TransmitChain transmit_;
    VoiceLevelHistory voiceLevels_;
    std::array<std::int32_t, 2048> displayBlockI_{};
    std::array<std::int32_t, 2048> displayBlockQ_{};
    std::array<int, 2> cardCounts_{};
    std::array<std::array<std::string, kMaxCards>, 2> cardNames_{};
    std::string mixerCommand_;
    std::uint8_t systemLanguage_ = kEnglish;
    FrequencyMemory frequencyMemory_ = defaultFrequencyMemory();
    bool linkListening_ = false;
};

}  // namespace orv
