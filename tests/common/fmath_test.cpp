#include "common/fmath.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace lumeshade {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Distance in units of the last place between two finite floats of one sign.
int64_t Ulps(float a, float b) {
    return std::abs(int64_t(std::bit_cast<int32_t>(a)) - int64_t(std::bit_cast<int32_t>(b)));
}

bool SameFloat(float a, float b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b);
}

TEST(PowFTest, SpecialOperandsGiveTheCLibrarysResults) {
    const float values[] = {0.0f, -0.0f, 1.0f,  -1.0f,  0.5f,  -0.5f, 2.0f,  -2.0f,
                            3.0f, -3.0f, 0.25f, 1e-40f, 1e30f, kInf,  -kInf, kNaN};
    for (float x : values) {
        for (float y : values) {
            EXPECT_TRUE(SameFloat(PowF(x, y), std::pow(x, y)))
                << "pow(" << x << ", " << y << ") = " << PowF(x, y) << ", libm " << std::pow(x, y);
        }
    }
}

TEST(PowFTest, ExactCasesStayExact) {
    EXPECT_EQ(PowF(2.0f, 2.0f), 4.0f);
    EXPECT_EQ(PowF(2.0f, 4.0f), 16.0f);
    EXPECT_EQ(PowF(0.5f, 4.0f), 0.0625f);
    EXPECT_EQ(PowF(2.0f, 0.5f), std::sqrt(2.0f));
    EXPECT_EQ(PowF(8.0f, 1.0f / 3.0f), 2.0f);
    EXPECT_EQ(PowF(2.0f, -1.0f), 0.5f);
    EXPECT_EQ(PowF(1.7f, 1.0f), 1.7f);
    const float x = 1.2345678f;
    EXPECT_EQ(PowF(x, 2.0f), x * x);
}

TEST(SquareFTest, IsPowFOfTwoBitForBit) {
    const float specials[] = {0.0f,  -0.0f,  1.0f, -1.0f, 1e-40f, -1e-40f,
                              1e20f, -1e20f, kInf, -kInf, kNaN,   -kNaN};
    for (float x : specials) {
        EXPECT_EQ(std::bit_cast<uint32_t>(SquareF(x)), std::bit_cast<uint32_t>(PowF(x, 2.0f))) << x;
    }
    std::mt19937 rng(5);
    std::uniform_int_distribution<uint32_t> bits;
    for (int i = 0; i < 100000; ++i) {
        const float x = std::bit_cast<float>(bits(rng));
        ASSERT_EQ(std::bit_cast<uint32_t>(SquareF(x)), std::bit_cast<uint32_t>(PowF(x, 2.0f)))
            << std::bit_cast<uint32_t>(x);
    }
}

// A value Linux's and Windows' C libraries round differently: this one is
// the same everywhere, and it is the correctly rounded result.
TEST(PowFTest, PinnedBits) {
    EXPECT_EQ(std::bit_cast<uint32_t>(PowF(std::bit_cast<float>(0x3f246bc8u), 10.0f)), 0x3c43b387u);
}

TEST(PowFTest, CorrectlyRoundedAlmostAlways) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> base(0.0f, 4.0f), exponent(-12.0f, 12.0f);
    int differing = 0;
    for (int i = 0; i < 1000000; ++i) {
        const float x = base(rng), y = exponent(rng);
        // The double library's result rounded once is the reference.
        const float want = float(std::pow(double(x), double(y)));
        const float got = PowF(x, y);
        if (std::isinf(want) || want == 0.0f) {
            EXPECT_EQ(got, want);
            continue;
        }
        ASSERT_LE(Ulps(got, want), 1) << x << "^" << y;
        differing += got != want;
    }
    EXPECT_LE(differing, 2);
}

TEST(SinCosFTest, CorrectlyRoundedAlmostAlways) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> angle(-600.0f, 600.0f);
    int differing = 0;
    for (int i = 0; i < 1000000; ++i) {
        const float x = angle(rng);
        const float s = SinF(x), c = CosF(x);
        const float ws = float(std::sin(double(x))), wc = float(std::cos(double(x)));
        ASSERT_LE(Ulps(s, ws), 1) << "sin " << x;
        ASSERT_LE(Ulps(c, wc), 1) << "cos " << x;
        differing += (s != ws) + (c != wc);
    }
    EXPECT_LE(differing, 2);
    EXPECT_EQ(SinF(0.0f), 0.0f);
    EXPECT_EQ(CosF(0.0f), 1.0f);
    EXPECT_TRUE(std::signbit(SinF(-0.0f)));
    EXPECT_TRUE(std::isnan(SinF(kInf)));
    EXPECT_TRUE(std::isnan(CosF(kNaN)));
    // Whole degrees as the rim light turns them into radians.
    EXPECT_EQ(SinF(90 * 0.017453292f), float(std::sin(double(90 * 0.017453292f))));
}

}  // namespace
}  // namespace lumeshade
