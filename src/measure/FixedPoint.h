#pragma once
// The handful of fixed-point operations the level and spectrum computation is
// built from, each with the widths of the instrument's processor: 16-bit
// stores keep the low 16 bits, 32-bit products and sums wrap modulo 2^32,
// right shifts are arithmetic. Written so that none of them relies on signed
// overflow.
#include <cmath>
#include <cstdint>

namespace fixp {

// A 16-bit store of a wider intermediate: keeps the low 16 bits.
constexpr int16_t Store16(int32_t v) { return static_cast<int16_t>(v); }

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
constexpr int16_t HalfSum(int32_t a, int32_t b) { return static_cast<int16_t>((a + b) >> 1); }
constexpr int16_t HalfDiff(int32_t a, int32_t b) { return static_cast<int16_t>((a - b) >> 1); }

// 16-bit left shift that drops the bits shifted out, negative values included.
constexpr int16_t ShiftLeft16(int16_t v, int n) {
    return static_cast<int16_t>(static_cast<uint32_t>(static_cast<int32_t>(v)) << n);
}

// Right shift by d that rounds toward zero instead of down.
constexpr int16_t ShiftTowardZero(int16_t v, int d) {
    return v > 0 ? static_cast<int16_t>(v >> d) : static_cast<int16_t>(-((-v) >> d));
}

// Magnitude of a 16-bit value; 0x8000 counts as 32768.
constexpr int32_t Abs16(int16_t v) { return v < 0 ? -static_cast<int32_t>(v) : v; }

// Halvings that bring a non-negative m to at most limit.
constexpr int16_t HalvingsToFit(int32_t m, int32_t limit) {
    int16_t s = 0;
    while (m > limit) {
        m >>= 1;
        ++s;
    }
    return s;
}

// Sum of v^2 >> c that halves itself, and c's later terms, whenever it reaches
// 2^30, so that it never passes 2^31; the sum stands for acc x 2^c. Each
// further halving needs about twice as many terms, so c stays far below 31
// for the few thousand values of a buffer.
struct HalvingSquareSum {
    uint32_t acc = 0;
    int16_t c = 0;

    void Add(int16_t v) {
        uint32_t t = static_cast<uint32_t>(v * v) >> c;
        if ((acc & (1u << 30)) != 0) {
            ++c;
            acc >>= 1;
            t >>= 1;
        }
        acc += t;
    }
};

// 2^n as a float, exactly: the block exponents move scale factors by powers of two.
inline float Pow2(int n) { return std::ldexp(1.0f, n); }

} // namespace fixp
