// The shipped waveforms carry the figures the rest of the instrument is
// demonstrated with: their ranges, levels and the lines a user finds in
// their spectra. Checked on the tables as the program reads them.
#include "measure/Samplingimp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr int LINES = SAMPLE_COUNT / 2;

struct TTableFigures {
    int16_t Kind;
    int32_t Min;
    int32_t Max;
    double Mean;
    double AcRms;
    double LineSpacingHz;
    std::vector<double> NamedLinesHz;
};

std::ostream& operator<<(std::ostream& os, const TTableFigures& f) {
    return os << "kind " << f.Kind;
}

std::vector<double> TableValues(int16_t kind) {
    int16_t raw[SAMPLE_COUNT];
    EXPECT_TRUE(ReadWaveformTable(kind, raw));
    std::vector<double> values(SAMPLE_COUNT);
    for (int i = 0; i < SAMPLE_COUNT; ++i)
        values[static_cast<std::size_t>(i)] = kind == KIND_MEAS_E ? raw[i] : static_cast<uint16_t>(raw[i]);
    return values;
}

double Mean(const std::vector<double>& v) {
    return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

// Hann-windowed DFT magnitudes of the mean-free signal, lines 0..4095, in
// double precision: an independent view of what the instrument computes.
std::vector<double> Spectrum(const std::vector<double>& values) {
    const double mean = Mean(values);
    std::vector<double> cosTable(SAMPLE_COUNT), sinTable(SAMPLE_COUNT), x(SAMPLE_COUNT);
    for (int n = 0; n < SAMPLE_COUNT; ++n) {
        const auto i = static_cast<std::size_t>(n);
        cosTable[i] = std::cos(2.0 * PI * n / SAMPLE_COUNT);
        sinTable[i] = std::sin(2.0 * PI * n / SAMPLE_COUNT);
        x[i] = (values[i] - mean) * (0.5 - 0.5 * cosTable[i]);
    }
    std::vector<double> magnitude(LINES);
    for (int k = 0; k < LINES; ++k) {
        double re = 0.0, im = 0.0;
        for (int n = 0; n < SAMPLE_COUNT; ++n) {
            const auto phase = static_cast<std::size_t>((k * n) % SAMPLE_COUNT);
            re += x[static_cast<std::size_t>(n)] * cosTable[phase];
            im -= x[static_cast<std::size_t>(n)] * sinTable[phase];
        }
        magnitude[static_cast<std::size_t>(k)] = std::hypot(re, im);
    }
    return magnitude;
}

double BandEnergy(const std::vector<double>& magnitude, int first, int last) {
    double sum = 0.0;
    for (int k = first; k <= last; ++k) {
        const double m = magnitude[static_cast<std::size_t>(k)];
        sum += m * m;
    }
    return sum;
}

const std::vector<double>& CachedSpectrum(int16_t kind) {
    static std::vector<double> spectra[3];
    auto& s = spectra[kind];
    if (s.empty()) s = Spectrum(TableValues(kind));
    return s;
}

class WaveformTableTest : public ::testing::TestWithParam<TTableFigures> {};

TEST_P(WaveformTableTest, RangeMeanAndRmsAreTheDemoFigures) {
    const auto& f = GetParam();
    const auto values = TableValues(f.Kind);
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    EXPECT_NEAR(*lo, f.Min, 2.0);
    EXPECT_NEAR(*hi, f.Max, 2.0);
    const double mean = Mean(values);
    EXPECT_NEAR(mean, f.Mean, 0.05);
    double power = 0.0;
    for (const double v : values)
        power += (v - mean) * (v - mean);
    EXPECT_NEAR(std::sqrt(power / SAMPLE_COUNT), f.AcRms, 0.015 * f.AcRms);
}

TEST_P(WaveformTableTest, NamedLinesStandOutOfTheirNeighbourhood) {
    const auto& f = GetParam();
    const auto& magnitude = CachedSpectrum(f.Kind);
    for (const double hz : f.NamedLinesHz) {
        const int line = static_cast<int>(std::lround(hz / f.LineSpacingHz));
        const auto at = [&](int k) { return magnitude[static_cast<std::size_t>(k)]; };
        for (int k = line - 4; k <= line + 4; ++k) {
            if (k == line) continue;
            EXPECT_GT(at(line), at(k)) << hz << " Hz against line " << k;
        }
        std::vector<double> around;
        for (int k = line - 40; k <= line + 40; ++k)
            around.push_back(at(k));
        std::nth_element(around.begin(), around.begin() + 40, around.end());
        EXPECT_GT(at(line), 4.0 * around[40]) << hz << " Hz is not clear of the floor around it";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shipped, WaveformTableTest,
    ::testing::Values(TTableFigures{KIND_MEAS, 31854, 32644, 32210.0, 98.0, 0.3125, {23.1, 69.7}},
                      TTableFigures{KIND_MEAS_E, -22, 497, 50.2, 61.0, 0.3125, {92.5, 185.0, 277.5}},
                      TTableFigures{KIND_HF, 32222, 34985, 32768.0, 168.0, 7.8125, {}}));

TEST(WaveformTableShape, MachineVibrationSwaysStronglyBelowSixHertz) {
    const auto& magnitude = CachedSpectrum(KIND_MEAS);
    // Lines 1..19 lie below 6 Hz at 0.3125 Hz spacing.
    EXPECT_GT(BandEnergy(magnitude, 1, 19), 0.25 * BandEnergy(magnitude, 1, LINES - 1));
}

TEST(WaveformTableShape, HighFrequencyChannelIsStrongestInLines13To35) {
    const auto& magnitude = CachedSpectrum(KIND_HF);
    const auto strongest = std::max_element(magnitude.begin() + 1, magnitude.end()) - magnitude.begin();
    EXPECT_GE(strongest, 13);
    EXPECT_LE(strongest, 35);
    EXPECT_GT(BandEnergy(magnitude, 13, 35), 0.5 * BandEnergy(magnitude, 1, LINES - 1));
}

TEST(WaveformTableShape, KindsOutsideTheThreeHaveNoTable) {
    int16_t samples[SAMPLE_COUNT];
    EXPECT_FALSE(ReadWaveformTable(3, samples));
    EXPECT_FALSE(ReadWaveformTable(-1, samples));
}

} // namespace
