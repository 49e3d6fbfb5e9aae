#include "transmit/transmit_buffers.hpp"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(TransmitBuffers, StereoBufferWithMicrophoneOfTheSameDuration) {
    BufferSizes s;
    s.fee = 48000;
    s.latencySetting = 2;
    computeTransmitBuffers(s, false);
    EXPECT_EQ(s.outBufferBytes, 9600);
    EXPECT_EQ(s.micRate, 12000);
    EXPECT_EQ(s.captureBufferBytes, 1200);
}

TEST(TransmitBuffers, CappedAtOneThirdOfASecondAndMicrophoneUntouchedWithoutIt) {
    BufferSizes s;
    s.fee = 48000;
    s.latencySetting = 20;
    s.captureBufferBytes = 777;
    computeTransmitBuffers(s, true);
    EXPECT_EQ(s.outBufferBytes, 64000);
    EXPECT_EQ(s.captureBufferBytes, 777);
}

}  // namespace
}  // namespace orv
