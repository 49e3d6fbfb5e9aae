#include "platform/recording.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include <sndfile.h>
#include <sys/stat.h>

#include "dsp/rates.hpp"

namespace orv {

namespace {

// Why libsndfile would not open a file, in the user's words: a folder, a missing file, a
// WAV whose header gives an impossible rate, or not a WAV it reads.
Bilingual unreadable(const std::string& path) {
    const std::string name = "'" + path + "'";
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return {"cannot read the recording " + name + ": " + std::strerror(errno),
                "impossible de lire l'enregistrement " + name + " : " + std::strerror(errno)};
    if (S_ISDIR(info.st_mode))
        return {name + " is a folder, not a recording", name + " est un dossier, pas un enregistrement"};
    // A RIFF WAVE header whose format chunk gives no usable rate.
    std::ifstream in(path, std::ios::binary);
    char riff[12] = {};
    if (in.read(riff, 12) && std::memcmp(riff, "RIFF", 4) == 0 && std::memcmp(riff + 8, "WAVE", 4) == 0) {
        char chunk[8] = {};
        while (in.read(chunk, 8)) {
            std::uint32_t size = 0;
            for (int b = 3; b >= 0; --b) size = size << 8 | static_cast<std::uint8_t>(chunk[4 + b]);
            if (std::memcmp(chunk, "fmt ", 4) != 0) {
                in.seekg(size + (size & 1), std::ios::cur);
                continue;
            }
            unsigned char fmt[8] = {};
            in.read(reinterpret_cast<char*>(fmt), 8);
            const std::uint32_t rate = fmt[4] | fmt[5] << 8 | fmt[6] << 16 | static_cast<std::uint32_t>(fmt[7]) << 24;
            if (rate == 0 || rate >= 0x80000000u)
                return {"the recording " + name + " is damaged: its header gives a rate of " + std::to_string(rate) +
                            " samples/s",
                        "l'enregistrement " + name + " est abîmé : son en-tête donne une fréquence de " +
                            std::to_string(rate) + " échantillons/s"};
            break;
        }
    }
    const std::string reason = sf_strerror(nullptr);
    return {"cannot read the recording " + name + ": it is not a WAV file that can be read (" + reason + ")",
            "impossible de lire l'enregistrement " + name + " : ce n'est pas un fichier WAV lisible (" + reason + ")"};
}

Recording open(const std::string& path, Bilingual& error) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = unreadable(path);
        return {};
    }
    Recording r{path, info.samplerate, info.channels, info.frames, info.seekable != 0,
                std::shared_ptr<sf_private_tag>(file, [](SNDFILE* f) { sf_close(f); })};
    const std::string name = "'" + path + "'";
    if ((info.format & SF_FORMAT_SUBMASK) != SF_FORMAT_PCM_16)
        error = {"the recording " + name + " is not 16-bit", "l'enregistrement " + name + " n'est pas en 16 bits"};
    else if (info.frames == 0)
        error = {"the recording " + name + " holds no sound", "l'enregistrement " + name + " ne contient aucun son"};
    return r;
}

}  // namespace

Recording Recording::openReceiver(const std::string& path, Bilingual& error) {
    Recording r = open(path, error);
    if (!error.english.empty()) return r;
    const std::string name = "'" + path + "'";
    if (r.channels != 2) {
        error = {"the recording " + name + " is not 16-bit stereo I/Q (left I, right Q)",
                 "l'enregistrement " + name + " n'est pas de l'I/Q stéréo 16 bits (I à gauche, Q à droite)"};
    } else if (std::find(std::begin(kCaptureRates), std::end(kCaptureRates), r.rate) == std::end(kCaptureRates)) {
        const std::string rate = std::to_string(r.rate);
        error = {"the recording " + name + " is at " + rate +
                     " samples/s; the receiver runs at 11025, 12000, 44100, 48000, 96000 or 192000",
                 "l'enregistrement " + name + " est à " + rate +
                     " échantillons/s ; le récepteur travaille à 11025, 12000, 44100, 48000, 96000 ou 192000"};
    }
    return r;
}

Recording Recording::openMicrophone(const std::string& path, Bilingual& error) {
    Recording r = open(path, error);
    if (!error.english.empty()) return r;
    if (r.channels != 1 || (r.rate != 11025 && r.rate != 12000)) {
        const std::string name = "'" + path + "'";
        error = {"the microphone recording " + name + " must be mono at 11025 or 12000 samples/s",
                 "l'enregistrement du microphone " + name + " doit être mono à 11025 ou 12000 échantillons/s"};
    }
    return r;
}

}  // namespace orv
