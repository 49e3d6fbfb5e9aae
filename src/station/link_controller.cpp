#include "station/link_controller.hpp"

#include <vector>

#include "station/station.hpp"

namespace orv {

namespace {
constexpr const char* kOtherRates[] = {"Fe_192000", "Fe_96000", "Fe_44100", "Fe_12000", "Fe_11025"};
}  // namespace

void LinkController::log(const Bilingual& text) {
    const std::string line = st_.ports_.clock.timeOfDay() + ": " + st_.text(text.english, text.french);
    ControlsModel& controls = st_.controls_;
    controls.setText("Memo_Log", controls.get("Memo_Log").text + line + "\r\n");
    st_.ports_.view.linkLogLine(line);
}

void LinkController::send(std::span<const std::uint8_t> bytes) {
    // At most one second of the receive audio may wait for a client that does not read.
    const std::size_t oneSecond = st_.link_.sender().out48k() ? 48000 : 11025;
    if (st_.ports_.link.send(bytes, oneSecond) || sendDropSaid_) return;
    sendDropSaid_ = true;
    log({"The client does not read its audio: blocks are dropped.",
         "Le client ne lit pas son audio : des blocs sont perdus."});
}

void LinkController::setAddress(const std::string& address) { st_.link_.address = address; }

void LinkController::setRateItemsEnabled(bool enabled) {
    for (const char* item : kOtherRates) st_.controls_.setEnabled(item, enabled);
}

void LinkController::connectionClick() {
    ControlsModel& controls = st_.controls_;
    controls.setDown("Connection", true);
    controls.setDown("Disconnection", false);
    setRateItemsEnabled(false);
    // The decoding program works at 48000: the rate is forced, saved and applied.
    if (st_.store_.record()[config::kCaptureRate] != 48) st_.soundMenus_.rateItemClick("Fe_48000");
    st_.receiver_.computeOffsetRange();
    st_.receiver_.applyTuning(st_.tuning_.offsetHz());
    st_.mainCycle();
    controls.setText("Label_Fe", st_.text("Not connected", "Non connecté"));
    st_.link_.sender().restart();
    log({"Link opening", "Ouverture lien"});
    st_.ports_.link.listen(st_.link_.address, kLinkPort);
    controls.setText("Label_Utilisateur", "");
    controls.setEnabled("TX_3000_Hz", false);
    controls.setEnabled("Transmission_tune", false);
    st_.link_.parser().reset();
    st_.link_.txAudio().clear();
}

void LinkController::disconnectionClick() {
    ControlsModel& controls = st_.controls_;
    controls.setDown("Connection", false);
    controls.setDown("Disconnection", true);
    st_.ports_.link.close();
    log({"Disconnection of the server.", "Déconnexion du serveur."});
    st_.link_.listening = false;
    st_.flags_.linkClientConnected = false;
    st_.updateLinkAudio();
    controls.setText("Label_Utilisateur", "");
    controls.setText("Label_Fe", "");
    controls.setEnabled("TX_3000_Hz", true);
    controls.setEnabled("Transmission_tune", true);
    setRateItemsEnabled(true);
    if (st_.flags_.txInProgress && !st_.flags_.localTransmission) abandonTransmission();
}

void LinkController::listened() {
    log({"Listening on " + st_.link_.address + ":" + std::to_string(kLinkPort) + "...",
         "A l'écoute sur " + st_.link_.address + ":" + std::to_string(kLinkPort) + "..."});
    // Any client may make the station transmit: say so when others than this computer can.
    const std::string& a = st_.link_.address;
    if (a != "127.0.0.1" && a != "::1" && a != "localhost")
        log({"Warning: every computer that reaches this address can make the station transmit.",
             "Attention : tout ordinateur qui atteint cette adresse peut faire émettre la station."});
    st_.link_.listening = true;
}

void LinkController::accepted(const std::string& address) {
    st_.link_.sender().restart();
    log({"Connected to " + address, "Connecté à " + address});
    st_.flags_.linkClientConnected = true;
    st_.updateLinkAudio();
    st_.controls_.setDown("Connection", true);
    st_.link_.parser().reset();
    st_.link_.txAudio().clear();
    sendDropSaid_ = false;
}

void LinkController::clientConnected() {
    log({"Connection accepted by the server socket", "Connexion acceptée par le socket serveur"});
    st_.controls_.setText("Label_Utilisateur", "");
    st_.link_.txAudio().clear();
}

void LinkController::clientDisconnected() {
    log({"ORVANDEL disconnected", "ORVANDEL déconnecté"});
    st_.flags_.linkClientConnected = false;
    st_.updateLinkAudio();
    st_.controls_.setText("Label_Utilisateur", "");
    st_.controls_.setText("Label_Fe", st_.text("Not connected", "Non connecté"));
    st_.link_.parser().reset();
    // Only the client's own transmission goes with it.
    if (st_.flags_.txInProgress && !st_.flags_.localTransmission) abandonTransmission();
}

void LinkController::refused(const std::string& address) {
    log({"A second client (" + address + ") was refused: one client at a time.",
         "Un second client (" + address + ") a été refusé : un seul client à la fois."});
}

void LinkController::socketError(SocketErrorKind kind, int number) {
    log(socketErrorText(kind, number));
    st_.controls_.setText("Label_Utilisateur", "");
    st_.controls_.setEnabled("TX_3000_Hz", true);
}

void LinkController::received(std::span<const std::uint8_t> bytes) {
    if (st_.flags_.linkClientConnected) st_.link_.parser().feed(bytes, *this);
}

void LinkController::timer4() {
    if (!st_.flags_.txInProgress || !st_.flags_.linkClientConnected) return;
    send(st_.link_.backlogFrame());
    st_.controls_.setText("Hauteur_Buffer", st_.link_.backlogReadout());
}

void LinkController::windowClosing() {
    if (!st_.link_.listening || st_.flags_.linkClientConnected) return;
    log({"No more listening.", "Plus à l'écoute."});
    st_.controls_.setDown("Disconnection", true);
    st_.controls_.setDown("Connection", false);
    st_.ports_.link.close();
    st_.link_.listening = false;
}

void LinkController::sendReceiveAudio(std::span<const std::int32_t> values) {
    if (!st_.flags_.linkClientConnected || !st_.flags_.receiveActive) return;
    std::vector<std::vector<std::uint8_t>> blocks;
    const int fes = st_.engine_.sizes().fes();
    for (const std::int32_t y : values) st_.link_.sender().addValue(y, fes, blocks);
    for (const auto& block : blocks) send(block);
}

void LinkController::abandonTransmission() {
    st_.flags_.receiveActive = true;
    st_.flags_.txInProgress = false;
    st_.endTransmit();
    transmissionEnded();
}

void LinkController::transmissionEnded() {
    st_.controls_.setVisible("Label_TX_en_cours", false);
    st_.flags_.linkTxEndRequested = false;
    st_.flags_.txEndPadded = false;
    st_.link_.txAudio().clear();
}

bool LinkController::transmitting() const { return st_.flags_.txInProgress; }

bool LinkController::transmitChainReady() const { return st_.flags_.txChainReady; }

void LinkController::identity(std::string_view text) {
    const Bilingual label = LinkSession::userLabel(text);
    st_.controls_.setText("Label_Utilisateur", st_.text(label.english, label.french));
}

void LinkController::format(std::uint8_t mode, std::uint8_t rate) {
    st_.controls_.setText("Label_Fe", st_.link_.applyFormat(mode, rate));
}

void LinkController::startTransmission() {
    // A T during a transmission starts it again with empty queues; a local one ends
    // first, its PTT released.
    if ((st_.flags_.txInProgress && st_.flags_.localTransmission) || st_.flags_.testToneActive)
        st_.endEveryTransmission();
    if (st_.flags_.txInProgress) st_.endTransmit();
    st_.lockControlsForTx();
    st_.stopAllSound();
    st_.controls_.setVisible("Label_TX_en_cours", true);
    st_.link_.startTransmission();
    st_.transmit_.setAudioRate(st_.link_.txAudioRate());
    st_.flags_.linkTxEndRequested = false;
    st_.flags_.txEndPadded = false;
    // Without a TX card the client's audio is dropped and the station keeps receiving.
    if (!st_.startTransmit(true)) transmissionEnded();
}

void LinkController::echo(std::span<const std::uint8_t> header) { send(header); }

void LinkController::audioBlock(bool) {
    st_.flags_.linkTxEndRequested = false;
    st_.flags_.txEndPadded = false;
}

void LinkController::audio(std::span<const std::uint8_t> bytes) {
    if (st_.link_.appendTxAudio(bytes))
        log({"The client sends more than 60 s of audio ahead: the excess is dropped.",
             "Le client envoie plus de 60 s d'audio d'avance : l'excédent est perdu."});
    if (const std::string shown = st_.link_.thousandsShown(); !shown.empty())
        st_.controls_.setText("NOMBRE_MILLIERS", shown);
}

void LinkController::lastBlockComplete() {
    st_.flags_.linkTxEndRequested = true;
    st_.flags_.txEndPadded = false;
}

}  // namespace orv
