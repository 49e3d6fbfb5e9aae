#pragma once

#include "sound/mixer.hpp"

namespace orv {

// The desktop's mixer: pavucontrol, else alsamixer in a terminal emulator.
class SystemMixer final : public Mixer {
public:
    std::string find() override;
    std::vector<std::string> programsLookedFor() const override { return {"pavucontrol", "alsamixer"}; }
    bool start(const std::string& command, bool recording, int device) override;
};

}  // namespace orv
