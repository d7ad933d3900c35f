// GIF frame delays from captured frame times: no delay under 20 ms, the
// total true to the captured stretch, equal neighbours merged.
#include "recording/AnimationTiming.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace {

struct TTimingCase {
    const char* Name;
    std::vector<uint64_t> Starts;
    uint64_t End;
    std::vector<int> Looks; // frames with equal numbers look alike
    std::vector<TAnimationFrame> Expected;
};

void PrintTo(const TTimingCase& c, std::ostream* os) {
    *os << c.Name;
}

// clang-format off
const TTimingCase kCases[] = {
    {"WholeHundredths", {0, 1000, 11000}, 13000, {0, 1, 2}, {{0, 100}, {1, 1000}, {2, 200}}},
    {"TheRoundingIsCarriedOn", {0, 25, 50, 75}, 100, {0, 1, 2, 3}, {{0, 2}, {1, 3}, {2, 2}, {3, 3}}},
    {"AShortFrameGivesItsTimeToTheNext", {0, 500, 505, 900}, 1000, {0, 1, 2, 3}, {{0, 50}, {2, 40}, {3, 10}}},
    {"NeighboursAlikeAfterADropAreOne", {0, 500, 510, 900}, 1000, {0, 1, 0, 2}, {{0, 90}, {3, 10}}},
    {"AShortLastFrameIsHeldByTheOneBefore", {0, 990}, 1000, {0, 1}, {{0, 100}}},
    {"ACaptureUnder20MsStillShows", {0}, 7, {0}, {{0, 2}}},
    {"AlikeFramesAreMerged", {0, 100, 200, 300}, 400, {0, 0, 1, 1}, {{0, 20}, {2, 20}}},
    // 700 s: longer than a GIF delay holds (655.35 s).
    {"ALongFrameIsShownInPieces", {0, 100}, 700100, {0, 1}, {{0, 10}, {1, 60000}, {1, 10000}}},
    {"JustUnderTheLongestDelay", {0}, 655350, {0}, {{0, 65535}}},
    {"JustPastTheLongestDelay", {0}, 655360, {0}, {{0, 60000}, {0, 5536}}},
};
// clang-format on

class AnimationTimingTest : public ::testing::TestWithParam<TTimingCase> {};

TEST_P(AnimationTimingTest, DelaysAreAtLeast20MsAndAddUpToTheStretch) {
    const TTimingCase& c = GetParam();
    const auto frames = AnimationFrames(
        c.Starts, c.End, [&](std::size_t a, std::size_t b) { return c.Looks[a] == c.Looks[b]; });
    ASSERT_EQ(frames.size(), c.Expected.size());
    uint64_t total = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].Frame, c.Expected[i].Frame) << i;
        EXPECT_EQ(frames[i].DelayCs, c.Expected[i].DelayCs) << i;
        EXPECT_GE(frames[i].DelayCs, GIF_MIN_DELAY_CS);
        EXPECT_LE(frames[i].DelayCs, GIF_MAX_DELAY_CS);
        if (i > 0 && frames[i].Frame != frames[i - 1].Frame) {
            EXPECT_NE(c.Looks[frames[i].Frame], c.Looks[frames[i - 1].Frame]) << "alike neighbours at " << i;
        }
        total += 10 * frames[i].DelayCs;
    }
    const uint64_t stretch = c.End - c.Starts.front();
    if (stretch >= 20) {
        EXPECT_LE(total, stretch);
        EXPECT_GT(total + 10, stretch);
    }
}

INSTANTIATE_TEST_SUITE_P(Captures, AnimationTimingTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.Name); });

} // namespace
