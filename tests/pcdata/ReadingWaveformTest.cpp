// A reading's waveform in mm/s: velocity about the record's mean (the
// converter's zero is near mid-scale, not at it), the E signal with its DC.
#include "measure/Samplingimp.h"
#include "pcdata/ReadingSignal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <numeric>

namespace {

double Mean(const std::vector<double>& values) {
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

// A 30 Hz tone of amplitude codes around centre, as the converter writes it.
std::vector<int16_t> Tone(int centre, double amplitude) {
    std::vector<int16_t> samples(8192);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const long code =
            centre +
            std::lround(amplitude * std::sin(2 * std::numbers::pi * 30.0 * static_cast<double>(i) / 2560.0));
        samples[i] = static_cast<int16_t>(static_cast<uint16_t>(code & 0xFFFF));
    }
    return samples;
}

TEST(ReadingWaveformTest, VelocityIsDrawnAboutItsMeanAndTheESignalKeepsItsDc) {
    int16_t table[SAMPLE_COUNT];
    ASSERT_TRUE(ReadWaveformTable(0, table));
    struct TCase {
        const char* Name;
        int16_t Kind;
        std::vector<int16_t> Samples;
        double Mean; // mm/s the waveform must average
    };
    const TCase cases[] = {
        {"the stored waveform", 0, std::vector<int16_t>(table, table + SAMPLE_COUNT), 0.0},
        {"a tone 558 codes below mid-scale", 0, Tone(32768 - 558, 3000), 0.0},
        {"a tone at the top of the range", 0, Tone(60000, 5000), 0.0},
        {"the E signal's DC", 1, Tone(4000, 3000), 4000 * READING_MM_S_PER_CODE},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::vector<double> wave = ReadingWaveform(c.Kind, c.Samples);
        ASSERT_EQ(wave.size(), c.Samples.size());
        EXPECT_NEAR(Mean(wave), c.Mean, 1e-6);
        // The swing itself is untouched: each step between samples is the
        // codes' step times the scale.
        for (std::size_t i = 1; i < wave.size(); ++i) {
            const int step = static_cast<uint16_t>(c.Samples[i]) - static_cast<uint16_t>(c.Samples[i - 1]);
            ASSERT_NEAR(wave[i] - wave[i - 1], step * READING_MM_S_PER_CODE, 1e-9) << i;
        }
    }
}

} // namespace
