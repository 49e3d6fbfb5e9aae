#include "station/language_controller.hpp"

#include "station/station.hpp"
#include "ui/captions.hpp"

namespace orv {

void LanguageController::applyLanguage() {
    ControlsModel& controls = st_.controls_;
    controls.setCaption("Form1", st_.text("Orvandel: SdR transceiver", "Orvandel : émetteur-récepteur SdR"));
    controls.setCaption("English1", "English");
    controls.setCaption("Francais1", "Français");
    controls.setDown("English1", st_.language() == kEnglish);
    controls.setDown("Francais1", st_.language() == kFrench);
    for (const CaptionRow& row : kCaptionRows) {
        const std::string text = st_.text(row.english, row.french);
        if (row.hint) {
            controls.setHint(row.control, text);
            // Bande_4000 shares the hint of Bande_3300.
            if (std::string_view(row.control) == "Bande_3300") controls.setHint("Bande_4000", text);
        } else if (std::string_view(row.control) == "FM_Commercial_96") {
            controls.setCaption(row.control, text + " (96 KHz)");
        } else if (std::string_view(row.control) == "FM_Commercial_192") {
            controls.setCaption(row.control, text + " (192KHz)");
        } else {
            controls.setCaption(row.control, text);
        }
    }
    st_.soundMenus_.applyCaptions();
    st_.serialPttController_.applyCaptions();
    // An open balance window follows the language too.
    CorrectionWindows& windows = st_.correctionWindows_;
    if (windows.rxOpen()) windows.applyTexts(true);
    if (windows.txOpen()) windows.applyTexts(false);
}

void LanguageController::choose(std::uint8_t language) {
    st_.store_.record()[config::kLanguage] = language;
    applyLanguage();
    st_.settingsController_.writeConfig();
}

void LanguageController::englishClick() { choose(kEnglish); }

void LanguageController::frenchClick() { choose(kFrench); }

void LanguageController::helpClick() {
    st_.ports_.view.openHelp(st_.language() == kEnglish ? "HELP_ORV.CHM" : "AIDE_ORV.CHM", 0);
}

void LanguageController::aboutClick() { st_.ports_.view.openAbout(); }

}  // namespace orv
