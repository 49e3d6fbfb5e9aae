#include "station/serial_ptt_controller.hpp"

#include "station/station.hpp"

namespace orv {

std::string SerialPttController::outputItem(int port) {
    return port == 0 ? "Aucun_port_serie_sortie" : "COM" + std::to_string(port) + "_sortie";
}

std::string SerialPttController::inputItem(int port) {
    return port == 0 ? "Aucun_port_serie_entree" : "COM" + std::to_string(port) + "_entree";
}

std::uint8_t& SerialPttController::code(bool output) {
    return st_.store_.record()[output ? config::kPttOutputPort : config::kPttInputPort];
}

void SerialPttController::scanPorts() { st_.serialPtt_.scan(); }

void SerialPttController::openConfiguredPorts() {
    buildOutputMenu();
    if (code(true) != SerialPtt::kNoPortCode) {
        openOutputPort(false);
        keyOff();
    }
    buildInputMenu();
}

void SerialPttController::buildOutputMenu() { buildMenu(true); }

void SerialPttController::buildInputMenu() {
    buildMenu(false);
    if (st_.ptt_.inputPort) openInputPort();
}

void SerialPttController::applyCaptions() {
    menuCaptions(true);
    menuCaptions(false);
}

void SerialPttController::menuCaptions(bool output) {
    ControlsModel& controls = st_.controls_;
    const auto item = output ? outputItem : inputItem;
    controls.setCaption(item(0), st_.text("None", "Aucun"));
    for (int n = 1; n <= SerialPtt::kPorts; ++n) {
        std::string caption = "COM " + std::to_string(n);
        // The system's own name tells the user which device COMn is.
        if (st_.serialPtt_.present(n))
            caption += " " + st_.text("detected", "détecté") + " (" + st_.serialPtt_.systemName(n) + ")";
        controls.setCaption(item(n), caption);
    }
}

void SerialPttController::buildMenu(bool output) {
    menuCaptions(output);
    ControlsModel& controls = st_.controls_;
    const auto item = output ? outputItem : inputItem;
    const int port = SerialPtt::portFromCode(code(output));
    for (int n = 0; n <= SerialPtt::kPorts; ++n) controls.setDown(item(n), n == port);
    bool& configured = output ? st_.ptt_.outputPort : st_.ptt_.inputPort;
    configured = port != 0;
}

void SerialPttController::showOpenResult(int port, bool opened) {
    const std::string n = std::to_string(port);
    if (opened)
        st_.controls_.setText("Label_full_duplex", st_.text("Success when opening the serial port COM ",
                                                            "Réussite de l'ouverture du port série COM ") +
                                                       n + ".");
    else
        st_.controls_.setText("Label_full_duplex",
                              st_.text("Failure when opening the serial port COM ", "Echec de l'ouverture du port série COM ") +
                                  n + st_.text(". So, no selected serial port.", ". Donc, pas de port série sélectionné."));
}

bool SerialPttController::openOutputPort(bool test) {
    if (!st_.ptt_.outputPort) {
        st_.serialPtt_.closeOutput();
        st_.controls_.setText("Label_full_duplex", st_.text("No selected serial port.", "Pas de port série sélectionné."));
        return false;
    }
    const int port = SerialPtt::portFromCode(code(true));
    const bool opened = st_.serialPtt_.openOutput(port, test);
    showOpenResult(port, opened);
    return opened;
}

bool SerialPttController::openInputPort() {
    if (!st_.ptt_.inputPort) {
        st_.serialPtt_.closeInput();
        st_.controls_.setText("Label_full_duplex", st_.text("No selected serial port.", "Pas de port série sélectionné."));
        return false;
    }
    const int port = SerialPtt::portFromCode(code(false));
    const bool opened = st_.serialPtt_.openInput(port);
    showOpenResult(port, opened);
    return opened;
}

void SerialPttController::outputPortClick(int port) {
    // A new port is never keyed: the old one is released and closed first.
    st_.serialPtt_.closeOutput();
    code(true) = SerialPtt::codeForPort(port);
    buildOutputMenu();
    if (port != 0 && !openOutputPort(true)) {
        code(true) = SerialPtt::kNoPortCode;
        buildOutputMenu();
    }
    st_.settingsController_.writeConfig();
}

void SerialPttController::inputPortClick(int port) {
    code(false) = SerialPtt::codeForPort(port);
    buildInputMenu();
    if (port != 0 && !st_.serialPtt_.inputOpen()) {
        code(false) = SerialPtt::kNoPortCode;
        buildInputMenu();
    }
    st_.settingsController_.writeConfig();
    if (st_.ptt_.inputPort) return;
    // Without an input a voice transmission it started has nothing to end it.
    const bool buttonDown = st_.controls_.get("Correction_phase_amplitude_TX").down ||
                            st_.controls_.get("Correction_phase_amplitude_RX").down ||
                            st_.controls_.get("Transmission_tune").down || st_.controls_.get("transmission_phonie").down;
    if (!st_.flags_.linkClientConnected && !buttonDown && st_.flags_.txInProgress) st_.endLocalTransmission();
}

void SerialPttController::keyOn() {
    if (!st_.serialPtt_.outputOpen()) openOutputPort(false);
    st_.serialPtt_.keyOn();
}

void SerialPttController::keyOff() {
    if (!st_.serialPtt_.outputOpen()) openOutputPort(false);
    st_.serialPtt_.keyOff();
}

bool SerialPttController::readInput() { return st_.serialPtt_.readInput(); }

}  // namespace orv
