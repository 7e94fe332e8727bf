#include "common/convert.h"

#include <gtest/gtest.h>

#include <limits>

namespace lumeshade {
namespace {

TEST(ConvertTest, TruncatesTowardZero) {
    EXPECT_EQ(TruncToInt(2.9), 2);
    EXPECT_EQ(TruncToInt(-2.5), -2);
    EXPECT_EQ(TruncToInt(-0.9), 0);
    EXPECT_EQ(TruncToInt(2147483647.9), 2147483647);
    EXPECT_EQ(TruncToInt(-2147483648.9), std::numeric_limits<int32_t>::min());
}

TEST(ConvertTest, UnrepresentableValuesBecomeTheIndefiniteInteger) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(TruncToInt(std::numeric_limits<double>::quiet_NaN()), kIntegerIndefinite);
    EXPECT_EQ(TruncToInt(inf), kIntegerIndefinite);
    EXPECT_EQ(TruncToInt(-inf), kIntegerIndefinite);
    EXPECT_EQ(TruncToInt(2147483648.0), kIntegerIndefinite);
    EXPECT_EQ(TruncToInt(-2147483649.0), kIntegerIndefinite);
    EXPECT_EQ(FloorToInt(std::numeric_limits<float>::infinity()), kIntegerIndefinite);
}

TEST(ConvertTest, FloorAndRound) {
    EXPECT_EQ(FloorToInt(-0.5), -1);
    EXPECT_EQ(FloorToInt(3.999), 3);
    EXPECT_EQ(RoundToInt(2.5), 3);
    EXPECT_EQ(RoundToInt(-2.5), -3);
    EXPECT_EQ(RoundToInt(2.49), 2);
}

TEST(ConvertTest, SaturatingSumsAndDifferencesNeverWrap) {
    EXPECT_EQ(SaturatingSub(512, 255), 257);
    EXPECT_EQ(SaturatingSub(512, kIntegerIndefinite), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(SaturatingSub(kIntegerIndefinite, 1), kIntegerIndefinite);
    EXPECT_EQ(SaturatingAdd(-512, 255), -257);
    EXPECT_EQ(SaturatingAdd(std::numeric_limits<int32_t>::max(), 1),
              std::numeric_limits<int32_t>::max());
    EXPECT_EQ(SaturatingAdd(kIntegerIndefinite, -1), kIntegerIndefinite);
}

}  // namespace
}  // namespace lumeshade
