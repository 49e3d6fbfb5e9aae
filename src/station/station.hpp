#pragma once

#include <string>
#include <string_view>

#include "display/display.hpp"
#include "display/tuning.hpp"
#include "dsp/oscillator.hpp"
#include "dsp/receive_chain.hpp"
#include "settings/settings_store.hpp"
#include "sound/cards.hpp"
#include "sound/mixer.hpp"
#include "sound/wave_api.hpp"
#include "sound/wave_engine.hpp"
#include "link/link_session.hpp"
#include "station/frequency_window.hpp"
#include "station/language_controller.hpp"
#include "station/link_controller.hpp"
#include "station/monitor_controller.hpp"
#include "station/receiver_controls.hpp"
#include "station/serial_ptt_controller.hpp"
#include "station/settings_controller.hpp"
#include "station/sound_menus.hpp"
#include "station/transmit_controls.hpp"
#include "station/correction_windows.hpp"
#include "transmit/calibration_tone.hpp"
#include "transmit/ptt.hpp"
#include "transmit/serial_ptt.hpp"
#include "transmit/transmit_chain.hpp"
#include "ui/clock.hpp"
#include "ui/controls_model.hpp"
#include "ui/files.hpp"
#include "ui/lang_text.hpp"
#include "ui/link_socket.hpp"
#include "ui/message_window.hpp"
#include "ui/processor_load.hpp"
#include "ui/serial_api.hpp"
#include "ui/view.hpp"

namespace orv {

// The ports a station reaches the outside world through.
struct StationPorts {
    WaveApi& wave;
    Clock& clock;
    View& view;
    Files& files;
    Mixer& mixer;
    LinkSocket& link;
    ProcessorLoad& load;
    SerialApi* serial = nullptr;  // none: no serial port is ever touched
};

// What belongs to the whole cycle rather than to one subsystem.
struct CycleFlags {
    bool startRequested = false;
    bool formatChecked = false;
    bool openingDevices = false;
    bool devicesOpened = false;
    bool processingRunning = false;
    bool blockBusy = false;
    bool txInProgress = false;
    bool txChainReady = false;
    bool testToneActive = false;  // the TX test tone is generated straight into the buffers
    bool receiveActive = true;
    bool linkClientConnected = false;
    bool linkTxEndRequested = false;
    bool txEndPadded = false;
    bool localTransmission = false;  // voice or tune: the serial PTT is keyed
    bool retuneOnOpen = true;
};

// The radio, composed: one object per subsystem, the ports, the main cycle and its flags,
// and the controllers that hold the window's handlers. Run from one thread by the timers
// and the window. No globals: tests build as many stations as they like.
class Station {
public:
    explicit Station(StationPorts ports);
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // Start-up (false: the program cannot run, and it has said why), receive
    // initialisation, and the window closing or Abandon.
    bool startUp();
    void initReceive();
    void formClose();
    void abandonClick();

    // Timer1: the 10 ms main cycle; Timer2 (1.1 s) and Timer3 (3 s): the monitors;
    // Timer4: the link's 200 ms backlog report.
    void timer1() { mainCycle(); }
    void timer2() { monitorController_.timer2(); }
    void timer3() { monitorController_.timer3(); }
    void timer4() { linkController_.timer4(); }

    // The window's handlers, by concern.
    SoundMenus& soundMenus() { return soundMenus_; }
    ReceiverControls& receiver() { return receiver_; }
    SettingsController& settings() { return settingsController_; }
    FrequencyWindow& frequencyWindow() { return frequencyWindow_; }
    LinkController& link() { return linkController_; }
    LanguageController& languages() { return languageController_; }
    MonitorController& monitors() { return monitorController_; }
    TransmitControls& transmitControls() { return transmitControls_; }
    SerialPttController& serialPtt() { return serialPttController_; }
    CorrectionWindows& correctionWindows() { return correctionWindows_; }
    // Ends whatever transmits (tone, voice, tune, link) and releases the PTT: the program
    // is ending.
    void endEveryTransmission();
    const MonitorController& monitors() const { return monitorController_; }

    // The subsystems, for the window and for tests to read.
    ControlsModel& controls() { return controls_; }
    const WaveEngine& engine() const { return engine_; }
    const ReceiveChain& receiveChain() const { return receive_; }
    const Display& display() const { return display_; }
    const Tuning& tuning() const { return tuning_; }
    const SettingsStore& store() const { return store_; }
    const CardList& cards() const { return cards_; }
    const TransmitChain& transmit() const { return transmit_; }
    const SerialPtt& serialPorts() const { return serialPtt_; }
    const PttState& ptt() const { return ptt_; }
    const LinkSession& linkSession() const { return link_; }
    const CycleFlags& flags() const { return flags_; }
    // Where the waterfall is drawn; none in tests and in runs that draw nothing.
    void setWaterfallCanvas(WaterfallCanvas* canvas) { canvas_ = canvas; }

    std::uint8_t language() const { return store_.language(); }
    std::string text(std::string_view english, std::string_view french) const {
        return langText(language(), english, french);
    }

private:
    friend class SoundMenus;
    friend class ReceiverControls;
    friend class SettingsController;
    friend class FrequencyWindow;
    friend class LinkController;
    friend class LanguageController;
    friend class MonitorController;
    friend class TransmitControls;
    friend class SerialPttController;
    friend class CorrectionWindows;
    friend struct SettingsTables;

    // The main cycle and its steps.
    void mainCycle();
    bool pttReleaseStep();
    bool deviceOpenStep();
    void pttInputStep();
    void processCapturedBuffer(int k);
    void cutBlocks();
    void processBlock();
    void transmitStep();
    void voiceStep();
    void tuneStep();
    void microphoneStep();
    void linkEndStep();
    void showLocalLevel();
    void showInputLevel();

    // The restart pattern: stop the devices, reset the receive state; the next tick
    // reopens them with the sizes then in force.
    void stopAllSound();
    void resetReceiveState();
    void restartReceive();  // both, when processing runs
    // A transmission: the controls it locks, the TX card opened, and the return to receive.
    void lockControlsForTx();
    void unlockControlsAfterTx();
    // False when the TX card cannot be opened: the station receives again.
    bool startTransmit(bool withoutMicrophone);
    void startMicrophone();
    void stopVoiceTransmit();
    void endTransmit();
    void returnToReceive();
    // Voice (with the microphone) or tune, keyed on the serial PTT.
    bool startLocalTransmission(bool withoutMicrophone);
    void endLocalTransmission();
    // The calibration tone on the TX card at 11025, keyed on the serial PTT.
    bool startCalibrationTone(int hz, std::int32_t amplitudeCorrection, std::int32_t phaseCorrection);
    void endCalibrationTone();
    void pttKeyOn();
    void pttKeyOff();
    bool receiverIsSdr() const;
    void modulate(std::span<const std::uint8_t> chunk);
    // Receive audio goes to a connected client while not transmitting.
    void updateLinkAudio();
    // The receive chain's rates follow the engine's.
    void syncRates();
    TuningContext tuningContext() const;

    StationPorts ports_;
    SettingsStore store_;
    ControlsModel controls_;
    MessageWindow messages_;
    WaveEngine engine_;
    CardList cards_;
    MixOscillator mix_;  // one phase, shared by the receive mixer and the transmit modulators
    MixOscillator tune_;  // the tune carrier's 8-bit tone
    CalibrationTone tone_{mix_};
    std::vector<std::uint8_t> tuneChunk_;
    ReceiveChain receive_{mix_};
    Display display_;
    Tuning tuning_;
    TransmitChain transmit_;
    LinkSession link_;
    NoSerialPorts noSerialPorts_;
    SerialPtt serialPtt_;
    PttState ptt_;
    CycleFlags flags_;
    WaterfallCanvas* canvas_ = nullptr;
    double globalLevel_ = 0;  // the whole band's level, from the spectrum display
    double levelRatio_ = 0;
    std::int64_t runStartMs_ = 0;

    SoundMenus soundMenus_{*this};
    ReceiverControls receiver_{*this};
    SettingsController settingsController_{*this};
    FrequencyWindow frequencyWindow_{*this};
    LinkController linkController_{*this};
    LanguageController languageController_{*this};
    MonitorController monitorController_{*this};
    TransmitControls transmitControls_{*this};
    SerialPttController serialPttController_{*this};
    CorrectionWindows correctionWindows_{*this};
};

}  // namespace orv
