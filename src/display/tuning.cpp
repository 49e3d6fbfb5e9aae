#include "display/tuning.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "display/display.hpp"

namespace orv {

std::string hfReadout(std::int32_t offsetHz, std::int32_t centreHz) {
    char text[32];
    std::snprintf(text, sizeof text, "%10.3f", (static_cast<double>(offsetHz) + centreHz) / 1000.0);
    // A space between the megahertz and the kilohertz: 7020000 reads "7 020.000".
    const std::string readout = text;
    const std::size_t split = readout.size() - 7;
    return readout.substr(0, split) + " " + readout.substr(split);
}

void Tuning::computeOffsetRange(const TuningContext& context) {
    halfBandHz_ = orv::halfBandHz(context.fee);
    const auto range = offsetRange(context.mode, halfBandHz_, passbandTopHz(context.fes), context.receiverIsSdR);
    minOffsetHz_ = range.min;
    maxOffsetHz_ = range.max;
}

void Tuning::placeMarker(ControlsModel& controls, const char* name, std::int32_t hz) const {
    controls.setPosition(name, hzToPixel(hz, halfBandHz_));
    controls.setVisible(name, true);
}

MixFrequencies Tuning::apply(std::int32_t offsetHz, const TuningContext& context, ControlsModel& controls) {
    if (fixed_) {
        fixedOffsetHz_ = std::clamp(fixedOffsetHz_, minOffsetHz_, maxOffsetHz_);
        offsetHz = fixedOffsetHz_;
    }
    offsetHz = std::clamp(offsetHz, minOffsetHz_, maxOffsetHz_);
    const auto position = static_cast<std::int32_t>(std::nearbyint(static_cast<double>(offsetHz) / kTuneStepHz));
    controls.setPosition("REGLAGE_FREQUENCE", position);
    const std::int32_t e = position * kTuneStepHz;
    controls.setText("Label_frequence", std::to_string(e) + " Hz");
    controls.setVisible("FREQUENCE_LSB", false);
    controls.setText("FREQUENCE_USB", hfReadout(e, centreFrequencyHz_));

    const std::int32_t h = halfBandHz_;
    const std::int32_t b = passbandTopHz(context.fes);
    controls.setVisible("Image_limite_gauche_gauche", false);
    MixFrequencies mix;
    std::int32_t lowerEdge = e;  // LSB: the clamped lower edge
    switch (context.mode) {
        case Mode::Usb:
            placeMarker(controls, "Image_limite_gauche", e);
            placeMarker(controls, "Image_limite_droite", std::min(e + b, h));
            mix.rxHz = -e;
            break;
        case Mode::Lsb:
            lowerEdge = std::max(e - b, -h);
            placeMarker(controls, "Image_limite_droite", e);
            placeMarker(controls, "Image_limite_gauche", lowerEdge);
            mix.rxHz = -lowerEdge - b;
            break;
        case Mode::Am:
        case Mode::Fm: {
            const std::int32_t side = context.mode == Mode::Am ? b : 5000;
            placeMarker(controls, "Image_limite_gauche_gauche", e);
            placeMarker(controls, "Image_limite_gauche", std::max(e - side, -h));
            placeMarker(controls, "Image_limite_droite", std::min(e + side, h));
            mix.rxHz = -e;
            mix.ifHz = kIfFrequencyHz - e;
            break;
        }
        default:
            placeMarker(controls, "Image_limite_gauche_gauche", 0);
            placeMarker(controls, "Image_limite_gauche", -h);
            placeMarker(controls, "Image_limite_droite", h);
    }
    // The low-cut marker of the narrow CW bands.
    if (isSideband(context.mode)) {
        if (bandLowHz_ > 0)
            placeMarker(controls, "Image_limite_gauche_gauche",
                        std::min(context.mode == Mode::Usb ? e + bandLowHz_ : lowerEdge + bandWidthHz_, h));
        else
            controls.setVisible("Image_limite_gauche_gauche", false);
    }
    return mix;
}

}  // namespace orv
