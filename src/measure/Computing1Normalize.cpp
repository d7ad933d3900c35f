// Normalisation of the samples into the packed complex array, eight samples
// at a time.
#include "measure/Computing1.h"
#include "measure/FixedPointLanes.h"
#include "measure/Samplingimp.h"

namespace {
using fixp::vec::V16;
using fixp::vec::V32;
namespace v = fixp::vec;
constexpr int LANES = 8;
} // namespace

int16_t NormalizeSamples(const int16_t* src, int16_t* re, int16_t* im, bool signedInput) {
    // A code u (the sample plus the offset, as unsigned 16 bits) is compared
    // and summed as u - 0x8000 in signed lanes.
    const V16 bias = v::Splat(static_cast<int16_t>(signedInput ? 0 : -0x8000));
    V16 high = v::Splat(-0x8000);
    V16 low = v::Splat(0x7FFF);
    V32 sum = v::Splat32(0);
    for (int j = 0; j < SAMPLE_COUNT; j += LANES) {
        const V16 s = v::Xor(v::Load(src + j), bias);
        high = v::Max(high, s);
        low = v::Min(low, s);
        sum = v::Add(sum, v::MulAddPairs(s, v::Splat(1)));
    }
    const int32_t max = v::Largest(high) + 0x8000;
    const int32_t min = v::Smallest(low) + 0x8000;
    const uint32_t total = static_cast<uint32_t>(v::Sum(sum)) + SAMPLE_COUNT * 0x8000u;

    // The mean lies between min and max, so both differences are 0..0xFFFF.
    auto mean = static_cast<int32_t>(total >> 13);
    if (max - mean > 0x7FFF) mean = max - 0x7FFF;
    if (mean - min > 0x8000) mean = min + 0x8000;

    const int32_t up = max - mean;
    const int32_t down = mean - min;
    int32_t peak = static_cast<int16_t>(up >= down ? up : down); // 0x8000 reads as negative: no scaling

    int16_t e = 0;
    while (peak > 0x3FFF) {
        peak >>= 1;
        ++e;
    }
    while (peak > 0 && peak < 0x2000) {
        peak <<= 1;
        --e;
    }

    const V16 base = v::Splat(fixp::Store16(mean - (signedInput ? 0x8000 : 0)));
    for (int j = 0; j < SAMPLE_COUNT; j += 2 * LANES) {
        V16 a = v::Sub(v::Load(src + j), base);
        V16 b = v::Sub(v::Load(src + j + LANES), base);
        a = e >= 0 ? v::ShiftRight(a, e) : v::ShiftLeft(a, -e);
        b = e >= 0 ? v::ShiftRight(b, e) : v::ShiftLeft(b, -e);
        v::Store(re + j / 2, v::EvenLanes(a, b));
        v::Store(im + j / 2, v::OddLanes(a, b));
    }
    return e;
}
