#pragma once
// The vector lanes on SSE2, present on every x86-64: the same results as
// FixedPointLanesPortable.h, lane for lane.
#include "measure/FixedPointLanesComposite.h"
#include "measure/FixedPointLanesPortable.h"

#if defined(__SSE2__)
#include <emmintrin.h>

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
// Two lanes in double precision, for the quotients and the square roots.
struct VD {
    __m128d v;
};

// The lanes in memory order, for the reductions and the checked build.
inline std::array<int16_t, 8> Lanes(V16 a) {
    alignas(16) std::array<int16_t, 8> l;
    _mm_store_si128(reinterpret_cast<__m128i*>(l.data()), a.v);
    return l;
}
inline std::array<int32_t, 4> Lanes(V32 a) {
    alignas(16) std::array<int32_t, 4> l;
    _mm_store_si128(reinterpret_cast<__m128i*>(l.data()), a.v);
    return l;
}
inline std::array<float, 4> Lanes(VF a) {
    alignas(16) std::array<float, 4> l;
    _mm_store_ps(l.data(), a.v);
    return l;
}

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
    ORX_FIXED_POINT_CLAIM(NoLaneAtMinimum(Lanes(a)), "a magnitude's lane is above -2^31");
    const __m128i sign = _mm_srai_epi32(a.v, 31);
    return {_mm_sub_epi32(_mm_xor_si128(a.v, sign), sign)};
}
inline V32 Sub(V32 a, V32 b) {
    return {_mm_sub_epi32(a.v, b.v)};
}
inline V32 Xor(V32 a, V32 b) {
    return {_mm_xor_si128(a.v, b.v)};
}
inline VD WidenLowD(V32 a) {
    return {_mm_cvtepi32_pd(a.v)};
}
inline VD WidenHighD(V32 a) {
    return {_mm_cvtepi32_pd(_mm_shuffle_epi32(a.v, _MM_SHUFFLE(3, 2, 3, 2)))};
}
inline VD Mul(VD a, const double* p) {
    return {_mm_mul_pd(a.v, _mm_loadu_pd(p))};
}
inline VD Add(VD a, double b) {
    return {_mm_add_pd(a.v, _mm_set1_pd(b))};
}
inline VD Max(VD a, double b) {
    return {_mm_max_pd(a.v, _mm_set1_pd(b))};
}
inline VD Sqrt(VD a) {
    return {_mm_sqrt_pd(a.v)};
}
// The two pairs truncated toward zero, in lane order.
inline V32 Truncate(VD lo, VD hi) {
    return {_mm_unpacklo_epi64(_mm_cvttpd_epi32(lo.v), _mm_cvttpd_epi32(hi.v))};
}
using composite::DivideTowardZero;
using composite::SquareRootFloor;

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

using composite::Largest;
using composite::Smallest;
using composite::Sum;
using composite::SumUnsigned;

} // namespace fixp::sse2
#endif
