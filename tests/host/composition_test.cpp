// Layer streams over composition time: constants, keys and linear
// interpolation between them.
#include "host/composition.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lumeshade::host {
namespace {

TEST(AnimatedTest, HoldsItsConstantUntilAKeyIsSet) {
    Animated<double> a(7.0);
    EXPECT_EQ(a.At(-3.0), 7.0);
    EXPECT_EQ(a.At(100.0), 7.0);
    a.SetKey(2.0, 1.0);
    EXPECT_EQ(a.At(0.0), 1.0) << "a key replaces the constant at every time";
    a.SetConstant(4.0);
    EXPECT_EQ(a.KeyCount(), 0u);
    EXPECT_EQ(a.At(2.0), 4.0);
}

TEST(AnimatedTest, InterpolatesLinearlyAndHoldsTheEndKeysOutside) {
    Animated<double> a;
    a.SetKey(1.0, 10.0);
    a.SetKey(3.0, 30.0);
    a.SetKey(2.0, 40.0);  // keys may come in any order
    struct Case {
        double t, value;
    } cases[] = {{0.0, 10.0}, {1.0, 10.0}, {1.25, 17.5}, {2.0, 40.0},
                 {2.5, 35.0}, {3.0, 30.0}, {9.0, 30.0}};
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(a.At(c.t), c.value) << "at " << c.t;
    a.SetKey(2.0, 20.0);  // replaces the key
    EXPECT_EQ(a.KeyCount(), 3u);
    EXPECT_DOUBLE_EQ(a.At(1.5), 15.0);
    EXPECT_THROW(a.SetKey(NAN, 1.0), std::invalid_argument);
}

TEST(AnimatedTest, PositionsAndColoursInterpolateComponentwise) {
    Animated<Vec3d> p;
    p.SetKey(0.0, {0, 10, -100});
    p.SetKey(2.0, {4, 30, 100});
    const Vec3d mid = p.At(0.5);
    EXPECT_DOUBLE_EQ(mid.x, 1.0);
    EXPECT_DOUBLE_EQ(mid.y, 15.0);
    EXPECT_DOUBLE_EQ(mid.z, -50.0);

    Animated<ColorD> c;
    c.SetKey(0.0, {1.0, 0.0, 0.5, 1.0});
    c.SetKey(1.0, {0.0, 1.0, 0.5, 0.0});
    const ColorD q = c.At(0.25);
    EXPECT_DOUBLE_EQ(q.alpha, 0.75);
    EXPECT_DOUBLE_EQ(q.red, 0.25);
    EXPECT_DOUBLE_EQ(q.green, 0.5);
    EXPECT_DOUBLE_EQ(q.blue, 0.75);
}

TEST(CompositionTest, OnlyTheEffectLayerIsOffsetInTime) {
    Composition comp;
    comp.layers.resize(3);
    comp.effectLayer = 1;
    comp.effectLayerOffset = 2.5;
    EXPECT_EQ(comp.LayerOffset(1), 2.5);
    EXPECT_EQ(comp.LayerOffset(0), 0.0);
    EXPECT_EQ(comp.LayerOffset(2), 0.0);
}

}  // namespace
}  // namespace lumeshade::host
