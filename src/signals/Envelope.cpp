#include "signals/Envelope.h"

#include "signals/Filters.h"
#include "signals/SignalMath.h"

#include <array>
#include <cmath>

namespace {

// The band's centre is 5/16 of the rate, so that the mixer's phasor repeats
// every 16 samples and is a table, exact at every sample.
constexpr int MIX_PERIOD = 16;
constexpr int MIX_TURNS = 5;
static_assert(ENVELOPE_CENTRE_HZ * MIX_PERIOD == MIX_TURNS * ENVELOPE_RATE);

// The anti-alias filter takes the envelope from half the high rate (5120)
// to 2560 values per second: it passes 0-1000 Hz within 0.02 dB and stops
// by 75 dB and more what would fold below 1000 Hz (1560 Hz and above).
constexpr int HALF_DECIMATION = ENVELOPE_DECIMATION / 2;
constexpr double HALF_RATE = ENVELOPE_RATE / 2.0;
constexpr int ALIAS_TAPS = 49;
constexpr double ALIAS_CUTOFF_HZ = 1250.0;
constexpr int SECTIONS = ENVELOPE_BAND_ORDER / 2;

// I and Q side by side: both go through the same filter, two lanes of one
// instruction where the processor has them. Each lane is plain IEEE double
// arithmetic, so the result is the same bits either way.
typedef double TPair __attribute__((vector_size(16)));

struct TDemodulator {
    std::array<TPair, MIX_PERIOD> Mixer{}; // cos, -sin
    std::array<TBiquad, SECTIONS> Band{};
    std::vector<double> Alias;
};

const TDemodulator& Demodulator() {
    static const TDemodulator d = [] {
        TDemodulator t;
        for (int n = 0; n < MIX_PERIOD; ++n) {
            const double angle = 2.0 * PI * ((MIX_TURNS * n) % MIX_PERIOD) / MIX_PERIOD;
            t.Mixer[static_cast<std::size_t>(n)] = TPair{PortableCos(angle), -PortableSin(angle)};
        }
        t.Band = ButterworthLowPass<ENVELOPE_BAND_ORDER>(ENVELOPE_HALF_WIDTH_HZ, ENVELOPE_RATE);
        t.Alias = BlackmanSincLowPass(ALIAS_TAPS, ALIAS_CUTOFF_HZ, HALF_RATE);
        return t;
    }();
    return d;
}

} // namespace

double EnvelopeBandGain(double hz) {
    return ButterworthGain(ENVELOPE_BAND_ORDER, hz - ENVELOPE_CENTRE_HZ, ENVELOPE_HALF_WIDTH_HZ,
                           ENVELOPE_RATE);
}

std::vector<double> Demodulate(const std::vector<double>& high, int count) {
    const TDemodulator& d = Demodulator();
    // Band-pass and analytic signal in one: mixing the band's centre down to
    // 0 Hz and low-passing both parts keeps only the band's positive
    // frequencies, so |I + jQ| x 2 is the band's envelope (quadrature
    // demodulation). The band-limited I and Q are kept at half the rate.
    const std::size_t total = high.size();
    std::vector<double> magnitude(total / 2);
    std::array<TPair, SECTIONS> s1{}, s2{};
    std::array<TPair, SECTIONS> b0{}, b1{}, b2{}, a1{}, a2{};
    for (std::size_t s = 0; s < SECTIONS; ++s) {
        const TBiquad& b = d.Band[s];
        b0[s] = TPair{b.B0, b.B0};
        b1[s] = TPair{b.B1, b.B1};
        b2[s] = TPair{b.B2, b.B2};
        a1[s] = TPair{b.A1, b.A1};
        a2[s] = TPair{b.A2, b.A2};
    }
    for (std::size_t n = 0; n < total; ++n) {
        TPair v = high[n] * d.Mixer[n % MIX_PERIOD];
        for (std::size_t s = 0; s < SECTIONS; ++s) {
            const TPair y = b0[s] * v + s1[s];
            s1[s] = b1[s] * v - a1[s] * y + s2[s];
            s2[s] = b2[s] * v - a2[s] * y;
            v = y;
        }
        if (n % 2 == 0) magnitude[n / 2] = v[0] * v[0] + v[1] * v[1];
    }
    // Apart from the filter's loop, the square roots go two at a time.
    for (double& v : magnitude)
        v = 2.0 * std::sqrt(v);
    // Low-pass and decimate, each output centred on its own instant; the
    // filter is symmetric, so each pair of samples shares its tap.
    std::vector<double> out(static_cast<std::size_t>(count));
    constexpr std::size_t HALF = ALIAS_TAPS / 2;
    for (std::size_t m = 0; m < out.size(); ++m) {
        const double* x = magnitude.data() + ENVELOPE_LEAD / 2 + HALF_DECIMATION * m - HALF;
        double sum = d.Alias[HALF] * x[HALF];
        for (std::size_t k = 0; k < HALF; ++k)
            sum += d.Alias[k] * (x[k] + x[ALIAS_TAPS - 1 - k]);
        out[m] = sum;
    }
    return out;
}
