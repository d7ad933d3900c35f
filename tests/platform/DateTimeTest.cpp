#include "platform/DateTime.h"

#include <gtest/gtest.h>

namespace {

TEST(DateTime, DayCountsMatchTheKnownEpochs) {
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30, 0, 0, 0, 0), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1970, 1, 1, 0, 0, 0, 0), 25569.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(2000, 3, 1, 18, 0, 0, 0), 36586.75);
}

TEST(DateTime, DecodeInvertsEncodeAcrossLeapDaysAndMidnight) {
    for (const auto& [y, mo, d, h, mi, s] :
         {std::tuple{2024, 2, 29, 23, 59, 59}, std::tuple{2100, 3, 1, 0, 0, 0},
          std::tuple{1999, 12, 31, 12, 30, 1}}) {
        const TDateTimeParts p = DecodeDateTime(EncodeDateTime(y, mo, d, h, mi, s, 0));
        EXPECT_EQ(p.Year, y);
        EXPECT_EQ(p.Month, mo);
        EXPECT_EQ(p.Day, d);
        EXPECT_EQ(p.Hour, h);
        EXPECT_EQ(p.Minute, mi);
        EXPECT_EQ(p.Second, s);
    }
}

} // namespace
