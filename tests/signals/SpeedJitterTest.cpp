// A machine's speed from reading to reading.
#include "signals/SpeedJitter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

// Without jitter every reading is the condition itself; with it, readings
// spread over the whole +-range, each reading number always the same, and
// never past the running speed's bounds.
TEST(SpeedJitterTest, ReadingsSpreadWithinTheJitterAndTheBounds) {
    struct TCase {
        double Rpm, Jitter, Low, High;
    };
    for (const TCase& k : {TCase{1480, 0.0, 1480, 1480}, TCase{1480, 5.0, 1406, 1554},
                           TCase{30000, 10.0, 27000, 30000}, TCase{60, 10.0, 60, 66}}) {
        TCondition c;
        c.Kind = TConditionKind::Imbalance;
        c.Rpm = k.Rpm;
        c.SpeedJitter = k.Jitter;
        std::set<double> speeds;
        double least = 1e9, most = 0.0;
        for (uint32_t reading = 0; reading < 200; ++reading) {
            const TCondition r = ReadingCondition(c, reading);
            EXPECT_EQ(r.SpeedJitter, 0.0);
            EXPECT_EQ(r.Rpm, ReadingCondition(c, reading).Rpm);
            least = std::min(least, r.Rpm);
            most = std::max(most, r.Rpm);
            speeds.insert(r.Rpm);
            TCondition same = r;
            same.Rpm = c.Rpm;
            same.SpeedJitter = c.SpeedJitter;
            EXPECT_EQ(same, c) << "only the speed varies";
        }
        EXPECT_GE(least, k.Low) << k.Rpm << " rpm, " << k.Jitter << " %";
        EXPECT_LE(most, k.High) << k.Rpm << " rpm, " << k.Jitter << " %";
        if (k.Jitter > 0.0) {
            EXPECT_GT(speeds.size(), 80u) << "half the draws may stop at a bound";
            EXPECT_GT(most - least, 0.8 * (k.High - k.Low));
        }
    }
}

} // namespace
