#pragma once

#include "sound/mixer.hpp"

namespace orv {

// The desktop's mixer: pavucontrol, else alsamixer in a terminal emulator.
class SystemMixer final : public Mixer {
public:
    // `wanted`: false for a run whose every sound role is a file.
    explicit SystemMixer(bool wanted = true) : wanted_(wanted) {}
    bool wanted() const override { return wanted_; }
    std::string find() override;
    std::vector<std::string> programsLookedFor() const override { return {"pavucontrol", "alsamixer"}; }
    bool start(const std::string& command, bool recording, int device) override;

private:
    bool wanted_;
};

}  // namespace orv
