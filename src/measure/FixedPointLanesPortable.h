#pragma once
// The vector lanes as plain loops: the reference the other back ends
// (FixedPointLanesSse2.h, FixedPointLanesWasm.h) agree with lane for lane,
// and the form used on a processor that has none of them.
#include "measure/FixedPoint.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace fixp {

// The largest and the smallest lane: the horizontal reductions of every back
// end, which read their lanes out to memory first (rare, at the end of a pass).
template <typename T, std::size_t N> T LargestLane(const std::array<T, N>& l) {
    return *std::max_element(l.begin(), l.end());
}
template <typename T, std::size_t N> T SmallestLane(const std::array<T, N>& l) {
    return *std::min_element(l.begin(), l.end());
}

// The checked build's view of the vector operations' preconditions: no lane
// at -2^31, where a magnitude or a quotient is exact, and every divisor
// below 2^15, given by its reciprocal.
inline bool NoLaneAtMinimum(const std::array<int32_t, 4>& l) {
    return std::find(l.begin(), l.end(), INT32_MIN) == l.end();
}
inline bool DivisorsFit(const double* reciprocals) {
    return std::all_of(reciprocals, reciprocals + 4, [](double r) { return r > 0x1p-15; });
}

} // namespace fixp

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
    for (int32_t& x : a.l) {
        ORX_FIXED_POINT_CLAIM(x != INT32_MIN, "a magnitude's lane is above -2^31");
        x = x < 0 ? -x : x;
    }
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

// The lanes in memory order, as every back end gives them.
inline std::array<int16_t, 8> Lanes(V16 a) {
    return std::to_array(a.l);
}
inline std::array<int32_t, 4> Lanes(V32 a) {
    return std::to_array(a.l);
}
inline std::array<float, 4> Lanes(VF a) {
    return std::to_array(a.l);
}

inline int16_t Largest(V16 a) {
    return LargestLane(Lanes(a));
}
inline int16_t Smallest(V16 a) {
    return SmallestLane(Lanes(a));
}
inline int32_t Largest(V32 a) {
    return LargestLane(Lanes(a));
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
    return LargestLane(Lanes(a));
}
inline float Smallest(VF a) {
    return SmallestLane(Lanes(a));
}

} // namespace fixp::portable
