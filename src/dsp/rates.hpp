#pragma once

namespace orv {

// Capture sampling rates the receive card may run at.
inline constexpr int kCaptureRates[] = {11025, 12000, 44100, 48000, 96000, 192000};

// The output rate Fes for a capture rate: 24000 from 96000 up, 11025 for the 11025
// family, 12000 otherwise; the capture rate itself when Fes_egale_Fee is down.
constexpr int nominalOutputRate(int fee, bool fesEqualsFee) {
    if (fesEqualsFee) return fee;
    if (fee >= 96000) return 24000;
    return fee == 44100 || fee == 11025 ? 11025 : 12000;
}

}  // namespace orv
