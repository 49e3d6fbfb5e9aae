// Sound-card enumeration, the four card menus, the sampling-rate and receiver-type
// menus, the two rate buttons, the format trial before each receive open and the
// mixer buttons.
#include <algorithm>

#include "core/buffer_sizes.hpp"
#include "core/station.hpp"

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
std::size_t side(WaveDirection dir) { return dir == WaveDirection::Capture ? 0 : 1; }
}  // namespace

bool Station::enumerateCards() {
    for (const WaveDirection dir : {WaveDirection::Capture, WaveDirection::Playback})
        cardCounts_[side(dir)] = ports_.wave.deviceCount(dir);
    if (cardCounts_[0] <= 0 || cardCounts_[1] <= 0) {
        ports_.view.beep(1000, 300);
        ports_.view.showStandardBox(BoxIcon::Error, text("Impossible working because there is no sound card.",
                                                         "Fonctionnement impossible car il n'y a pas de carte son."));
        return false;
    }
    for (const WaveDirection dir : {WaveDirection::Capture, WaveDirection::Playback}) {
        int& count = cardCounts_[side(dir)];
        count = std::min(count, kMaxCards);
        for (int k = 0; k < count; ++k) {
            std::string name;
            auto& slot = cardNames_[side(dir)][static_cast<std::size_t>(k)];
            slot = ports_.wave.deviceName(dir, k, name) == kWaveOk ? name : "?";
        }
    }
    // Item 1 and the default item always stay; items above the count are hidden.
    for (const auto& row : kCardRoles)
        for (int k = 2; k <= kMaxCards; ++k) controls_.setVisible(cardItem(row, k), k <= cardCount(row.counted));
    return true;
}

void Station::restartReceive() {
    if (!s_.processingRunning) return;
    engine_.stopAllSound();
    resetReceiveState();
}

void Station::cardItemClick(std::string_view item) {
    const auto& items = cardItems();
    const auto it = std::find_if(items.begin(), items.end(), [&](const CardItem& c) { return c.name == item; });
    if (it == items.end()) return;
    config_[it->row->recordByte] = it->value;
    applyCard(it->row->role);
    writeConfig();
}

void Station::applyCard(CardRole role) {
    const CardRoleRow& row = roleRow(role);
    controls_.setCaption(row.menu, text(row.captionEnglish, row.captionFrench));
    controls_.setHint(row.menu, text(row.hintEnglish, row.hintFrench));
    const std::string defaultItem = defaultCardItem(row);
    controls_.setCaption(defaultItem, text("Computer default sound card", "Carte son par défaut de l'ordinateur"));
    controls_.setDown(defaultItem, false);
    for (int k = 1; k <= kMaxCards; ++k) {
        const std::string item = cardItem(row, k);
        const std::string name = k <= cardCount(row.counted) ? cardName(row.counted, k - 1) : "";
        controls_.setCaption(item, text("&Sound card ", "&Carte son ") + std::to_string(k) + " : " + name);
        controls_.setDown(item, false);
    }
    std::uint8_t& stored = config_[row.recordByte];
    s_.*row.device = static_cast<std::uint8_t>(stored - 1);
    // A card that has gone since the setting was made falls back to card 1.
    if (stored >= 1 && stored <= kMaxCards && stored > cardCount(row.counted)) {
        s_.*row.device = 0;
        stored = 1;
        writeConfig();
    }
    controls_.setDown(stored == config::kDefaultCardValue ? defaultItem : cardItem(row, stored), true);
    if (row.restartsReceive) restartReceive();
}

void Station::rateItemClick(std::string_view item) {
    const auto it = std::find_if(std::begin(kRateItems), std::end(kRateItems),
                                 [&](const RateItem& r) { return item == r.name; });
    if (it == std::end(kRateItems)) return;
    config_[config::kCaptureRate] = captureRateCode(it->rate);
    applySampleRate();
    writeConfig();
}

void Station::applySampleRate() {
    controls_.setCaption("Frequence_echantillonnage", text("&Sampling frequency", "&Fréquence d'échantillonnage"));
    controls_.setHint("Frequence_echantillonnage",
                      text("Selection of sampling frequency", "Sélection de la fréquence d'échantillonnage"));
    for (const auto& item : kRateItems) {
        controls_.setCaption(item.name, text(item.english, item.french));
        controls_.setDown(item.name, false);
    }
    s_.fee = captureRateFromCode(config_[config::kCaptureRate]);
    writeConfig();
    for (const auto& item : kRateItems)
        if (item.rate == s_.fee) controls_.setDown(item.name, true);
    s_.blockLength = s_.fee <= 12000 ? 1024 : 2048;
    s_.fes = nominalOutputRate(s_.fee, s_.fesEqualsFee);
    if (s_.processingRunning) restartWithNewFormat();
}

void Station::restartWithNewFormat() {
    engine_.stopAllSound();
    initReceive();
    resetReceiveState();
    s_.captureRate = s_.fee;
    mix_.rate = s_.fee;
    s_.retuneOnOpen = false;
    applyTuning(s_.tuneOffsetHz);
    receive_.resetResampler();
}

void Station::receiverTypeClick(bool sdr) {
    config_[config::kReceiverType] = sdr ? 1 : 2;
    applyReceiverType();
    writeConfig();
}

void Station::applyReceiverType() {
    controls_.setCaption("Type_recepteur", text("&Receiver type", "&Type de récepteur"));
    controls_.setHint("Type_recepteur", text("Selection of the receiver type (SdR or no direct conversion)",
                                             "Sélection du type de récepteur (SdR ou à conversion directe)"));
    controls_.setCaption("Recepteur_type_SdR",
                         text("SdR receiver (USB and LSB distinct)", "Récepteur SdR (USB et LSB distincts)"));
    controls_.setCaption("Recepteur_conversion_directe", text("Direct conversion receiver (USB and LSB mixed)",
                                                              "Récepteur à conversion directe (USB et LSB confondus)"));
    controls_.setDown("Recepteur_type_SdR", false);
    controls_.setDown("Recepteur_conversion_directe", false);
    s_.receiverIsSdR = config_[config::kReceiverType] == 1;
    writeConfig();
    controls_.setDown(s_.receiverIsSdR ? "Recepteur_type_SdR" : "Recepteur_conversion_directe", true);
    controls_.setEnabled("Correction_phase_amplitude_RX", s_.receiverIsSdR);
    controls_.setEnabled("Correction_phase_amplitude_TX", s_.receiverIsSdR);
    if (s_.processingRunning) restartWithNewFormat();
}

void Station::feRegulatedClick(bool down) {
    s_.feRegulated = down;
    controls_.setDown("Fe_regulee", down);
    if (!s_.processingRunning) return;
    s_.retuneOnOpen = false;
    restartReceive();
}

void Station::fesEqualsFeeClick(bool down) {
    s_.fesEqualsFee = down;
    controls_.setDown("Fes_egale_Fee", down);
    applySampleRate();
}

void Station::mixerButtonClick(std::string_view button) {
    if (mixerCommand_.empty()) return;
    for (const auto& b : kMixerButtons) {
        if (button != b.name) continue;
        const std::uint8_t device = s_.*b.device;
        ports_.mixer.start(mixerCommand_, b.recording, device == kDefaultCard ? -1 : device);
        return;
    }
}

bool Station::formatTrial() {
    WaveApi& api = ports_.wave;
    WaveApi::Handle capture = -1;
    if (api.open(WaveDirection::Capture, capture, WaveEngine::deviceIndex(s_.rxCard), WaveFormat{2, s_.fee, 16}) !=
        kWaveOk)
        return false;
    WaveApi::Handle playback = -1;
    const WaveFormat trialPlayback{1, s_.fee > 44100 ? 12000 : 11025, 8};
    const bool played = api.open(WaveDirection::Playback, playback, WaveEngine::deviceIndex(s_.speakerCard),
                                 trialPlayback) == kWaveOk;
    if (played) api.close(WaveDirection::Playback, playback);
    api.close(WaveDirection::Capture, capture);
    return played;
}

void Station::testCardFormat() {
    if (!formatTrial() && !formatTrial()) {
        const std::string rate = std::to_string(s_.fee);
        messages_.showInformation("Your sound card does not support the minimum format required (" + rate +
                                      " samples/s)",
                                  "Votre carte son ne supporte pas le format minimum requis (" + rate +
                                      " échantillons/s)");
    }
    s_.formatChecked = true;
    s_.captureStereo = true;
    controls_.setText("Label_full_duplex", text("Format: ", "Format: ") + std::to_string(s_.fee) +
                                               text(" samples/sec, ", " échantillons/sec, ") + "16 bits" +
                                               ", full-duplex");
    s_.captureRate = s_.fee;
    mix_.rate = s_.fee;
}

}  // namespace orv
