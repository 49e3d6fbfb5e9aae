// The settings record loaded, applied, gathered and saved; the frequency memory.
#include <algorithm>

#include "core/station.hpp"
#include "display/tuning.hpp"
#include "ui/text_utils.hpp"

namespace orv {

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
    const auto on = [&](std::size_t byte) { return config_[byte] != 1; };
    s_.greyWaterfall = on(config::kGreyWaterfall);
    controls_.setDown("Bouton_spectre_gris", s_.greyWaterfall);
    s_.spectrumAgcOn = on(config::kSpectrumAgc);
    controls_.setDown("Bouton_CAG_Spectre", s_.spectrumAgcOn);

    s_.latencySetting = config_[config::kLatency];
    controls_.setPosition("TEMPS_DE_LATENCE", s_.latencySetting);

    s_.mode = config_[config::kMode];
    constexpr const char* kModeButtons[] = {"USB", "LSB", "AM", "FM", "FM_Commercial_96", "FM_Commercial_192"};
    for (int m = 1; m <= 6; ++m) controls_.setDown(kModeButtons[m - 1], m == s_.mode);
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

    // The rates a mode allows; a stored rate it does not allow is replaced and takes
    // effect the next time the rate is applied.
    for (const auto& item : kRateItems) controls_.setEnabled(item.name, true);
    std::uint8_t& rate = config_[config::kCaptureRate];
    if (s_.mode == 5 || s_.mode == 6) {
        const int only = s_.mode == 6 ? 192000 : 96000;
        for (const auto& item : kRateItems) controls_.setEnabled(item.name, item.rate == only);
        rate = captureRateCode(only);
    } else if (s_.mode == 3 || s_.mode == 4) {
        for (const char* item : {"Fe_192000", "Fe_96000", "Fe_12000", "Fe_11025"}) controls_.setEnabled(item, false);
        if (rate != 44 && rate != 48) rate = 48;
    }

    s_.noiseReducerLevel = config_[config::kNoiseReducer];
    controls_.setDown("REDUCTEUR_WIENER_FAIBLE", s_.noiseReducerLevel == 2);
    controls_.setDown("REDUCTEUR_WIENER_FORT", s_.noiseReducerLevel == 3);
    s_.feRegulated = on(config::kFeRegulated);
    controls_.setDown("Fe_regulee", s_.feRegulated);
    s_.rxAgcOn = on(config::kRxAgc);
    controls_.setDown("Bouton_CAG_RX", s_.rxAgcOn);
    s_.rxSwapIq = on(config::kRxSwapIq);
    controls_.setDown("INVERSION_I_Q_RX", s_.rxSwapIq);
    centreFrequencyChange(std::to_string(decodeCentreFrequency(config_)));
    s_.rxAmplitudeCorrection = config_[config::kRxAmplitude] - 127;
    s_.rxPhaseCorrection = config_[config::kRxPhase] - 127;
    s_.sweepOn = on(config::kSweep);
    controls_.setDown("Balayage", s_.sweepOn);
    s_.txAgcOn = on(config::kTxAgc);
    controls_.setDown("Bouton_CAG_TX", s_.txAgcOn);
    s_.txAmplitudeCorrection = config_[config::kTxAmplitude] - 127;
    s_.txPhaseCorrection = config_[config::kTxPhase] - 127;
    s_.txSwapIq = on(config::kTxSwapIq);
    controls_.setDown("INVERSION_I_Q_TX", s_.txSwapIq);
    s_.txFilterOn = on(config::kTxFilter);
    controls_.setDown("FILTRE_TX", s_.txFilterOn);
}

void Station::saveAllSettings() {
    config_[config::kGreyWaterfall] = flagByte(s_.greyWaterfall);
    config_[config::kSpectrumAgc] = flagByte(s_.spectrumAgcOn);
    config_[config::kLatency] = static_cast<std::uint8_t>(s_.latencySetting);
    config_[config::kMode] = static_cast<std::uint8_t>(s_.mode);
    if (const auto code = bandwidthCode(s_.bandWidthHz)) config_[config::kBandwidth] = *code;
    encodeOffset(config_, s_.tuneOffsetHz, s_.fixedFrequency, kTuneStepHz);
    config_[config::kNoiseReducer] = static_cast<std::uint8_t>(s_.noiseReducerLevel);
    config_[config::kFeRegulated] = flagByte(s_.feRegulated);
    config_[config::kRxAgc] = flagByte(s_.rxAgcOn);
    config_[config::kRxSwapIq] = flagByte(s_.rxSwapIq);
    encodeCentreFrequency(config_, parseDigits(controls_.get("Frequence_centrale").text));
    config_[config::kRxAmplitude] = static_cast<std::uint8_t>(s_.rxAmplitudeCorrection + 127);
    config_[config::kRxPhase] = static_cast<std::uint8_t>(s_.rxPhaseCorrection + 127);
    config_[config::kSweep] = flagByte(s_.sweepOn);
    config_[config::kTxAgc] = flagByte(s_.txAgcOn);
    config_[config::kTxAmplitude] = static_cast<std::uint8_t>(s_.txAmplitudeCorrection + 127);
    config_[config::kTxPhase] = static_cast<std::uint8_t>(s_.txPhaseCorrection + 127);
    config_[config::kTxSwapIq] = flagByte(s_.txSwapIq);
    config_[config::kTxFilter] = flagByte(s_.txFilterOn);
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
