#include "Computing1Oracle.h"

#include "device/Global.h"
#include "measure/Computing1.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

namespace oracle {
namespace {

constexpr int N = 4096;
constexpr int SAMPLES = 8192;
constexpr int32_t ONE_SHIFT = 13571;
constexpr int32_t TWO_SHIFT = 27142;
constexpr float TWO_PI = 6.2831854f;
constexpr int BAND_FIRST = 30;
constexpr int BAND_LAST = 3202;

int16_t W16(int64_t v) {
    return static_cast<int16_t>(v);
}
// Upper half of a doubled 32-bit sum, wrapping as the processor does.
int16_t Q15(int64_t sum) {
    return static_cast<int16_t>(static_cast<int32_t>(static_cast<uint32_t>(2 * sum)) >> 16);
}
int32_t Abs(int16_t v) {
    return std::abs(static_cast<int32_t>(v));
}
float P2(int n) {
    return std::ldexp(1.0f, n);
}
int Halvings(int32_t m, int32_t limit) {
    int s = 0;
    for (; m > limit; m >>= 1)
        ++s;
    return s;
}

void Twiddle(int i, int16_t& c, int16_t& s) {
    if (i <= 2048) {
        c = SineTable[2048 - i];
        s = SineTable[i];
    } else {
        c = W16(-SineTable[i - 2048]);
        s = SineTable[4096 - i];
    }
}

void BitReverse(int16_t* re, int16_t* im, int n) {
    for (int i = 0, b = 0; i < n; ++i) {
        if (i < b) {
            std::swap(re[i], re[b]);
            std::swap(im[i], im[b]);
        }
        int c = n / 2;
        for (; c >= 2 && b >= c; c >>= 1)
            b -= c;
        b += c;
    }
}

int32_t Largest(const int16_t* re, const int16_t* im, int n) {
    int32_t m = 0;
    for (int i = 0; i < n; ++i)
        m = std::max({m, Abs(re[i]), Abs(im[i])});
    return m;
}

int16_t Stages(int16_t* re, int16_t* im, int n, int log2n, bool inverse) {
    int total = 0;
    for (int level = 0; level < log2n; ++level) {
        const int h = 1 << level;
        if (inverse) {
            const int32_t before = Largest(re, im, n);
            const int shift = before > TWO_SHIFT ? 2 : before > ONE_SHIFT ? 1 : 0;
            for (int i = 0; i < n; ++i) {
                re[i] = W16(re[i] >> shift);
                im[i] = W16(im[i] >> shift);
            }
            total += shift;
        }
        int32_t m = 0;
        for (int j = 0; j < h; ++j) {
            int16_t c, s;
            Twiddle(j << (12 - level), c, s);
            for (int t = j; t < n; t += 2 * h) {
                const int u = t + h;
                const int64_t cr = c * re[u], ci = c * im[u], sr = s * re[u], si = s * im[u];
                const int16_t tr = inverse ? Q15(cr - si) : Q15(cr + si);
                const int16_t ti = inverse ? Q15(ci + sr) : Q15(ci - sr);
                re[u] = W16(re[t] - tr);
                im[u] = W16(im[t] - ti);
                re[t] = W16(re[t] + tr);
                im[t] = W16(im[t] + ti);
                m = std::max({m, Abs(re[u]), Abs(im[u]), Abs(re[t]), Abs(im[t])});
            }
        }
        if (!inverse && m > ONE_SHIFT) {
            const int shift = m <= TWO_SHIFT ? 1 : 2;
            for (int i = 0; i < n; ++i) {
                re[i] = W16(re[i] >> shift);
                im[i] = W16(im[i] >> shift);
            }
            total += shift;
        }
    }
    return W16(total);
}

int16_t& Packed(int16_t* area, int n) {
    return area[(n & 1) * N + n / 2];
}

void Clear(int16_t* re, int16_t* im, int first, int last) {
    for (int k = first; k <= last; ++k)
        re[k] = im[k] = 0;
}

void ShapeVelocity(int16_t* re, int16_t* im, float& scale) {
    int32_t m = 0;
    for (int k = BAND_FIRST; k <= BAND_LAST; ++k)
        m = std::max({m, Abs(re[k]), Abs(im[k])});
    int s = 0;
    for (; m > 0 && m < 8191; m *= 2)
        ++s;
    Clear(re, im, 0, BAND_FIRST - 1);
    Clear(re, im, BAND_LAST + 1, N - 1);
    for (int k = BAND_FIRST; k <= BAND_LAST; ++k) {
        const bool edge = k == BAND_FIRST || k == BAND_LAST;
        const int32_t r = edge ? (re[k] * 3) >> 2 : re[k];
        const int32_t i = edge ? (im[k] * 3) >> 2 : im[k];
        re[k] = W16(static_cast<int64_t>(r) * (1 << s));
        im[k] = W16(static_cast<int64_t>(i) * (1 << s));
    }
    scale = scale / P2(s);
}

void ShapeAcceleration(int16_t* re, int16_t* im, float& scale) {
    auto w = [](int k) { return k < BAND_LAST ? k : (3 * BAND_LAST) >> 2; };
    int32_t m = 0;
    for (int k = 0; k <= BAND_LAST; ++k)
        m = std::max({m, Abs(re[k]) * w(k), Abs(im[k]) * w(k)});
    const int s = Halvings(m, 0x3FFF);
    for (int k = 0; k <= BAND_LAST; ++k) {
        const int32_t r = re[k] * w(k), i = im[k] * w(k);
        re[k] = W16(-(i >> s));
        im[k] = W16(r >> s);
    }
    Clear(re, im, BAND_LAST + 1, N - 1);
    scale = scale * P2(s) * TWO_PI * 0.3125f * 0.001f;
}

void ShapeDisplacement(int16_t* re, int16_t* im, float& scale) {
    auto f = [](int k) { return k == 30 ? 64 : k == 31 ? 32 : k; };
    int32_t m = 0;
    for (int k = BAND_FIRST; k < N; ++k)
        m = std::max({m, Abs(re[k]) * 4096 / f(k), Abs(im[k]) * 4096 / f(k)});
    const int s = Halvings(m, 0x3FFF);
    Clear(re, im, 0, BAND_FIRST - 1);
    for (int k = BAND_FIRST; k < N; ++k) {
        const int32_t r = re[k] * 4096 / f(k), i = im[k] * 4096 / f(k);
        re[k] = W16(i >> s);
        im[k] = W16(-(r >> s));
    }
    scale = scale * P2(s) * 1000.0f / (TWO_PI * 0.3125f * 4096.0f);
}

// One phase of the interpolator, summed on 64 bits and narrowed on 32.
template <typename Sample> int32_t Phase(Sample x, int n, int p) {
    int64_t sum = 0;
    for (int m = 0; 7 - p + 8 * m <= 120; ++m)
        sum += x(n + m) * PeakFilter[7 - p + 8 * m];
    return static_cast<int32_t>(static_cast<uint32_t>(sum)) >> 15;
}

template <typename Sample> std::pair<int32_t, int32_t> Peaks(Sample x, int first, int last) {
    int32_t hi = std::numeric_limits<int32_t>::min(), lo = std::numeric_limits<int32_t>::max();
    for (int n = first; n <= last; ++n) {
        for (int p = 0; p < 8; ++p) {
            hi = std::max(hi, Phase(x, n, p));
            lo = std::min(lo, Phase(x, n, p));
        }
    }
    return {hi, lo};
}

uint32_t HalvingSquares(const int16_t* v, int first, int last, int& c) {
    uint32_t acc = 0;
    for (int k = first; k <= last; ++k) {
        uint32_t t = static_cast<uint32_t>(v[k] * v[k]) >> c;
        if ((acc & (1u << 30)) != 0) {
            ++c;
            acc >>= 1;
            t >>= 1;
        }
        acc += t;
    }
    return acc;
}

} // namespace

uint16_t IntSqrt(int32_t value) {
    if (value < 1) return 0;
    int32_t lo = 0, hi = 46341;
    for (int32_t mid = (lo + hi) >> 1; mid != lo; mid = (lo + hi) >> 1)
        (mid * mid > value ? hi : lo) = mid;
    return static_cast<uint16_t>(lo);
}

float Pow2Half(int16_t n) {
    const int m = std::abs(static_cast<int>(n));
    const double v = std::ldexp((m & 1) != 0 ? 1.4142136 : 1.0, m >> 1);
    if (n < 0) return static_cast<float>(1.0 / v);
    return v > std::numeric_limits<float>::max() ? std::numeric_limits<float>::infinity()
                                                 : static_cast<float>(v);
}

int16_t NormalizeSamples(const int16_t* src, int16_t* re, int16_t* im, bool signedInput) {
    const int offset = signedInput ? 0x8000 : 0;
    int max = 0, min = 0xFFFF;
    uint32_t sum = 0;
    for (int j = 0; j < SAMPLES; ++j) {
        const int u = static_cast<uint16_t>(src[j] + offset);
        max = std::max(max, u);
        min = std::min(min, u);
        sum += static_cast<uint32_t>(u);
    }
    int mean = static_cast<int>(sum >> 13);
    if (max - mean > 0x7FFF) mean = max - 0x7FFF;
    if (mean - min > 0x8000) mean = min + 0x8000;
    int peak = W16(std::max(max - mean, mean - min));
    int e = 0;
    for (; peak > 0x3FFF; peak >>= 1)
        ++e;
    for (; peak > 0 && peak < 0x2000; peak <<= 1)
        --e;
    const int16_t base = W16(mean - offset);
    for (int j = 0; j < SAMPLES; ++j) {
        const int16_t x = W16(src[j] - base);
        const int16_t v = e >= 0 ? W16(x >> e) : W16(static_cast<int64_t>(x) * (1 << -e));
        ((j & 1) == 0 ? re : im)[j / 2] = v;
    }
    return W16(e);
}

int16_t FftForward(int16_t* re, int16_t* im, int16_t log2n) {
    const int n = 1 << log2n;
    BitReverse(re, im, n);
    const int total = Stages(re, im, n, log2n, false);
    for (int j = 1; j < n / 2; ++j) {
        const int16_t c = SineTable[2048 - j * (4096 / n)], s = SineTable[j * (4096 / n)];
        const int32_t p = (re[n - j] + re[j]) >> 1, q = (im[j] - im[n - j]) >> 1;
        const int32_t sum = (im[n - j] + im[j]) >> 1, d = (re[n - j] - re[j]) >> 1;
        const int16_t m = Q15(static_cast<int64_t>(c) * sum + static_cast<int64_t>(s) * d);
        const int16_t o = Q15(static_cast<int64_t>(c) * d - static_cast<int64_t>(s) * sum);
        re[j] = W16(p + m);
        im[j] = W16(q + o);
        re[n - j] = W16(p - m);
        im[n - j] = W16(o - q);
    }
    re[0] = W16(re[0] + im[0]);
    im[0] = 0;
    im[n / 2] = W16(-im[n / 2]);
    return W16(log2n + 1 - total);
}

int16_t FftInverse(int16_t* re, int16_t* im, int16_t log2n) {
    const int n = 1 << log2n;
    for (int j = 1; j < n / 2; ++j) {
        const int16_t c = SineTable[2048 - j * (4096 / n)], s = SineTable[j * (4096 / n)];
        const int32_t p = (re[n - j] + re[j]) >> 1, q = (im[j] - im[n - j]) >> 1;
        const int32_t h = W16((-im[j] - im[n - j]) >> 1), d = (re[j] - re[n - j]) >> 1; // 16-bit operand
        const int16_t m = Q15(static_cast<int64_t>(c) * h - static_cast<int64_t>(s) * d);
        const int16_t o = Q15(static_cast<int64_t>(c) * d + static_cast<int64_t>(s) * h);
        re[j] = W16(p + m);
        im[j] = W16(q + o);
        re[n - j] = W16(p - m);
        im[n - j] = W16(o - q);
    }
    const int re0 = re[0], im0 = im[0];
    re[0] = W16((re0 + im0) >> 1);
    im[0] = W16((re0 - im0) >> 1);
    im[n / 2] = W16(-im[n / 2]);
    BitReverse(re, im, n);
    return W16(Stages(re, im, n, log2n, true) + 1);
}

void HannWindowSpectrum(int16_t* re, int16_t* im, int16_t n) {
    int16_t oldRe[N], oldIm[N];
    std::copy(re, re + n, oldRe);
    std::copy(im, im + n, oldIm);
    oldIm[0] = 0;
    re[0] = W16((oldRe[0] >> 1) - (oldRe[1] >> 1));
    im[0] = 0;
    for (int k = 1; k < n; ++k) {
        const int nextRe = k + 1 < n ? oldRe[k + 1] >> 2 : 0, nextIm = k + 1 < n ? oldIm[k + 1] >> 2 : 0;
        re[k] = W16((oldRe[k] >> 1) - (oldRe[k - 1] >> 2) - nextRe);
        im[k] = W16((oldIm[k] >> 1) - (oldIm[k - 1] >> 2) - nextIm);
    }
}

void SpectrumMagnitude(int16_t* re, const int16_t* im, int16_t first, int16_t last, int16_t e, float base,
                       float& resultScale) {
    for (int k = first; k <= last; ++k) {
        const int64_t power = static_cast<int64_t>(re[k] * re[k]) + im[k] * im[k];
        re[k] = W16(IntSqrt(static_cast<int32_t>(static_cast<uint32_t>(power))) >> 1);
    }
    resultScale = e >= 2 ? base / P2(e - 2) : base * P2(2 - e);
}

float BandRms(const int16_t* p, int16_t first, int16_t last, float scale) {
    int c = 1;
    const uint32_t acc = HalvingSquares(p, first, last, c);
    return Pow2Half(W16(c - 1)) * scale * static_cast<float>(IntSqrt(static_cast<int32_t>(acc)));
}

void SpectrumTimesF(const int16_t* src, int16_t first, int16_t last, float scaleIn, int16_t* dst, float df,
                    float& scaleOut) {
    int32_t m = 0;
    for (int k = first; k <= last; ++k)
        m = std::max(m, src[k] * k);
    const int s = Halvings(m, 0x7FFF);
    for (int k = first; k <= last; ++k)
        dst[k] = W16((src[k] * k) >> s);
    scaleOut = scaleIn * P2(s) * (TWO_PI * df) * 0.001f;
}

void SpectrumOverF(const int16_t* src, int16_t first, int16_t last, float scaleIn, int16_t* dst, float df,
                   float& scaleOut) {
    int32_t m = 0;
    for (int k = first; k <= last; ++k)
        m = std::max(m, k == 0 ? 0 : src[k] * last / k);
    const int s = Halvings(m, 0x7FFF);
    for (int k = first; k <= last; ++k)
        dst[k] = W16((k == 0 ? 0 : src[k] * last / k) >> s);
    scaleOut = scaleIn * P2(s) * 1000.0f / (TWO_PI * df * static_cast<float>(last));
}

void ComputeSpectrum(const int16_t* samples, int16_t* area, int16_t first, int16_t last, bool windowed,
                     int16_t kind, float& scaleOut) {
    int16_t* re = area;
    int16_t* im = area + N;
    const int e1 = NormalizeSamples(samples, re, im, kind == 1);
    const int16_t e = W16(FftForward(re, im, 12) - e1);
    const float base = CAL_K / (MeasGain * MeasSensitivity[kind]);
    if (windowed) HannWindowSpectrum(re, im, N);
    SpectrumMagnitude(re, im, first, last, e, base, scaleOut);
    if (windowed) scaleOut = scaleOut * 1.632993f;
}

void PeakLevels(const int16_t* samples, int16_t* area, int16_t quantity, float& pp, float& pk) {
    int16_t* re = area;
    int16_t* im = area + N;
    const int e1 = NormalizeSamples(samples, re, im, false);
    int e = FftForward(re, im, 12) - e1;
    float scale = CAL_K / (MeasSensitivity[0] * MeasGain);
    HannWindowSpectrum(re, im, N);
    const int d = std::max(e - 8, 0) + 4;
    for (int i = 0; i < AREA_SIZE; ++i)
        area[i] = W16(area[i] > 0 ? area[i] >> d : -((-area[i]) >> d));
    e = W16(e - d);
    if (quantity < 0) {
        ShapeAcceleration(re, im, scale);
    } else if (quantity > 0) {
        ShapeDisplacement(re, im, scale);
    } else {
        ShapeVelocity(re, im, scale);
    }
    e = W16(e - FftInverse(re, im, 12));
    scale = e >= 0 ? scale / P2(e) : scale * P2(-e);
    for (int i = 0; i < 4096; ++i) {
        const int32_t w = (SineTable[i < 2048 ? i : 4096 - i] >> 1) + 0x4000;
        int16_t& v = Packed(area, 2048 + i);
        v = W16(v * 32768 / w);
    }
    const auto [hi, lo] = Peaks([area](int n) { return Packed(area, n); }, 2048, 2048 + 4096 - 16);
    pp = static_cast<float>(hi - lo) * scale;
    pk = static_cast<float>(std::max(std::abs(hi), std::abs(lo))) * scale;
}

void ComputeVibrationResults(const int16_t* samples, int16_t* area, TMeasResults& results) {
    int16_t* re = area;
    int16_t* im = area + N;
    auto& v = results.Value;
    float vs = 0.0f, scale = 0.0f;
    ComputeSpectrum(samples, area, BAND_FIRST, BAND_LAST, true, 0, vs);
    v[4] = BandRms(re, BAND_FIRST, BAND_LAST, vs);
    SpectrumOverF(re, BAND_FIRST, BAND_LAST, vs, im, 0.3125f, scale);
    v[7] = BandRms(im, BAND_FIRST, BAND_LAST, scale);
    SpectrumTimesF(re, BAND_FIRST, BAND_LAST, vs, im, 0.3125f, scale);
    v[1] = BandRms(im, BAND_FIRST, BAND_LAST, scale);
    PeakLevels(samples, area, 0, v[5], v[3]);
    PeakLevels(samples, area, 1, v[8], v[6]);
    PeakLevels(samples, area, -1, v[2], v[0]);
}

void ComputeCrestFactor(const int16_t* samples, TMeasResults& results) {
    int32_t sum = 0;
    for (int b = 0; b < 16; ++b) {
        sum += std::max(Peaks([samples](int n) { return samples[n]; }, b * 504, b * 504 + 503).first, 0);
    }
    int c = 0;
    const uint32_t acc = HalvingSquares(samples, 0, SAMPLES - 1, c);
    const float rms = Pow2Half(W16(c - 13)) * static_cast<float>(IntSqrt(static_cast<int32_t>(acc)));
    results.Value.fill(0.0f);
    results.Value[0] = static_cast<float>(sum) / 16.0f / rms;
}

} // namespace oracle
