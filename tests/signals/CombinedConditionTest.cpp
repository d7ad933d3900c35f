// Two faults of one machine at once, each with its share of the severity.
#include "InstrumentReading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

struct TShareCase {
    double First, Second; // shares of the severity's mean square
};

class CombinedTest : public testing::TestWithParam<TShareCase> {};

// Imbalance plus an outer race defect: the imbalance's own lines (1x, 2x)
// read its share of the severity, everything else the bearing's, each
// within 5 %; the envelope's largest line is the bearing's comb.
TEST_P(CombinedTest, EachFaultReadsItsShareInItsOwnLines) {
    const auto& p = GetParam();
    TCondition c = Make(TConditionKind::Imbalance, 1480, 4.5);
    c.Second = TConditionKind::BearingOuter;
    c.Shares = {p.First, p.Second};
    const double total = p.First + p.Second;
    const double fr = 1480.0 / 60.0;
    const TReading velocity = ReadCondition(c, KIND_MEAS);
    const double imbalance = std::hypot(ToneRms(velocity, fr), ToneRms(velocity, 2.0 * fr));
    const double read = velocity.Results.Value[RESULT_VEL_RMS];
    const double bearing = std::sqrt(read * read - imbalance * imbalance);
    EXPECT_NEAR(imbalance, 4.5 * std::sqrt(p.First / total), 0.05 * 4.5 * std::sqrt(p.First / total));
    EXPECT_NEAR(bearing, 4.5 * std::sqrt(p.Second / total), 0.05 * 4.5 * std::sqrt(p.Second / total));
    const TReading e = ReadCondition(c, KIND_MEAS_E);
    const auto largest = std::max_element(e.Lines.begin(), e.Lines.end()) - e.Lines.begin();
    EXPECT_TRUE(IsCombination({BearingFrequencies(c.Bearing, fr).Bpfo}, largest * 0.3125, true))
        << "the largest E line lies at " << largest * 0.3125 << " Hz";
}

INSTANTIATE_TEST_SUITE_P(Shares, CombinedTest,
                         testing::Values(TShareCase{1, 1}, TShareCase{3, 1}, TShareCase{1, 4}));

} // namespace
