// The transforms: normalisation of the samples into the packed complex array,
// the forward and inverse 4096-point transforms with block scaling, and the
// Hann window applied to a spectrum.
#include "measure/Computing1.h"
#include "measure/FixedPoint.h"
#include "measure/Samplingimp.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int32_t ONE_SHIFT_LIMIT = 13571; // 32767 / (1 + sqrt 2): a butterfly cannot overflow below it
constexpr int32_t TWO_SHIFT_LIMIT = 2 * ONE_SHIFT_LIMIT;
constexpr int TABLE_HALF = 2048; // index of the table's quarter wave end
constexpr int TABLE_PI = 4096;   // angle index of pi

struct Twiddle {
    int16_t cos;
    int16_t sin;
};

// cos and sin of the angle pi x i / 4096 for i = 0..4096.
Twiddle TwiddleAt(int i) {
    if (i <= TABLE_HALF) return {SineTable[TABLE_HALF - i], SineTable[i]};
    return {fixp::Store16(-SineTable[i - TABLE_HALF]), SineTable[TABLE_PI - i]};
}

void BitReverse(int16_t* re, int16_t* im, int n) {
    int b = 0;
    for (int i = 0; i < n; ++i) {
        if (i < b) {
            std::swap(re[i], re[b]);
            std::swap(im[i], im[b]);
        }
        int c = n / 2;
        while (c >= 2 && b >= c) {
            b -= c;
            c >>= 1;
        }
        b += c;
    }
}

int32_t LargestMagnitude(const int16_t* v, int count) {
    int32_t m = 0;
    for (int i = 0; i < count; ++i) m = std::max(m, fixp::Abs16(v[i]));
    return m;
}

void ShiftAll(int16_t* v, int count, int shift) {
    for (int i = 0; i < count; ++i) v[i] = static_cast<int16_t>(v[i] >> shift);
}

// Radix-2 stages over bit-reversed data. Forward: twiddle exp(-j angle);
// inverse: its conjugate, with the scaling decided before each stage.
int16_t Stages(int16_t* re, int16_t* im, int n, int log2n, bool inverse) {
    int16_t total = 0;
    for (int level = 0; level < log2n; ++level) {
        const int h = 1 << level;
        if (inverse) {
            const int32_t m = LargestMagnitude(re, 2 * n); // im follows re
            const int shift = m > TWO_SHIFT_LIMIT ? 2 : m > ONE_SHIFT_LIMIT ? 1 : 0;
            ShiftAll(re, 2 * n, shift);
            total = static_cast<int16_t>(total + shift);
        }
        int32_t m = 0;
        for (int j = 0; j < h; ++j) {
            const Twiddle w = TwiddleAt(j << (SPEC_LOG2 - level));
            for (int t = j; t < n; t += 2 * h) {
                const int u = t + h;
                const int16_t tr = inverse ? fixp::Q15Diff(w.cos, re[u], w.sin, im[u])
                                           : fixp::Q15Sum(w.cos, re[u], w.sin, im[u]);
                const int16_t ti = inverse ? fixp::Q15Sum(w.cos, im[u], w.sin, re[u])
                                           : fixp::Q15Diff(w.cos, im[u], w.sin, re[u]);
                re[u] = fixp::Store16(re[t] - tr);
                im[u] = fixp::Store16(im[t] - ti);
                re[t] = fixp::Store16(re[t] + tr);
                im[t] = fixp::Store16(im[t] + ti);
                m = std::max({m, fixp::Abs16(re[u]), fixp::Abs16(im[u]), fixp::Abs16(re[t]), fixp::Abs16(im[t])});
            }
        }
        if (!inverse && m > ONE_SHIFT_LIMIT) {
            const int shift = m <= TWO_SHIFT_LIMIT ? 1 : 2;
            ShiftAll(re, n, shift);
            ShiftAll(im, n, shift);
            total = static_cast<int16_t>(total + shift);
        }
    }
    return total;
}

} // namespace

int16_t NormalizeSamples(const int16_t* src, int16_t* re, int16_t* im, bool signedInput) {
    const int32_t offset = signedInput ? 0x8000 : 0;
    int32_t max = 0;
    int32_t min = 0xFFFF;
    uint32_t sum = 0;
    for (int j = 0; j < SAMPLE_COUNT; ++j) {
        const auto u = static_cast<uint16_t>(src[j] + offset);
        max = std::max<int32_t>(max, u);
        min = std::min<int32_t>(min, u);
        sum += u;
    }

    // The mean lies between min and max, so both differences are 0..0xFFFF.
    auto mean = static_cast<int32_t>(sum >> 13);
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

    const int16_t base = fixp::Store16(mean - offset);
    for (int j = 0; j < SAMPLE_COUNT; ++j) {
        const int16_t x = fixp::Store16(src[j] - base);
        const int16_t v = e >= 0 ? static_cast<int16_t>(x >> e) : fixp::ShiftLeft16(x, -e);
        if ((j & 1) == 0) {
            re[j >> 1] = v;
        } else {
            im[j >> 1] = v;
        }
    }
    return e;
}

int16_t FftForward(int16_t* re, int16_t* im, int16_t log2n) {
    const int n = 1 << log2n;
    BitReverse(re, im, n);
    const int16_t total = Stages(re, im, n, log2n, false);

    // Line k of the real signal from lines k and n - k of the packed one; the
    // split's angle is pi k / n.
    const int stride = TABLE_PI >> log2n;
    for (int j = 1; j < n / 2; ++j) {
        const int16_t c = SineTable[TABLE_HALF - j * stride];
        const int16_t s = SineTable[j * stride];
        const int16_t p = fixp::HalfSum(re[n - j], re[j]);
        const int16_t q = fixp::HalfDiff(im[j], im[n - j]);
        const int16_t sum = fixp::HalfSum(im[n - j], im[j]);
        const int16_t d = fixp::HalfDiff(re[n - j], re[j]);
        const int16_t m = fixp::Q15Sum(c, sum, s, d);
        const int16_t o = fixp::Q15Diff(c, d, s, sum);
        re[j] = fixp::Store16(p + m);
        im[j] = fixp::Store16(q + o);
        re[n - j] = fixp::Store16(p - m);
        im[n - j] = fixp::Store16(o - q);
    }
    re[0] = fixp::Store16(re[0] + im[0]);
    im[0] = 0;
    im[n / 2] = fixp::Store16(-im[n / 2]);
    return static_cast<int16_t>(log2n + 1 - total);
}

int16_t FftInverse(int16_t* re, int16_t* im, int16_t log2n) {
    const int n = 1 << log2n;
    const int stride = TABLE_PI >> log2n;
    for (int j = 1; j < n / 2; ++j) {
        const int16_t c = SineTable[TABLE_HALF - j * stride];
        const int16_t s = SineTable[j * stride];
        const int16_t p = fixp::HalfSum(re[n - j], re[j]);
        const int16_t q = fixp::HalfDiff(im[j], im[n - j]);
        const int16_t h = fixp::HalfSum(-im[j], -im[n - j]);
        const int16_t d = fixp::HalfDiff(re[j], re[n - j]);
        const int16_t m = fixp::Q15Diff(c, h, s, d);
        const int16_t o = fixp::Q15Sum(c, d, s, h);
        re[j] = fixp::Store16(p + m);
        im[j] = fixp::Store16(q + o);
        re[n - j] = fixp::Store16(p - m);
        im[n - j] = fixp::Store16(o - q);
    }
    const int16_t re0 = re[0];
    const int16_t im0 = im[0];
    re[0] = fixp::HalfSum(re0, im0);
    im[0] = fixp::HalfDiff(re0, im0);
    im[n / 2] = fixp::Store16(-im[n / 2]);

    BitReverse(re, im, n);
    const int16_t total = Stages(re, im, n, log2n, true);
    return static_cast<int16_t>(total + 1);
}

// Multiplies the packed time signal by 0.5 - 0.5 cos(2 pi t / 8192) as the
// convolution of its spectrum with (-1/4, 1/2, -1/4); every term is shifted on
// its own, and each line reads its neighbours' values from before the step.
void HannWindowSpectrum(int16_t* re, int16_t* im, int16_t n) {
    const int last = n - 1;
    int16_t prevRe = re[0];
    int16_t prevIm = 0;
    re[0] = fixp::Store16((re[0] >> 1) - (re[1] >> 1));
    im[0] = 0;
    for (int k = 1; k < last; ++k) {
        const int16_t curRe = re[k];
        const int16_t curIm = im[k];
        re[k] = fixp::Store16((curRe >> 1) - (prevRe >> 2) - (re[k + 1] >> 2));
        im[k] = fixp::Store16((curIm >> 1) - (prevIm >> 2) - (im[k + 1] >> 2));
        prevRe = curRe;
        prevIm = curIm;
    }
    re[last] = fixp::Store16((re[last] >> 1) - (prevRe >> 2));
    im[last] = fixp::Store16((im[last] >> 1) - (prevIm >> 2));
}
