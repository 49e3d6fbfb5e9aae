// The settings record loaded, applied, gathered and saved; the frequency memory's file.
#include "station/settings_controller.hpp"

#include <algorithm>

#include "station/station.hpp"
#include "ui/text_utils.hpp"

namespace orv {

namespace {

// A settings byte that is a button's flag (1 up, 2 down), with the subsystem that owns it.
struct FlagByte {
    std::size_t byte;
    const char* button;
    bool (*get)(Station&);
    void (*set)(Station&, bool);
};

// An I/Q correction, stored as value + 127.
struct CorrectionByte {
    std::size_t byte;
    std::int32_t (*get)(Station&);
    void (*set)(Station&, std::int32_t);
};

}  // namespace

// The tables reach the subsystems through the station, whose members they may use.
struct SettingsTables {
    static constexpr FlagByte kFlagBytes[] = {
        {config::kGreyWaterfall, "Bouton_spectre_gris", [](Station& s) { return s.display_.grey(); },
         [](Station& s, bool on) { s.display_.setGrey(on); }},
        {config::kSpectrumAgc, "Bouton_CAG_Spectre", [](Station& s) { return s.receive_.config().spectrumAgcOn; },
         [](Station& s, bool on) { s.receive_.setSpectrumAgc(on); }},
        {config::kFeRegulated, "Fe_regulee", [](Station& s) { return s.soundMenus_.feRegulated(); },
         [](Station& s, bool on) { s.soundMenus_.setFeRegulated(on); }},
        {config::kRxAgc, "Bouton_CAG_RX", [](Station& s) { return s.receive_.config().rxAgcOn; },
         [](Station& s, bool on) { s.receive_.setRxAgc(on); }},
        {config::kRxSwapIq, "INVERSION_I_Q_RX", [](Station& s) { return s.receive_.config().rxSwapIq; },
         [](Station& s, bool on) { s.receive_.setSwapIq(on); }},
        {config::kSweep, "Balayage", [](Station& s) { return s.tuning_.sweep(); },
         [](Station& s, bool on) { s.tuning_.setSweep(on); }},
        {config::kTxAgc, "Bouton_CAG_TX", [](Station& s) { return s.transmit_.options().agcOn; },
         [](Station& s, bool on) { s.transmit_.options().agcOn = on; }},
        {config::kTxSwapIq, "INVERSION_I_Q_TX", [](Station& s) { return s.transmit_.options().swapIq; },
         [](Station& s, bool on) { s.transmit_.options().swapIq = on; }},
        {config::kTxFilter, "FILTRE_TX", [](Station& s) { return s.transmit_.options().filterOn; },
         [](Station& s, bool on) { s.transmit_.options().filterOn = on; }},
    };
    static constexpr CorrectionByte kCorrectionBytes[] = {
        {config::kRxAmplitude, [](Station& s) { return s.receive_.config().amplitudeCorrection; },
         [](Station& s, std::int32_t v) { s.receive_.setCorrections(v, s.receive_.config().phaseCorrection); }},
        {config::kRxPhase, [](Station& s) { return s.receive_.config().phaseCorrection; },
         [](Station& s, std::int32_t v) { s.receive_.setCorrections(s.receive_.config().amplitudeCorrection, v); }},
        {config::kTxAmplitude, [](Station& s) { return s.transmit_.options().amplitudeCorrection; },
         [](Station& s, std::int32_t v) { s.transmit_.options().amplitudeCorrection = v; }},
        {config::kTxPhase, [](Station& s) { return s.transmit_.options().phaseCorrection; },
         [](Station& s, std::int32_t v) { s.transmit_.options().phaseCorrection = v; }},
    };
};

void SettingsController::setSystemLanguage(std::uint8_t language) {
    st_.store_.setSystemLanguage(language);
    // Until the settings are read, what start-up says is said in the system's language.
    st_.store_.record()[config::kLanguage] = language;
}

void SettingsController::writeConfig() { st_.store_.write(); }

void SettingsController::loadConfig() {
    const auto load = st_.store_.load();
    if (load == SettingsStore::Load::Altered)
        st_.ports_.view.showStandardBox(BoxIcon::Error,
                                        st_.text("The file CONFORVL.SER is altered, so standard parameters.",
                                                 "Le fichier CONFORVL.SER est altéré, donc paramètres standard."));
    applyConfigMenus();  // a fresh or replaced record is written by its rate and receiver-type steps
    if (load == SettingsStore::Load::Missing) writeConfig();
}

void SettingsController::applyConfigMenus() {
    for (const CardRole role : {CardRole::Tx, CardRole::Rx, CardRole::Mic, CardRole::Speaker})
        st_.soundMenus_.applyCard(role);
    st_.soundMenus_.applySampleRate();
    st_.soundMenus_.applyReceiverType();
    // The serial PTT menus take bytes 29 and 33 once the serial lines are built.
}

void SettingsController::applyConfigControls() {
    ConfigRecord& record = st_.store_.record();
    ControlsModel& controls = st_.controls_;
    for (const auto& f : SettingsTables::kFlagBytes) {
        f.set(st_, record[f.byte] != 1);
        controls.setDown(f.button, f.get(st_));
    }
    for (const auto& c : SettingsTables::kCorrectionBytes) c.set(st_, record[c.byte] - 127);

    st_.engine_.sizes().latencySetting = record[config::kLatency];
    controls.setPosition("TEMPS_DE_LATENCE", record[config::kLatency]);

    const Mode mode = modeFromNumber(record[config::kMode]);
    st_.receive_.setMode(mode);
    for (const auto& b : kModeButtons) controls.setDown(b.name, b.mode == mode);
    controls.setEnabled("Box_Fonctions_TX", !isBroadcastFm(mode));

    Tuning& tuning = st_.tuning_;
    tuning.setBand(0, tuning.bandWidthHz());
    for (const auto& b : kBandButtons) {
        const bool chosen = bandwidthCode(b.widthHz) == record[config::kBandwidth];
        controls.setDown(b.name, chosen);
        if (chosen) tuning.setBand(b.lowHz, b.widthHz);
    }

    tuning.setOffsetHz(decodeOffset(record, kTuneStepHz));
    const bool fixed = decodeFixed(record);
    controls.setDown("La_Frequence_fixe", fixed);
    controls.setEnabled("REGLAGE_FREQUENCE", !fixed);
    tuning.setFixed(fixed);

    // The rates the mode allows; a stored rate it does not allow is replaced and takes
    // effect the next time the rate is applied.
    const ModeButton& button = modeButton(mode);
    for (const auto& item : kRateItems) controls.setEnabled(item.name, button.allows(item.rate));
    std::uint8_t& rate = record[config::kCaptureRate];
    if (!button.allows(captureRateFromCode(rate))) rate = captureRateCode(button.forcedRate);

    const int noiseReducer = record[config::kNoiseReducer];
    st_.receive_.setNoiseReducerLevel(noiseReducer);
    controls.setDown("REDUCTEUR_WIENER_FAIBLE", noiseReducer == 2);
    controls.setDown("REDUCTEUR_WIENER_FORT", noiseReducer == 3);
    centreFrequencyChange(std::to_string(decodeCentreFrequency(record)));
}

void SettingsController::saveAllSettings() {
    ConfigRecord& record = st_.store_.record();
    for (const auto& f : SettingsTables::kFlagBytes) record[f.byte] = flagByte(f.get(st_));
    for (const auto& c : SettingsTables::kCorrectionBytes) record[c.byte] = static_cast<std::uint8_t>(c.get(st_) + 127);
    record[config::kLatency] = static_cast<std::uint8_t>(st_.engine_.sizes().latencySetting);
    record[config::kMode] = static_cast<std::uint8_t>(modeNumber(st_.receive_.config().mode));
    if (const auto code = bandwidthCode(st_.tuning_.bandWidthHz())) record[config::kBandwidth] = *code;
    encodeOffset(record, st_.tuning_.offsetHz(), st_.tuning_.fixed(), kTuneStepHz);
    record[config::kNoiseReducer] = static_cast<std::uint8_t>(st_.receive_.config().noiseReducerLevel);
    encodeCentreFrequency(record, parseDigits(st_.controls_.get("Frequence_centrale").text));
    writeConfig();
}

void SettingsController::standardSettingsClick() {
    st_.store_.resetToStandard();
    applyConfigMenus();
    st_.languageController_.applyLanguage();
    applyConfigControls();
}

void SettingsController::centreFrequencyChange(std::string_view text) {
    const std::string digits = keepDigits(text);
    std::int32_t value = digits.size() >= 1 && digits.size() <= 9 ? parseDigits(digits) : 0;
    value = std::min(value, 999999999);
    st_.tuning_.setCentreFrequencyHz(value);
    st_.controls_.setText("Frequence_centrale", std::to_string(value));
}

void SettingsController::loadFrequencyMemory() {
    using MemoryLoad = SettingsStore::MemoryLoad;
    const MemoryLoad load = st_.store_.loadFrequencyMemory();
    if (load == MemoryLoad::Incorrect)
        st_.ports_.view.showStandardBox(
            BoxIcon::Error, st_.text("The \"SDR_QRG.TXT\" file is incorrect, so re-initialization of this one.",
                                     "Le fichier \"SDR_QRG.TXT\" est incorrect, donc réinitialisation de celui-ci."));
    if (load == MemoryLoad::FieldIncorrect)
        st_.ports_.view.showStandardBox(
            BoxIcon::Error,
            st_.text("A field of the \"SDR_QRG.TXT\" file is incorrect, so re-initialization of this file.",
                     "Un champ du fichier \"SDR_QRG.TXT\" est incorrect, donc réinitialisation de ce fichier."));
    if (load != MemoryLoad::Loaded && load != MemoryLoad::ReadFailed) saveFrequencyMemory();
}

bool SettingsController::saveFrequencyMemory() {
    const auto saved = st_.store_.saveFrequencyMemory();
    if (saved == SettingsStore::Save::NoRoom)
        st_.messages_.showError(std::string("No more room to write in the file ") + kFrequencyFileName,
                                std::string("Plus de place pour écrire le fichier.") + kFrequencyFileName);
    return saved == SettingsStore::Save::Saved;
}

}  // namespace orv
