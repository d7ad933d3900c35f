#pragma once
// A sum of squares of 16-bit values that keeps its own scale, so that it
// cannot wrap however many values it takes.
#include "measure/FixedPointLanes.h"

#include <cstdint>

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
        ORX_FIXED_POINT_CLAIM(acc < (1u << 31), "a halving square sum stays below 2^31");
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
