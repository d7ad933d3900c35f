// A structural resonance amplifies what lies near it.
#include "InstrumentReading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// A structural resonance raises what lies near it: 1x at a critical speed
// towers over 2x, 2x rises against 1x tenfold when it lies on the
// resonance, and the noise floor humps around a resonance no tone is near.
TEST(ResonanceTest, RaisesWhatLiesNearIt) {
    const double fr = 1480.0 / 60.0;
    TCondition c = Make(TConditionKind::Resonance, 1480, 4.5);
    auto secondOverFirst = [&](double resonanceHz) {
        c.ResonanceHz = resonanceHz;
        const TReading r = ReadCondition(c, KIND_MEAS);
        return ToneRms(r, 2.0 * fr) / ToneRms(r, fr);
    };
    EXPECT_LT(secondOverFirst(fr), 0.02);
    EXPECT_GT(secondOverFirst(2.0 * fr), 5.0 * secondOverFirst(400.0));
    c.ResonanceHz = 400.0;
    const TReading hump = ReadCondition(c, KIND_MEAS);
    auto median = [&](double fromHz) {
        std::vector<float> lines(hump.Lines.begin() + static_cast<long>(fromHz / 0.3125),
                                 hump.Lines.begin() + static_cast<long>((fromHz + 20.0) / 0.3125));
        std::nth_element(lines.begin(), lines.begin() + static_cast<long>(lines.size() / 2), lines.end());
        return lines[lines.size() / 2];
    };
    EXPECT_GT(median(390.0), 2.0f * median(800.0));
}

} // namespace
