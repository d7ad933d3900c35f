// The device's fixed-width number formatter.
#include "device/Global.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace {

// Formats into a guarded buffer and checks that nothing past the terminator is written.
std::string Format(float value, short n) {
    char buffer[16];
    std::fill(std::begin(buffer), std::end(buffer), '#');
    FormatFixed(value, n, buffer);
    EXPECT_EQ(buffer[n + 1], '\0');
    EXPECT_EQ(buffer[n + 2], '#') << "wrote past the terminator";
    return buffer;
}

struct TFormatCase {
    float value;
    short n;
    const char* text;
};

void PrintTo(const TFormatCase& c, std::ostream* os) {
    *os << c.value << " n=" << c.n;
}

class FormatFixedTest : public ::testing::TestWithParam<TFormatCase> {};

TEST_P(FormatFixedTest, GivesTheInstrumentsText) {
    EXPECT_EQ(Format(GetParam().value, GetParam().n), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FormatFixedTest,
    ::testing::Values(
        // n = 3, the level readings
        TFormatCase{9.96f, 3, "9.96"}, TFormatCase{0.5f, 3, "0.50"}, TFormatCase{9.996f, 3, "10.0"},
        TFormatCase{123.0f, 3, "123."}, TFormatCase{12345.0f, 3, "2345"}, TFormatCase{0.0f, 3, "0.00"},
        TFormatCase{0.004f, 3, "0.00"}, TFormatCase{0.9996f, 3, "1.00"}, TFormatCase{99.96f, 3, "100."},
        TFormatCase{999.6f, 3, "1000"}, TFormatCase{1000.0f, 3, "1000"}, TFormatCase{0.125f, 3, "0.13"},
        // single precision: 0.285f (0.28499999...) times 10 twice lands on 28.5 exactly
        TFormatCase{0.285f, 3, "0.29"}, TFormatCase{0.055f, 3, "0.06"},
        // n = 4, the spectrum view
        TFormatCase{3.14159f, 4, "3.142"}, TFormatCase{25.5f, 4, "25.50"}, TFormatCase{99.999f, 4, "100.0"},
        TFormatCase{9999.7f, 4, "10000"}, TFormatCase{0.00004f, 4, "0.000"},
        TFormatCase{12345.0f, 4, "12345"}, TFormatCase{123456.0f, 4, "23456"},
        // short widths: exact halves round up
        TFormatCase{0.25f, 2, "0.3"}, TFormatCase{45.5f, 2, "46."}, TFormatCase{99.5f, 2, "100"},
        TFormatCase{5.0f, 1, "5."}, TFormatCase{0.7f, 1, "1."}, TFormatCase{9.6f, 1, "10"}));

// Independent reference for values well away from a rounding step: the C
// library's rounding to f fraction digits, where f leaves room for the integer
// digits, one digit fewer when rounding carries into a new one, and the point
// kept as the last character when no fraction digit remains.
std::string Reference(double value, int n, int fracDigits) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", fracDigits, value);
    std::string s = text;
    if (fracDigits == 0) s += '.';
    if (static_cast<int>(s.size()) > n + 1) { // carried into a new digit
        if (fracDigits == 0) return s.substr(0, s.size() - 1);
        return Reference(value, n, fracDigits - 1);
    }
    return s;
}

TEST(FormatFixedSweepTest, AgreesWithDecimalRoundingAwayFromTies) {
    std::mt19937 random(99);
    for (short n = 1; n <= 4; ++n) {
        for (int fracDigits = 0; fracDigits < n; ++fracDigits) {
            const int intDigits = n - fracDigits;
            const int lowest = intDigits > 1 ? static_cast<int>(std::pow(10, n - 1)) : 0;
            const int highest = static_cast<int>(std::pow(10, n)) - 1;
            const double scale = std::pow(10, fracDigits);
            std::uniform_int_distribution<int> mantissas(lowest, highest);
            for (int k = 0; k < 300; ++k) {
                const int m = k == 0 ? lowest : k == 1 ? highest : mantissas(random);
                for (double offset : {0.0, 0.3, 0.7}) {
                    const auto value = static_cast<float>((m + offset) / scale);
                    ASSERT_EQ(Format(value, n), Reference(value, n, fracDigits))
                        << "value " << value << " n " << n;
                }
            }
        }
    }
}

TEST(FormatFixedSweepTest, OutOfRangeInputStaysWithinTheBuffer) {
    for (float value : {-1.0f, -0.4f, NAN, INFINITY, 3.0e38f}) {
        const std::string text = Format(value, 4);
        EXPECT_EQ(text.size(), 5u) << value;
    }
}

} // namespace
