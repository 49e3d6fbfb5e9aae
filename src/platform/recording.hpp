#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/lang_text.hpp"

struct sf_private_tag;

namespace orv {

// A 16-bit recording opened once for replay and checked before anything runs. It is
// read through the one handle it was opened with, so a pipe or /dev/stdin works: only
// looping needs to go back to the start.
struct Recording {
    std::string path;
    int rate = 0;
    int channels = 0;
    std::int64_t frames = 0;
    bool seekable = true;
    std::shared_ptr<sf_private_tag> file;

    // The I/Q of a receiver: stereo (left I, right Q) at one of the six capture rates,
    // and not empty. `error` says what is wrong otherwise.
    static Recording openReceiver(const std::string& path, Bilingual& error);
    // A microphone: mono at 11025 or 12000.
    static Recording openMicrophone(const std::string& path, Bilingual& error);
};

}  // namespace orv
