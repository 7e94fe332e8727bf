#include "shading/blend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace lumeshade {
namespace {

constexpr int32_t kFloat = 1;
constexpr int32_t k8Bit = 255;
constexpr int32_t k16Bit = 32768;

Color Grey(float v) { return {v, v, v, 0.0f}; }

void ExpectColorNear(const Color& actual, const Color& expected, float tolerance) {
    EXPECT_NEAR(actual.red, expected.red, tolerance);
    EXPECT_NEAR(actual.green, expected.green, tolerance);
    EXPECT_NEAR(actual.blue, expected.blue, tolerance);
}

// One channel: base a, blend b, opacity t, and the float-rendering result.
struct ChannelCase {
    int32_t mode;
    float a, b, t, expected;
};

// Grouped by mode; special cases (b = 0, a = 0, b = 1, a = 1) and values
// above 1 where the mode has them.
constexpr ChannelCase kChannelCases[] = {
    {BLEND_NORMAL, 0.2f, 1.0f, 0.25f, 0.4f},
    {BLEND_NORMAL, 0.6f, 0.0f, 1.0f, 0.0f},
    {BLEND_NORMAL, 1.5f, 2.0f, 0.5f, 1.75f},
    {BLEND_AVERAGE, 0.2f, 0.6f, 1.0f, 0.4f},
    {BLEND_AVERAGE, 0.2f, 0.6f, 0.5f, 0.3f},
    {BLEND_DARKEN, 0.3f, 0.7f, 1.0f, 0.3f},
    {BLEND_DARKEN, 0.7f, 0.3f, 0.5f, 0.5f},
    {BLEND_MULTIPLY, 0.5f, 0.4f, 1.0f, 0.2f},
    {BLEND_MULTIPLY, 1.5f, 2.0f, 1.0f, 3.0f},
    {BLEND_MULTIPLY, 0.5f, 0.4f, 0.5f, 0.35f},
    {BLEND_COLOR_BURN, 0.6f, 0.8f, 1.0f, 0.5f},
    {BLEND_COLOR_BURN, 0.6f, 0.0f, 1.0f, 0.6f},
    {BLEND_COLOR_BURN, 0.2f, 0.5f, 1.0f, -0.6f},
    {BLEND_INVERSE_COLOR_BURN, 0.8f, 0.6f, 1.0f, 0.5f},
    {BLEND_INVERSE_COLOR_BURN, 0.0f, 0.6f, 1.0f, 0.0f},
    {BLEND_INVERSE_COLOR_BURN, 0.5f, 0.2f, 0.5f, -0.05f},
    {BLEND_SUBTRACT, 0.8f, 0.7f, 1.0f, 0.5f},
    {BLEND_SUBTRACT, 0.2f, 0.3f, 1.0f, -0.5f},
    {BLEND_DARKER, 0.7f, 0.3f, 0.5f, 0.5f},
    {BLEND_DARKER, 0.3f, 0.7f, 0.5f, 0.3f},
    {BLEND_LIGHTEN, 0.3f, 0.7f, 1.0f, 0.7f},
    {BLEND_LIGHTEN, 0.3f, 0.7f, 0.5f, 0.5f},
    {BLEND_ADD, 0.8f, 0.7f, 1.0f, 1.5f},
    {BLEND_ADD, 0.2f, 0.3f, 0.5f, 0.35f},
    {BLEND_SCREEN, 0.5f, 0.5f, 1.0f, 0.75f},
    {BLEND_SCREEN, 0.0f, 0.4f, 1.0f, 0.4f},
    {BLEND_SCREEN, 1.0f, 0.2f, 1.0f, 1.0f},
    {BLEND_COLOR_DODGE, 0.4f, 0.5f, 1.0f, 0.8f},
    {BLEND_COLOR_DODGE, 0.6f, 0.5f, 1.0f, 1.2f},
    {BLEND_COLOR_DODGE, 0.6f, 0.0f, 1.0f, 0.6f},
    {BLEND_INVERSE_COLOR_DODGE, 0.5f, 0.4f, 1.0f, 0.8f},
    {BLEND_INVERSE_COLOR_DODGE, 0.5f, 0.6f, 1.0f, 1.2f},
    {BLEND_LIGHTER, 0.3f, 0.7f, 0.5f, 0.5f},
    {BLEND_LIGHTER, 0.7f, 0.3f, 0.5f, 0.7f},
    {BLEND_DIVIDE, 0.3f, 0.6f, 1.0f, 0.5f},
    {BLEND_DIVIDE, 0.6f, 0.3f, 1.0f, 2.0f},
    {BLEND_DIVIDE, 0.3f, 0.0f, 0.0f, 1.0f},
    {BLEND_DIVIDE, 0.3f, 0.6f, 0.0f, 0.3f},
    {BLEND_OVERLAY, 0.4f, 0.5f, 1.0f, 0.2f},
    {BLEND_OVERLAY, 0.5f, 0.5f, 1.0f, 0.5f},
    {BLEND_OVERLAY, 0.75f, 0.5f, 1.0f, 0.75f},
    {BLEND_SOFT_LIGHT, 0.5f, 0.25f, 1.0f, 0.375f},
    {BLEND_SOFT_LIGHT, 0.25f, 0.75f, 1.0f, 0.375f},
    {BLEND_SOFT_LIGHT, 0.64f, 0.5f, 1.0f, 0.64f},
    {BLEND_SOFT_LIGHT, 0.5f, 0.0f, 1.0f, 0.25f},
    {BLEND_HARD_LIGHT, 0.5f, 0.25f, 1.0f, 0.25f},
    {BLEND_HARD_LIGHT, 0.5f, 0.75f, 1.0f, 0.75f},
    {BLEND_HARD_LIGHT, 0.3f, 1.0f, 1.0f, 1.0f},
    {BLEND_REFLECT, 0.3f, 1.0f, 0.5f, 0.65f},
    {BLEND_REFLECT, 0.5f, 0.5f, 1.0f, 0.5f},
    {BLEND_REFLECT, 0.8f, 0.5f, 1.0f, 1.28f},
    {BLEND_GLOW, 1.0f, 0.3f, 0.5f, 1.0f},
    {BLEND_GLOW, 0.5f, 0.8f, 1.0f, 1.28f},
    {BLEND_DIFFERENCE, 0.3f, 0.8f, 1.0f, 0.5f},
    {BLEND_DIFFERENCE, 0.8f, 0.3f, 1.0f, 0.5f},
    {BLEND_EXCLUSION, 0.5f, 0.5f, 1.0f, 0.5f},
    {BLEND_EXCLUSION, 1.0f, 0.25f, 1.0f, 0.75f},
    {BLEND_GRAIN_MERGE, 0.5f, 0.25f, 1.0f, 0.25f},
    {BLEND_GRAIN_MERGE, 0.1f, 0.2f, 1.0f, -0.2f},
    {BLEND_EXPONENTIAL_A_B, 0.25f, 0.5f, 1.0f, 0.0625f},
    {BLEND_EXPONENTIAL_A_B, 0.25f, 2.0f, 1.0f, 0.5f},
    {BLEND_EXPONENTIAL_A_B, 0.25f, 0.0f, 1.0f, 0.0f},
    {BLEND_EXPONENTIAL_B_A, 0.5f, 0.25f, 1.0f, 0.0625f},
    {BLEND_EXPONENTIAL_B_A, 2.0f, 0.25f, 1.0f, 0.5f},
    {BLEND_PHOENIX, 0.3f, 0.8f, 1.0f, 0.5f},
    {BLEND_PHOENIX, 0.8f, 0.3f, 0.5f, 0.65f},
};

// Whole colours for the HSL modes: A has hue 360, saturation 0.5, lightness
// 0.4; B has hue 240, saturation 0.6, lightness 0.5.
struct HslCase {
    int32_t mode;
    float t;
    Color expected;
};
constexpr Color kHslBase{0.6f, 0.2f, 0.2f, 0.0f};
constexpr Color kHslBlend{0.2f, 0.2f, 0.8f, 0.0f};
constexpr HslCase kHslCases[] = {
    {BLEND_HUE, 1.0f, {0.2f, 0.2f, 0.6f, 0.0f}},
    {BLEND_SATURATION, 1.0f, {0.64f, 0.16f, 0.16f, 0.0f}},
    {BLEND_COLOR, 1.0f, {0.16f, 0.16f, 0.64f, 0.0f}},
    {BLEND_COLOR, 0.5f, {0.38f, 0.18f, 0.42f, 0.0f}},
    {BLEND_LUMINOSITY, 1.0f, {0.16f, 0.16f, 0.64f, 0.0f}},
};

TEST(BlendColorTest, EveryModeInFloatAndIntegerRendering) {
    std::set<int32_t> covered;
    for (const ChannelCase& c : kChannelCases) covered.insert(c.mode);
    for (const HslCase& c : kHslCases) covered.insert(c.mode);
    EXPECT_EQ(covered.size(), 30u);

    for (const int32_t maxValue : {kFloat, k8Bit, k16Bit}) {
        for (const ChannelCase& c : kChannelCases) {
            SCOPED_TRACE(testing::Message() << "mode " << c.mode << " a " << c.a << " b " << c.b
                                            << " t " << c.t << " maxValue " << maxValue);
            Color base{c.a, c.a, c.a, 0.7f};
            const Color result =
                BlendColor(base, c.mode, c.t, Color{c.b, c.b, c.b, 0.1f}, maxValue);
            const float expected = maxValue > 1 ? std::clamp(c.expected, 0.0f, 1.0f) : c.expected;
            ExpectColorNear(base, Grey(expected), 1e-6f);
            EXPECT_EQ(base.fourth, 0.7f);
            EXPECT_EQ(result.red, base.red);
            EXPECT_EQ(result.green, base.green);
            EXPECT_EQ(result.blue, base.blue);
            EXPECT_EQ(result.fourth, base.fourth);
        }
        for (const HslCase& c : kHslCases) {
            SCOPED_TRACE(testing::Message() << "mode " << c.mode << " maxValue " << maxValue);
            Color base = kHslBase;
            base.fourth = 0.7f;
            BlendColor(base, c.mode, c.t, kHslBlend, maxValue);
            ExpectColorNear(base, c.expected, 1e-6f);
            EXPECT_EQ(base.fourth, 0.7f);
        }
    }
}

TEST(BlendColorTest, ChannelsAreBlendedIndependently) {
    const Color a{0.2f, 0.5f, 0.9f, 0.0f};
    const Color b{0.7f, 0.1f, 0.4f, 0.0f};
    for (int32_t mode = BLEND_NORMAL; mode <= BLEND_PHOENIX; ++mode) {
        if (mode >= BLEND_HUE && mode <= BLEND_LUMINOSITY) continue;
        SCOPED_TRACE(mode);
        Color mixed = a;
        BlendColor(mixed, mode, 0.6f, b, kFloat);
        Color red = Grey(a.red), green = Grey(a.green), blue = Grey(a.blue);
        BlendColor(red, mode, 0.6f, Grey(b.red), kFloat);
        BlendColor(green, mode, 0.6f, Grey(b.green), kFloat);
        BlendColor(blue, mode, 0.6f, Grey(b.blue), kFloat);
        EXPECT_EQ(mixed.red, red.red);
        EXPECT_EQ(mixed.green, green.green);
        EXPECT_EQ(mixed.blue, blue.blue);
    }
}

TEST(BlendColorTest, UnchangedChannelsKeepTheirExactValueAtAnyOpacity) {
    struct Case {
        int32_t mode;
        float a, b;
    };
    const Case cases[] = {{BLEND_COLOR_BURN, 0.3f, 0.0f},
                          {BLEND_INVERSE_COLOR_BURN, 0.0f, 0.3f},
                          {BLEND_DARKER, 0.3f, 0.7f},
                          {BLEND_DARKER, 0.3f, 0.3f},
                          {BLEND_LIGHTER, 0.7f, 0.3f}};
    for (const Case& c : cases) {
        for (const float t : {0.37f, 1.0f, 7.0f}) {
            SCOPED_TRACE(testing::Message() << "mode " << c.mode << " t " << t);
            Color base = Grey(c.a);
            BlendColor(base, c.mode, t, Grey(c.b), kFloat);
            EXPECT_EQ(base.red, c.a);
        }
    }
    for (const float t : {0.0f, 0.5f, 3.0f}) {
        Color base = Grey(0.3f);
        BlendColor(base, BLEND_DIVIDE, t, Grey(0.0f), kFloat);
        EXPECT_EQ(base.red, 1.0f) << "t " << t;
    }
}

TEST(BlendColorTest, LuminosityIsColor) {
    const Color colors[] = {{0.6f, 0.2f, 0.2f, 0.0f},
                            {0.1f, 0.9f, 0.4f, 0.0f},
                            {1.5f, 0.5f, 0.0f, 0.0f},
                            {0.3f, 0.3f, 0.3f, 0.0f},
                            {-0.2f, 0.7f, 1.2f, 0.0f}};
    for (const Color& a : colors) {
        for (const Color& b : colors) {
            Color color = a, luminosity = a;
            BlendColor(color, BLEND_COLOR, 0.8f, b, kFloat);
            BlendColor(luminosity, BLEND_LUMINOSITY, 0.8f, b, kFloat);
            EXPECT_EQ(color.red, luminosity.red);
            EXPECT_EQ(color.green, luminosity.green);
            EXPECT_EQ(color.blue, luminosity.blue);
        }
    }
}

TEST(BlendColorTest, ModesOutsideTheListLeaveTheColourApartFromTheLimit) {
    const Color a{1.5f, -0.5f, 0.3f, 2.0f};
    for (const int32_t mode : {0, 31, -1}) {
        Color floatBase = a, integerBase = a;
        BlendColor(floatBase, mode, 1.0f, Grey(0.9f), kFloat);
        BlendColor(integerBase, mode, 1.0f, Grey(0.9f), k8Bit);
        ExpectColorNear(floatBase, a, 0.0f);
        ExpectColorNear(integerBase, {1.0f, 0.0f, 0.3f, 0.0f}, 0.0f);
        EXPECT_EQ(integerBase.fourth, 2.0f);
    }
}

TEST(BlendColorTest, IntegerRenderingTurnsInfinityIntoOneAndNaNIntoZero) {
    // Color Dodge with a white blend divides by zero: 0/0 and 0.5/0.
    Color floatBase{0.0f, 0.5f, 0.0f, 0.0f};
    Color integerBase = floatBase;
    BlendColor(floatBase, BLEND_COLOR_DODGE, 1.0f, Grey(1.0f), kFloat);
    BlendColor(integerBase, BLEND_COLOR_DODGE, 1.0f, Grey(1.0f), k8Bit);
    EXPECT_TRUE(std::isnan(floatBase.red));
    EXPECT_TRUE(std::isinf(floatBase.green));
    EXPECT_EQ(integerBase.red, 0.0f);
    EXPECT_EQ(integerBase.green, 1.0f);
}

TEST(HslTest, PureRedHasHue360) {
    const Hsl red = RgbToHsl(1.0f, 0.0f, 0.0f);
    EXPECT_EQ(red.hue, 360.0f);
    EXPECT_EQ(red.saturation, 1.0f);
    EXPECT_EQ(red.lightness, 0.5f);
    for (const float hue : {0.0f, 360.0f}) {
        ExpectColorNear(HslToRgb(hue, 1.0f, 0.5f), {1.0f, 0.0f, 0.0f, 0.0f}, 0.0f);
    }
}

TEST(HslTest, RedEntersTheMaximumUnlimited) {
    EXPECT_EQ(RgbToHsl(1.5f, 0.5f, 0.0f).lightness, 0.75f);
    // Green and blue are limited before the search.
    EXPECT_EQ(RgbToHsl(0.0f, 1.5f, 0.0f).lightness, 0.5f);
}

TEST(HslTest, GreyHasNoHueOrSaturation) {
    const Hsl grey = RgbToHsl(0.3f, 0.3f, 0.3f);
    EXPECT_EQ(grey.hue, 0.0f);
    EXPECT_EQ(grey.saturation, 0.0f);
    EXPECT_FLOAT_EQ(grey.lightness, 0.3f);
}

TEST(HslTest, RoundTripsThroughEveryHueSector) {
    const Color colors[] = {{0.9f, 0.3f, 0.1f, 0.0f},   {0.8f, 0.7f, 0.2f, 0.0f},
                            {0.2f, 0.9f, 0.3f, 0.0f},   {0.1f, 0.6f, 0.7f, 0.0f},
                            {0.3f, 0.2f, 0.9f, 0.0f},   {0.7f, 0.1f, 0.6f, 0.0f},
                            {0.95f, 0.9f, 0.92f, 0.0f}, {0.05f, 0.02f, 0.01f, 0.0f}};
    for (const Color& c : colors) {
        const Hsl hsl = RgbToHsl(c.red, c.green, c.blue);
        ExpectColorNear(HslToRgb(hsl.hue, hsl.saturation, hsl.lightness), c, 1e-5f);
    }
}

TEST(HslTest, OutOfRangeComponentsAreLimited) {
    ExpectColorNear(HslToRgb(-30.0f, 2.0f, 0.5f), {1.0f, 0.0f, 0.0f, 0.0f}, 0.0f);
    ExpectColorNear(HslToRgb(500.0f, 1.0f, 0.5f), {1.0f, 0.0f, 0.0f, 0.0f}, 0.0f);
    ExpectColorNear(HslToRgb(120.0f, 0.5f, 1.5f), Grey(1.0f), 0.0f);
}

TEST(HslTest, HueToChannelWrapsOnceAndRamps) {
    EXPECT_FLOAT_EQ(HueToChannel(0.2f, 0.6f, 30.0f), 0.4f);
    EXPECT_FLOAT_EQ(HueToChannel(0.2f, 0.6f, 390.0f), 0.4f);
    EXPECT_EQ(HueToChannel(0.2f, 0.6f, 120.0f), 0.6f);
    EXPECT_FLOAT_EQ(HueToChannel(0.2f, 0.6f, 210.0f), 0.4f);
    EXPECT_EQ(HueToChannel(0.2f, 0.6f, 360.0f), 0.2f);
    EXPECT_EQ(HueToChannel(0.2f, 0.6f, -90.0f), 0.2f);
}

}  // namespace
}  // namespace lumeshade
