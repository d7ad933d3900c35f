#pragma once
// The fixed-point operations on eight 16-bit lanes (V16) or four 32-bit lanes
// (V32, VF for floats) at a time, lanes numbered from the lowest address.
// Every back end gives the same integers: WebAssembly SIMD for the web
// edition, SSE2 on x86-64, plain loops on any other processor; fixp::vec
// names the one this build uses.
#include "measure/FixedPointLanesPortable.h"
#include "measure/FixedPointLanesSse2.h"
#include "measure/FixedPointLanesWasm.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace fixp {
#if defined(__wasm_simd128__)
namespace vec = wasm;
#elif defined(__SSE2__)
namespace vec = sse2;
#else
namespace vec = portable;
#endif
} // namespace fixp

namespace fixp {

// Whether every lane of a lies strictly between -limit and limit: how the
// checked build tests a bound that a comment proves for a vector of sums.
inline bool LanesWithin(vec::V32 a, int32_t limit) {
    const std::array<int32_t, 4> l = vec::Lanes(a);
    return std::all_of(l.begin(), l.end(), [limit](int32_t x) { return x > -limit && x < limit; });
}

} // namespace fixp
