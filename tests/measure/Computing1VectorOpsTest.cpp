// The vector back end in use (SSE2 natively, WebAssembly SIMD in the web
// edition) must agree with the portable one lane for lane, so that the
// computation gives the same integers on any processor.
#include "measure/FixedPointLanes.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <functional>
#include <random>
#include <string>

namespace {

namespace p = fixp::portable;

using Lanes16 = std::array<int16_t, 8>;
using Lanes32 = std::array<int32_t, 4>;

// Random lanes with the extremes of 16 bits mixed in.
Lanes16 RandomLanes(std::mt19937& random) {
    static constexpr int16_t EXTREMES[] = {-32768, -32767, -1, 0, 1, 32767};
    Lanes16 l;
    for (int16_t& x : l) {
        const uint32_t r = random();
        x = (r & 3) == 0 ? EXTREMES[(r >> 2) % 6] : static_cast<int16_t>(r >> 16);
    }
    return l;
}

Lanes16 Of(p::V16 a) {
    return std::bit_cast<Lanes16>(a.l);
}
Lanes32 Of(p::V32 a) {
    return std::bit_cast<Lanes32>(a.l);
}
p::V16 Portable(const Lanes16& l) {
    return p::Load(l.data());
}

#if defined(__SSE2__) || defined(__wasm_simd128__)
namespace s = fixp::vec;

Lanes16 Of(s::V16 a) {
    return s::Lanes(a);
}
Lanes32 Of(s::V32 a) {
    return s::Lanes(a);
}
s::V16 Simd(const Lanes16& l) {
    return s::Load(l.data());
}

struct BinaryCase {
    std::string name;
    std::function<Lanes16(p::V16, p::V16)> portable;
    std::function<Lanes16(s::V16, s::V16)> simd;
};

std::ostream& operator<<(std::ostream& out, const BinaryCase& c) {
    return out << c.name;
}

// The same operation from each implementation, on 16-bit lanes.
// clang-format off
#define ORX_BINARY(op) \
    BinaryCase{#op, [](p::V16 a, p::V16 b) { return Of(p::op(a, b)); }, \
               [](s::V16 a, s::V16 b) { return Of(s::op(a, b)); }}
// clang-format on

const BinaryCase BINARY[] = {
    ORX_BINARY(Add),
    ORX_BINARY(Sub),
    ORX_BINARY(Max),
    ORX_BINARY(Min),
    ORX_BINARY(And),
    ORX_BINARY(Xor),
    ORX_BINARY(InterleaveLow),
    ORX_BINARY(InterleaveHigh),
    ORX_BINARY(EvenLanes),
    ORX_BINARY(OddLanes),
    ORX_BINARY(EvenPairs),
    ORX_BINARY(OddPairs),
    ORX_BINARY(InterleavePairsLow),
    ORX_BINARY(InterleavePairsHigh),
    ORX_BINARY(LowHalves),
    ORX_BINARY(HighHalves),
    BinaryCase{"MulAddPairs",
               [](p::V16 a, p::V16 b) { return std::bit_cast<Lanes16>(Of(p::MulAddPairs(a, b))); },
               [](s::V16 a, s::V16 b) { return std::bit_cast<Lanes16>(Of(s::MulAddPairs(a, b))); }},
    BinaryCase{"ProductsLow",
               [](p::V16 a, p::V16 b) { return std::bit_cast<Lanes16>(Of(p::ProductsLow(a, b))); },
               [](s::V16 a, s::V16 b) { return std::bit_cast<Lanes16>(Of(s::ProductsLow(a, b))); }},
    BinaryCase{"ProductsHigh",
               [](p::V16 a, p::V16 b) { return std::bit_cast<Lanes16>(Of(p::ProductsHigh(a, b))); },
               [](s::V16 a, s::V16 b) { return std::bit_cast<Lanes16>(Of(s::ProductsHigh(a, b))); }},
    // 32-bit lanes: the 16-bit lanes taken two at a time.
    BinaryCase{"Add32",
               [](p::V16 a, p::V16 b) {
                   return std::bit_cast<Lanes16>(Of(p::Add(p::MulAddPairs(a, a), p::MulAddPairs(b, b))));
               },
               [](s::V16 a, s::V16 b) {
                   return std::bit_cast<Lanes16>(Of(s::Add(s::MulAddPairs(a, a), s::MulAddPairs(b, b))));
               }},
    BinaryCase{"Max32",
               [](p::V16 a, p::V16 b) {
                   return std::bit_cast<Lanes16>(Of(p::Max(p::ProductsLow(a, b), p::ProductsHigh(a, b))));
               },
               [](s::V16 a, s::V16 b) {
                   return std::bit_cast<Lanes16>(Of(s::Max(s::ProductsLow(a, b), s::ProductsHigh(a, b))));
               }},
    BinaryCase{"Narrow",
               [](p::V16 a, p::V16 b) { return Of(p::Narrow(p::ProductsLow(a, b), p::MulAddPairs(a, b))); },
               [](s::V16 a, s::V16 b) { return Of(s::Narrow(s::ProductsLow(a, b), s::MulAddPairs(a, b))); }},
};
#undef ORX_BINARY

class VectorBinaryTest : public ::testing::TestWithParam<BinaryCase> {};

TEST_P(VectorBinaryTest, ImplementationsAgree) {
    std::mt19937 random(std::hash<std::string>{}(GetParam().name) & 0xFFFF);
    for (int i = 0; i < 2000; ++i) {
        const Lanes16 a = RandomLanes(random), b = RandomLanes(random);
        ASSERT_EQ(GetParam().portable(Portable(a), Portable(b)), GetParam().simd(Simd(a), Simd(b))) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, VectorBinaryTest, ::testing::ValuesIn(BINARY),
                         [](const ::testing::TestParamInfo<BinaryCase>& c) { return c.param.name; });

TEST(VectorUnaryTest, ShiftsRearrangementsAndReductionsAgree) {
    std::mt19937 random(99);
    for (int i = 0; i < 2000; ++i) {
        const Lanes16 a = RandomLanes(random);
        const p::V16 pa = Portable(a);
        const s::V16 sa = Simd(a);
        // Counts of 16 and more shift every bit out of a 16-bit lane.
        for (int n = 0; n < 32; ++n) {
            ASSERT_EQ(Of(p::ShiftRight(pa, n)), Of(s::ShiftRight(sa, n))) << n;
            ASSERT_EQ(Of(p::ShiftRightLogical(pa, n)), Of(s::ShiftRightLogical(sa, n))) << n;
            ASSERT_EQ(Of(p::ShiftLeft(pa, n)), Of(s::ShiftLeft(sa, n))) << n;
        }
        for (int n = 0; n < 16; ++n) {
            ASSERT_EQ(Of(p::ShiftRight(p::MulAddPairs(pa, pa), 2 * n)),
                      Of(s::ShiftRight(s::MulAddPairs(sa, sa), 2 * n)));
            ASSERT_EQ(Of(p::ShiftLeft(p::MulAddPairs(pa, pa), 2 * n)),
                      Of(s::ShiftLeft(s::MulAddPairs(sa, sa), 2 * n)));
        }
        ASSERT_EQ(Of(p::Reverse(pa)), Of(s::Reverse(sa)));
        ASSERT_EQ(Of(p::RepeatLow(pa)), Of(s::RepeatLow(sa)));
        ASSERT_EQ(Of(p::SplatPair(a[0], a[1])), Of(s::SplatPair(a[0], a[1])));
        ASSERT_EQ(p::Largest(pa), s::Largest(sa));
        ASSERT_EQ(p::Smallest(pa), s::Smallest(sa));
        const p::V32 products = p::ProductsLow(pa, p::Reverse(pa));
        const s::V32 simdProducts = s::ProductsLow(sa, s::Reverse(sa));
        ASSERT_EQ(p::Largest(products), s::Largest(simdProducts));
        ASSERT_EQ(p::Sum(products), s::Sum(simdProducts));
        const p::VF pf = p::ToFloat(p::ShiftRight(products, 8));
        const s::VF sf = s::ToFloat(s::ShiftRight(simdProducts, 8));
        ASSERT_EQ(p::Largest(pf), s::Largest(sf));
        ASSERT_EQ(p::Smallest(pf), s::Smallest(sf));
        ASSERT_EQ(p::Largest(p::Max(pf, p::SplatF(3.0f))), s::Largest(s::Max(sf, s::SplatF(3.0f))));
        ASSERT_EQ(p::Smallest(p::Min(pf, p::SplatF(-3.0f))), s::Smallest(s::Min(sf, s::SplatF(-3.0f))));

        const Lanes16 b = RandomLanes(random);
        const p::V16 pb = Portable(b);
        const s::V16 sb = Simd(b);
        ASSERT_EQ(Of(p::ShiftLanesIn(pa, pb)), Of(s::ShiftLanesIn(sa, sb)));
        ASSERT_EQ(Of(p::Ramp(a[0])), Of(s::Ramp(a[0])));
        ASSERT_EQ(Of(p::WidenLow(pa)), Of(s::WidenLow(sa)));
        ASSERT_EQ(Of(p::WidenHigh(pa)), Of(s::WidenHigh(sa)));
        ASSERT_EQ(Of(p::NarrowWrap(p::MulAddPairs(pa, pb), products)),
                  Of(s::NarrowWrap(s::MulAddPairs(sa, sb), simdProducts)));
        ASSERT_EQ(Of(p::Abs(products)), Of(s::Abs(simdProducts)));
        ASSERT_EQ(p::SumUnsigned(products), s::SumUnsigned(simdProducts));
        // Roots of sums of either sign, and quotients by divisors up to 2^15 - 1.
        ASSERT_EQ(Of(p::SquareRootFloor(p::MulAddPairs(pa, pb))),
                  Of(s::SquareRootFloor(s::MulAddPairs(sa, sb))));
        double reciprocals[4];
        for (double& r : reciprocals)
            r = 1.0 / static_cast<double>(1 + random() % 32767);
        const p::V32 dividends = p::ShiftLeft(p::WidenLow(pb), 15);
        ASSERT_EQ(Of(p::DivideTowardZero(dividends, reciprocals)),
                  Of(s::DivideTowardZero(s::ShiftLeft(s::WidenLow(sb), 15), reciprocals)));
    }
}
#else
TEST(VectorUnaryTest, ShiftsRearrangementsAndReductionsAgree) {
    GTEST_SKIP() << "only the portable form is built";
}
#endif

} // namespace
