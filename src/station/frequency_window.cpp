// The HF frequency memory window's logic: twelve edits, their Select buttons, OK,
// Cancel and Help.
#include "station/frequency_window.hpp"

#include "station/station.hpp"
#include "ui/text_utils.hpp"

namespace orv {

namespace {
std::string edit(int k) { return "Frequence" + std::to_string(k); }
}  // namespace

void FrequencyWindow::activate() {
    ControlsModel& controls = st_.controls_;
    controls.setCaption("Form52", st_.text("HF frequencies at 0, for SdR", "Fréquences HF au 0, pour SdR"));
    const FrequencyMemory& memory = st_.store_.frequencyMemory();
    for (int k = 1; k <= 12; ++k) {
        controls.setCaption("Transfert" + std::to_string(k), st_.text("Select", "Sélection"));
        controls.setText(edit(k), trimCopy(memory[static_cast<std::size_t>(k - 1)]));
    }
    controls.setCaption("Annuler", st_.text("Cancel", "Annuler"));
    controls.setCaption("Bouton_aide", st_.text("Help", "Aide"));
}

void FrequencyWindow::keepDigitsInEdits() {
    for (int k = 1; k <= 12; ++k) st_.controls_.setText(edit(k), keepDigits(st_.controls_.get(edit(k)).text));
}

void FrequencyWindow::selectClick(int k) {
    keepDigitsInEdits();
    st_.settingsController_.centreFrequencyChange(trimCopy(st_.controls_.get(edit(k)).text));
}

bool FrequencyWindow::okClick() {
    keepDigitsInEdits();
    FrequencyMemory& memory = st_.store_.frequencyMemory();
    for (int k = 1; k <= 12; ++k) memory[static_cast<std::size_t>(k - 1)] = padLeft(st_.controls_.get(edit(k)).text, 9);
    return st_.settingsController_.saveFrequencyMemory();
}

void FrequencyWindow::helpClick() {
    st_.ports_.view.openHelp(st_.language() == kEnglish ? "HELP_TSR.CHM" : "AIDE_TSR.CHM", 68);
}

}  // namespace orv
