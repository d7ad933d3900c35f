#include "pcdata/RealDft.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <utility>

namespace {

// Twiddles from one table of n/2 angles computed directly (not by repeated
// multiplication), so the error stays near the rounding of one product.
void Radix2(std::vector<std::complex<double>>& x) {
    const std::size_t n = x.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j |= bit;
        if (i < j) std::swap(x[i], x[j]);
    }
    std::vector<std::complex<double>> twiddle(n / 2);
    for (std::size_t k = 0; k < n / 2; ++k)
        twiddle[k] = std::polar(1.0, -2 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n));
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const std::size_t stride = n / length;
        for (std::size_t start = 0; start < n; start += length)
            for (std::size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> odd = x[start + k + length / 2] * twiddle[k * stride];
                x[start + k + length / 2] = x[start + k] - odd;
                x[start + k] += odd;
            }
    }
}

} // namespace

std::vector<std::complex<double>> RealDftRadix2(const std::vector<double>& in) {
    const std::size_t n = in.size();
    if (n == 0) return {};
    std::vector<std::complex<double>> out(n / 2 + 1);
    if ((n & (n - 1)) == 0) {
        std::vector<std::complex<double>> x(in.begin(), in.end());
        Radix2(x);
        std::copy(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(out.size()), out.begin());
        return out;
    }
    // Any other length (a record from another source): Bluestein's chirp,
    // a convolution done with power-of-two transforms, so that a long record
    // of an odd length costs n log n too. j^2 is reduced modulo 2n in
    // integers so that the chirp's angle stays exact.
    std::vector<std::complex<double>> chirp(n);
    for (std::size_t j = 0; j < n; ++j) {
        const uint64_t turn = (static_cast<uint64_t>(j) * j) % (2 * static_cast<uint64_t>(n));
        chirp[j] = std::polar(1.0, -std::numbers::pi * static_cast<double>(turn) / static_cast<double>(n));
    }
    std::size_t m = 1;
    while (m < 2 * n - 1)
        m <<= 1;
    std::vector<std::complex<double>> a(m), b(m);
    for (std::size_t j = 0; j < n; ++j) {
        a[j] = in[j] * chirp[j];
        b[j] = std::conj(chirp[j]);
        if (j) b[m - j] = b[j];
    }
    Radix2(a);
    Radix2(b);
    // The inverse transform as the forward one of the conjugate.
    for (std::size_t i = 0; i < m; ++i)
        a[i] = std::conj(a[i] * b[i]);
    Radix2(a);
    for (std::size_t k = 0; k < out.size(); ++k)
        out[k] = chirp[k] * std::conj(a[k]) / static_cast<double>(m);
    return out;
}
