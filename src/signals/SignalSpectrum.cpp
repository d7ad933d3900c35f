#include "signals/SignalSpectrum.h"

#include "signals/SignalMath.h"

#include <cmath>
#include <complex>

namespace {

using TComplex = std::complex<double>;
constexpr int HALF = SIGNAL_LENGTH / 2; // complex points of the packed transform
constexpr int HALF_LOG2 = 12;

// exp(-j 2 pi k / 8192) for k = 0..4095, built once (the first caller's
// thread builds it; the language makes the others wait).
const std::vector<TComplex>& Twiddles() {
    static const std::vector<TComplex> table = [] {
        std::vector<TComplex> t(HALF);
        for (int k = 0; k < HALF; ++k) {
            const double angle = -2.0 * PI * k / SIGNAL_LENGTH;
            t[static_cast<std::size_t>(k)] = {PortableCos(angle), PortableSin(angle)};
        }
        return t;
    }();
    return table;
}

// Bit-reversed positions of 0..4095, built once like the twiddles.
const std::vector<unsigned>& Reversed() {
    static const std::vector<unsigned> table = [] {
        std::vector<unsigned> r(HALF);
        for (unsigned i = 0; i < HALF; ++i)
            for (int b = 0; b < HALF_LOG2; ++b)
                r[i] = (r[i] << 1) | ((i >> b) & 1u);
        return r;
    }();
    return table;
}

// In-place radix-2 transform of 4096 points. The products are written out
// as (ac - bd) + j(ad + bc), what the complex product computes for finite
// values, without its checks for infinities: the same bits, faster.
void Transform(std::vector<TComplex>& z) {
    const auto& w = Twiddles();
    const auto& reversed = Reversed();
    for (unsigned i = 0; i < HALF; ++i) {
        const unsigned r = reversed[i];
        if (i < r) std::swap(z[i], z[r]);
    }
    for (int half = 1; half < HALF; half *= 2) {
        // Twiddle of butterfly j: exp(-j 2 pi j / (2 half)) = w[j x 4096 / half].
        const int stride = HALF / half;
        for (int start = 0; start < HALF; start += 2 * half)
            for (int j = 0; j < half; ++j) {
                TComplex& top = z[static_cast<std::size_t>(start + j)];
                TComplex& bottom = z[static_cast<std::size_t>(start + j + half)];
                const TComplex& twiddle = w[static_cast<std::size_t>(j * stride)];
                const double re = bottom.real() * twiddle.real() - bottom.imag() * twiddle.imag();
                const double im = bottom.real() * twiddle.imag() + bottom.imag() * twiddle.real();
                bottom = {top.real() - re, top.imag() - im};
                top = {top.real() + re, top.imag() + im};
            }
    }
}

} // namespace

namespace {

// The transform of samples[0..8191], windowed through the spectrum (Hann),
// lines 0..4095, unscaled.
std::vector<TComplex> WindowedLines(const std::vector<double>& samples) {
    // Pack the real samples as 4096 complex points, transform, and split.
    std::vector<TComplex> z(HALF);
    for (int n = 0; n < HALF; ++n)
        z[static_cast<std::size_t>(n)] = {samples[static_cast<std::size_t>(2 * n)],
                                          samples[static_cast<std::size_t>(2 * n + 1)]};
    Transform(z);
    const auto& w = Twiddles();
    std::vector<TComplex> x(HALF + 1);
    for (int k = 0; k <= HALF; ++k) {
        const TComplex a = z[static_cast<std::size_t>(k % HALF)];
        const TComplex b = std::conj(z[static_cast<std::size_t>((HALF - k) % HALF)]);
        const TComplex even = 0.5 * (a + b);
        const TComplex odd = TComplex(0.0, -0.5) * (a - b);
        const TComplex twiddle = k < HALF ? w[static_cast<std::size_t>(k)] : TComplex(-1.0, 0.0);
        x[static_cast<std::size_t>(k)] = even + twiddle * odd;
    }
    std::vector<TComplex> lines(SIGNAL_LINES);
    for (int k = 0; k < SIGNAL_LINES; ++k) {
        const TComplex before = k > 0 ? x[static_cast<std::size_t>(k - 1)] : std::conj(x[1]);
        lines[static_cast<std::size_t>(k)] =
            0.5 * x[static_cast<std::size_t>(k)] - 0.25 * before - 0.25 * x[static_cast<std::size_t>(k + 1)];
    }
    return lines;
}

// Scaled so that a centred sinusoid of amplitude A reads A / sqrt 2 on its
// line: |X| = A N / 2 unwindowed, A N / 4 windowed.
const double LINE_SCALE = 4.0 / SIGNAL_LENGTH / std::sqrt(2.0);

// A centred sinusoid spreads over three lines with 1, 1/4 and 1/4 of its
// energy: their sum of squares overstates its RMS square by 3/2.
constexpr double BAND_ENERGY = 2.0 / 3.0;

} // namespace

std::vector<double> LineRms(const std::vector<double>& samples) {
    const std::vector<TComplex> windowed = WindowedLines(samples);
    std::vector<double> lines(SIGNAL_LINES);
    for (std::size_t k = 0; k < lines.size(); ++k)
        lines[k] = std::abs(windowed[k]) * LINE_SCALE;
    return lines;
}

double BandRms(const std::vector<double>& lines, int first, int last) {
    double sum = 0.0;
    for (int k = first; k <= last; ++k)
        sum += lines[static_cast<std::size_t>(k)] * lines[static_cast<std::size_t>(k)];
    return std::sqrt(sum * BAND_ENERGY);
}

double SignalBandRms(const std::vector<double>& samples, int first, int last) {
    // Squares of the magnitudes as they are: no square root per line.
    const std::vector<TComplex> windowed = WindowedLines(samples);
    double sum = 0.0;
    for (int k = first; k <= last; ++k) {
        const TComplex& line = windowed[static_cast<std::size_t>(k)];
        sum += line.real() * line.real() + line.imag() * line.imag();
    }
    return std::sqrt(sum * BAND_ENERGY) * LINE_SCALE;
}
