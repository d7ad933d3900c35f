#pragma once
// The handful of fixed-point operations the level and spectrum computation is
// built from, each with the widths of the instrument's processor: 16-bit
// stores keep the low 16 bits, 32-bit products and sums wrap modulo 2^32,
// right shifts are arithmetic. Written so that none of them relies on signed
// overflow.
#include <array>
#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
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

// The same operations on eight 16-bit lanes (V16) or four 32-bit lanes (V32,
// VF for floats) at a time. Two implementations with identical results: SSE2,
// present on every x86-64, and plain loops for any other processor; fixp::vec
// names the one in use. Lanes are numbered from the lowest address.
namespace fixp::portable {

struct V16 {
    int16_t l[8];
};
struct V32 {
    int32_t l[4];
};
struct VF {
    float l[4];
};

inline V16 Load(const int16_t* p) {
    V16 r;
    for (int i = 0; i < 8; ++i)
        r.l[i] = p[i];
    return r;
}
inline void Store(int16_t* p, V16 a) {
    for (int i = 0; i < 8; ++i)
        p[i] = a.l[i];
}
inline V16 Splat(int16_t v) {
    V16 r;
    for (int16_t& x : r.l)
        x = v;
    return r;
}
// The pair (a, b) in every two lanes.
inline V16 SplatPair(int16_t a, int16_t b) {
    return V16{{a, b, a, b, a, b, a, b}};
}
// first, first + 1, ..., first + 7.
inline V16 Ramp(int16_t first) {
    V16 r;
    for (int i = 0; i < 8; ++i)
        r.l[i] = static_cast<int16_t>(first + i);
    return r;
}
// Lanes 4..7 repeat lanes 0..3.
inline V16 RepeatLow(V16 a) {
    for (int i = 0; i < 4; ++i)
        a.l[4 + i] = a.l[i];
    return a;
}

template <typename F> V16 Map(V16 a, V16 b, F f) {
    V16 r;
    for (int i = 0; i < 8; ++i)
        r.l[i] = static_cast<int16_t>(f(a.l[i], b.l[i]));
    return r;
}
inline V16 Add(V16 a, V16 b) {
    return Map(a, b, [](int x, int y) { return x + y; });
}
inline V16 Sub(V16 a, V16 b) {
    return Map(a, b, [](int x, int y) { return x - y; });
}
inline V16 Max(V16 a, V16 b) {
    return Map(a, b, [](int x, int y) { return x > y ? x : y; });
}
inline V16 Min(V16 a, V16 b) {
    return Map(a, b, [](int x, int y) { return x < y ? x : y; });
}
inline V16 And(V16 a, V16 b) {
    return Map(a, b, [](int x, int y) { return x & y; });
}
inline V16 Xor(V16 a, V16 b) {
    return Map(a, b, [](int x, int y) { return x ^ y; });
}
inline V16 ShiftRight(V16 a, int n) {
    return Map(a, a, [n](int x, int) { return x >> n; });
}
inline V16 ShiftRightLogical(V16 a, int n) {
    return Map(a, a, [n](int x, int) { return static_cast<uint16_t>(x) >> n; });
}
inline V16 ShiftLeft(V16 a, int n) {
    return Map(a, a, [n](int x, int) { return ShiftLeft16(static_cast<int16_t>(x), n); });
}

// a0 b0 a1 b1 a2 b2 a3 b3, and the same from lanes 4..7.
inline V16 InterleaveLow(V16 a, V16 b) {
    V16 r;
    for (int i = 0; i < 4; ++i) {
        r.l[2 * i] = a.l[i];
        r.l[2 * i + 1] = b.l[i];
    }
    return r;
}
inline V16 InterleaveHigh(V16 a, V16 b) {
    V16 r;
    for (int i = 0; i < 4; ++i) {
        r.l[2 * i] = a.l[4 + i];
        r.l[2 * i + 1] = b.l[4 + i];
    }
    return r;
}
// Even lanes of a then of b, and the odd ones.
inline V16 EvenLanes(V16 a, V16 b) {
    V16 r;
    for (int i = 0; i < 4; ++i) {
        r.l[i] = a.l[2 * i];
        r.l[4 + i] = b.l[2 * i];
    }
    return r;
}
inline V16 OddLanes(V16 a, V16 b) {
    V16 r;
    for (int i = 0; i < 4; ++i) {
        r.l[i] = a.l[2 * i + 1];
        r.l[4 + i] = b.l[2 * i + 1];
    }
    return r;
}
// The same three rearrangements on pairs of lanes and on halves.
inline V16 InterleavePairsLow(V16 a, V16 b) {
    return V16{{a.l[0], a.l[1], b.l[0], b.l[1], a.l[2], a.l[3], b.l[2], b.l[3]}};
}
inline V16 InterleavePairsHigh(V16 a, V16 b) {
    return V16{{a.l[4], a.l[5], b.l[4], b.l[5], a.l[6], a.l[7], b.l[6], b.l[7]}};
}
inline V16 EvenPairs(V16 a, V16 b) {
    return V16{{a.l[0], a.l[1], a.l[4], a.l[5], b.l[0], b.l[1], b.l[4], b.l[5]}};
}
inline V16 OddPairs(V16 a, V16 b) {
    return V16{{a.l[2], a.l[3], a.l[6], a.l[7], b.l[2], b.l[3], b.l[6], b.l[7]}};
}
inline V16 LowHalves(V16 a, V16 b) {
    return V16{{a.l[0], a.l[1], a.l[2], a.l[3], b.l[0], b.l[1], b.l[2], b.l[3]}};
}
inline V16 HighHalves(V16 a, V16 b) {
    return V16{{a.l[4], a.l[5], a.l[6], a.l[7], b.l[4], b.l[5], b.l[6], b.l[7]}};
}
inline V16 Reverse(V16 a) {
    return V16{{a.l[7], a.l[6], a.l[5], a.l[4], a.l[3], a.l[2], a.l[1], a.l[0]}};
}
// Lane 7 of prev, then lanes 0..6 of a: the values one position earlier.
inline V16 ShiftLanesIn(V16 prev, V16 a) {
    return V16{{prev.l[7], a.l[0], a.l[1], a.l[2], a.l[3], a.l[4], a.l[5], a.l[6]}};
}

// Lane i: a[2i] x b[2i] + a[2i+1] x b[2i+1], the 32-bit sum wrapping.
inline V32 MulAddPairs(V16 a, V16 b) {
    V32 r;
    for (int i = 0; i < 4; ++i) {
        r.l[i] = static_cast<int32_t>(static_cast<uint32_t>(a.l[2 * i] * b.l[2 * i]) +
                                      static_cast<uint32_t>(a.l[2 * i + 1] * b.l[2 * i + 1]));
    }
    return r;
}
inline V32 Splat32(int32_t v) {
    return V32{{v, v, v, v}};
}
// Full 32-bit products of lanes 0..3 and of lanes 4..7.
inline V32 ProductsLow(V16 a, V16 b) {
    return V32{{a.l[0] * b.l[0], a.l[1] * b.l[1], a.l[2] * b.l[2], a.l[3] * b.l[3]}};
}
inline V32 ProductsHigh(V16 a, V16 b) {
    return V32{{a.l[4] * b.l[4], a.l[5] * b.l[5], a.l[6] * b.l[6], a.l[7] * b.l[7]}};
}
inline V32 Add(V32 a, V32 b) {
    for (int i = 0; i < 4; ++i)
        a.l[i] = static_cast<int32_t>(static_cast<uint32_t>(a.l[i]) + static_cast<uint32_t>(b.l[i]));
    return a;
}
inline V32 Max(V32 a, V32 b) {
    for (int i = 0; i < 4; ++i)
        a.l[i] = a.l[i] > b.l[i] ? a.l[i] : b.l[i];
    return a;
}
inline V32 ShiftRight(V32 a, int n) {
    for (int32_t& x : a.l)
        x >>= n;
    return a;
}
inline V32 ShiftLeft(V32 a, int n) {
    for (int32_t& x : a.l)
        x = static_cast<int32_t>(static_cast<uint32_t>(x) << n);
    return a;
}
// Lanes of a then of b, saturated to 16 bits.
inline V16 Narrow(V32 a, V32 b) {
    V16 r;
    for (int i = 0; i < 4; ++i) {
        r.l[i] = static_cast<int16_t>(a.l[i] < -32768 ? -32768 : a.l[i] > 32767 ? 32767 : a.l[i]);
        r.l[4 + i] = static_cast<int16_t>(b.l[i] < -32768 ? -32768 : b.l[i] > 32767 ? 32767 : b.l[i]);
    }
    return r;
}
// Lanes of a then of b, keeping their low 16 bits.
inline V16 NarrowWrap(V32 a, V32 b) {
    V16 r;
    for (int i = 0; i < 4; ++i) {
        r.l[i] = static_cast<int16_t>(a.l[i]);
        r.l[4 + i] = static_cast<int16_t>(b.l[i]);
    }
    return r;
}
// Lanes 0..3 and lanes 4..7 widened to 32 bits.
inline V32 WidenLow(V16 a) {
    return V32{{a.l[0], a.l[1], a.l[2], a.l[3]}};
}
inline V32 WidenHigh(V16 a) {
    return V32{{a.l[4], a.l[5], a.l[6], a.l[7]}};
}
inline V32 Load(const int32_t* p) {
    return V32{{p[0], p[1], p[2], p[3]}};
}
inline void Store(int32_t* p, V32 a) {
    for (int i = 0; i < 4; ++i)
        p[i] = a.l[i];
}
// Magnitudes, for lanes above -2^31.
inline V32 Abs(V32 a) {
    for (int32_t& x : a.l)
        x = x < 0 ? -x : x;
    return a;
}
// Lane i divided by the divisor whose reciprocal is reciprocals[i], as
// DivideTowardZero.
inline V32 DivideTowardZero(V32 n, const double* reciprocals) {
    for (int i = 0; i < 4; ++i)
        n.l[i] = fixp::DivideTowardZero(n.l[i], reciprocals[i]);
    return n;
}
// The integer part of the root of each lane; 0 for lanes below 1.
inline V32 SquareRootFloor(V32 a) {
    for (int32_t& x : a.l)
        x = x < 1 ? 0 : static_cast<int32_t>(std::sqrt(static_cast<double>(x)));
    return a;
}

inline VF ToFloat(V32 a) {
    return VF{{static_cast<float>(a.l[0]), static_cast<float>(a.l[1]), static_cast<float>(a.l[2]),
               static_cast<float>(a.l[3])}};
}
inline VF SplatF(float v) {
    return VF{{v, v, v, v}};
}
inline VF Max(VF a, VF b) {
    for (int i = 0; i < 4; ++i)
        a.l[i] = a.l[i] > b.l[i] ? a.l[i] : b.l[i];
    return a;
}
inline VF Min(VF a, VF b) {
    for (int i = 0; i < 4; ++i)
        a.l[i] = a.l[i] < b.l[i] ? a.l[i] : b.l[i];
    return a;
}

inline int16_t Largest(V16 a) {
    int16_t m = a.l[0];
    for (int16_t x : a.l)
        m = x > m ? x : m;
    return m;
}
inline int16_t Smallest(V16 a) {
    int16_t m = a.l[0];
    for (int16_t x : a.l)
        m = x < m ? x : m;
    return m;
}
inline int32_t Largest(V32 a) {
    int32_t m = a.l[0];
    for (int32_t x : a.l)
        m = x > m ? x : m;
    return m;
}
inline int32_t Sum(V32 a) {
    uint32_t s = 0;
    for (int32_t x : a.l)
        s += static_cast<uint32_t>(x);
    return static_cast<int32_t>(s);
}
// The lanes read as unsigned 32-bit values, summed without wrapping.
inline uint64_t SumUnsigned(V32 a) {
    uint64_t s = 0;
    for (int32_t x : a.l)
        s += static_cast<uint32_t>(x);
    return s;
}
inline float Largest(VF a) {
    float m = a.l[0];
    for (float x : a.l)
        m = x > m ? x : m;
    return m;
}
inline float Smallest(VF a) {
    float m = a.l[0];
    for (float x : a.l)
        m = x < m ? x : m;
    return m;
}

} // namespace fixp::portable

#if defined(__SSE2__)
namespace fixp::sse2 {

struct V16 {
    __m128i v;
};
struct V32 {
    __m128i v;
};
struct VF {
    __m128 v;
};

inline V16 Load(const int16_t* p) {
    return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))};
}
inline void Store(int16_t* p, V16 a) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), a.v);
}
inline V16 Splat(int16_t v) {
    return {_mm_set1_epi16(v)};
}
inline V16 SplatPair(int16_t a, int16_t b) {
    return {_mm_set1_epi32(static_cast<int>(static_cast<uint16_t>(a) |
                                            (static_cast<uint32_t>(static_cast<uint16_t>(b)) << 16)))};
}
inline V16 Ramp(int16_t first) {
    return {_mm_add_epi16(_mm_set1_epi16(first), _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7))};
}
inline V16 RepeatLow(V16 a) {
    return {_mm_unpacklo_epi64(a.v, a.v)};
}

inline V16 Add(V16 a, V16 b) {
    return {_mm_add_epi16(a.v, b.v)};
}
inline V16 Sub(V16 a, V16 b) {
    return {_mm_sub_epi16(a.v, b.v)};
}
inline V16 Max(V16 a, V16 b) {
    return {_mm_max_epi16(a.v, b.v)};
}
inline V16 Min(V16 a, V16 b) {
    return {_mm_min_epi16(a.v, b.v)};
}
inline V16 And(V16 a, V16 b) {
    return {_mm_and_si128(a.v, b.v)};
}
inline V16 Xor(V16 a, V16 b) {
    return {_mm_xor_si128(a.v, b.v)};
}
inline V16 ShiftRight(V16 a, int n) {
    return {_mm_sra_epi16(a.v, _mm_cvtsi32_si128(n))};
}
inline V16 ShiftRightLogical(V16 a, int n) {
    return {_mm_srl_epi16(a.v, _mm_cvtsi32_si128(n))};
}
inline V16 ShiftLeft(V16 a, int n) {
    return {_mm_sll_epi16(a.v, _mm_cvtsi32_si128(n))};
}

inline V16 InterleaveLow(V16 a, V16 b) {
    return {_mm_unpacklo_epi16(a.v, b.v)};
}
inline V16 InterleaveHigh(V16 a, V16 b) {
    return {_mm_unpackhi_epi16(a.v, b.v)};
}
// Sign-extended 16-bit values in 32-bit lanes pack back without saturating.
inline V16 EvenLanes(V16 a, V16 b) {
    return {_mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(a.v, 16), 16),
                            _mm_srai_epi32(_mm_slli_epi32(b.v, 16), 16))};
}
inline V16 OddLanes(V16 a, V16 b) {
    return {_mm_packs_epi32(_mm_srai_epi32(a.v, 16), _mm_srai_epi32(b.v, 16))};
}
inline V16 InterleavePairsLow(V16 a, V16 b) {
    return {_mm_unpacklo_epi32(a.v, b.v)};
}
inline V16 InterleavePairsHigh(V16 a, V16 b) {
    return {_mm_unpackhi_epi32(a.v, b.v)};
}
inline V16 EvenPairs(V16 a, V16 b) {
    return {_mm_castps_si128(
        _mm_shuffle_ps(_mm_castsi128_ps(a.v), _mm_castsi128_ps(b.v), _MM_SHUFFLE(2, 0, 2, 0)))};
}
inline V16 OddPairs(V16 a, V16 b) {
    return {_mm_castps_si128(
        _mm_shuffle_ps(_mm_castsi128_ps(a.v), _mm_castsi128_ps(b.v), _MM_SHUFFLE(3, 1, 3, 1)))};
}
inline V16 LowHalves(V16 a, V16 b) {
    return {_mm_unpacklo_epi64(a.v, b.v)};
}
inline V16 HighHalves(V16 a, V16 b) {
    return {_mm_unpackhi_epi64(a.v, b.v)};
}
inline V16 Reverse(V16 a) {
    const __m128i halves = _mm_shuffle_epi32(a.v, _MM_SHUFFLE(0, 1, 2, 3));
    return {
        _mm_shufflehi_epi16(_mm_shufflelo_epi16(halves, _MM_SHUFFLE(2, 3, 0, 1)), _MM_SHUFFLE(2, 3, 0, 1))};
}
inline V16 ShiftLanesIn(V16 prev, V16 a) {
    return {_mm_or_si128(_mm_slli_si128(a.v, 2), _mm_srli_si128(prev.v, 14))};
}

inline V32 Splat32(int32_t v) {
    return {_mm_set1_epi32(v)};
}
inline V32 MulAddPairs(V16 a, V16 b) {
    return {_mm_madd_epi16(a.v, b.v)};
}
inline V32 ProductsLow(V16 a, V16 b) {
    return {_mm_unpacklo_epi16(_mm_mullo_epi16(a.v, b.v), _mm_mulhi_epi16(a.v, b.v))};
}
inline V32 ProductsHigh(V16 a, V16 b) {
    return {_mm_unpackhi_epi16(_mm_mullo_epi16(a.v, b.v), _mm_mulhi_epi16(a.v, b.v))};
}
inline V32 Add(V32 a, V32 b) {
    return {_mm_add_epi32(a.v, b.v)};
}
inline V32 Max(V32 a, V32 b) {
    const __m128i greater = _mm_cmpgt_epi32(a.v, b.v);
    return {_mm_or_si128(_mm_and_si128(greater, a.v), _mm_andnot_si128(greater, b.v))};
}
inline V32 ShiftRight(V32 a, int n) {
    return {_mm_sra_epi32(a.v, _mm_cvtsi32_si128(n))};
}
inline V32 ShiftLeft(V32 a, int n) {
    return {_mm_sll_epi32(a.v, _mm_cvtsi32_si128(n))};
}
inline V16 Narrow(V32 a, V32 b) {
    return {_mm_packs_epi32(a.v, b.v)};
}
inline V16 NarrowWrap(V32 a, V32 b) {
    return {_mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(a.v, 16), 16),
                            _mm_srai_epi32(_mm_slli_epi32(b.v, 16), 16))};
}
inline V32 WidenLow(V16 a) {
    return {_mm_unpacklo_epi16(a.v, _mm_srai_epi16(a.v, 15))};
}
inline V32 WidenHigh(V16 a) {
    return {_mm_unpackhi_epi16(a.v, _mm_srai_epi16(a.v, 15))};
}
inline V32 Load(const int32_t* p) {
    return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))};
}
inline void Store(int32_t* p, V32 a) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), a.v);
}
inline V32 Abs(V32 a) {
    const __m128i sign = _mm_srai_epi32(a.v, 31);
    return {_mm_sub_epi32(_mm_xor_si128(a.v, sign), sign)};
}
inline V32 DivideTowardZero(V32 n, const double* reciprocals) {
    const __m128i sign = _mm_srai_epi32(n.v, 31);
    const __m128i magnitude = _mm_sub_epi32(_mm_xor_si128(n.v, sign), sign);
    const __m128d margin = _mm_set1_pd(0x1p-20);
    const __m128d lo = _mm_add_pd(_mm_mul_pd(_mm_cvtepi32_pd(magnitude), _mm_loadu_pd(reciprocals)), margin);
    const __m128d hi =
        _mm_add_pd(_mm_mul_pd(_mm_cvtepi32_pd(_mm_shuffle_epi32(magnitude, _MM_SHUFFLE(3, 2, 3, 2))),
                              _mm_loadu_pd(reciprocals + 2)),
                   margin);
    const __m128i q = _mm_unpacklo_epi64(_mm_cvttpd_epi32(lo), _mm_cvttpd_epi32(hi));
    return {_mm_sub_epi32(_mm_xor_si128(q, sign), sign)};
}
inline V32 SquareRootFloor(V32 a) {
    const __m128d zero = _mm_setzero_pd();
    const __m128d lo = _mm_sqrt_pd(_mm_max_pd(_mm_cvtepi32_pd(a.v), zero));
    const __m128d hi =
        _mm_sqrt_pd(_mm_max_pd(_mm_cvtepi32_pd(_mm_shuffle_epi32(a.v, _MM_SHUFFLE(3, 2, 3, 2))), zero));
    return {_mm_unpacklo_epi64(_mm_cvttpd_epi32(lo), _mm_cvttpd_epi32(hi))};
}

inline VF ToFloat(V32 a) {
    return {_mm_cvtepi32_ps(a.v)};
}
inline VF SplatF(float v) {
    return {_mm_set1_ps(v)};
}
inline VF Max(VF a, VF b) {
    return {_mm_max_ps(a.v, b.v)};
}
inline VF Min(VF a, VF b) {
    return {_mm_min_ps(a.v, b.v)};
}

// Horizontal reductions: rare, at the end of a pass.
inline int16_t Largest(V16 a) {
    alignas(16) int16_t l[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(l), a.v);
    return portable::Largest(portable::Load(l));
}
inline int16_t Smallest(V16 a) {
    alignas(16) int16_t l[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(l), a.v);
    return portable::Smallest(portable::Load(l));
}
inline portable::V32 Lanes(V32 a) {
    alignas(16) int32_t l[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(l), a.v);
    return portable::V32{{l[0], l[1], l[2], l[3]}};
}
inline int32_t Largest(V32 a) {
    return portable::Largest(Lanes(a));
}
inline int32_t Sum(V32 a) {
    return portable::Sum(Lanes(a));
}
inline uint64_t SumUnsigned(V32 a) {
    return portable::SumUnsigned(Lanes(a));
}
inline float Largest(VF a) {
    alignas(16) float l[4];
    _mm_store_ps(l, a.v);
    return portable::Largest(portable::VF{{l[0], l[1], l[2], l[3]}});
}
inline float Smallest(VF a) {
    alignas(16) float l[4];
    _mm_store_ps(l, a.v);
    return portable::Smallest(portable::VF{{l[0], l[1], l[2], l[3]}});
}

} // namespace fixp::sse2

namespace fixp {
namespace vec = sse2;
}
#else
namespace fixp {
namespace vec = portable;
}
#endif

namespace fixp {

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

    // Values first..last. Eight at a time while the sum of the eight terms
    // keeps acc below 2^30: then no halving can happen among them, as acc
    // only grows.
    void AddRange(const int16_t* v, int first, int last) {
        int k = first;
        for (; k + 7 <= last; k += 8) {
            const vec::V16 x = vec::Load(v + k);
            const uint64_t block = vec::SumUnsigned(vec::Add(vec::ShiftRight(vec::ProductsLow(x, x), c),
                                                             vec::ShiftRight(vec::ProductsHigh(x, x), c)));
            if (acc + block < (1u << 30)) {
                acc += static_cast<uint32_t>(block);
            } else {
                for (int i = 0; i < 8; ++i)
                    Add(v[k + i]);
            }
        }
        for (; k <= last; ++k)
            Add(v[k]);
    }
};

} // namespace fixp
