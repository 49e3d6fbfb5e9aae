#pragma once

#include <cstdint>
#include <string>

namespace orv {

class Station;

// The serial PTT's menus and texts: the output port that keys the transmitter, the input
// port whose switch starts and ends voice, what opening them gave in Label_full_duplex.
class SerialPttController {
public:
    explicit SerialPttController(Station& station) : st_(station) {}

    // Start-up, before the settings are read: which ports the system has.
    void scanPorts();
    // After the settings are read: both menus, the output port opened and released.
    void openConfiguredPorts();

    // A menu item: port 1 … 16, or 0 for none.
    void outputPortClick(int port);
    void inputPortClick(int port);
    // Both menus' captions and checks, after a language change too.
    void buildOutputMenu();
    void buildInputMenu();
    // Both menus' captions in the language of the moment.
    void applyCaptions();

    void keyOn();
    void keyOff();
    // The switch on the input port's CTS.
    bool readInput();

    static std::string outputItem(int port);  // Aucun_port_serie_sortie, COM1_sortie …
    static std::string inputItem(int port);   // Aucun_port_serie_entree, COM1_entree …

private:
    bool openOutputPort(bool test);
    bool openInputPort();
    void buildMenu(bool output);
    void menuCaptions(bool output);
    void showOpenResult(int port, bool opened);
    std::uint8_t& code(bool output);

    Station& st_;
};

}  // namespace orv
