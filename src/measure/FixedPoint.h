#pragma once
// The handful of fixed-point operations the level and spectrum computation is
// built from, each with the widths of the instrument's processor: 16-bit
// stores keep the low 16 bits, 32-bit products and sums wrap modulo 2^32,
// right shifts are arithmetic. Written so that none of them relies on signed
// overflow. The same operations on vector lanes are in FixedPointLanes.h.
//
// Where a comment proves that a value cannot wrap or leave the range an
// operation is exact for, the code states it with ORX_FIXED_POINT_CLAIM. A
// build with ORX_FIXED_POINT_CHECKED defined (the sanitizer build) checks
// every such claim and stops at the first false one with its text and place;
// any other build compiles the claims away.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fixp {

// Where a checked build stops: the claim's text and place on stderr, then abort.
[[noreturn]] inline void ClaimFailed(const char* claim, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: fixed-point claim failed: %s\n", file, line, claim);
    std::abort();
}

} // namespace fixp

#if defined(ORX_FIXED_POINT_CHECKED)
#define ORX_FIXED_POINT_CLAIM(condition, claim)                                                              \
    ((condition) ? static_cast<void>(0) : ::fixp::ClaimFailed(claim, __FILE__, __LINE__))
#else
#define ORX_FIXED_POINT_CLAIM(condition, claim) static_cast<void>(0)
#endif

namespace fixp {

// A 16-bit store of a wider intermediate: keeps the low 16 bits.
constexpr int16_t Store16(int32_t v) {
    return static_cast<int16_t>(v);
}

// 2 x (a x b + c x d) on 32 bits, upper half: the Q15 multiply-accumulate
// pair of a rotation. The doubled sum may pass 2^31 and wraps.
constexpr int16_t Q15Sum(int16_t a, int16_t b, int16_t c, int16_t d) {
    const uint32_t sum = static_cast<uint32_t>(a * b) + static_cast<uint32_t>(c * d);
    return static_cast<int16_t>(static_cast<int32_t>(sum << 1) >> 16);
}

// 2 x (a x b - c x d) on 32 bits, upper half.
constexpr int16_t Q15Diff(int16_t a, int16_t b, int16_t c, int16_t d) {
    const uint32_t diff = static_cast<uint32_t>(a * b) - static_cast<uint32_t>(c * d);
    return static_cast<int16_t>(static_cast<int32_t>(diff << 1) >> 16);
}

// (a + b) >> 1 and (a - b) >> 1 of 16-bit values, summed on 32 bits and
// kept as a 16-bit operand: only -(-32768) - (-32768) leaves the range, and
// wraps to -32768.
constexpr int16_t HalfSum(int32_t a, int32_t b) {
    return static_cast<int16_t>((a + b) >> 1);
}
constexpr int16_t HalfDiff(int32_t a, int32_t b) {
    return static_cast<int16_t>((a - b) >> 1);
}

// 16-bit left shift that drops the bits shifted out, negative values included.
constexpr int16_t ShiftLeft16(int16_t v, int n) {
    return static_cast<int16_t>(static_cast<uint32_t>(static_cast<int32_t>(v)) << n);
}

// Right shift by d that rounds toward zero instead of down.
constexpr int16_t ShiftTowardZero(int16_t v, int d) {
    return v > 0 ? static_cast<int16_t>(v >> d) : static_cast<int16_t>(-((-v) >> d));
}

// Magnitude of a 16-bit value; 0x8000 counts as 32768.
constexpr int32_t Abs16(int16_t v) {
    return v < 0 ? -static_cast<int32_t>(v) : v;
}

// Halvings that bring a non-negative m to at most limit.
constexpr int16_t HalvingsToFit(int32_t m, int32_t limit) {
    int16_t s = 0;
    while (m > limit) {
        m >>= 1;
        ++s;
    }
    return s;
}

// n / d rounded toward zero, for |n| < 2^31 and 1 <= d < 2^15, given the
// reciprocal 1/d as a double: the product is within 2^-21 of n/d, and a
// quotient that is not whole lies at least 1/d >= 2^-15 from the integers
// on either side, so adding 2^-20 and truncating gives the exact quotient.
inline int32_t DivideTowardZero(int32_t n, double reciprocal) {
    ORX_FIXED_POINT_CLAIM(n != INT32_MIN, "a quotient's dividend is above -2^31");
    ORX_FIXED_POINT_CLAIM(reciprocal > 0x1p-15, "a quotient's divisor is below 2^15");
    const auto q = static_cast<int32_t>(std::abs(static_cast<double>(n)) * reciprocal + 0x1p-20);
    return n < 0 ? -q : q;
}

// 1 / k as a double for k = 1..4095 (entry 0 is 0), made on first use.
inline const double* LineReciprocals() {
    static const auto table = [] {
        std::array<double, 4096> t{};
        for (int k = 1; k < 4096; ++k)
            t[k] = 1.0 / k;
        return t;
    }();
    return table.data();
}

// 2^n as a float, exactly: the block exponents move scale factors by powers of two.
inline float Pow2(int n) {
    return std::ldexp(1.0f, n);
}

} // namespace fixp
