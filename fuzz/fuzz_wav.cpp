// Any bytes as a recording: inspected as the receiver's I/Q and as the microphone, and
// read through when accepted.
#include <sndfile.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/recording.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/orvandel-fuzz-" + std::to_string(::getpid()) + ".wav";
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
    for (const bool receiver : {true, false}) {
        orv::Bilingual error;
        const orv::Recording r =
            receiver ? orv::Recording::openReceiver(path, error) : orv::Recording::openMicrophone(path, error);
        if (!error.english.empty() || !r.file) continue;
        std::vector<short> frames(static_cast<std::size_t>(1024 * r.channels));
        while (sf_readf_short(r.file.get(), frames.data(), 1024) > 0) {
        }
    }
    std::remove(path.c_str());
    return 0;
}
