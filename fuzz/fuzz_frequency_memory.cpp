// Any text as the HF frequency memory file: read, shown, saved again without a crash.
#include <cstdint>
#include <string>

#include "support/station_fixture.hpp"

using namespace orv;
using namespace orv::test;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    StationFixture f;
    f.files.contents[f.files.pathOf(kFrequencyFileName)] = std::string(reinterpret_cast<const char*>(data), size);
    if (!f.station->startUp()) return 0;
    f.station->frequencyWindow().activate();
    for (int k = 1; k <= 12; ++k) f.station->frequencyWindow().selectClick(k);
    f.station->formClose();
    return 0;
}
