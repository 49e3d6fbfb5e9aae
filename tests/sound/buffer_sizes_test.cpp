#include "sound/buffer_sizes.hpp"

#include <gtest/gtest.h>

namespace orv {
namespace {

struct ReceiveCase {
    int fee, latency, fes, outBytes, buffersPerSecond, captureBytes;
};

constexpr ReceiveCase kReceive[] = {
    {11025, 2, 11025, 1102, 20, 2204},    {12000, 2, 12000, 1200, 20, 2400},
    {44100, 2, 11025, 1102, 20, 8816},    {48000, 2, 12000, 1200, 20, 9600},
    {96000, 2, 24000, 2400, 20, 19200},   {192000, 2, 24000, 2400, 20, 38400},
    {11025, 20, 11025, 11024, 2, 22048},  {12000, 20, 12000, 12000, 2, 24000},
    {44100, 20, 11025, 11024, 2, 88192},  {48000, 20, 12000, 12000, 2, 96000},
    {96000, 20, 24000, 24000, 2, 192000}, {192000, 20, 24000, 24000, 2, 384000},
};

TEST(ReceiveBuffers, EveryRateAtShortestAndLongestLatency) {
    for (const auto& c : kReceive) {
        BufferSizes s;
        s.fee = c.fee;
        s.captureRate = c.fee;
        s.latencySetting = c.latency;
        computeReceiveBuffers(s);
        SCOPED_TRACE(testing::Message() << c.fee << " at latency " << c.latency);
        EXPECT_EQ(s.fes(), c.fes);
        EXPECT_EQ(s.outBufferBytes, c.outBytes);
        EXPECT_EQ(s.buffersPerSecond, c.buffersPerSecond);
        EXPECT_EQ(s.captureBufferBytes, c.captureBytes);
    }
}

TEST(ReceiveBuffers, OneCaptureBufferLastsAsLongAsOnePlaybackBuffer) {
    for (const auto& c : kReceive) {
        // Same number of frames per second of buffer, within the truncations.
        const double captureSeconds = c.captureBytes / 4.0 / c.fee;
        const double playbackSeconds = c.outBytes / 2.0 / c.fes;
        EXPECT_DOUBLE_EQ(captureSeconds, playbackSeconds) << c.fee;
    }
}

TEST(OutputRate, FollowsTheCaptureRateFamilyOrEqualsItWhenAsked) {
    EXPECT_EQ(nominalOutputRate(192000, false), 24000);
    EXPECT_EQ(nominalOutputRate(192000, true), 192000);
    EXPECT_EQ(nominalOutputRate(96000, false), 24000);
    EXPECT_EQ(nominalOutputRate(44100, false), 11025);
    EXPECT_EQ(nominalOutputRate(11025, false), 11025);
    EXPECT_EQ(nominalOutputRate(48000, false), 12000);
    EXPECT_EQ(nominalOutputRate(12000, false), 12000);
}

}  // namespace
}  // namespace orv
