#include "signals/SeverityZone.h"

#include <gtest/gtest.h>

namespace {

// Each group's three limits, probed just below and at each one.
TEST(SeverityZone, EachGroupChangesZoneAtItsOwnLimits) {
    struct TCase {
        TMachineGroup Group;
        double AB, BC, CD;
    };
    const TCase cases[] = {
        {TMachineGroup::Group2Rigid, 1.4, 2.8, 4.5},
        {TMachineGroup::Group2Flexible, 2.3, 4.5, 7.1},
        {TMachineGroup::Group1Rigid, 2.3, 4.5, 7.1},
        {TMachineGroup::Group1Flexible, 3.5, 7.1, 11.0},
    };
    for (const TCase& c : cases) {
        const int group = static_cast<int>(c.Group);
        EXPECT_EQ(SeverityZone(0.0, c.Group), 'A') << group;
        EXPECT_EQ(SeverityZone(c.AB * 0.999, c.Group), 'A') << group;
        EXPECT_EQ(SeverityZone(c.AB, c.Group), 'B') << group;
        EXPECT_EQ(SeverityZone(c.BC * 0.999, c.Group), 'B') << group;
        EXPECT_EQ(SeverityZone(c.BC, c.Group), 'C') << group;
        EXPECT_EQ(SeverityZone(c.CD * 0.999, c.Group), 'C') << group;
        EXPECT_EQ(SeverityZone(c.CD, c.Group), 'D') << group;
        EXPECT_EQ(SeverityZone(1000.0, c.Group), 'D') << group;
    }
}

} // namespace
