#pragma once
// The operations the SIMD back ends (FixedPointLanesSse2.h,
// FixedPointLanesWasm.h) make of their own primitives in the same way,
// written once over them: the reductions, which read the lanes out to memory
// first (rare, at the end of a pass), and the quotient and the square root,
// taken in double precision two lanes at a time. Each back end brings them
// into its namespace with `using`; the primitives are found through the
// argument types (its V32 and VD).
#include "measure/FixedPointLanesPortable.h"

namespace fixp::composite {

template <typename V> auto Largest(V a) {
    return LargestLane(Lanes(a));
}
template <typename V> auto Smallest(V a) {
    return SmallestLane(Lanes(a));
}
template <typename V32> int32_t Sum(V32 a) {
    return portable::Sum(portable::Load(Lanes(a).data()));
}
template <typename V32> uint64_t SumUnsigned(V32 a) {
    return portable::SumUnsigned(portable::Load(Lanes(a).data()));
}

// The quotients of the magnitudes with the dividends' signs put back; every
// quotient is below 2^31, so truncating cannot saturate. The margin lifts a
// product that rounding left just below a whole quotient.
template <typename V32> V32 DivideTowardZero(V32 n, const double* reciprocals) {
    ORX_FIXED_POINT_CLAIM(NoLaneAtMinimum(Lanes(n)), "a quotient's dividend is above -2^31");
    ORX_FIXED_POINT_CLAIM(DivisorsFit(reciprocals), "a quotient's divisor is below 2^15");
    const V32 sign = ShiftRight(n, 31);
    const V32 magnitude = Sub(Xor(n, sign), sign);
    const V32 q = Truncate(Add(Mul(WidenLowD(magnitude), reciprocals), 0x1p-20),
                           Add(Mul(WidenHighD(magnitude), reciprocals + 2), 0x1p-20));
    return Sub(Xor(q, sign), sign);
}
// Negative lanes give 0.
template <typename V32> V32 SquareRootFloor(V32 a) {
    return Truncate(Sqrt(Max(WidenLowD(a), 0.0)), Sqrt(Max(WidenHighD(a), 0.0)));
}

} // namespace fixp::composite
