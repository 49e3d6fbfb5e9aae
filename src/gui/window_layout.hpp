#pragma once

namespace orv {

// What a widget of the main window is.
enum class WidgetKind {
    Group,      // a captioned frame
    Toggle,     // a button that stays down
    Push,       // a button that springs back
    Label,
    Edit,       // one line of text
    Memo,       // lines of text, read only
    Slider,     // a track bar
    Meter,      // a progress bar
    UpDown,     // the tuning control
};

// One widget: its form name, kind, the group it sits in (none: the window), its place in
// that parent, and the caption it shows before the language is applied.
struct WidgetRow {
    const char* name;
    WidgetKind kind;
    const char* parent;
    int x, y, w, h;
    const char* caption;
};

// Under the 800 × 100 waterfall (scale and band) at the top of the window.
inline constexpr WidgetRow kWidgetRows[] = {
    // Modes, bandwidth, tuning and the HF readout.
    {"Box_Modes", WidgetKind::Group, nullptr, 8, 106, 256, 84, "Modes"},
    {"USB", WidgetKind::Toggle, "Box_Modes", 6, 20, 58, 24, "USB"},
    {"LSB", WidgetKind::Toggle, "Box_Modes", 67, 20, 58, 24, "LSB"},
    {"AM", WidgetKind::Toggle, "Box_Modes", 128, 20, 58, 24, "AM"},
    {"FM", WidgetKind::Toggle, "Box_Modes", 189, 20, 58, 24, "FM"},
    {"FM_Commercial_96", WidgetKind::Toggle, "Box_Modes", 6, 50, 119, 26, "Broadcast FM (96 KHz)"},
    {"FM_Commercial_192", WidgetKind::Toggle, "Box_Modes", 128, 50, 119, 26, "Broadcast FM (192KHz)"},
    {"Largeur_de_bande", WidgetKind::Group, nullptr, 268, 106, 228, 84, "Bandwidth (Hz)"},
    {"Bande_550_850", WidgetKind::Toggle, "Largeur_de_bande", 6, 20, 52, 24, "550-850"},
    {"Bande_400_1100", WidgetKind::Toggle, "Largeur_de_bande", 60, 20, 56, 24, "400-1100"},
    {"Bande_1200", WidgetKind::Toggle, "Largeur_de_bande", 118, 20, 50, 24, "1200"},
    {"Bande_2100", WidgetKind::Toggle, "Largeur_de_bande", 170, 20, 50, 24, "2100"},
    {"Bande_2700", WidgetKind::Toggle, "Largeur_de_bande", 6, 50, 52, 24, "2700"},
    {"Bande_3300", WidgetKind::Toggle, "Largeur_de_bande", 60, 50, 56, 24, "3300"},
    {"Bande_4000", WidgetKind::Toggle, "Largeur_de_bande", 118, 50, 50, 24, "4000"},
    {"Bande_max", WidgetKind::Toggle, "Largeur_de_bande", 170, 50, 50, 24, "Max"},
    {"Groupe_freq", WidgetKind::Group, nullptr, 500, 106, 138, 84, "Tuning (Hz)"},
    {"REGLAGE_FREQUENCE", WidgetKind::UpDown, "Groupe_freq", 6, 20, 66, 24, ""},
    {"Label_frequence", WidgetKind::Label, "Groupe_freq", 76, 20, 58, 24, ""},
    {"La_Frequence_fixe", WidgetKind::Toggle, "Groupe_freq", 6, 50, 60, 26, "Fixed"},
    {"Balayage", WidgetKind::Toggle, "Groupe_freq", 69, 50, 63, 26, "Sweeping"},
    {"Group_FREQUENCE_HF", WidgetKind::Group, nullptr, 642, 106, 150, 84, "HF frequency (KHz)"},
    {"FREQUENCE_USB", WidgetKind::Label, "Group_FREQUENCE_HF", 6, 16, 144, 20, ""},
    {"FREQUENCE_LSB", WidgetKind::Label, "Group_FREQUENCE_HF", 6, 16, 144, 20, ""},
    {"Label_Frequence_centrale", WidgetKind::Label, "Group_FREQUENCE_HF", 6, 36, 144, 14, ""},
    {"Frequence_centrale", WidgetKind::Edit, "Group_FREQUENCE_HF", 6, 52, 80, 26, ""},
    {"Autres_frequences_SDR", WidgetKind::Push, "Group_FREQUENCE_HF", 89, 52, 55, 26, "Others"},

    // Receive functions.
    {"Box_Fonctions_RX", WidgetKind::Group, nullptr, 8, 194, 392, 172, "RX functions"},
    {"Bouton_CAG_RX", WidgetKind::Toggle, "Box_Fonctions_RX", 6, 20, 54, 24, "AGC"},
    {"INVERSION_I_Q_RX", WidgetKind::Toggle, "Box_Fonctions_RX", 62, 20, 54, 24, "I/Q"},
    {"Correction_phase_amplitude_RX", WidgetKind::Toggle, "Box_Fonctions_RX", 118, 20, 110, 24, "RX I/Q balance"},
    {"Panel_Reducteur_de_bruit", WidgetKind::Group, "Box_Fonctions_RX", 232, 14, 154, 54, "Noise reducer"},
    {"REDUCTEUR_WIENER_FAIBLE", WidgetKind::Toggle, "Panel_Reducteur_de_bruit", 6, 20, 68, 26, "Weak"},
    {"REDUCTEUR_WIENER_FORT", WidgetKind::Toggle, "Panel_Reducteur_de_bruit", 78, 20, 68, 26, "Strong"},
    {"Waterfall", WidgetKind::Group, "Box_Fonctions_RX", 6, 48, 222, 50, "Waterfall"},
    {"Bouton_CAG_Spectre", WidgetKind::Toggle, "Waterfall", 6, 18, 66, 24, "AGC"},
    {"Bouton_spectre_gris", WidgetKind::Toggle, "Waterfall", 76, 18, 66, 24, "Grey"},
    {"Historique", WidgetKind::Toggle, "Waterfall", 146, 18, 70, 24, "History"},
    {"Niveau_seul", WidgetKind::Group, "Box_Fonctions_RX", 232, 70, 154, 56, "Input level"},
    {"TrackBar_niveau", WidgetKind::Meter, "Niveau_seul", 6, 18, 80, 14, ""},
    {"Le_niveau", WidgetKind::Label, "Niveau_seul", 90, 16, 60, 18, ""},
    {"Label_saturation", WidgetKind::Label, "Niveau_seul", 6, 34, 140, 18, "Saturation!"},
    {"Niveau_local", WidgetKind::Label, "Box_Fonctions_RX", 6, 102, 222, 20, ""},
    {"Fe_regulee", WidgetKind::Toggle, "Box_Fonctions_RX", 6, 128, 84, 24, "Sf adapted"},
    {"Fes_egale_Fee", WidgetKind::Toggle, "Box_Fonctions_RX", 94, 128, 84, 24, "Fes = Fee"},
    {"Label_Fe_regulee", WidgetKind::Label, "Box_Fonctions_RX", 182, 130, 120, 20, ""},
    {"CPUmetre", WidgetKind::Toggle, "Box_Fonctions_RX", 306, 128, 40, 24, "CPU"},
    {"Label_CPU", WidgetKind::Label, "Box_Fonctions_RX", 348, 130, 40, 20, ""},
    {"Le_temps_de_latence", WidgetKind::Label, "Box_Fonctions_RX", 6, 150, 190, 18, "Latency time in 1/10 s"},
    {"TEMPS_DE_LATENCE", WidgetKind::Slider, "Box_Fonctions_RX", 200, 150, 186, 18, ""},

    // The link.
    {"Box_TCP_IP", WidgetKind::Group, nullptr, 406, 194, 386, 172, "Link with Tessaryn"},
    {"Gestion_TCP_IP", WidgetKind::Group, "Box_TCP_IP", 6, 16, 374, 50, "TCP/IP server management (Port 3020)"},
    {"Connection", WidgetKind::Toggle, "Gestion_TCP_IP", 6, 18, 110, 26, "Link opening"},
    {"Disconnection", WidgetKind::Toggle, "Gestion_TCP_IP", 120, 18, 110, 26, "Disconnection"},
    {"Label_Fe", WidgetKind::Label, "Gestion_TCP_IP", 236, 14, 134, 16, ""},
    {"Label_Utilisateur", WidgetKind::Label, "Gestion_TCP_IP", 236, 30, 134, 16, ""},
    {"Log_TCP_IP", WidgetKind::Group, "Box_TCP_IP", 6, 68, 374, 98, "Log"},
    {"Memo_Log", WidgetKind::Memo, "Log_TCP_IP", 6, 18, 362, 74, ""},

    // Transmit functions (their handlers come with transmission).
    {"Box_Fonctions_TX", WidgetKind::Group, nullptr, 8, 370, 784, 104, "TX functions"},
    {"Label_transmission_phonie", WidgetKind::Label, "Box_Fonctions_TX", 6, 16, 200, 18, "Local transmission"},
    {"Label_transmission_TCP_IP", WidgetKind::Label, "Box_Fonctions_TX", 400, 16, 230, 18, ""},
    {"NOMBRE_MILLIERS", WidgetKind::Label, "Box_Fonctions_TX", 636, 16, 70, 18, ""},
    {"Hauteur_Buffer", WidgetKind::Label, "Box_Fonctions_TX", 708, 16, 70, 18, ""},
    {"transmission_phonie", WidgetKind::Toggle, "Box_Fonctions_TX", 6, 36, 96, 26, "Transmission"},
    {"Transmission_tune", WidgetKind::Toggle, "Box_Fonctions_TX", 105, 36, 56, 26, "Tune"},
    {"TX_3000_Hz", WidgetKind::Toggle, "Box_Fonctions_TX", 164, 36, 66, 26, "3000 Hz"},
    {"Bouton_CAG_TX", WidgetKind::Toggle, "Box_Fonctions_TX", 233, 36, 48, 26, "AGC"},
    {"FILTRE_TX", WidgetKind::Toggle, "Box_Fonctions_TX", 284, 36, 116, 26, "TX filter 2800 Hz"},
    {"INVERSION_I_Q_TX", WidgetKind::Toggle, "Box_Fonctions_TX", 403, 36, 44, 26, "I/Q"},
    {"Correction_phase_amplitude_TX", WidgetKind::Toggle, "Box_Fonctions_TX", 450, 36, 110, 26, "TX I/Q balance"},
    {"Label_TX_en_cours", WidgetKind::Label, "Box_Fonctions_TX", 566, 38, 36, 22, "TX"},
    {"Label_Niveau_TX", WidgetKind::Label, "Box_Fonctions_TX", 606, 40, 120, 18, "Microphone level"},
    {"ProgressBar1", WidgetKind::Meter, "Box_Fonctions_TX", 728, 42, 50, 14, ""},
    {"Label_TX3", WidgetKind::Label, "Box_Fonctions_TX", 6, 66, 772, 16, ""},
    {"Label_TX4", WidgetKind::Label, "Box_Fonctions_TX", 6, 82, 772, 16, ""},

    // The mixers and the state of the devices.
    {"Mixer", WidgetKind::Group, nullptr, 8, 478, 392, 50, "Sound mixer"},
    {"Volume_HP", WidgetKind::Push, "Mixer", 6, 18, 90, 26, "Speaker"},
    {"Sortie_TX", WidgetKind::Push, "Mixer", 100, 18, 90, 26, "TX output"},
    {"recording_RX", WidgetKind::Push, "Mixer", 194, 18, 90, 26, "RX input"},
    {"Microphone", WidgetKind::Push, "Mixer", 288, 18, 98, 26, "Microphone"},
    {"Label_full_duplex", WidgetKind::Label, nullptr, 406, 484, 386, 18, ""},
    {"Label_RX", WidgetKind::Label, nullptr, 406, 506, 40, 18, ""},
    {"Label_TX", WidgetKind::Label, nullptr, 450, 506, 40, 18, ""},
    {"detecte_PC_pb_RX", WidgetKind::Label, nullptr, 500, 506, 60, 18, "Pb RX!"},
    {"detecte_PC_pb_TX", WidgetKind::Label, nullptr, 566, 506, 60, 18, "Pb TX!"},
    {"Memo_Versions", WidgetKind::Memo, nullptr, 2, 428, 396, 100, ""},
};

}  // namespace orv
