#pragma once

#include <cstdint>
#include <string_view>

namespace orv {

class Station;

// The settings record loaded and applied to every subsystem, gathered back and saved;
// the standard settings; the centre frequency; the frequency memory's file.
class SettingsController {
public:
    explicit SettingsController(Station& station) : st_(station) {}

    // 2 when the user's locale is French of France, else 1: the standard record's language.
    void setSystemLanguage(std::uint8_t language);
    void loadConfig();
    void applyConfigMenus();
    void applyConfigControls();
    void saveAllSettings();
    void standardSettingsClick();  // Parametres_standard
    // The centre-frequency edit: digits only, 1 to 9 of them, capped at 999999999.
    void centreFrequencyChange(std::string_view text);
    // Writes CONFORVL.SER.
    void writeConfig();

    void loadFrequencyMemory();
    // False when the file could not be written (it has said why).
    bool saveFrequencyMemory();

private:
    Station& st_;
};

}  // namespace orv
