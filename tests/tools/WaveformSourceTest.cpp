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
    for (const int32_t v : values)
        sum += v;
    EXPECT_EQ(sum, std::llround(target.Mean * WAVEFORM_LENGTH));
}

INSTANTIATE_TEST_SUITE_P(AllKinds, WaveformSourceTest, ::testing::Values(0, 1, 2));

} // namespace
