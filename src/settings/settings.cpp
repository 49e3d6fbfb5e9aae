// The settings record loaded, applied, gathered and saved; the frequency memory.
#include <algorithm>

#include "core/station.hpp"
#include "display/tuning.hpp"
#include "ui/text_utils.hpp"

namespace orv {

namespace {

// The settings bytes that are a flag of a button (1 up, 2 down).
struct FlagByte {
    std::size_t byte;
    bool ProcessingState::*flag;
    const char* button;
};
constexpr FlagByte kFlagBytes[] = {
    {config::kGreyWaterfall, &ProcessingState::greyWaterfall, "Bouton_spectre_gris"},
    {config::kSpectrumAgc, &ProcessingState::spectrumAgcOn, "Bouton_CAG_Spectre"},
    {config::kFeRegulated, &ProcessingState::feRegulated, "Fe_regulee"},
    {config::kRxAgc, &ProcessingState::rxAgcOn, "Bouton_CAG_RX"},
    {config::kRxSwapIq, &ProcessingState::rxSwapIq, "INVERSION_I_Q_RX"},
    {config::kSweep, &ProcessingState::sweepOn, "Balayage"},
    {config::kTxAgc, &ProcessingState::txAgcOn, "Bouton_CAG_TX"},
    {config::kTxSwapIq, &ProcessingState::txSwapIq, "INVERSION_I_Q_TX"},
    {config::kTxFilter, &ProcessingState::txFilterOn, "FILTRE_TX"},
};

// The I/Q corrections, stored as value + 127.
struct CorrectionByte {
    std::size_t byte;
    std::int32_t ProcessingState::*value;
};
constexpr CorrectionByte kCorrectionBytes[] = {
    {config::kRxAmplitude, &ProcessingState::rxAmplitudeCorrection},
    {config::kRxPhase, &ProcessingState::rxPhaseCorrection},
    {config::kTxAmplitude, &ProcessingState::txAmplitudeCorrection},
    {config::kTxPhase, &ProcessingState::txPhaseCorrection},
};

}  // namespace

void Station::writeConfig() {
    const std::string text(config_.begin(), config_.end());
    files_.writeTextFile(ports_.files.pathOf(kConfigFileName), text);
}

void Station::loadConfig() {
    const std::string path = ports_.files.pathOf(kConfigFileName);
    if (!files_.fileExists(path)) {
        config_ = kStandardConfig;
        config_[config::kLanguage] = systemLanguage_;
        applyConfigMenus();
        writeConfig();
        return;
    }
    const auto read = files_.readTextFile(path);
    std::optional<ConfigRecord> record;
    if (!read.failed) record = readConfig(read.text, read.bytesRead);
    if (record) {
        config_ = *record;
        applyConfigMenus();
        return;
    }
    if (!read.failed)
        ports_.view.showStandardBox(BoxIcon::Error, text("The file CONFORVL.SER is altered, so standard parameters.",
                                                         "Le fichier CONFORVL.SER est altéré, donc paramètres standard."));
    config_ = kStandardConfig;
    config_[config::kLanguage] = systemLanguage_;
    applyConfigMenus();  // its rate and receiver-type steps rewrite the file
}

void Station::applyConfigMenus() {
    for (const CardRole role : {CardRole::Tx, CardRole::Rx, CardRole::Mic, CardRole::Speaker}) applyCard(role);
    applySampleRate();
    applyReceiverType();
    // The serial PTT menus take bytes 29 and 33 once the serial lines are built.
}

void Station::applyConfigControls() {
    for (const auto& f : kFlagBytes) {
        s_.*f.flag = config_[f.byte] != 1;
        controls_.setDown(f.button, s_.*f.flag);
    }
    for (const auto& c : kCorrectionBytes) s_.*c.value = config_[c.byte] - 127;

    s_.latencySetting = config_[config::kLatency];
    controls_.setPosition("TEMPS_DE_LATENCE", s_.latencySetting);

    s_.mode = config_[config::kMode];
    for (const auto& b : kModeButtons) controls_.setDown(b.name, b.mode == s_.mode);
    controls_.setEnabled("Box_Fonctions_TX", s_.mode < 5);

    s_.bandLowHz = 0;
    for (const auto& b : kBandButtons) {
        const bool chosen = bandwidthCode(b.widthHz) == config_[config::kBandwidth];
        controls_.setDown(b.name, chosen);
        if (chosen) {
            s_.bandLowHz = b.lowHz;
            s_.bandWidthHz = b.widthHz;
        }
    }

    s_.tuneOffsetHz = decodeOffset(config_, kTuneStepHz);
    s_.fixedFrequency = decodeFixed(config_);
    controls_.setDown("La_Frequence_fixe", s_.fixedFrequency);
    controls_.setEnabled("REGLAGE_FREQUENCE", !s_.fixedFrequency);
    if (s_.fixedFrequency) s_.fixedOffsetHz = s_.tuneOffsetHz;

    // The rates the mode allows; a stored rate it does not allow is replaced and takes
    // effect the next time the rate is applied.
    const ModeButton& mode = kModeButtons[s_.mode - 1];
    for (const auto& item : kRateItems) controls_.setEnabled(item.name, mode.allows(item.rate));
    std::uint8_t& rate = config_[config::kCaptureRate];
    if (!mode.allows(captureRateFromCode(rate))) rate = captureRateCode(mode.forcedRate);

    s_.noiseReducerLevel = config_[config::kNoiseReducer];
    controls_.setDown("REDUCTEUR_WIENER_FAIBLE", s_.noiseReducerLevel == 2);
    controls_.setDown("REDUCTEUR_WIENER_FORT", s_.noiseReducerLevel == 3);
    centreFrequencyChange(std::to_string(decodeCentreFrequency(config_)));
}

void Station::saveAllSettings() {
    for (const auto& f : kFlagBytes) config_[f.byte] = flagByte(s_.*f.flag);
    for (const auto& c : kCorrectionBytes) config_[c.byte] = static_cast<std::uint8_t>(s_.*c.value + 127);
    config_[config::kLatency] = static_cast<std::uint8_t>(s_.latencySetting);
    config_[config::kMode] = static_cast<std::uint8_t>(s_.mode);
    if (const auto code = bandwidthCode(s_.bandWidthHz)) config_[config::kBandwidth] = *code;
    encodeOffset(config_, s_.tuneOffsetHz, s_.fixedFrequency, kTuneStepHz);
    config_[config::kNoiseReducer] = static_cast<std::uint8_t>(s_.noiseReducerLevel);
    encodeCentreFrequency(config_, parseDigits(controls_.get("Frequence_centrale").text));
    writeConfig();
}

void Station::standardSettingsClick() {
    config_ = kStandardConfig;
    config_[config::kLanguage] = systemLanguage_;
    applyConfigMenus();
    applyConfigControls();
}

void Station::centreFrequencyChange(std::string_view text) {
    const std::string digits = keepDigits(text);
    std::int32_t value = digits.size() >= 1 && digits.size() <= 9 ? parseDigits(digits) : 0;
    value = std::min(value, 999999999);
    s_.centreFrequencyHz = value;
    controls_.setText("Frequence_centrale", std::to_string(value));
}

void Station::loadFrequencyMemory() {
    const std::string path = ports_.files.pathOf(kFrequencyFileName);
    if (!files_.fileExists(path)) {
        frequencyMemory_ = defaultFrequencyMemory();
        saveFrequencyMemory();
        return;
    }
    const auto read = files_.readTextFile(path);
    if (read.failed) return;  // reported; the memories keep their values
    const FrequencyFile file = parseFrequencyFile(read.text, read.bytesRead);
    if (file.problem == FrequencyFileProblem::None) {
        frequencyMemory_ = file.memory;
        return;
    }
    if (file.problem == FrequencyFileProblem::Incorrect)
        ports_.view.showStandardBox(
            BoxIcon::Error, text("The \"SDR_QRG.TXT\" file is incorrect, so re-initialization of this one.",
                                 "Le fichier \"SDR_QRG.TXT\" est incorrect, donc réinitialisation de celui-ci."));
    else
        ports_.view.showStandardBox(
            BoxIcon::Error, text("A field of the \"SDR_QRG.TXT\" file is incorrect, so re-initialization of this file.",
                                 "Un champ du fichier \"SDR_QRG.TXT\" est incorrect, donc réinitialisation de ce fichier."));
    frequencyMemory_ = defaultFrequencyMemory();
    saveFrequencyMemory();
}

bool Station::saveFrequencyMemory() {
    if (files_.openFileForWriting(ports_.files.pathOf(kFrequencyFileName))) return false;
    const auto appended = files_.appendToOpenFile(formatFrequencyFile(frequencyMemory_));
    if (appended.failed) {
        // Nothing half-written replaces the old file.
        files_.discardWrittenFile();
        if (appended.end)
            messages_.showError(std::string("No more room to write in the file ") + kFrequencyFileName,
                                std::string("Plus de place pour écrire le fichier.") + kFrequencyFileName);
        return false;
    }
    return !files_.closeWrittenFile();
}

}  // namespace orv
