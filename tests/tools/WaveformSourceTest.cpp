// The committed waveform sources are exactly what the generator makes, and
// the program's tables are exactly what the sources say: nothing can drift.
#include "measure/Samplingimp.h"
#include "rescomp/Waveform.h"
#include "wavegen/WaveformSynth.h"
#include "wavegen/WaveformText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::string CommittedSource(int kind) {
    const std::string path = ORX_WAVEFORM_SOURCES "/waveform" + std::to_string(kind) + ".txt";
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << "cannot read " << path;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class WaveformSourceTest : public ::testing::TestWithParam<int> {};

TEST_P(WaveformSourceTest, GeneratorReproducesTheCommittedFileByteForByte) {
    const int kind = GetParam();
    EXPECT_EQ(WaveformText(kind, SynthesizeWaveform(kind)), CommittedSource(kind))
        << "regenerate with the command in the file's header";
}

TEST_P(WaveformSourceTest, ProgramTableHoldsTheGeneratedValues) {
    const int kind = GetParam();
    const auto values = SynthesizeWaveform(kind);
    int16_t table[SAMPLE_COUNT];
    ASSERT_TRUE(ReadWaveformTable(static_cast<int16_t>(kind), table));
    const bool isSigned = WaveformForm(kind) == TSampleForm::Signed;
    for (int i = 0; i < SAMPLE_COUNT; ++i) {
        const int32_t stored = isSigned ? table[i] : static_cast<uint16_t>(table[i]);
        ASSERT_EQ(stored, values[static_cast<std::size_t>(i)]) << "sample " << i;
    }
}

TEST_P(WaveformSourceTest, GeneratedValuesHitTheTargetExactly) {
    const int kind = GetParam();
    const auto values = SynthesizeWaveform(kind);
    const TWaveformTarget target = WaveformTarget(kind);
    ASSERT_EQ(values.size(), static_cast<std::size_t>(WAVEFORM_LENGTH));
    EXPECT_EQ(*std::min_element(values.begin(), values.end()), target.Min);
    EXPECT_EQ(*std::max_element(values.begin(), values.end()), target.Max);
    int64_t sum = 0;
    for (const int32_t v : values) sum += v;
    EXPECT_EQ(sum, std::llround(target.Mean * WAVEFORM_LENGTH));
}

INSTANTIATE_TEST_SUITE_P(AllKinds, WaveformSourceTest, ::testing::Values(0, 1, 2));

TEST(WaveformFit, ASignalThatFallsShortOfTheExtremesIsRefused) {
    // A sine's crest factor is 1.41; the target asks for 3 on both sides.
    std::vector<double> sine(WAVEFORM_LENGTH);
    for (int n = 0; n < WAVEFORM_LENGTH; ++n) sine[static_cast<std::size_t>(n)] = std::sin(0.01 * n);
    EXPECT_THROW(FitToTarget(sine, {-300, 300, 0.0, 100.0}), std::runtime_error);
}

TEST(WaveformFit, ClippedSignalKeepsTheMeanSumAndTheRms) {
    // A ramp's crest factor is 1.73; the target clips it at 1.5 RMS.
    std::vector<double> ramp(WAVEFORM_LENGTH);
    for (int n = 0; n < WAVEFORM_LENGTH; ++n) ramp[static_cast<std::size_t>(n)] = n;
    const TWaveformTarget target{-140, 160, 10.3, 100.0};
    const auto values = FitToTarget(ramp, target);
    EXPECT_EQ(*std::min_element(values.begin(), values.end()), -140);
    EXPECT_EQ(*std::max_element(values.begin(), values.end()), 160);
    double sum = 0.0;
    for (const int32_t v : values) sum += v;
    const double mean = sum / WAVEFORM_LENGTH;
    EXPECT_EQ(std::llround(sum), std::llround(10.3 * WAVEFORM_LENGTH));
    double power = 0.0;
    for (const int32_t v : values) power += (v - mean) * (v - mean);
    EXPECT_NEAR(std::sqrt(power / WAVEFORM_LENGTH), 100.0, 0.05);
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end())) << "the fit keeps the signal's shape";
}

} // namespace
