// Any bytes as the settings file: the station starts, applies what it can, and saves a
// record it can read back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/station_fixture.hpp"

using namespace orv;
using namespace orv::test;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    StationFixture f;
    f.files.contents[f.files.pathOf(kConfigFileName)] = std::string(reinterpret_cast<const char*>(data), size);
    if (!f.station->startUp()) return 0;
    f.station->initReceive();
    f.tick();
    f.tick();
    f.station->formClose();
    const std::string& saved = f.files.contents[f.files.pathOf(kConfigFileName)];
    if (saved.size() != kConfigLength) std::abort();
    return 0;
}
