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

unsigned Reverse(unsigned i) {
    unsigned r = 0;
    for (int b = 0; b < HALF_LOG2; ++b)
        r = (r << 1) | ((i >> b) & 1u);
    return r;
}

// In-place radix-2 transform of 4096 points.
void Transform(std::vector<TComplex>& z) {
    const auto& w = Twiddles();
    for (unsigned i = 0; i < HALF; ++i) {
        const unsigned r = Reverse(i);
        if (i < r) std::swap(z[i], z[r]);
    }
    for (int half = 1; half < HALF; half *= 2) {
        // Twiddle of butterfly j: exp(-j 2 pi j / (2 half)) = w[j x 4096 / half].
        const int stride = HALF / half;
        for (int start = 0; start < HALF; start += 2 * half)
            for (int j = 0; j < half; ++j) {
                TComplex& top = z[static_cast<std::size_t>(start + j)];
                TComplex& bottom = z[static_cast<std::size_t>(start + j + half)];
                const TComplex t = bottom * w[static_cast<std::size_t>(j * stride)];
                bottom = top - t;
                top += t;
            }
    }
}

} // namespace

std::vector<double> LineRms(const std::vector<double>& samples) {
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
    // Hann through the spectrum, then scaled so that a centred sinusoid of
    // amplitude A reads A / sqrt 2 on its line: |X| = A N / 2 unwindowed,
    // A N / 4 windowed.
    std::vector<double> lines(SIGNAL_LINES);
    const double scale = 4.0 / SIGNAL_LENGTH / std::sqrt(2.0);
    for (int k = 0; k < SIGNAL_LINES; ++k) {
        const TComplex before = k > 0 ? x[static_cast<std::size_t>(k - 1)] : std::conj(x[1]);
        const TComplex windowed =
            0.5 * x[static_cast<std::size_t>(k)] - 0.25 * before - 0.25 * x[static_cast<std::size_t>(k + 1)];
        lines[static_cast<std::size_t>(k)] = std::abs(windowed) * scale;
    }
    return lines;
}

double BandRms(const std::vector<double>& lines, int first, int last) {
    // A centred sinusoid spreads over three lines with 1, 1/4 and 1/4 of its
    // energy: the sum overstates its RMS square by 3/2.
    double sum = 0.0;
    for (int k = first; k <= last; ++k)
        sum += lines[static_cast<std::size_t>(k)] * lines[static_cast<std::size_t>(k)];
    return std::sqrt(sum * 2.0 / 3.0);
}
