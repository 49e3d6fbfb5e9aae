#pragma once

namespace orv {

// One caption or hint of the main window in both languages.
struct CaptionRow {
    const char* control;
    bool hint;  // false: the caption
    const char* english;
    const char* french;
};

// The main window's captions and hints, applied in this order whenever the language is
// applied. The broadcast-FM captions get their rate appended, and the hint of Bande_3300
// is copied to Bande_4000, by the one who applies them.
inline constexpr CaptionRow kCaptionRows[] = {
    {"Connection", false, "Link opening", "Ouverture lien"},
    {"Disconnection", false, "Disconnection", "Déconnexion"},
    {"Abandon", false, "&Exit", "Abandon"},
    {"Parametres_standard", false, "Standard parameters", "Paramètres standard"},
    {"Aide", false, "&Help", "&Aide"},
    {"Portserie_sortie", false, "Serial port (PTT output)", "Port série (sortie PTT)"},
    {"Port_serie_entree", false, "Serial port (PTT input)", "Port série (entrée PTT)"},
    {"A_propos_de", false, "About...", "A propos de..."},
    {"Help", false, "Help", "Aide"},
    {"Bouton_spectre_gris", true, "Waterfall in grey levels", "Chute d'eau (\"Waterfall\") en nuances de gris"},
    {"Bouton_spectre_gris", false, "Grey", "Gris"},
    {"Bouton_CAG_Spectre", true, "Waterfall Automatic Gain Control",
     "Contrôle Automatique de Gain de la \"chute d'eau\" (\"Waterfall\")"},
    {"Bouton_CAG_Spectre", false, "AGC", "CAG"},
    {"Bouton_CAG_RX", true, "Automatic Gain Control of the sound level transmitted to the speaker",
     "Contrôle Automatique de Gain du volume du son envoyé vers le haut-parleur"},
    {"Bouton_CAG_RX", false, "AGC", "CAG"},
    {"INVERSION_I_Q_RX", true, "Swap I and Q (direct and quadrature sound card inputs) for SdR receivers",
     "Echange I et Q (entrées de la carte son directe et en quadrature) pour les récepteurs SdR"},
    {"Mixer", false, "Sound mixer", "Mélangeur son"},
    {"Mixer", true, "Opens the system's mixer on the chosen sound card", "Ouvre le mélangeur du système sur la carte son choisie"},
    {"recording_RX", false, "RX input", "Entrée RX"},
    {"recording_RX", true, "Recording level of the RX sound card", "Niveau d'enregistrement de la carte son RX"},
    {"Volume_HP", false, "Speaker", "Haut-parleur"},
    {"Volume_HP", true, "Volume of the speaker sound card", "Volume de la carte son du haut-parleur"},
    {"Microphone", false, "Microphone", "Microphone"},
    {"Microphone", true, "Recording level of the microphone sound card", "Niveau d'enregistrement de la carte son du microphone"},
    {"Sortie_TX", false, "TX output", "Sortie TX"},
    {"Sortie_TX", true, "Volume of the TX sound card", "Volume de la carte son TX"},
    {"Le_temps_de_latence", false, "Latency time in 1/10 s", "Temps de latence en 1/10 s"},
    {"TEMPS_DE_LATENCE", true, "To adjust the delay to the minimum necessary for Windows buffering",
     "Pour ajuster au minimum le retard dû à la gestion des buffers Windows"},
    {"Groupe_freq", false, "Tuning (Hz)", "Accord (Hz)"},
    {"REGLAGE_FREQUENCE", true,
     "Tuning offset from the centre of the band. Arrow keys: one step of 10 Hz; Page Up/Down: ten steps",
     "Ecart d'accord depuis le centre de la bande. Flèches : un pas de 10 Hz ; Page haut/bas : dix pas"},
    {"Label_Frequence_centrale", false, "HF frequency at 0 Hz (Hz)", "Fréquence HF au 0 Hz (Hz)"},
    {"Frequence_centrale", true,
     "Edition of the HF frequency at the 0 Hz waterfall. It corresponds to the central frequency given by the cristal "
     "or the VFO",
     "Editeur de la fréquence au 0 Hz du spectre. Elle correspond à la fréquence centrale donnée par le quartz ou le "
     "VFO."},
    {"Autres_frequences_SDR", false, "Others", "Autres"},
    {"Autres_frequences_SDR", true,
     "It can be also chosen between 12 different other frequencies. These ones can be modified by the user.",
     "Il peut être choisi également entre 12 autres fréquences. Celles-ci peuvent être modifiées par l'utilisateur."},
    {"Group_FREQUENCE_HF", false, "HF frequency (KHz)", "Fréquence HF (KHz)"},
    {"Group_FREQUENCE_HF", true,
     "They are two frequencies for a DSB receiver (USB and LSB) and only one for a SdR receiver",
     "Il y a deux fréquences pour un récepteur DSB (USB et LSB) mais une seule pour un récepteur SdR"},
    {"Niveau_seul", false, "Input level", "Niveau d'entrée"},
    {"Niveau_local", true,
     "It is given the level of the selected signal, between the 2 cursors, in %. It is also given the ratio between "
     "the selected signal and the global level.",
     "Il est donné le niveau du signal sélectionné, entre les 2 curseurs, en %. Il est aussi fourni le rapport entre "
     "le niveau du signal sélectionné et le niveau global."},
    {"Groupe_saturation", false, "Saturation", "Saturation"},
    {"Waterfall", false, "Waterfall", "Chute d'eau"},
    {"La_carte_son", false, "Sound card", "Carte son"},
    {"Box_Modes", false, "Modes", "Modes"},
    {"Fonctions_DSP", false, "DSP functions", "Fonctions DSP"},
    {"Largeur_de_bande", false, "Bandwidth (Hz)", "Largeur de bande (Hz)"},
    {"Gestion_TCP_IP", false, "TCP/IP server management (Port 3020)", "Gestion du serveur TCP/IP (Port 3020)"},
    {"Gestion_TCP_IP", true, "TCP/IP link for connection to Tessaryn", "Lien TCP/IP pour connexion à Tessaryn"},
    {"Balayage", false, "Sweeping", "Balayage"},
    {"Balayage", true, "Waterfall sweeping with a mouse movement or frequency positioned by a mouse click",
     "Balayage du spectre avec un mouvement de la souris ou positionnement de la fréquence avec un clic de souris"},
    {"Log_TCP_IP", false, "Log of the TCP/IP (dis)connections + errors", "Journal des (dé)connexions TCP/IP + erreurs"},
    {"La_Frequence_fixe", false, "Fixed", "Fixe"},
    {"La_Frequence_fixe", true, "The tuned frequency stays where it is: clicks, sweeps and the wheel leave it",
     "La fréquence accordée reste où elle est : clics, balayages et molette la laissent"},
    {"Panel_Reducteur_de_bruit", false, "Noise reducer", "Réducteur de bruit"},
    {"REDUCTEUR_WIENER_FAIBLE", false, "Weak", "Faible"},
    {"REDUCTEUR_WIENER_FORT", false, "Strong", "Fort"},
    {"Fe_regulee", false, "Sf adapted", "Fe adaptée"},
    {"Fe_regulee", true,
     "Sampling frequency adapted between 11015 and 11035. It is found, afterwards, the output buffer level and the "
     "sampling frequency. Attention only the sound cards of quality can be adapted.",
     "Fréquence d'échantillonnage adaptée entre 11015 et 11035. On trouve, ensuite, le niveau du buffer de sortie et "
     "la fréquence d'échantillonnage. Attention, seules les cartes sons de qualité peuvent être adaptées."},
    {"Correction_phase_amplitude_RX", false, "RX I/Q balance", "Equilibre I/Q RX"},
    {"Correction_phase_amplitude_RX", true, "Corrects the amplitude and phase of the receive I/Q",
     "Corrige l'amplitude et la phase de l'I/Q reçu"},
    {"TX_3000_Hz", true, "I/Q signal at + 3000 Hz for sound card calibration (for SdR)",
     "Signal I/Q à + 3000 Hz pour calibrage de la carte son (pour SdR)"},
    {"AM", true,
     "Do not use the \"AM\" mode for an AM transmission in base band (f=0 Hz). In this case, use the \"USB\" or "
     "\"LSB\" mode.",
     "Ne pas utiliser le mode \"AM\" pour une transmission AM en bande de base (f=0 Hz). Dans ce cas, utilisez le mode "
     "\"USB\" ou \"LSB\""},
    {"Label_TX3", false,
     "The TX/RX and RX/TX switching is managed by Tessaryn, Orvandel being under the control of Tessaryn through the  "
     "TCP/IP link.",
     "La commutation TX/RX et RX/TX est gérée par Tessaryn, Orvandel étant sous le contrôle de Tessaryn via la liaison "
     "TCP/IP."},
    {"Label_TX4", false,
     "The TX/RX and RX/TX switching is managed by Orvandel, through the DTR/RTS pins of the selected serial port.",
     "La commutation TX/RX et RX/TX est gérée par Orvandel, à travers les broches DTR/RTS du port série sélectionné."},
    {"Label_transmission_TCP_IP", false, "Transmission by Tessaryn (TCP/IP)", "Emission par Tessaryn (TCP/IP)"},
    {"Label_transmission_phonie", false, "Local transmission", "Emission locale"},
    {"Transmission_tune", false, "Tune", "Tune"},
    {"Transmission_tune", true,
     "Transmission test on the selected frequency and mode (USB or LSB), of a 1000 Hz AF modulation carrier (tune)",
     "Test de transmission sur la fréquence et le mode (USB ou LSB) sélectionnés, d'une porteuse BF de modulation à "
     "1000 Hz (\"tune\")"},
    {"transmission_phonie", false, "Transmission", "Emission"},
    {"transmission_phonie", true, "Voice transmission from the microphone sound card",
     "Emission en phonie depuis la carte son du microphone"},
    {"Label_Niveau_TX", false, "Microphone level", "Niveau du microphone"},
    {"Bouton_CAG_TX", true,
     "Automatic Gain Control of the sound level coming from the microphone. To avoid absolutly for CW and for digital "
     "modes (risk of spectrum splatters, even at low level).",
     "Contrôle Automatique de Gain du volume du son venant du microphone. A éviter absolument pour la CW et les modes "
     "numériques (risque d'étalement spectral, même si de faible niveau)."},
    {"Bouton_CAG_TX", false, "AGC", "CAG"},
    {"Correction_phase_amplitude_TX", false, "TX I/Q balance", "Equilibre I/Q TX"},
    {"Correction_phase_amplitude_TX", true, "Corrects the amplitude and phase of the transmitted I/Q",
     "Corrige l'amplitude et la phase de l'I/Q émis"},
    {"NOMBRE_MILLIERS", true, "Number of bytes received from Tessaryn through the TCP/IP link, in thousands",
     "Nombre d'octets reçus de Tessaryn à travers le lien TCP/IP, en milliers"},
    {"Hauteur_Buffer", true, "Height of the reception buffer, in thousands of bytes",
     "Hauteur du buffer de réception, en milliers d'octets"},
    {"INVERSION_I_Q_TX", true, "Swap I and Q of the TX sound card outputs for SdR transmitters",
     "Echange I et Q des sorties de la carte son TX pour les émetteurs SdR"},
    {"Panel_Correction", false, "I/Q corrections", "Corrections I/Q"},
    {"Box_Fonctions_RX", false, "RX functions", "Fonctions RX"},
    {"Box_TCP_IP", false, "Link with Tessaryn", "Lien avec Tessaryn"},
    {"Box_Fonctions_TX", false, "TX functions, for a transceiver working (QRG TX = QRG RX)",
     "Fonctions TX, pour un fonctionnement en transceiver (QRG TX = QRG RX)"},
    {"FILTRE_TX", false, "TX filter 2800 Hz", "Filtre TX 2800 Hz"},
    {"FILTRE_TX", true,
     "The input sound can be filtered through a low-pass filter at 2800 Hz, to limit the occupied AF band (useful for "
     "a phone transmission)",
     "Le son en entrée peut être filtré par un filtre passe-bas à 2800 Hz, pour limiter la bande BF occupée (utile "
     "pour une transmission en phonie)"},
    {"Historique", false, "History", "Historique"},
    {"Bande_3300", true,
     "Bandwidth to avoid, if reception/transmission (RX/TX) in CW or digital modes is done, because transmission is "
     "expected between 200 to 2500 Hz. For reception only, there is no problem to use this bandwidth.",
     "Largeur de bande à éviter, s'il est fait de la réception/émission en CW ou en modes numériques, car la "
     "transmission est prévu entre 200 et 2500 Hz. Pour la réception seulement, il n'y a de problème à utiliser cette "
     "largeur de bande."},
    {"Bande_max", true, "The widest passband the output rate allows", "La bande passante la plus large que permet la fréquence de sortie"},
    {"FM", true, "FM forces sampling frequency to 48 or 44.1 KHz",
     "La FM force la fréquence d'échantillonnage à 48 ou 44,1 KHz"},
    {"FM_Commercial_96", false, "Broadcast FM", "Radio FM"},
    {"FM_Commercial_96", true,
     "The demodulation of broadcast FM (87.5 to 108 MHz), received from a Funcube Dongle receiver, forces sampling "
     "frequency to 96 KHz, so the sound quality is not very good due to folding frequencies.",
     "La démodulation de la FM radiodiffusée (87,5 à 108 MHz), reçue d'un récepteur Funcube Dongle, force la "
     "fréquence d'échantillonnage à 96 KHz, donc la qualité n'est pas très bonne du fait des fréquences repliées."},
    {"FM_Commercial_192", false, "Broadcast FM", "Radio FM"},
    {"FM_Commercial_192", true,
     "The demodulation of broadcast FM (87.5 to 108 MHz), received from the new Funcube Dongle receiver (called "
     "\"+\"), forces sampling frequency to 192 KHz, so the sound quality is good.",
     "La démodulation de la FM radiodiffusée (87,5 à 108 MHz), reçue du nouveau récepteur Funcube Dongle (appelé "
     "\"+\"), force la fréquence d'échantillonnage à 192 KHz, donc la qualité est bonne."},
    {"CPUmetre", true,
     "The button \"CPU\" allows the activation of the CPU measure of the PC XP (but not PC Pro) in %. Caution: when "
     "the CPU button is pressed the waterfall can appear (it depends on the PC) without any movement during 30 "
     "seconds. Then things are back to normal.",
     "Le bouton \"CPU\" permet l'activation de la mesure de charge CPU du PC XP (mais pas XP Pro) en %. "
     "Avertissement: quand le bouton \"CPU\" est poussé, la \"chute d'eau\" peut (cela dépend du PC) rester bloqué "
     "durant environ 30 secondes."},
};

}  // namespace orv
