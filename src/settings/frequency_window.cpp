// The HF frequency memory window's logic: twelve edits, their Select buttons, OK,
// Cancel and Help.
#include "core/station.hpp"
#include "ui/text_utils.hpp"

namespace orv {

namespace {
std::string edit(int k) { return "Frequence" + std::to_string(k); }
}  // namespace

void Station::frequencyWindowActivate() {
    controls_.setCaption("Form52", text("HF frequencies at 0, for SdR", "Fréquences HF au 0, pour SdR"));
    for (int k = 1; k <= 12; ++k) {
        controls_.setCaption("Transfert" + std::to_string(k), text("Select", "Sélection"));
        controls_.setText(edit(k), trimCopy(frequencyMemory_[static_cast<std::size_t>(k - 1)]));
    }
    controls_.setCaption("Annuler", text("Cancel", "Annuler"));
    controls_.setCaption("Bouton_aide", text("Help", "Aide"));
}

void Station::frequencyKeepDigits() {
    for (int k = 1; k <= 12; ++k) controls_.setText(edit(k), keepDigits(controls_.get(edit(k)).text));
}

void Station::frequencySelectClick(int k) {
    frequencyKeepDigits();
    centreFrequencyChange(trimCopy(controls_.get(edit(k)).text));
}

bool Station::frequencyOkClick() {
    frequencyKeepDigits();
    for (int k = 1; k <= 12; ++k)
        frequencyMemory_[static_cast<std::size_t>(k - 1)] = padLeft(controls_.get(edit(k)).text, 9);
    return saveFrequencyMemory();
}

void Station::frequencyHelpClick() {
    ports_.view.openHelp(language() == kEnglish ? "HELP_TSR.CHM" : "AIDE_TSR.CHM", 68);
}

}  // namespace orv
