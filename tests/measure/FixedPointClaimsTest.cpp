// A checked build stops at a false fixed-point claim and names it, and lets
// the values at the very edge of each claim through with exact results.
#include "measure/FixedPointLanes.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

namespace {

namespace v = fixp::vec;

struct ClaimCase {
    std::string name;
    std::string message;
    std::function<void()> breaks;  // one step past the claim
    std::function<int32_t()> edge; // the last value it holds for
    int32_t edgeResult;
};

std::ostream& operator<<(std::ostream& out, const ClaimCase& c) {
    return out << c.name;
}

constexpr double SEVENTH = 1.0 / 7;
const double SEVENTHS[4] = {SEVENTH, SEVENTH, SEVENTH, SEVENTH};
const double LARGEST_DIVISORS[4] = {1.0 / 32767, 1.0 / 32767, 1.0 / 32767, 1.0 / 32767};
const double TOO_LARGE_DIVISORS[4] = {1.0 / 32767, 1.0 / 32768, 1.0 / 32767, 1.0 / 32767};

const ClaimCase CASES[] = {
    {"ScalarDividend", "a quotient's dividend is above", [] { fixp::DivideTowardZero(INT32_MIN, SEVENTH); },
     [] { return fixp::DivideTowardZero(INT32_MIN + 1, SEVENTH); }, -306783378},
    {"ScalarDivisor", "a quotient's divisor is below", [] { fixp::DivideTowardZero(-65534, 1.0 / 32768); },
     [] { return fixp::DivideTowardZero(-65534, 1.0 / 32767); }, -2},
    {"VectorMagnitude", "a magnitude's lane is above", [] { v::Abs(v::Splat32(INT32_MIN)); },
     [] { return v::Lanes(v::Abs(v::Splat32(INT32_MIN + 1)))[3]; }, INT32_MAX},
    {"VectorDividend", "a quotient's dividend is above",
     [] { v::DivideTowardZero(v::Splat32(INT32_MIN), SEVENTHS); },
     [] { return v::Lanes(v::DivideTowardZero(v::Splat32(INT32_MIN + 1), SEVENTHS))[2]; }, -306783378},
    {"VectorDivisor", "a quotient's divisor is below",
     [] { v::DivideTowardZero(v::Splat32(65534), TOO_LARGE_DIVISORS); },
     [] { return v::Lanes(v::DivideTowardZero(v::Splat32(65534), LARGEST_DIVISORS))[1]; }, 2},
};

class FixedPointClaimTest : public ::testing::TestWithParam<ClaimCase> {};

TEST_P(FixedPointClaimTest, StopsPastTheClaimAndHoldsAtItsEdge) {
#if defined(ORX_FIXED_POINT_CHECKED)
    EXPECT_EQ(GetParam().edge(), GetParam().edgeResult);
    EXPECT_DEATH(GetParam().breaks(), "fixed-point claim failed: " + GetParam().message);
#else
    GTEST_SKIP() << "the claims are checked in the sanitizer build only";
#endif
}

INSTANTIATE_TEST_SUITE_P(Claims, FixedPointClaimTest, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<ClaimCase>& c) { return c.param.name; });

} // namespace
