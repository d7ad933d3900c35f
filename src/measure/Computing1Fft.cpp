// The forward and inverse 4096-point transforms with block scaling, eight
// butterflies at a time; every integer result is that of the one-at-a-time
// description.
#include "measure/Computing1.h"
#include "measure/FixedPointLanes.h"

#include <algorithm>
#include <utility>

namespace {

using fixp::vec::V16;
using fixp::vec::V32;
namespace v = fixp::vec;

constexpr int32_t ONE_SHIFT_LIMIT = 13571; // 32767 / (1 + sqrt 2): a butterfly cannot overflow below it
constexpr int32_t TWO_SHIFT_LIMIT = 2 * ONE_SHIFT_LIMIT;
constexpr int TABLE_HALF = 2048; // index of the table's quarter wave end
constexpr int TABLE_PI = 4096;   // angle index of pi
constexpr int LANES = 8;

struct Twiddle {
    int16_t cos;
    int16_t sin;
};

// cos and sin of the angle pi x i / 4096 for i = 0..4096.
Twiddle TwiddleAt(int i) {
    if (i <= TABLE_HALF) return {SineTable[TABLE_HALF - i], SineTable[i]};
    return {fixp::Store16(-SineTable[i - TABLE_HALF]), SineTable[TABLE_PI - i]};
}

// The twiddles of every stage laid out for MulAddPairs: the angle pi j / h
// (half-span h, j = 0..h-1) is entry h + j, as the pair (cos, sin) in
// rotate and the pair (-sin, cos) in turn. A rotation of (re, im) by the
// conjugate angle is the same pairs applied to (im, re). The split's angles
// pi j / 4096 are the entries 4096 + j. Built once from SineTable; the pairs
// of the stages narrower than a vector are repeated to fill one.
struct FftTables {
    static constexpr int ENTRIES = 3 * TABLE_PI / 2;
    int16_t rotate[2 * ENTRIES];
    int16_t turn[2 * ENTRIES];

    FftTables() {
        for (int h = 1; h <= TABLE_PI; h <<= 1) {
            for (int j = 0; j < h && h + j < ENTRIES; ++j) {
                const Twiddle w = TwiddleAt(j * (TABLE_PI / h));
                const int e = 2 * (h + j);
                rotate[e] = w.cos;
                rotate[e + 1] = w.sin;
                turn[e] = fixp::Store16(-w.sin);
                turn[e + 1] = w.cos;
            }
        }
    }
};

const FftTables& Tables() {
    static const FftTables tables;
    return tables;
}

// Rows r[0..7] become columns.
inline void Transpose(V16 (&r)[LANES]) {
    V16 t[LANES], u[LANES];
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        t[2 * i] = v::InterleaveLow(r[2 * i], r[2 * i + 1]);
        t[2 * i + 1] = v::InterleaveHigh(r[2 * i], r[2 * i + 1]);
    }
#pragma GCC unroll 2
    for (int i = 0; i < 2; ++i) {
        u[4 * i] = v::InterleavePairsLow(t[4 * i], t[4 * i + 2]);
        u[4 * i + 1] = v::InterleavePairsHigh(t[4 * i], t[4 * i + 2]);
        u[4 * i + 2] = v::InterleavePairsLow(t[4 * i + 1], t[4 * i + 3]);
        u[4 * i + 3] = v::InterleavePairsHigh(t[4 * i + 1], t[4 * i + 3]);
    }
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        r[2 * i] = v::LowHalves(u[i], u[4 + i]);
        r[2 * i + 1] = v::HighHalves(u[i], u[4 + i]);
    }
}

constexpr int Reverse3(int x) {
    return ((x & 1) << 2) | (x & 2) | ((x >> 2) & 1);
}
constexpr int Reverse6(int x) {
    return (Reverse3(x & 7) << 3) | Reverse3(x >> 3);
}

// 4096 values in bit-reversed order. Index i = 512 a + 8 b + c (a, c three
// bits, b six) goes to 512 rev(c) + 8 rev(b) + rev(a): the eight runs
// 512 a + 8 b + 0..7, taken in the order rev(a), form a square that, turned
// over its diagonal, is the eight runs 512 c' + 8 rev(b) + 0..7. Runs b and
// rev(b) are exchanged together.
void BitReverse4096(int16_t* x) {
    constexpr int ROW = 512;
    static constexpr int ROWS[LANES] = {ROW * Reverse3(0), ROW * Reverse3(1), ROW * Reverse3(2),
                                        ROW * Reverse3(3), ROW * Reverse3(4), ROW * Reverse3(5),
                                        ROW * Reverse3(6), ROW * Reverse3(7)};
    for (int b = 0; b < 64; ++b) {
        const int rb = Reverse6(b);
        if (rb < b) continue;
        V16 first[LANES], second[LANES];
#pragma GCC unroll 8
        for (int a = 0; a < LANES; ++a)
            first[a] = v::Load(x + ROWS[a] + LANES * b);
        Transpose(first);
#pragma GCC unroll 8
        for (int a = 0; a < LANES; ++a)
            second[a] = v::Load(x + ROWS[a] + LANES * rb);
        Transpose(second);
#pragma GCC unroll 8
        for (int c = 0; c < LANES; ++c)
            v::Store(x + ROWS[c] + LANES * rb, first[c]);
#pragma GCC unroll 8
        for (int c = 0; c < LANES; ++c)
            v::Store(x + ROWS[c] + LANES * b, second[c]);
    }
}

void BitReverse(int16_t* re, int16_t* im, int n) {
    if (n == SPEC_SIZE) {
        BitReverse4096(re);
        BitReverse4096(im);
        return;
    }
    int b = 0;
    for (int i = 0; i < n; ++i) {
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

// Largest and smallest value seen, lane by lane.
struct Range {
    V16 max = v::Splat(0);
    V16 min = v::Splat(0);

    void Add(V16 a) {
        max = v::Max(max, a);
        min = v::Min(min, a);
    }
    // The largest magnitude; 0x8000 counts as 32768.
    int32_t Magnitude() const { return std::max<int32_t>(v::Largest(max), -v::Smallest(min)); }
};

int ForwardShift(int32_t m) {
    return m <= ONE_SHIFT_LIMIT ? 0 : m <= TWO_SHIFT_LIMIT ? 1 : 2;
}
int InverseShift(int32_t m) {
    return m > TWO_SHIFT_LIMIT ? 2 : m > ONE_SHIFT_LIMIT ? 1 : 0;
}

// Stage inputs never exceed 13571 in magnitude: the forward transform's first
// stage turns by angle 0 (cos 32767, sin 0) and every later stage reads values
// scaled to at most 13571 after the stage before; the inverse scales before
// each stage. A rotation sum is then below 32767 x sqrt 2 x 13571 < 2^30, so
// doubling it cannot wrap and (2 x sum) >> 16 is sum >> 15, within 16 bits.
inline V16 RotationPart(V16 lo, V16 hi, V16 pairsLo, V16 pairsHi) {
    const V32 sumLo = v::MulAddPairs(lo, pairsLo), sumHi = v::MulAddPairs(hi, pairsHi);
    ORX_FIXED_POINT_CLAIM(fixp::LanesWithin(sumLo, 1 << 30) && fixp::LanesWithin(sumHi, 1 << 30),
                          "a butterfly's rotation sum is below 2^30");
    return v::Narrow(v::ShiftRight(sumLo, 15), v::ShiftRight(sumHi, 15));
}

struct Twiddles8 {
    V16 rotateLo, rotateHi, turnLo, turnHi; // pairs of butterflies 0..3 and 4..7
};

// Eight butterflies: top (rt, it), bottom (ru, iu). Forward: bottom times
// exp(-j angle); inverse: times exp(+j angle).
template <bool Inverse>
inline void Butterflies(V16& rt, V16& it, V16& ru, V16& iu, const Twiddles8& w, Range& range) {
    const V16 lo = Inverse ? v::InterleaveLow(iu, ru) : v::InterleaveLow(ru, iu);
    const V16 hi = Inverse ? v::InterleaveHigh(iu, ru) : v::InterleaveHigh(ru, iu);
    const V16 tr =
        Inverse ? RotationPart(lo, hi, w.turnLo, w.turnHi) : RotationPart(lo, hi, w.rotateLo, w.rotateHi);
    const V16 ti =
        Inverse ? RotationPart(lo, hi, w.rotateLo, w.rotateHi) : RotationPart(lo, hi, w.turnLo, w.turnHi);
    ru = v::Sub(rt, tr);
    iu = v::Sub(it, ti);
    rt = v::Add(rt, tr);
    it = v::Add(it, ti);
    range.Add(ru);
    range.Add(iu);
    range.Add(rt);
    range.Add(it);
}

inline V16 LoadShifted(const int16_t* p, int shift) {
    return v::ShiftRight(v::Load(p), shift);
}

// A stage of half-span h >= 8: tops and bottoms are runs of h values.
template <bool Inverse> Range WideStage(int16_t* re, int16_t* im, int n, int h, int shift) {
    const FftTables& t = Tables();
    Range range;
    for (int block = 0; block < n; block += 2 * h) {
        for (int j = 0; j < h; j += LANES) {
            const int top = block + j;
            const int bottom = top + h;
            const int e = 2 * (h + j);
            const Twiddles8 w{v::Load(t.rotate + e), v::Load(t.rotate + e + LANES), v::Load(t.turn + e),
                              v::Load(t.turn + e + LANES)};
            V16 rt = LoadShifted(re + top, shift), it = LoadShifted(im + top, shift);
            V16 ru = LoadShifted(re + bottom, shift), iu = LoadShifted(im + bottom, shift);
            Butterflies<Inverse>(rt, it, ru, iu, w, range);
            v::Store(re + top, rt);
            v::Store(im + top, it);
            v::Store(re + bottom, ru);
            v::Store(im + bottom, iu);
        }
    }
    return range;
}

// Stages of half-span 1, 2 and 4 take two vectors of 16 values at a time and
// gather their tops into one vector and their bottoms into another.
struct Narrow1 {
    static V16 Tops(V16 a, V16 b) { return v::EvenLanes(a, b); }
    static V16 Bottoms(V16 a, V16 b) { return v::OddLanes(a, b); }
    static V16 First(V16 t, V16 u) { return v::InterleaveLow(t, u); }
    static V16 Second(V16 t, V16 u) { return v::InterleaveHigh(t, u); }
};
struct Narrow2 {
    static V16 Tops(V16 a, V16 b) { return v::EvenPairs(a, b); }
    static V16 Bottoms(V16 a, V16 b) { return v::OddPairs(a, b); }
    static V16 First(V16 t, V16 u) { return v::InterleavePairsLow(t, u); }
    static V16 Second(V16 t, V16 u) { return v::InterleavePairsHigh(t, u); }
};
struct Narrow4 {
    static V16 Tops(V16 a, V16 b) { return v::LowHalves(a, b); }
    static V16 Bottoms(V16 a, V16 b) { return v::HighHalves(a, b); }
    static V16 First(V16 t, V16 u) { return v::LowHalves(t, u); }
    static V16 Second(V16 t, V16 u) { return v::HighHalves(t, u); }
};

// The twiddle pairs of a narrow stage in the order of its gathered tops:
// groups 0..h-1 repeated.
V16 NarrowPairs(const int16_t* table, int h) {
    if (h == 4) return v::Load(table + 2 * 4);
    if (h == 2) return v::RepeatLow(v::Load(table + 2 * 2));
    return v::SplatPair(table[2], table[3]);
}

template <bool Inverse, typename Gather>
Range NarrowStage(int16_t* re, int16_t* im, int n, int h, int shift) {
    const FftTables& t = Tables();
    const V16 rotate = NarrowPairs(t.rotate, h);
    const V16 turn = NarrowPairs(t.turn, h);
    const Twiddles8 w{rotate, rotate, turn, turn};
    Range range;
    for (int i = 0; i < n; i += 2 * LANES) {
        const V16 ra = LoadShifted(re + i, shift), rb = LoadShifted(re + i + LANES, shift);
        const V16 ia = LoadShifted(im + i, shift), ib = LoadShifted(im + i + LANES, shift);
        V16 rt = Gather::Tops(ra, rb), ru = Gather::Bottoms(ra, rb);
        V16 it = Gather::Tops(ia, ib), iu = Gather::Bottoms(ia, ib);
        Butterflies<Inverse>(rt, it, ru, iu, w, range);
        v::Store(re + i, Gather::First(rt, ru));
        v::Store(re + i + LANES, Gather::Second(rt, ru));
        v::Store(im + i, Gather::First(it, iu));
        v::Store(im + i + LANES, Gather::Second(it, iu));
    }
    return range;
}

template <bool Inverse> Range Stage(int16_t* re, int16_t* im, int n, int h, int shift) {
    if (h == 1) return NarrowStage<Inverse, Narrow1>(re, im, n, h, shift);
    if (h == 2) return NarrowStage<Inverse, Narrow2>(re, im, n, h, shift);
    if (h == 4) return NarrowStage<Inverse, Narrow4>(re, im, n, h, shift);
    return WideStage<Inverse>(re, im, n, h, shift);
}

// Reference form for transforms too small for the vector stages.
int16_t SmallStages(int16_t* re, int16_t* im, int n, int log2n, bool inverse) {
    int16_t total = 0;
    for (int level = 0; level < log2n; ++level) {
        const int h = 1 << level;
        if (inverse) {
            int32_t m = 0;
            for (int i = 0; i < n; ++i)
                m = std::max({m, fixp::Abs16(re[i]), fixp::Abs16(im[i])});
            const int shift = InverseShift(m);
            for (int i = 0; i < n; ++i) {
                re[i] = static_cast<int16_t>(re[i] >> shift);
                im[i] = static_cast<int16_t>(im[i] >> shift);
            }
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
                m = std::max(
                    {m, fixp::Abs16(re[u]), fixp::Abs16(im[u]), fixp::Abs16(re[t]), fixp::Abs16(im[t])});
            }
        }
        if (!inverse) {
            const int shift = ForwardShift(m);
            for (int i = 0; i < n; ++i) {
                re[i] = static_cast<int16_t>(re[i] >> shift);
                im[i] = static_cast<int16_t>(im[i] >> shift);
            }
            total = static_cast<int16_t>(total + shift);
        }
    }
    return total;
}

// floor((a + b) / 2) and floor((a - b) / 2) of 16-bit lanes, exactly, for
// any values: a + b = 2 (a & b) + (a ^ b), a - b = a + ~b + 1.
inline V16 HalfSum(V16 a, V16 b) {
    return v::Add(v::And(a, b), v::ShiftRight(v::Xor(a, b), 1));
}
inline V16 HalfDiff(V16 a, V16 b) {
    const V16 nb = v::Xor(b, v::Splat(-1));
    return v::Add(HalfSum(a, nb), v::And(v::Xor(a, nb), v::Splat(1)));
}
// (2 x sum) >> 16 with the 32-bit doubling wrapping, for any 16-bit inputs.
inline V16 Q15Part(V16 lo, V16 hi, V16 pairsLo, V16 pairsHi) {
    return v::Narrow(v::ShiftRight(v::ShiftLeft(v::MulAddPairs(lo, pairsLo), 1), 16),
                     v::ShiftRight(v::ShiftLeft(v::MulAddPairs(hi, pairsHi), 1), 16));
}

// Lines j and n - j of the real signal from lines j and n - j of the packed
// one, eight j at a time; the values at n - j run backwards in memory.
// Returns the first j left for the scalar form.
template <bool Inverse> int SplitLines(int16_t* re, int16_t* im, int n, int shift, Range& range) {
    if (n != SPEC_SIZE) return 1;
    const FftTables& t = Tables();
    int j = 1;
    for (; j + LANES - 1 < n / 2; j += LANES) {
        const int mirror = n - j - (LANES - 1);
        const V16 rj = LoadShifted(re + j, shift), ij = LoadShifted(im + j, shift);
        const V16 rm = v::Reverse(LoadShifted(re + mirror, shift)),
                  imm = v::Reverse(LoadShifted(im + mirror, shift));
        const int e = 2 * (TABLE_PI + j);
        const V16 cs0 = v::Load(t.rotate + e), cs1 = v::Load(t.rotate + e + LANES);
        const V16 sc0 = v::Load(t.turn + e), sc1 = v::Load(t.turn + e + LANES);
        const V16 p = HalfSum(rm, rj);
        const V16 q = HalfDiff(ij, imm);
        V16 m, o;
        if (Inverse) {
            // H = (-im[j] - im[n-j]) >> 1 = floor((~a + ~b) / 2) + 1, kept to 16 bits.
            const V16 ones = v::Splat(-1);
            const V16 h = v::Add(HalfSum(v::Xor(ij, ones), v::Xor(imm, ones)), v::Splat(1));
            const V16 d = HalfDiff(rj, rm);
            const V16 lo = v::InterleaveLow(d, h), hi = v::InterleaveHigh(d, h);
            m = Q15Part(lo, hi, sc0, sc1); // c H - s D = (D, H) . (-s, c)
            o = Q15Part(lo, hi, cs0, cs1); // c D + s H = (D, H) . (c, s)
        } else {
            const V16 s = HalfSum(imm, ij);
            const V16 d = HalfDiff(rm, rj);
            const V16 lo = v::InterleaveLow(s, d), hi = v::InterleaveHigh(s, d);
            m = Q15Part(lo, hi, cs0, cs1); // c S + s D = (S, D) . (c, s)
            o = Q15Part(lo, hi, sc0, sc1); // c D - s S = (S, D) . (-s, c)
        }
        const V16 reJ = v::Add(p, m), imJ = v::Add(q, o), reM = v::Sub(p, m), imM = v::Sub(o, q);
        v::Store(re + j, reJ);
        v::Store(im + j, imJ);
        v::Store(re + mirror, v::Reverse(reM));
        v::Store(im + mirror, v::Reverse(imM));
        range.Add(reJ);
        range.Add(imJ);
        range.Add(reM);
        range.Add(imM);
    }
    return j;
}

} // namespace

int16_t FftForward(int16_t* re, int16_t* im, int16_t log2n) {
    const int n = 1 << log2n;
    BitReverse(re, im, n);
    int16_t total = 0;
    int shift = 0; // the last stage's scaling, applied as the split reads the values
    if (n < 2 * LANES) {
        total = SmallStages(re, im, n, log2n, false);
    } else {
        // Each stage's scaling is applied by the next stage as it reads.
        for (int h = 1; h < n; h <<= 1) {
            shift = ForwardShift(Stage<false>(re, im, n, h, shift).Magnitude());
            total = static_cast<int16_t>(total + shift);
        }
    }

    // Line k of the real signal from lines k and n - k of the packed one; the
    // split's angle is pi k / n.
    Range unused;
    const int first = SplitLines<false>(re, im, n, shift, unused);
    const int stride = TABLE_PI >> log2n;
    auto at = [shift](int16_t x) { return static_cast<int16_t>(x >> shift); };
    for (int j = first; j < n / 2; ++j) {
        const int16_t c = SineTable[TABLE_HALF - j * stride];
        const int16_t s = SineTable[j * stride];
        const int16_t p = fixp::HalfSum(at(re[n - j]), at(re[j]));
        const int16_t q = fixp::HalfDiff(at(im[j]), at(im[n - j]));
        const int16_t sum = fixp::HalfSum(at(im[n - j]), at(im[j]));
        const int16_t d = fixp::HalfDiff(at(re[n - j]), at(re[j]));
        const int16_t m = fixp::Q15Sum(c, sum, s, d);
        const int16_t o = fixp::Q15Diff(c, d, s, sum);
        re[j] = fixp::Store16(p + m);
        im[j] = fixp::Store16(q + o);
        re[n - j] = fixp::Store16(p - m);
        im[n - j] = fixp::Store16(o - q);
    }
    re[0] = fixp::Store16(at(re[0]) + at(im[0]));
    im[0] = 0;
    re[n / 2] = at(re[n / 2]);
    im[n / 2] = fixp::Store16(-at(im[n / 2]));
    return static_cast<int16_t>(log2n + 1 - total);
}

int16_t FftInverse(int16_t* re, int16_t* im, int16_t log2n) {
    const int n = 1 << log2n;
    Range range;
    const int first = SplitLines<true>(re, im, n, 0, range);
    const int stride = TABLE_PI >> log2n;
    int32_t m = range.Magnitude();
    auto track = [&m](int16_t x) {
        m = std::max(m, fixp::Abs16(x));
        return x;
    };
    for (int j = first; j < n / 2; ++j) {
        const int16_t c = SineTable[TABLE_HALF - j * stride];
        const int16_t s = SineTable[j * stride];
        const int16_t p = fixp::HalfSum(re[n - j], re[j]);
        const int16_t q = fixp::HalfDiff(im[j], im[n - j]);
        const int16_t h = fixp::HalfSum(-im[j], -im[n - j]);
        const int16_t d = fixp::HalfDiff(re[j], re[n - j]);
        const int16_t mm = fixp::Q15Diff(c, h, s, d);
        const int16_t o = fixp::Q15Sum(c, d, s, h);
        re[j] = track(fixp::Store16(p + mm));
        im[j] = track(fixp::Store16(q + o));
        re[n - j] = track(fixp::Store16(p - mm));
        im[n - j] = track(fixp::Store16(o - q));
    }
    const int16_t re0 = re[0];
    const int16_t im0 = im[0];
    re[0] = track(fixp::HalfSum(re0, im0));
    im[0] = track(fixp::HalfDiff(re0, im0));
    track(re[n / 2]);
    im[n / 2] = track(fixp::Store16(-im[n / 2]));

    BitReverse(re, im, n);
    int16_t total = 0;
    if (n < 2 * LANES) {
        total = SmallStages(re, im, n, log2n, true);
    } else {
        // The scaling before each stage follows from the values the previous
        // pass wrote, and is applied as the stage reads them.
        for (int h = 1; h < n; h <<= 1) {
            const int shift = InverseShift(m);
            total = static_cast<int16_t>(total + shift);
            m = Stage<true>(re, im, n, h, shift).Magnitude();
        }
    }
    return static_cast<int16_t>(total + 1);
}
