// Sound-card enumeration, the four card menus, the sampling-rate and receiver-type
// menus, the two rate buttons, the format trial before each receive open and the
// mixer buttons.
#include <algorithm>

#include "station/sound_menus.hpp"

#include "station/station.hpp"

namespace orv {

std::string defaultCardItem(const CardRoleRow& row) { return std::string("Carte_son_par_defaut_") + row.suffix; }

std::string cardItem(const CardRoleRow& row, int k) {
    return "Carte_son" + std::to_string(k) + "_" + row.suffix;
}

const std::vector<CardItem>& cardItems() {
    static const std::vector<CardItem> items = [] {
        std::vector<CardItem> all;
        for (const auto& row : kCardRoles) {
            all.push_back({defaultCardItem(row), &row, config::kDefaultCardValue});
            for (int k = 1; k <= kMaxCards; ++k) all.push_back({cardItem(row, k), &row, static_cast<std::uint8_t>(k)});
        }
        return all;
    }();
    return items;
}

namespace {
const CardRoleRow& roleRow(CardRole role) {
    return *std::find_if(std::begin(kCardRoles), std::end(kCardRoles), [&](const auto& r) { return r.role == role; });
}
}  // namespace

bool SoundMenus::enumerateCards() {
    if (!st_.cards_.enumerate(st_.ports_.wave)) {
        st_.ports_.view.beep(1000, 300);
        st_.ports_.view.showStandardBox(BoxIcon::Error,
                                        st_.text("Impossible working because there is no sound card.",
                                                 "Fonctionnement impossible car il n'y a pas de carte son."));
        return false;
    }
    // Item 1 and the default item always stay; items above the count are hidden.
    for (const auto& row : kCardRoles)
        for (int k = 2; k <= kMaxCards; ++k)
            st_.controls_.setVisible(cardItem(row, k), k <= st_.cards_.count(row.counted));
    return true;
}

void SoundMenus::cardItemClick(std::string_view item) {
    const auto& items = cardItems();
    const auto it = std::find_if(items.begin(), items.end(), [&](const CardItem& c) { return c.name == item; });
    if (it == items.end()) return;
    st_.store_.record()[it->row->recordByte] = it->value;
    applyCard(it->row->role);
    st_.settingsController_.writeConfig();
}

void SoundMenus::applyCaptions() {
    for (const auto& row : kCardRoles) roleCaptions(row);
    rateCaptions();
    receiverTypeCaptions();
}

void SoundMenus::roleCaptions(const CardRoleRow& row) {
    ControlsModel& controls = st_.controls_;
    controls.setCaption(row.menu, st_.text(row.captionEnglish, row.captionFrench));
    controls.setHint(row.menu, st_.text(row.hintEnglish, row.hintFrench));
    controls.setCaption(defaultCardItem(row),
                        st_.text("Computer default sound card", "Carte son par défaut de l'ordinateur"));
    const int count = st_.cards_.count(row.counted);
    for (int k = 1; k <= kMaxCards; ++k) {
        const std::string name = k <= count ? st_.cards_.name(row.counted, k - 1) : "";
        controls.setCaption(cardItem(row, k), st_.text("&Sound card ", "&Carte son ") + std::to_string(k) + " : " + name);
    }
}

void SoundMenus::rateCaptions() {
    ControlsModel& controls = st_.controls_;
    controls.setCaption("Frequence_echantillonnage", st_.text("&Sampling frequency", "&Fréquence d'échantillonnage"));
    controls.setHint("Frequence_echantillonnage",
                     st_.text("Selection of sampling frequency", "Sélection de la fréquence d'échantillonnage"));
    for (const auto& item : kRateItems) controls.setCaption(item.name, st_.text(item.english, item.french));
}

void SoundMenus::receiverTypeCaptions() {
    ControlsModel& controls = st_.controls_;
    controls.setCaption("Type_recepteur", st_.text("&Receiver type", "&Type de récepteur"));
    controls.setHint("Type_recepteur", st_.text("Selection of the receiver type (SdR or no direct conversion)",
                                                "Sélection du type de récepteur (SdR ou à conversion directe)"));
    controls.setCaption("Recepteur_type_SdR",
                        st_.text("SdR receiver (USB and LSB distinct)", "Récepteur SdR (USB et LSB distincts)"));
    controls.setCaption("Recepteur_conversion_directe",
                        st_.text("Direct conversion receiver (USB and LSB mixed)",
                                 "Récepteur à conversion directe (USB et LSB confondus)"));
}

void SoundMenus::applyCard(CardRole role) {
    ControlsModel& controls = st_.controls_;
    const CardRoleRow& row = roleRow(role);
    roleCaptions(row);
    const std::string defaultItem = defaultCardItem(row);
    controls.setDown(defaultItem, false);
    const int count = st_.cards_.count(row.counted);
    for (int k = 1; k <= kMaxCards; ++k) controls.setDown(cardItem(row, k), false);
    std::uint8_t& stored = st_.store_.record()[row.recordByte];
    std::uint8_t& device = st_.engine_.cards()[role];
    device = static_cast<std::uint8_t>(stored - 1);
    // A card that has gone since the setting was made falls back to card 1.
    if (stored >= 1 && stored <= kMaxCards && stored > count) {
        device = 0;
        stored = 1;
        st_.settingsController_.writeConfig();
    }
    controls.setDown(stored == config::kDefaultCardValue ? defaultItem : cardItem(row, stored), true);
    if (row.restartsReceive) st_.restartReceive();
}

void SoundMenus::rateItemClick(std::string_view item) {
    const auto it = std::find_if(std::begin(kRateItems), std::end(kRateItems),
                                 [&](const RateItem& r) { return item == r.name; });
    if (it == std::end(kRateItems)) return;
    st_.store_.record()[config::kCaptureRate] = captureRateCode(it->rate);
    applySampleRate();
    st_.settingsController_.writeConfig();
}

void SoundMenus::applySampleRate() {
    ControlsModel& controls = st_.controls_;
    rateCaptions();
    for (const auto& item : kRateItems) controls.setDown(item.name, false);
    BufferSizes& sizes = st_.engine_.sizes();
    sizes.fee = captureRateFromCode(st_.store_.record()[config::kCaptureRate]);
    st_.settingsController_.writeConfig();
    for (const auto& item : kRateItems)
        if (item.rate == sizes.fee) controls.setDown(item.name, true);
    st_.monitorController_.clearRegulation();
    st_.syncRates();
    if (st_.flags_.processingRunning) restartWithNewFormat();
}

void SoundMenus::restartWithNewFormat() {
    st_.stopAllSound();
    st_.initReceive();
    st_.resetReceiveState();
    st_.engine_.sizes().captureRate = st_.engine_.sizes().fee;
    st_.mix_.rate = st_.engine_.sizes().fee;
    st_.flags_.retuneOnOpen = false;
    st_.receiver_.applyTuning(st_.tuning_.offsetHz());
    st_.receive_.resetResampler();
}

void SoundMenus::receiverTypeClick(bool sdr) {
    st_.store_.record()[config::kReceiverType] = sdr ? 1 : 2;
    applyReceiverType();
    st_.settingsController_.writeConfig();
}

void SoundMenus::applyReceiverType() {
    ControlsModel& controls = st_.controls_;
    receiverTypeCaptions();
    controls.setDown("Recepteur_type_SdR", false);
    controls.setDown("Recepteur_conversion_directe", false);
    const bool sdr = st_.store_.record()[config::kReceiverType] == 1;
    st_.receive_.setReceiverIsSdR(sdr);
    st_.settingsController_.writeConfig();
    controls.setDown(sdr ? "Recepteur_type_SdR" : "Recepteur_conversion_directe", true);
    controls.setEnabled("Correction_phase_amplitude_RX", sdr);
    controls.setEnabled("Correction_phase_amplitude_TX", sdr);
    if (!st_.flags_.processingRunning) return;
    st_.monitorController_.clearRegulation();
    restartWithNewFormat();
}

void SoundMenus::feRegulatedClick(bool down) {
    feRegulated_ = down;
    st_.controls_.setDown("Fe_regulee", down);
    if (!st_.flags_.processingRunning) return;
    st_.flags_.retuneOnOpen = false;
    st_.restartReceive();
}

void SoundMenus::fesEqualsFeeClick(bool down) {
    st_.engine_.sizes().fesEqualsFee = down;
    st_.controls_.setDown("Fes_egale_Fee", down);
    applySampleRate();
}

void SoundMenus::locateMixer() {
    Mixer& mixer = st_.ports_.mixer;
    if (!mixer.wanted()) return;
    mixerCommand_ = mixer.find();
    if (!mixerCommand_.empty()) return;
    std::string en;
    std::string fr;
    for (const auto& program : mixer.programsLookedFor()) {
        en += (en.empty() ? "\"" : " or \"") + program + "\"";
        fr += (fr.empty() ? "\"" : " ou \"") + program + "\"";
    }
    st_.ports_.view.showStandardBox(
        BoxIcon::Information,
        st_.text("No mixer program has been found (" + en +
                     ")... So the mixer control by the user from Tessaryn is not possible.",
                 "Aucun programme de mixage n'a été trouvé (" + fr +
                     ")... Le contrôle du mixer par l'utilisateur depuis Tessaryn n'est pas possible."));
}

void SoundMenus::mixerButtonClick(std::string_view button) {
    if (mixerCommand_.empty()) return;
    for (const auto& b : kMixerButtons) {
        if (button != b.name) continue;
        const std::uint8_t device = st_.engine_.cards()[b.card];
        st_.ports_.mixer.start(mixerCommand_, b.recording, device == kDefaultCard ? -1 : device);
        return;
    }
}

void SoundMenus::testCardFormat() {
    WaveEngine& engine = st_.engine_;
    BufferSizes& sizes = engine.sizes();
    if (!engine.formatTrial() && !engine.formatTrial()) {
        const std::string rate = std::to_string(sizes.fee);
        st_.messages_.showInformation(
            "Your sound card does not support the minimum format required (" + rate + " samples/s)",
            "Votre carte son ne supporte pas le format minimum requis (" + rate + " échantillons/s)");
    }
    st_.flags_.formatChecked = true;
    sizes.captureStereo = true;
    st_.controls_.setText("Label_full_duplex", st_.text("Format: ", "Format: ") + std::to_string(sizes.fee) +
                                                   st_.text(" samples/sec, ", " échantillons/sec, ") + "16 bits" +
                                                   ", full-duplex");
    sizes.captureRate = sizes.fee;
    st_.mix_.rate = sizes.fee;
}

}  // namespace orv
