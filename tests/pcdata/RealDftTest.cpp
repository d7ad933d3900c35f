// The web edition's transform against FFTW, the desktop's: every bin within
// 1e-9 of the largest, for the instrument's record and its finer paddings
// (powers of two) and for lengths that take the chirp path.
#include "pcdata/RealDft.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

class RealDftTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(RealDftTest, AgreesWithFftw) {
    const std::size_t n = GetParam();
    std::mt19937 random(static_cast<uint32_t>(n));
    std::normal_distribution<double> noise(0, 1);
    std::vector<double> in(n);
    for (std::size_t i = 0; i < n; ++i)
        in[i] = noise(random) + 3 * std::sin(0.37 * static_cast<double>(i)) + 0.5; // a tone over a mean
    const auto reference = RealDft(in);
    const auto got = RealDftRadix2(in);
    ASSERT_EQ(got.size(), n / 2 + 1);
    ASSERT_EQ(reference.size(), got.size());
    double largest = 0, worst = 0;
    for (const auto& x : reference)
        largest = std::max(largest, std::abs(x));
    for (std::size_t k = 0; k < got.size(); ++k)
        worst = std::max(worst, std::abs(got[k] - reference[k]));
    EXPECT_LE(worst, 1e-9 * largest) << "n " << n;
}

INSTANTIATE_TEST_SUITE_P(Lengths, RealDftTest,
                         ::testing::Values(1, 2, 3, 8192, 16384, 65536, 1000, 8191, 12289));

} // namespace
