// The one set of rules for values over time, shared by the composition's
// streams, the effect's controls and the renderer's scenes: a constant until
// keyed, the end keys held outside, and between keys a linear blend or the
// earlier key held.
#include "host/keyframes.h"

#include <gtest/gtest.h>

#include <cmath>

#include "host/composition.h"

namespace lumeshade::host {
namespace {

TEST(KeyframesTest, AConstantUntilKeyedAndAConstantAgainDropsTheKeys) {
    Keyed<double> a(7.0);
    EXPECT_EQ(a.At(-3.0), 7.0);
    EXPECT_EQ(a.Held(100.0), 7.0);
    a.SetKey(2.0, 1.0);
    EXPECT_EQ(a.At(0.0), 1.0) << "a key replaces the constant at every frame";
    a.SetConstant(4.0);
    EXPECT_EQ(a.KeyCount(), 0u);
    EXPECT_EQ(a.At(2.0), 4.0);
    EXPECT_THROW(a.SetKey(NAN, 1.0), std::invalid_argument);
    EXPECT_THROW(a.SetKey(INFINITY, 1.0), std::invalid_argument);
}

TEST(KeyframesTest, LinearOrHeldBetweenKeysAndTheEndKeysOutside) {
    Keyed<double> a;
    a.SetKey(10.0, 10.0);
    a.SetKey(30.0, 30.0);
    a.SetKey(20.0, 40.0);  // keys may come in any order
    struct Case {
        double frame, linear, held;
    } cases[] = {{0, 10, 10},  {10, 10, 10},       {12.5, 17.5, 10}, {20, 40, 40},
                 {25, 35, 40}, {29.99, 30.01, 40}, {30, 30, 30},     {90, 30, 30}};
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(a.At(c.frame), c.linear) << "at " << c.frame;
        EXPECT_EQ(a.Held(c.frame), c.held) << "at " << c.frame;
    }
    a.SetKey(20.0, 20.0);  // replaces the key
    EXPECT_EQ(a.KeyCount(), 3u);
    EXPECT_DOUBLE_EQ(a.At(15.0), 15.0);
}

TEST(KeyframesTest, VectorsAndColoursMoveComponentByComponent) {
    Keyed<Vec3d> p;
    p.SetKey(0, {0, 10, -100});
    p.SetKey(2, {4, 30, 100});
    const Vec3d mid = p.At(0.5);
    EXPECT_EQ(mid.x, 1.0);
    EXPECT_EQ(mid.y, 15.0);
    EXPECT_EQ(mid.z, -50.0);

    Keyed<ColorD> c;
    c.SetKey(0, {1.0, 0.0, 0.5, 1.0});
    c.SetKey(4, {0.0, 1.0, 0.5, 0.0});
    const ColorD q = c.At(1);
    EXPECT_EQ(q.alpha, 0.75);
    EXPECT_EQ(q.red, 0.25);
    EXPECT_EQ(q.green, 0.5);
    EXPECT_EQ(q.blue, 0.75);

    Keyed<std::array<double, 3>> v;
    v.SetKey(0, {0, 100, -50});
    v.SetKey(10, {100, 0, -150});
    EXPECT_EQ(v.At(2.5), (std::array<double, 3>{25, 75, -75}));
}

}  // namespace
}  // namespace lumeshade::host
