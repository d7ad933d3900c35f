// Harmonic cursors read off a spectrum computed from samples of known
// harmonics: each cursor stands at a multiple of the chosen line's true
// frequency and reads that harmonic's level.
#include "pcdata/SpectrumCursors.h"
#include "pcdata/ReadingSignal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// Kind 1 samples (two's complement mm/s codes) of harmonics k = 1.. of f
// with peak amplitudes amplitude[k - 1] mm/s.
std::vector<int16_t> Harmonics(double f, const std::vector<double>& amplitude) {
    std::vector<int16_t> samples(8192);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        double v = 0;
        for (std::size_t k = 1; k <= amplitude.size(); ++k)
            v += amplitude[k - 1] *
                 std::sin(2 * std::numbers::pi * f * static_cast<double>(k * i) / READING_RATE + 0.3 * k);
        samples[i] = static_cast<int16_t>(std::lround(v / READING_MM_S_PER_CODE));
    }
    return samples;
}

TEST(HarmonicCursorsTest, EachCursorStandsAtAMultipleAndReadsThatHarmonicsLevel) {
    struct TCase {
        const char* Name;
        double F;
        std::vector<double> Amplitude; // mm/s peak of 1x, 2x, ...
        int Finer;
        std::size_t ExpectCount;
        double HzTolerance; // per order
        double LevelFloor;  // of the true level: the window's loss between lines
    };
    const std::vector<double> falling = {10, 5, 3.3, 2.5, 2, 1.7, 1.4, 1.25, 1.1, 1};
    const TCase cases[] = {
        {"on a line", 25.0, falling, 1, 10, 1e-9, 0.999},
        {"between lines", 24.8, falling, 1, 10, 0.01, 0.84},
        {"between lines, zero-padded", 24.8, falling, 8, 10, 0.002, 0.99},
        {"a missing third", 31.25, {10, 5, 0, 2.5, 2, 1.7, 1.4, 1.25, 1.1, 1}, 1, 10, 1e-9, 0.999},
        {"past the band's end above 5x", 230.0, {10, 5, 3, 2, 1.5}, 1, 5, 0.01, 0.84},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TReadingSpectrum spectrum = ReadingSpectrum(1, Harmonics(c.F, c.Amplitude), c.Finer);
        // The user clicks two lines off the fundamental's peak.
        const auto clicked = static_cast<std::size_t>(c.F / spectrum.LineSpacing) + 2;
        const std::size_t chosen = PeakLineNear(spectrum.Amplitude, clicked, 3 * c.Finer);
        const auto cursors = HarmonicCursors(spectrum.Amplitude, spectrum.LineSpacing, chosen, 10, c.Finer);
        ASSERT_EQ(cursors.size(), c.ExpectCount);
        for (const THarmonicCursor& cursor : cursors) {
            SCOPED_TRACE(cursor.Order);
            const double truth = cursor.Order <= static_cast<int>(c.Amplitude.size())
                                     ? c.Amplitude[static_cast<std::size_t>(cursor.Order - 1)]
                                     : 0.0;
            EXPECT_NEAR(cursor.Hz, c.F * cursor.Order, c.HzTolerance * cursor.Order);
            EXPECT_NEAR(static_cast<double>(cursor.Line) * spectrum.LineSpacing, cursor.Hz,
                        spectrum.LineSpacing * c.Finer);
            EXPECT_EQ(cursor.Amplitude, spectrum.Amplitude[cursor.Line]);
            if (truth == 0.0) {
                EXPECT_LT(cursor.Amplitude, 0.01);
            } else {
                EXPECT_GE(cursor.Amplitude, truth * c.LevelFloor);
                EXPECT_LE(cursor.Amplitude, truth * 1.001);
            }
        }
    }
}

TEST(HarmonicCursorsTest, NothingToMarkWithoutALineOrASpectrum) {
    const std::vector<double> flat(100, 1.0);
    EXPECT_TRUE(HarmonicCursors({}, 0.3125, 5).empty());
    EXPECT_TRUE(HarmonicCursors(flat, 0.3125, 0).empty());   // 0 Hz has no harmonics
    EXPECT_TRUE(HarmonicCursors(flat, 0.3125, 100).empty()); // past the end
    EXPECT_TRUE(HarmonicCursors(flat, 0.0, 5).empty());
    EXPECT_EQ(HarmonicCursors(flat, 0.3125, 60).size(), 1u); // 2x lies past the end
    EXPECT_EQ(PeakLineNear({}, 3, 3), 0u);
    EXPECT_EQ(PeakLineNear(flat, 1000, 3), 99u);
}

// A baseline measured at another running speed, drawn on today's orders:
// its 1x and 2x fall on today's 1x and 2x lines, at their own height.
TEST(SpectrumAtSpeedTest, ABaselineAtAnotherSpeedLinesUpOrderByOrder) {
    struct TCase {
        double BaselineHz, TodayHz;
        int Finer;
    };
    for (const TCase c :
         {TCase{20.0, 25.0, 1}, TCase{30.3, 24.7, 1}, TCase{19.1, 25.0, 4}, TCase{25.0, 12.6, 8}}) {
        SCOPED_TRACE(testing::Message() << c.BaselineHz << " Hz under " << c.TodayHz << " Hz, x" << c.Finer);
        const auto today = ReadingSpectrum(1, Harmonics(c.TodayHz, {2.0, 0.8}), c.Finer);
        const auto baseline = ReadingSpectrum(1, Harmonics(c.BaselineHz, {1.0, 0.5}), c.Finer);
        const std::vector<double> moved = SpectrumAtSpeed(baseline.Amplitude, c.BaselineHz, c.TodayHz);
        ASSERT_EQ(moved.size(), baseline.Amplitude.size());
        const auto reach = static_cast<std::size_t>(3 * c.Finer);
        for (const auto& [order, level] : {std::pair{1, 1.0}, std::pair{2, 0.5}}) {
            const auto line = static_cast<std::size_t>(std::lround(order * c.TodayHz / today.LineSpacing));
            const std::size_t todayPeak = PeakLineNear(today.Amplitude, line, reach);
            const std::size_t basePeak = PeakLineNear(moved, line, reach);
            // Within a line of the instrument's resolution, and not lowered.
            EXPECT_LE(std::abs(static_cast<double>(basePeak) - static_cast<double>(todayPeak)),
                      static_cast<double>(c.Finer))
                << order << "x";
            EXPECT_NEAR(moved[basePeak], level, level * 0.02) << order << "x";
        }
    }
    // Without both speeds there is nothing to move by.
    const std::vector<double> some{0.0, 1.0, 3.0, 1.0};
    EXPECT_EQ(SpectrumAtSpeed(some, 0.0, 25.0), some);
    EXPECT_EQ(SpectrumAtSpeed(some, 25.0, 0.0), some);
    EXPECT_TRUE(SpectrumAtSpeed({}, 20.0, 25.0).empty());
}

} // namespace
