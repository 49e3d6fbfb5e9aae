#include "transmit/transmit_pacing.hpp"

#include <gtest/gtest.h>

namespace orv {
namespace {

struct VoiceCase {
    std::int32_t average;
    std::size_t expectedLength;
};

TEST(VoiceLevelHistory, ChunkLengthFollowsTheBacklogAverage) {
    // Ten bytes taken; the backlog left is `average` bytes of a 1000-byte capture buffer.
    constexpr VoiceCase kCases[] = {{999, 11}, {1000, 11}, {1001, 10}, {1100, 10}, {1199, 10},
                                    {1200, 9}, {1999, 9},  {2000, 4},  {3000, 4}};
    for (const auto& c : kCases) {
        VoiceLevelHistory history;
        history.fill(c.average);
        SampleFifo<std::uint8_t> voice;
        for (int i = 0; i < 10; ++i) voice.append(static_cast<std::uint8_t>(i));
        voice.appendRepeated(0x7F, static_cast<std::size_t>(c.average));
        const auto chunk = history.takeChunk(voice, 10, 1000);
        EXPECT_EQ(history.average(), c.average);
        EXPECT_EQ(chunk.size(), c.expectedLength) << c.average;
        EXPECT_EQ(voice.size(), static_cast<std::size_t>(c.average));
    }
}

TEST(VoiceLevelHistory, SampleRepeatedOrDroppedAtTheEndAndHalfCutFromTheMiddle) {
    const auto run = [](std::int32_t average) {
        VoiceLevelHistory history;
        history.fill(average);
        SampleFifo<std::uint8_t> voice;
        for (int i = 0; i < 10; ++i) voice.append(static_cast<std::uint8_t>(i));
        voice.appendRepeated(0x7F, static_cast<std::size_t>(average));
        return history.takeChunk(voice, 10, 1000);
    };
    EXPECT_EQ(run(1000), (std::vector<std::uint8_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9}));
    EXPECT_EQ(run(1200), (std::vector<std::uint8_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    // One shorter, then five bytes deleted from position 4.
    EXPECT_EQ(run(2000), (std::vector<std::uint8_t>{0, 1, 2, 3}));
}

TEST(VoiceLevelHistory, ShortChunksNeverUnderflow) {
    for (const std::int32_t average : {1000, 1200, 2000}) {
        for (std::size_t available = 0; available <= 3; ++available) {
            VoiceLevelHistory history;
            history.fill(average);
            SampleFifo<std::uint8_t> voice;
            voice.appendRepeated(5, available);
            const auto chunk = history.takeChunk(voice, 10, 1000);
            EXPECT_LE(chunk.size(), available + 1);
        }
    }
}

TEST(VoiceChunk, SamplesPerStepInSinglePrecision) {
    // k = 1102 / 10 = 110; 11025 × 110 / 44100 = 27.5 rounds to even 28.
    EXPECT_EQ(voiceChunkSamples(11025, 1102, 44100), 28);
    EXPECT_EQ(voiceChunkSamples(12000, 9600, 48000), 240);
}

struct PaddingCase {
    std::int64_t queued, q, padding;
};

TEST(LinkEndPadding, EndsOnWholeBuffersFollowedByTwoOfSilence) {
    constexpr PaddingCase kCases[] = {{2500, 1000, 2500}, {3000, 1000, 2000}, {0, 1000, 2000},
                                      {1, 1000, 2999},    {999, 1000, 2001},  {1001, 1000, 2999}};
    for (const auto& c : kCases) {
        EXPECT_EQ(linkEndPaddingFrames(c.queued, c.q), c.padding) << c.queued;
        EXPECT_EQ((c.queued + c.padding) % c.q, 0);
    }
}

}  // namespace
}  // namespace orv
