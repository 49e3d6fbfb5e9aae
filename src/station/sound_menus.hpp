#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/config_record.hpp"
#include "sound/cards.hpp"
#include "sound/wave_api.hpp"

namespace orv {

class Station;

// One sound-card menu: its settings byte, the device count that bounds it, its texts.
struct CardRoleRow {
    CardRole role;
    const char* menu;
    const char* suffix;  // of the item names: Carte_son1_RX, Carte_son_par_defaut_HP, …
    std::size_t recordByte;
    WaveDirection counted;
    bool restartsReceive;  // the TX and microphone choices wait for the next transmission
    const char* captionEnglish;
    const char* captionFrench;
    const char* hintEnglish;
    const char* hintFrench;
};

inline constexpr CardRoleRow kCardRoles[] = {
    {CardRole::Rx, "Carte_son_RX", "RX", config::kRxCard, WaveDirection::Capture, true,
     "Sound card RX", "Carte son RX",
     "Selection of the sound card connected, in input, to the SdR or DSB receiver or, possibly, to the reception "
     "antenna.",
     "Sélection de la carte son connectée, en entrée, au récepteur SdR ou DSB ou, éventuellement, à l'antenne de "
     "réception."},
    {CardRole::Tx, "Carte_son_TX", "TX", config::kTxCard, WaveDirection::Playback, false,
     "&Sound card TX", "&Carte son TX",
     "Selection of the sound card connected in output, to the transmitter or, possibly, to a transmission antenna",
     "Sélection de la carte son connectée, en sortie, à l'émetteur ou, éventuellement, à l'antenne d'émission"},
    {CardRole::Speaker, "Carte_son_HP", "HP", config::kSpeakerCard, WaveDirection::Playback,
     true, "Sound card Speaker", "Carte son Haut-parleur",
     "Selection of the sound card connected, in output, to the speaker.",
     "Sélection de la carte son connectée, en sortie, au haut-parleur."},
    {CardRole::Mic, "Carte_son_micro", "MICRO", config::kMicCard, WaveDirection::Capture,
     false, "&Sound card Microphone (or any sound input)", "&Carte son Microphone (ou toute entrée son)",
     "Selection of the sound card connected, in input, to the microphone or to the buzzer of a Morse key",
     "Sélection de la carte son connectée, en entrée, au microphone ou à un buzzer d'un manipulateur Morse"},
};

// Item names of a card menu: the default card, then cards 1 to 16.
std::string defaultCardItem(const CardRoleRow& row);
std::string cardItem(const CardRoleRow& row, int k);

// The 68 card items, each with its menu and the value its click stores.
struct CardItem {
    std::string name;
    const CardRoleRow* row;
    std::uint8_t value;
};
const std::vector<CardItem>& cardItems();

struct RateItem {
    const char* name;
    int rate;
    const char* english;
    const char* french;
};

inline constexpr RateItem kRateItems[] = {
    {"Fe_192000", 192000, "192000 (for very fast sound cards)", "192000 (pour cartes sons très rapides)"},
    {"Fe_96000", 96000, "96000 (for fast sound cards)", "96000 (pour cartes sons rapides)"},
    {"Fe_48000", 48000, "48000 (standard frequency for 48 KHz sound cards)",
     "48000 (fréquence standard pour cartes sons 48 KHz)"},
    {"Fe_44100", 44100, "44100 (standard frequency for 44.1 KHz sound cards)",
     "44100 (fréquence standard pour cartes sons 44,1 KHz)"},
    {"Fe_12000", 12000, "12000 (for slow computers or bad quality 48 KHz sound cards)",
     "12000 (pour les ordinateurs lents ou les cartes sons 48 KHz de mauvaise qualité)"},
    {"Fe_11025", 11025, "11025 (for slow computers or bad quality 44.1 KHz sound cards)",
     "11025 (pour les ordinateurs lents ou les cartes sons 44,1 KHz de mauvaise qualité)"},
};

// The mixer buttons: which card each opens the mixer for, and whether on its recording side.
struct MixerButton {
    const char* name;
    CardRole card;
    bool recording;
};

inline constexpr MixerButton kMixerButtons[] = {
    {"Volume_HP", CardRole::Speaker, false},
    {"Sortie_TX", CardRole::Tx, false},
    {"recording_RX", CardRole::Rx, true},
    {"Microphone", CardRole::Mic, true},
};

// The sound-card, sampling-rate and receiver-type menus, the two rate buttons, the
// format trial before each receive open and the mixer buttons.
class SoundMenus {
public:
    explicit SoundMenus(Station& station) : st_(station) {}

    // Counts and names the cards, hides the items of absent ones. False when there is no
    // card at all (it has said so).
    bool enumerateCards();
    // The menus' captions in the current language, with nothing else changed.
    void applyCaptions();
    void cardItemClick(std::string_view item);  // any of the 68 card items
    void applyCard(CardRole role);
    void rateItemClick(std::string_view item);  // Fe_192000 … Fe_11025
    void applySampleRate();
    void receiverTypeClick(bool sdr);           // Recepteur_type_SdR / Recepteur_conversion_directe
    void applyReceiverType();
    void feRegulatedClick(bool down);
    void fesEqualsFeeClick(bool down);
    bool feRegulated() const { return feRegulated_; }
    void setFeRegulated(bool down) { feRegulated_ = down; }

    // The format trial and its readout, before the devices are sized.
    void testCardFormat();
    // Finds the platform's mixer, or says there is none.
    void locateMixer();
    void mixerButtonClick(std::string_view button);
    const std::string& mixerCommand() const { return mixerCommand_; }

private:
    void roleCaptions(const CardRoleRow& row);
    void rateCaptions();
    void receiverTypeCaptions();
    // A new capture rate or receiver type while running: reopen with new sizes, filters
    // and tuning.
    void restartWithNewFormat();

    Station& st_;
    bool feRegulated_ = false;
    std::string mixerCommand_;
};

}  // namespace orv
