#include "common/math3d.h"

#include <gtest/gtest.h>

namespace lumeshade {
namespace {

TEST(Vector3Test, MagnitudeAndNormalisation) {
    Vector3 v{3, 4, 0};
    EXPECT_FLOAT_EQ(v.GetMag(), 5.0f);
    v.Normalize();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);
    EXPECT_FLOAT_EQ(v.z, 0.0f);

    Vector3 again = v;
    again.Normalize();
    EXPECT_NEAR(again.x, v.x, 1e-7f);
    EXPECT_NEAR(again.y, v.y, 1e-7f);
}

TEST(Vector3Test, NormaliseScalesByOneReciprocal) {
    // One reciprocal times each component can differ in the last bit from
    // three divisions; the result must be the multiplied one.
    Vector3 v{0.1f, 0.7f, 0.3f};
    const float inv = 1.0f / v.GetMag();
    Vector3 n = v;
    n.Normalize();
    EXPECT_EQ(n.x, v.x * inv);
    EXPECT_EQ(n.y, v.y * inv);
    EXPECT_EQ(n.z, v.z * inv);
}

TEST(Vector3Test, CrossProduct) {
    const Vector3 c = Cross({1, 0, 0}, {0, 1, 0});
    EXPECT_EQ(c.x, 0.0f);
    EXPECT_EQ(c.y, 0.0f);
    EXPECT_EQ(c.z, 1.0f);
    EXPECT_FLOAT_EQ(c.GetMag(), 1.0f);
    EXPECT_EQ(Cross({0.5f, 0.5f, 1.0f}, {0.5f, 0.5f, 1.0f}).GetMag(), 0.0f);
    const Vector3 anti = Cross({0, 1, 0}, {1, 0, 0});
    EXPECT_EQ(anti.z, -1.0f);
}

TEST(Vector3Test, ArithmeticIsComponentWise) {
    const Vector3 a{1, 2, 3}, b{0.5f, -1, 4};
    const Vector3 s = a + b, d = a - b, k = a * 2.0f;
    EXPECT_EQ(s.x, 1.5f);
    EXPECT_EQ(s.z, 7.0f);
    EXPECT_EQ(d.y, 3.0f);
    EXPECT_EQ(k.z, 6.0f);
}

TEST(Vector3Test, CheckedNormaliseOfZeroReportsAndStops) {
    // No bracket classes: GoogleTest's Windows regular expressions lack them.
    EXPECT_DEATH(CheckedNormalize({0, 0, 0}), "math3d:.+: check failed: norm.GetMag\\(\\) > 0.0f");
    const Vector3 n = CheckedNormalize({0, 0, 2});
    EXPECT_EQ(n.z, 1.0f);
}

}  // namespace
}  // namespace lumeshade
