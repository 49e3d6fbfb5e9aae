#pragma once

#include <cstdint>

namespace orv {

class Station;

// The language of the window: English1 and Francais1, and the captions and hints of the
// main window applied in both languages.
class LanguageController {
public:
    explicit LanguageController(Station& station) : st_(station) {}

    // The window title, the language items, the caption table, then the menus' own
    // captions.
    void applyLanguage();
    void englishClick();
    void frenchClick();
    // Help: the help of the interface language; A_propos_de: the about window.
    void helpClick();
    void aboutClick();

private:
    void choose(std::uint8_t language);

    Station& st_;
};

}  // namespace orv
