// What a bearing's wear stage does to what the instrument reads.
#include "InstrumentReading.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

// Energy of the HF spectrum's band (lines 30..3202), as the instrument
// shows it.
double BandEnergy(const TReading& r) {
    double sum = 0.0;
    for (int k = 30; k <= 3202; ++k)
        sum +=
            static_cast<double>(r.Lines[static_cast<std::size_t>(k)]) * r.Lines[static_cast<std::size_t>(k)];
    return sum;
}

class WearStageTest : public testing::TestWithParam<TConditionKind> {};

// From stage 1 to 4 the high-frequency channel rings harder and the
// envelope grows spikier; the defect's envelope lines appear at stage 2 and
// its velocity lines at stage 3.
TEST_P(WearStageTest, EachStageRingsHarderAndShowsWhatItsStageShows) {
    double crest = 0.0, energy = 0.0;
    std::array<double, 4> defectLine{};
    for (int16_t stage = 1; stage <= 4; ++stage) {
        TCondition c = Make(GetParam(), 1480, 4.5);
        c.Stage = stage;
        const std::string what = std::string(ConditionName(c.Kind)) + " stage " + std::to_string(stage);
        const TReading e = ReadCondition(c, KIND_MEAS_E);
        const TReading hf = ReadCondition(c, KIND_HF);
        const TReading velocity = ReadCondition(c, KIND_MEAS);
        EXPECT_GT(e.Results.Value[RESULT_CREST], crest) << what;
        EXPECT_GT(BandEnergy(hf), energy) << what;
        crest = e.Results.Value[RESULT_CREST];
        energy = BandEnergy(hf);
        const double defect = DefiningFrequencies(c)[0];
        const double at = defect > 10.0 ? defect : 3.0 * defect; // the cage's FTF lies below the band
        const double envelopeLine = LineAt(e, at) / Floor(e);
        EXPECT_EQ(envelopeLine > 6.0, stage >= 2)
            << what << ": the envelope's line " << envelopeLine << " x floor";
        defectLine[stage - 1] = LineAt(velocity, at);
    }
    EXPECT_GT(defectLine[2], 2.0 * defectLine[1])
        << "the velocity spectrum's defect line at stage 3 against 2";
}

INSTANTIATE_TEST_SUITE_P(Bearings, WearStageTest,
                         testing::Values(TConditionKind::BearingOuter, TConditionKind::BearingInner,
                                         TConditionKind::BearingBall, TConditionKind::BearingCage));

} // namespace
