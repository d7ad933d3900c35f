#pragma once
// The vector lanes on WebAssembly SIMD, for the web edition: the same results
// as FixedPointLanesPortable.h, lane for lane. WebAssembly takes a shift count
// modulo the lane width, so counts of 16 and more are brought to what the
// portable form gives (every bit shifted out) before they reach it.
#include "measure/FixedPointLanesComposite.h"
#include "measure/FixedPointLanesPortable.h"

#if defined(__wasm_simd128__)
#include <wasm_simd128.h>

namespace fixp::wasm {

struct V16 {
    v128_t v;
};
struct V32 {
    v128_t v;
};
struct VF {
    v128_t v;
};
// Two lanes in double precision, for the quotients and the square roots.
struct VD {
    v128_t v;
};

// The lanes in memory order, for the reductions and the checked build.
inline std::array<int16_t, 8> Lanes(V16 a) {
    std::array<int16_t, 8> l;
    wasm_v128_store(l.data(), a.v);
    return l;
}
inline std::array<int32_t, 4> Lanes(V32 a) {
    std::array<int32_t, 4> l;
    wasm_v128_store(l.data(), a.v);
    return l;
}
inline std::array<float, 4> Lanes(VF a) {
    std::array<float, 4> l;
    wasm_v128_store(l.data(), a.v);
    return l;
}

// A shift count for the shift instructions. Given a count that does not
// change within a loop, this compiler (clang 14) makes a vector of it before
// the loop and then shifts lane by lane, about eight times slower; a count it
// cannot see through stays a single vector shift. Constants need no help.
inline uint32_t ShiftCount(int n) {
    auto count = static_cast<uint32_t>(n);
    if (!__builtin_constant_p(count)) __asm__ volatile("" : "+r"(count));
    return count;
}

inline V16 Load(const int16_t* p) {
    return {wasm_v128_load(p)};
}
inline void Store(int16_t* p, V16 a) {
    wasm_v128_store(p, a.v);
}
inline V16 Splat(int16_t v) {
    return {wasm_i16x8_splat(v)};
}
inline V16 SplatPair(int16_t a, int16_t b) {
    return {wasm_i16x8_make(a, b, a, b, a, b, a, b)};
}
inline V16 Ramp(int16_t first) {
    return {wasm_i16x8_add(wasm_i16x8_splat(first), wasm_i16x8_make(0, 1, 2, 3, 4, 5, 6, 7))};
}
inline V16 RepeatLow(V16 a) {
    return {wasm_i64x2_shuffle(a.v, a.v, 0, 0)};
}

inline V16 Add(V16 a, V16 b) {
    return {wasm_i16x8_add(a.v, b.v)};
}
inline V16 Sub(V16 a, V16 b) {
    return {wasm_i16x8_sub(a.v, b.v)};
}
inline V16 Max(V16 a, V16 b) {
    return {wasm_i16x8_max(a.v, b.v)};
}
inline V16 Min(V16 a, V16 b) {
    return {wasm_i16x8_min(a.v, b.v)};
}
inline V16 And(V16 a, V16 b) {
    return {wasm_v128_and(a.v, b.v)};
}
inline V16 Xor(V16 a, V16 b) {
    return {wasm_v128_xor(a.v, b.v)};
}
// An arithmetic shift by 15 already fills a lane with its sign.
inline V16 ShiftRight(V16 a, int n) {
    return {wasm_i16x8_shr(a.v, ShiftCount(n < 15 ? n : 15))};
}
inline V16 ShiftRightLogical(V16 a, int n) {
    return n < 16 ? V16{wasm_u16x8_shr(a.v, ShiftCount(n))} : Splat(0);
}
inline V16 ShiftLeft(V16 a, int n) {
    return n < 16 ? V16{wasm_i16x8_shl(a.v, ShiftCount(n))} : Splat(0);
}

inline V16 InterleaveLow(V16 a, V16 b) {
    return {wasm_i16x8_shuffle(a.v, b.v, 0, 8, 1, 9, 2, 10, 3, 11)};
}
inline V16 InterleaveHigh(V16 a, V16 b) {
    return {wasm_i16x8_shuffle(a.v, b.v, 4, 12, 5, 13, 6, 14, 7, 15)};
}
inline V16 EvenLanes(V16 a, V16 b) {
    return {wasm_i16x8_shuffle(a.v, b.v, 0, 2, 4, 6, 8, 10, 12, 14)};
}
inline V16 OddLanes(V16 a, V16 b) {
    return {wasm_i16x8_shuffle(a.v, b.v, 1, 3, 5, 7, 9, 11, 13, 15)};
}
inline V16 InterleavePairsLow(V16 a, V16 b) {
    return {wasm_i32x4_shuffle(a.v, b.v, 0, 4, 1, 5)};
}
inline V16 InterleavePairsHigh(V16 a, V16 b) {
    return {wasm_i32x4_shuffle(a.v, b.v, 2, 6, 3, 7)};
}
inline V16 EvenPairs(V16 a, V16 b) {
    return {wasm_i32x4_shuffle(a.v, b.v, 0, 2, 4, 6)};
}
inline V16 OddPairs(V16 a, V16 b) {
    return {wasm_i32x4_shuffle(a.v, b.v, 1, 3, 5, 7)};
}
inline V16 LowHalves(V16 a, V16 b) {
    return {wasm_i64x2_shuffle(a.v, b.v, 0, 2)};
}
inline V16 HighHalves(V16 a, V16 b) {
    return {wasm_i64x2_shuffle(a.v, b.v, 1, 3)};
}
inline V16 Reverse(V16 a) {
    return {wasm_i16x8_shuffle(a.v, a.v, 7, 6, 5, 4, 3, 2, 1, 0)};
}
inline V16 ShiftLanesIn(V16 prev, V16 a) {
    return {wasm_i16x8_shuffle(prev.v, a.v, 7, 8, 9, 10, 11, 12, 13, 14)};
}

inline V32 Splat32(int32_t v) {
    return {wasm_i32x4_splat(v)};
}
// The dot product wraps its 32-bit sum, as the portable form does.
inline V32 MulAddPairs(V16 a, V16 b) {
    return {wasm_i32x4_dot_i16x8(a.v, b.v)};
}
inline V32 ProductsLow(V16 a, V16 b) {
    return {wasm_i32x4_extmul_low_i16x8(a.v, b.v)};
}
inline V32 ProductsHigh(V16 a, V16 b) {
    return {wasm_i32x4_extmul_high_i16x8(a.v, b.v)};
}
inline V32 Add(V32 a, V32 b) {
    return {wasm_i32x4_add(a.v, b.v)};
}
inline V32 Max(V32 a, V32 b) {
    return {wasm_i32x4_max(a.v, b.v)};
}
inline V32 ShiftRight(V32 a, int n) {
    return {wasm_i32x4_shr(a.v, ShiftCount(n))};
}
inline V32 ShiftLeft(V32 a, int n) {
    return {wasm_i32x4_shl(a.v, ShiftCount(n))};
}
inline V16 Narrow(V32 a, V32 b) {
    return {wasm_i16x8_narrow_i32x4(a.v, b.v)};
}
// The low halves of the 32-bit lanes are their even 16-bit lanes.
inline V16 NarrowWrap(V32 a, V32 b) {
    return {wasm_i16x8_shuffle(a.v, b.v, 0, 2, 4, 6, 8, 10, 12, 14)};
}
inline V32 WidenLow(V16 a) {
    return {wasm_i32x4_extend_low_i16x8(a.v)};
}
inline V32 WidenHigh(V16 a) {
    return {wasm_i32x4_extend_high_i16x8(a.v)};
}
inline V32 Load(const int32_t* p) {
    return {wasm_v128_load(p)};
}
inline void Store(int32_t* p, V32 a) {
    wasm_v128_store(p, a.v);
}
inline V32 Abs(V32 a) {
    ORX_FIXED_POINT_CLAIM(NoLaneAtMinimum(Lanes(a)), "a magnitude's lane is above -2^31");
    return {wasm_i32x4_abs(a.v)};
}
inline V32 Sub(V32 a, V32 b) {
    return {wasm_i32x4_sub(a.v, b.v)};
}
inline V32 Xor(V32 a, V32 b) {
    return {wasm_v128_xor(a.v, b.v)};
}
inline VD WidenLowD(V32 a) {
    return {wasm_f64x2_convert_low_i32x4(a.v)};
}
inline VD WidenHighD(V32 a) {
    return {wasm_f64x2_convert_low_i32x4(wasm_i64x2_shuffle(a.v, a.v, 1, 1))};
}
inline VD Mul(VD a, const double* p) {
    return {wasm_f64x2_mul(a.v, wasm_v128_load(p))};
}
inline VD Add(VD a, double b) {
    return {wasm_f64x2_add(a.v, wasm_f64x2_splat(b))};
}
// b < a ? a : b: the larger for the whole numbers given here.
inline VD Max(VD a, double b) {
    return {wasm_f64x2_pmax(wasm_f64x2_splat(b), a.v)};
}
inline VD Sqrt(VD a) {
    return {wasm_f64x2_sqrt(a.v)};
}
// The two pairs truncated toward zero, in lane order.
inline V32 Truncate(VD lo, VD hi) {
    return {wasm_i64x2_shuffle(wasm_i32x4_trunc_sat_f64x2_zero(lo.v), wasm_i32x4_trunc_sat_f64x2_zero(hi.v),
                               0, 2)};
}
using composite::DivideTowardZero;
using composite::SquareRootFloor;

inline VF ToFloat(V32 a) {
    return {wasm_f32x4_convert_i32x4(a.v)};
}
inline VF SplatF(float v) {
    return {wasm_f32x4_splat(v)};
}
// a > b ? a : b and a < b ? a : b, lane by lane, as the portable form.
inline VF Max(VF a, VF b) {
    return {wasm_f32x4_pmax(b.v, a.v)};
}
inline VF Min(VF a, VF b) {
    return {wasm_f32x4_pmin(b.v, a.v)};
}

using composite::Largest;
using composite::Smallest;
using composite::Sum;
using composite::SumUnsigned;

} // namespace fixp::wasm
#endif
