#include "signals/Envelope.h"

#include "signals/Filters.h"
#include "signals/SignalMath.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace {

// The band's centre is 5/16 of the rate, so that the mixer's phasor repeats
// every 16 samples and is a table, exact at every sample.
constexpr int MIX_PERIOD = 16;
constexpr int MIX_TURNS = 5;
static_assert(ENVELOPE_CENTRE_HZ * MIX_PERIOD == MIX_TURNS * ENVELOPE_RATE);

// The anti-alias filter takes the envelope from half the high rate (5120)
// to 2560 values per second. A half-band filter suits a decimation by 2: it
// passes 0-1000 Hz within 0.002 dB and stops by 75 dB what would fold below
// 1000 Hz (1560 Hz and above), and only every second tap multiplies.
constexpr int HALF_DECIMATION = ENVELOPE_DECIMATION / 2;
constexpr int ALIAS_TAPS = 55;
constexpr std::size_t ALIAS_HALF = ALIAS_TAPS / 2;
static_assert(ENVELOPE_LEAD / 2 >= ALIAS_HALF && ENVELOPE_TRAIL / 2 >= ALIAS_HALF);
constexpr std::size_t SECTIONS = ENVELOPE_BAND_ORDER / 2;

// The magnitudes, a pair per instant: one of each half of the waveform,
// two lanes of one instruction where the processor has them. Each lane is
// plain IEEE arithmetic, so the result is the same bits either way.
typedef double TPair __attribute__((vector_size(16)));
// The band filter's channels: I and Q of the first half, I and Q of the
// second. Single precision: its rounding, some 1e-7 of the band's level,
// stays far below the E signal's last code at any level the converter
// holds, and four channels fit one instruction where two doubles would.
typedef float TQuad __attribute__((vector_size(16)));

struct TDemodulator {
    std::array<double, MIX_PERIOD> Cos{}, Sin{};
    // A Butterworth low-pass section has B1 = 2 B0 and B2 = B0, so the band
    // filter keeps B0, A1 and A2 only.
    std::array<TQuad, SECTIONS> B0{}, A1{}, A2{};
    std::vector<double> Alias;
};

TQuad Lanes(double v) {
    const auto f = static_cast<float>(v);
    return TQuad{f, f, f, f};
}

const TDemodulator& Demodulator() {
    static const TDemodulator d = [] {
        TDemodulator t;
        for (int n = 0; n < MIX_PERIOD; ++n) {
            const double angle = 2.0 * PI * ((MIX_TURNS * n) % MIX_PERIOD) / MIX_PERIOD;
            t.Cos[static_cast<std::size_t>(n)] = PortableCos(angle);
            t.Sin[static_cast<std::size_t>(n)] = PortableSin(angle);
        }
        const auto band = ButterworthLowPass<ENVELOPE_BAND_ORDER>(ENVELOPE_HALF_WIDTH_HZ, ENVELOPE_RATE);
        for (std::size_t s = 0; s < SECTIONS; ++s) {
            t.B0[s] = Lanes(band[s].B0);
            t.A1[s] = Lanes(band[s].A1);
            t.A2[s] = Lanes(band[s].A2);
        }
        t.Alias = BlackmanHalfBand(ALIAS_TAPS);
        return t;
    }();
    return d;
}

// The mixer for the two halves, the second starting `offset` samples into
// the first's period: (cos, -sin) of each, per sample of the period.
std::array<TQuad, MIX_PERIOD> Mixer(const TDemodulator& d, std::size_t offset) {
    std::array<TQuad, MIX_PERIOD> m{};
    for (std::size_t n = 0; n < MIX_PERIOD; ++n) {
        const std::size_t o = (n + offset) % MIX_PERIOD;
        m[n] = TQuad{static_cast<float>(d.Cos[n]), static_cast<float>(-d.Sin[n]),
                     static_cast<float>(d.Cos[o]), static_cast<float>(-d.Sin[o])};
    }
    return m;
}

// Width outputs of the anti-alias filter for each half, from the magnitudes
// x (one pair per instant), each output HALF_DECIMATION pairs after the
// one before. The filter is symmetric and half its taps are 0 (the ends
// too): each pair of samples an odd number of places from the centre shares
// its tap. The outputs are independent sums the processor overlaps.
template <std::size_t Width>
void DecimateBlock(const std::vector<double>& h, const TPair* x, double* first, double* second) {
    std::array<TPair, Width> sum;
    for (std::size_t j = 0; j < Width; ++j)
        sum[j] = h[ALIAS_HALF] * x[HALF_DECIMATION * j + ALIAS_HALF];
    for (std::size_t k = 1; k < ALIAS_HALF; k += 2)
        for (std::size_t j = 0; j < Width; ++j) {
            const TPair* centre = x + HALF_DECIMATION * j + ALIAS_HALF;
            sum[j] += h[ALIAS_HALF + k] * (centre[-static_cast<std::ptrdiff_t>(k)] + centre[k]);
        }
    for (std::size_t j = 0; j < Width; ++j) {
        first[j] = sum[j][0];
        second[j] = sum[j][1];
    }
}

} // namespace

double EnvelopeBandGain(double hz) {
    return ButterworthGain(ENVELOPE_BAND_ORDER, hz - ENVELOPE_CENTRE_HZ, ENVELOPE_HALF_WIDTH_HZ,
                           ENVELOPE_RATE);
}

std::vector<double> Demodulate(const std::vector<double>& high, int count) {
    if (count <= 0) return {};
    const auto outputs = static_cast<std::size_t>(count);
    if (high.size() != ENVELOPE_LEAD + ENVELOPE_DECIMATION * outputs + ENVELOPE_TRAIL)
        return std::vector<double>(outputs);
    if (outputs % 2 != 0) {
        // The halves are equal: one more output, on silence, and drop it.
        std::vector<double> padded = high;
        padded.resize(high.size() + ENVELOPE_DECIMATION);
        std::vector<double> out = Demodulate(padded, count + 1);
        out.pop_back();
        return out;
    }
    const TDemodulator& d = Demodulator();
    // Band-pass and analytic signal in one: mixing the band's centre down to
    // 0 Hz and low-passing both parts keeps only the band's positive
    // frequencies, so |I + jQ| x 2 is the band's envelope (quadrature
    // demodulation). The filter's recursion is a chain each sample waits
    // on, so the two halves of the waveform go through it side by side,
    // each half with its own lead to settle on; the band-limited magnitudes
    // are kept at half the rate, a pair per instant.
    const std::size_t half = outputs / 2;
    const std::size_t second = ENVELOPE_DECIMATION * half;
    const std::size_t length = ENVELOPE_LEAD + second + ENVELOPE_TRAIL;
    std::vector<TPair> magnitude(length / 2);
    const std::array<TQuad, MIX_PERIOD> mixer = Mixer(d, second % MIX_PERIOD);
    std::array<TQuad, SECTIONS> s1{}, s2{};
    for (std::size_t n = 0; n < length; ++n) {
        const auto a = static_cast<float>(high[n]);
        const auto b = static_cast<float>(high[second + n]);
        TQuad v = TQuad{a, a, b, b} * mixer[n % MIX_PERIOD];
        for (std::size_t s = 0; s < SECTIONS; ++s) {
            // Transposed direct form II, with B1 v = w + w and B2 v = w.
            const TQuad w = d.B0[s] * v;
            const TQuad y = w + s1[s];
            s1[s] = (w + w) - d.A1[s] * y + s2[s];
            s2[s] = w - d.A2[s] * y;
            v = y;
        }
        if (n % 2 == 0) {
            const TQuad square = v * v;
            magnitude[n / 2] =
                TPair{static_cast<double>(square[0] + square[1]), static_cast<double>(square[2] + square[3])};
        }
    }
    for (TPair& v : magnitude)
        v = TPair{2.0 * std::sqrt(v[0]), 2.0 * std::sqrt(v[1])};
    // Low-pass and decimate, each output centred on its own instant.
    std::vector<double> out(outputs);
    constexpr std::size_t BLOCK = 4;
    const TPair* x = magnitude.data() + ENVELOPE_LEAD / 2 - ALIAS_HALF;
    std::size_t m = 0;
    for (; m + BLOCK <= half; m += BLOCK)
        DecimateBlock<BLOCK>(d.Alias, x + HALF_DECIMATION * m, &out[m], &out[half + m]);
    for (; m < half; ++m)
        DecimateBlock<1>(d.Alias, x + HALF_DECIMATION * m, &out[m], &out[half + m]);
    return out;
}
