#pragma once

#include <array>
#include <cstdint>

#include "core/sample_queue.hpp"

namespace orv {

// Capture sampling rates the receive card may run at.
inline constexpr std::array<int, 6> kCaptureRates{11025, 12000, 44100, 48000, 96000, 192000};

// Hand-over state of one of the two capture buffers between the device and the cycle.
struct CaptureSlot {
    bool ready = false;    // copied and re-queued, waiting for processing
    bool copying = false;  // being copied (re-entrancy guard)
    bool queued = false;   // its last re-queue at the device succeeded
};

// The processing state shared by the main cycle, the device engine, the receive chain,
// the display and the link: rates, sizes, format and control flags, the buffer
// hand-over and the sample queues. One station owns one of these; only the station
// thread touches it.
struct ProcessingState {
    // Rates, samples per second.
    int fee = 44100;        // capture rate of the receive card
    int fes = 11025;        // output rate: speaker and link audio
    int micRate = 11025;    // microphone capture rate during voice transmission
    int captureRate = 44100;  // rate of the capture device now open
    int txAudioRate = 0;    // rate of the 8-bit audio handed to the modulator

    // Sizes. One buffer of either direction lasts latencySetting × 25 ms.
    int latencySetting = 2;  // 2 to 20
    int outBufferBytes = 0;
    int captureBufferBytes = 0;
    int buffersPerSecond = 0;
    int blockLength = 2048;  // samples per processing block: 1024 at 12000 and below
    int halfBlock = 1024;    // samples handed to the receive chain per call

    // Format flags.
    bool captureStereo = true;   // left = I, right = Q; mono while the microphone is captured
    bool outputIsTxCard = false; // the playback device is the TX card
    bool testToneActive = false; // the TX test tone is generated straight into the buffers
    bool receiverIsSdR = true;   // I/Q receiver (not direct conversion)
    bool fesEqualsFee = false;   // Fes_egale_Fee is down
    bool feRegulated = false;    // Fe_regulee is down

    // Control flags.
    bool startRequested = false;
    bool formatChecked = false;
    bool openingDevices = false;
    bool devicesOpened = false;
    bool processingRunning = false;
    bool blockBusy = false;
    bool txInProgress = false;
    bool txChainReady = false;
    bool receiveActive = true;
    bool linkClientConnected = false;
    bool linkTxEndRequested = false;
    bool txEndPadded = false;
    bool retuneOnOpen = true;
    bool pttReleaseWaiting = false;
    std::int64_t pttReleaseTimeMs = 0;

    // Buffer hand-over; buffers are numbered 1 and 2.
    int nextCaptureBuffer = 1;
    int lastCaptureBuffer = 1;
    int lastSeenCaptureBuffer = 20;  // 20: no buffer
    std::array<CaptureSlot, 2> capture{};
    int nextOutputBuffer = 1;
    std::array<bool, 2> outputFilling{};
    int currentOutputBuffer = 1;
    std::int32_t captureCount = 0;
    std::int32_t captureCountSeen = 20;

    // Demodulation, passband and tuning.
    int mode = 1;                    // 1 USB, 2 LSB, 3 AM, 4 FM, 5 and 6 broadcast FM
    std::int32_t bandLowHz = 0;
    std::int32_t bandWidthHz = 3300;
    std::int32_t tuneOffsetHz = 10000;  // requested offset from the band centre
    std::int32_t halfBandHz = 22000;
    std::int32_t minOffsetHz = -16500;
    std::int32_t maxOffsetHz = 16500;
    bool fixedFrequency = false;
    std::int32_t fixedOffsetHz = 0;
    bool firstRetune = true;           // the first open re-applies the stored offset
    std::int64_t rxMixFrequencyHz = 0;  // shift that brings the tuned signal to 0 Hz
    std::int64_t ifMixFrequencyHz = 0;

    // Receive processing options.
    bool rxAgcOn = true;
    bool spectrumAgcOn = true;
    bool rxSwapIq = false;
    int noiseReducerLevel = 1;
    std::int32_t rxAmplitudeCorrection = 0;
    std::int32_t rxPhaseCorrection = 0;
    bool rxCorrectionWindowOpen = false;  // input gain held at 100 % while calibrating
    bool greyWaterfall = false;
    bool sweepOn = false;
    std::int32_t centreFrequencyHz = 7020000;  // the HF frequency at 0 Hz of the band

    // Transmit options, kept with the settings.
    bool txAgcOn = false;
    std::int32_t txAmplitudeCorrection = 0;
    std::int32_t txPhaseCorrection = 0;
    bool txSwapIq = false;
    bool txFilterOn = false;

    // Card and port choices: device index 0 to 15, or 99 for the default card.
    std::uint8_t rxCard = 99;
    std::uint8_t micCard = 99;
    std::uint8_t speakerCard = 99;
    std::uint8_t txCard = 99;
    bool pttOutputPort = false;
    bool pttInputPort = false;
    bool pttInputState = false;
    bool pttInputPrevious = false;

    // Refill statistics read by the output-rate regulation.
    std::int64_t refillLevelSum = 0;
    std::int32_t refillCount = 0;

    // The queues.
    SampleQueue captureBlock;     // raw bytes of one completed capture buffer
    SampleQueue rxBacklog;        // raw capture bytes waiting to be cut into blocks
    SampleQueue captureHistory;   // the two most recent capture buffers
    SampleLanes speaker;          // 16-bit mono at fes
    StereoLanes tx;               // 16-bit I/Q at fee for the TX card
    SampleQueue txVoice;          // 8-bit unsigned at txAudioRate, zero is 0x7F
    SampleQueue linkTxAudio;      // 8-bit unsigned at txAudioRate, from the link client

    CaptureSlot& captureSlot(int k) { return capture[static_cast<std::size_t>(k - 1)]; }
    bool& outputFillingFlag(int k) { return outputFilling[static_cast<std::size_t>(k - 1)]; }
    bool anyCaptureCopying() const { return capture[0].copying || capture[1].copying; }
    bool anyOutputFilling() const { return outputFilling[0] || outputFilling[1]; }
    int captureFrameBytes() const { return captureStereo ? 4 : 2; }
};

// The other buffer of a two-buffer ring.
constexpr int otherBuffer(int k) { return k == 1 ? 2 : 1; }

}  // namespace orv
