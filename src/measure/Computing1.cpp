#include "measure/Computing1.h"

#include <cmath>
#include <limits>

alignas(64) int16_t SpecArea[2 * SPEC_SIZE];

namespace {
constexpr double SQRT2 = 1.4142136; // the instrument's root of 2

// Rounded to float once, from 2^(|n| >> 1), times the root of 2 for odd n,
// or its reciprocal for negative n: 1 / sqrt 2 then reads 0.70710677, not
// the 0.70710671 that a float division by the float root would give.
float Pow2HalfOf(int32_t n) {
    const int32_t m = n < 0 ? -n : n;
    const double magnitude = std::ldexp((m & 1) != 0 ? SQRT2 : 1.0, m >> 1);
    const double value = n < 0 ? 1.0 / magnitude : magnitude;
    if (value > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}
} // namespace

// The integer part of the root. The double root of an integer below 2^31 is
// correctly rounded and never reaches the next integer (a non-square lies
// more than 1 / (2 x 46341) below it), so truncating it gives what the
// bisection lo x lo <= value < hi x hi, hi = lo + 1, from 0 and 46341 gives.
uint16_t IntSqrt(int32_t value) {
    if (value < 1) return 0;
    return static_cast<uint16_t>(std::sqrt(static_cast<double>(value)));
}

// 2^(n/2) with the instrument's root of 2 for the odd half step.
float Pow2Half(int16_t n) {
    return Pow2HalfOf(n);
}
