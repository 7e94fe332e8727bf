#include "shading/lighting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "shading/blend.h"
#include "shading/shade_pixel.h"

namespace lumeshade {
namespace {

constexpr float kByte = 0.003921569f;  // a colour byte's weight, as the render converts it
constexpr Vector3 kFacing{0.5f, 0.5f, 1.0f};
// With Constant falloff the direction ignores the pixel: this light shines
// along the facing normal onto every pixel.
constexpr Vector3 kAbove{0.0f, 0.0f, 100.0f};
const float kAmbientGreyTimesTwo = 127.0f / 255.0f * 2.0f;

Color Grey(float v) { return {v, v, v, 0.0f}; }

// A reciprocal control as the render stores it: infinite for a control at 0.
float Reciprocal(double control) { return static_cast<float>(1.0 / control); }

// The controls' defaults, with Constant falloff.
RenderContext DefaultContext() {
    RenderContext ctx;
    ctx.displayMode = DISPLAY_ALL;
    ctx.shadingEnabled = true;
    ctx.shadingDiffuse = Reciprocal(1.0);
    ctx.shadingColor = Grey(1.0f);
    ctx.shadingAmbient = Grey(127 * kByte);
    ctx.shadingBlend = BLEND_NORMAL;
    ctx.lightFalloffMode = FALLOFF_CONSTANT;
    ctx.lightFalloff = Reciprocal(2.0);
    ctx.lightExposure = 1.0f;
    ctx.lightGamma = 1.0f;
    return ctx;
}

void AddLight(RenderContext& ctx, Vector3 position, Color color = Grey(1.0f),
              float intensity = 100.0f, int32_t type = LIGHT_POINT) {
    const int32_t i = ctx.lightCount++;
    ctx.lightType[i] = type;
    ctx.lightPosition[i] = position;
    ctx.lightColor[i] = color;
    ctx.lightIntensity[i] = intensity;
}

// Terms switched on at amount 1 (incidence: opacity 1) with a white colour,
// adding onto the colour (the gradient and toon replace it).
void EnableSpecular(RenderContext& ctx, float spread = 5.0f /* exponent 1 */) {
    ctx.specularEnabled = true;
    ctx.specularAmount = 1.0f;
    ctx.specularSpread = spread;
    ctx.specularColor = Grey(1.0f);
    ctx.specularBlend = BLEND_ADD;
}

void EnableToon(RenderContext& ctx, float tone) {
    ctx.toonEnabled = true;
    ctx.toonAmount = 1.0f;
    ctx.toonBlend = BLEND_NORMAL;
    ctx.toonColor = ctx.toonShadowColor = ctx.toonHighlightColor = Grey(tone);
}

void EnableIncidence(RenderContext& ctx, float falloff) {
    ctx.incidenceEnabled = true;
    ctx.incidenceAmount = 0.1f;
    ctx.incidenceFalloff = falloff;
    ctx.incidenceColor = Grey(1.0f);
    ctx.incidenceBlend = BLEND_ADD;
}

void EnableGradient(RenderContext& ctx) {
    ctx.gradientEnabled = true;
    ctx.gradientAmount = 1.0f;
    ctx.gradientColor = Grey(1.0f);
    ctx.gradientBlend = BLEND_NORMAL;
}

void EnableRimLight(RenderContext& ctx, float width, int32_t angle) {
    ctx.rimLightEnabled = true;
    ctx.rimLightAmount = 1.0f;
    ctx.rimLightSize = 1.0f;
    ctx.rimLightWidth = width;
    ctx.rimLightAngle = angle;
    ctx.rimLightColor = Grey(1.0f);
    ctx.rimLightBlend = BLEND_ADD;
}

// The context as smart render hands it to the pass: its frame prepared at
// full resolution.
RenderContext Prepared(RenderContext ctx) {
    static PF_InData inData = [] {
        PF_InData d{};
        d.downsample_x = d.downsample_y = {1, 1};
        return d;
    }();
    ctx.inData = &inData;
    PrepareFrame(ctx);
    return ctx;
}

LightLoopInput Pixel(Vector3 normal = kFacing, float px = 0.0f, float py = 0.0f) {
    LightLoopInput in;
    in.normal = normal;
    in.px = px;
    in.py = py;
    return in;
}

Color Shade(const RenderContext& ctx, const LightLoopInput& in) {
    Color sum{};
    LightLoop(Prepared(ctx), in, sum);
    return sum;
}

void ExpectGrey(const Color& c, float v, float tolerance) {
    EXPECT_NEAR(c.red, v, tolerance);
    EXPECT_NEAR(c.green, v, tolerance);
    EXPECT_NEAR(c.blue, v, tolerance);
}

// --- The light loop ---------------------------------------------------------

TEST(LightLoopTest, OneLightAboveAFacingSurfaceGivesTheAmbientGreyTimesTwo) {
    for (const float channelMax : {1.0f, 255.0f}) {
        RenderContext ctx = DefaultContext();
        ctx.channelMax = channelMax;
        AddLight(ctx, kAbove);
        ExpectGrey(Shade(ctx, Pixel()), kAmbientGreyTimesTwo, 1e-5f);
    }
}

TEST(LightLoopTest, NoLightsAddNothing) {
    const RenderContext ctx = DefaultContext();
    Color sum{0.1f, 0.2f, 0.3f, 0.4f};
    LightLoop(Prepared(ctx), Pixel(), sum);
    EXPECT_EQ(sum.red, 0.1f);
    EXPECT_EQ(sum.fourth, 0.4f);
}

TEST(LightLoopTest, FalloffModesAtUOfTwo) {
    // Falloff 1, the light 200 pixels straight above the pixel: u = 2.0001.
    struct Case {
        int32_t mode;
        float attenuation;
    };
    const Case cases[] = {{1, 1.0f}, {2, 0.49997500f}, {3, 0.24997500f}, {4, 0.06248750f}};
    for (const Case& c : cases) {
        RenderContext ctx = DefaultContext();
        ctx.shadingAmbient = Grey(0.5f);  // x 2 = 1: the colour is the attenuation
        ctx.lightFalloffMode = c.mode;
        ctx.lightFalloff = Reciprocal(1.0);
        AddLight(ctx, {0.0f, 0.0f, 200.0f});
        ExpectGrey(Shade(ctx, Pixel()), c.attenuation, 1e-6f);
    }
}

TEST(LightLoopTest, DiffuseFollowsTheLightDirection) {
    // Both lights shine along (0, 3, -4) onto a normal 0.7 off it (cross
    // product length): Constant falloff from the position alone, Linear from
    // the offset to the pixel, with a Falloff that makes the attenuation 1.
    const float distance = std::sqrt(45.0f);
    const struct {
        int32_t mode;
        Vector3 light;
        float falloff;
    } cases[] = {{1, {-2.0f, -5.0f, 4.0f}, 1.0f}, {2, {12.0f, 15.0f, 4.0f}, 99.99f / distance}};
    for (const auto& c : cases) {
        RenderContext ctx = DefaultContext();
        ctx.shadingAmbient = Grey(0.5f);
        ctx.lightFalloffMode = c.mode;
        ctx.lightFalloff = c.falloff;
        AddLight(ctx, c.light);
        ExpectGrey(Shade(ctx, Pixel({0.0f, 0.5f, 0.5f}, 10.0f, 20.0f)), 0.3f, 1e-5f);
    }
}

TEST(LightLoopTest, ExposureAddsItsOffsetOncePerLight) {
    RenderContext ctx = DefaultContext();
    ctx.shadingEnabled = false;
    ctx.lightExposure = 2.0f;  // Exposure 1
    AddLight(ctx, kAbove);
    AddLight(ctx, {30.0f, 40.0f, 50.0f});
    const Color sum = Shade(ctx, Pixel());
    ExpectGrey(sum, 2.0f, 0.0f);
    EXPECT_EQ(sum.fourth, 0.0f);
}

TEST(LightLoopTest, WithoutDiffuseOnlyEachLightsOwnHighlightIsAdded) {
    RenderContext ctx = DefaultContext();
    EnableSpecular(ctx);
    AddLight(ctx, kAbove, {1.0f, 0.0f, 0.0f, 0.0f});
    AddLight(ctx, kAbove, {0.0f, 1.0f, 0.0f, 0.0f});
    LightLoopInput in = Pixel();
    in.input = Grey(0.25f);

    RenderContext shadingOff = ctx;  // the Add shading blend must not act
    shadingOff.shadingEnabled = false;
    shadingOff.shadingBlend = BLEND_ADD;
    RenderContext specularShown = ctx;  // diffuse hidden although Shading is on
    specularShown.displayMode = DISPLAY_SPECULAR;
    for (const RenderContext* c : {&shadingOff, &specularShown}) {
        const Color sum = Shade(*c, in);
        EXPECT_NEAR(sum.red, 1.0f, 1e-5f);
        EXPECT_NEAR(sum.green, 1.0f, 1e-5f);
        EXPECT_EQ(sum.blue, 0.0f);
    }
}

TEST(LightLoopTest, AmbientLightsSkipToonAndSpecular) {
    RenderContext ctx = DefaultContext();
    ctx.shadingIncandescence = Grey(0.2f);
    EnableToon(ctx, 0.9f);
    EnableSpecular(ctx);

    RenderContext ambient = ctx;
    AddLight(ambient, kAbove, Grey(1.0f), 100.0f, LIGHT_AMBIENT);
    ExpectGrey(Shade(ambient, Pixel()), 0.2f, 0.0f);  // incandescence alone

    RenderContext point = ctx;  // the same steps do act for a point light
    AddLight(point, kAbove);
    EXPECT_NEAR(Shade(point, Pixel()).red, 1.9f, 1e-5f);
}

TEST(LightLoopTest, TextureStep) {
    RenderContext ctx = DefaultContext();
    ctx.textureEnabled = true;
    ctx.textureBlend = BLEND_MULTIPLY;
    ctx.textureAmount = 1.0f;
    LightLoopInput in = Pixel();
    in.texture = {0.1f, 0.2f, 0.3f, 0.0f};

    ctx.displayMode = DISPLAY_TEXTURE;  // every light's colour becomes the texture
    EXPECT_EQ(Shade(ctx, in).green, 0.0f);
    for (int i = 0; i < 3; ++i) AddLight(ctx, {10.0f * i, 5.0f, 80.0f});
    const Color summed = Shade(ctx, in);
    EXPECT_NEAR(summed.red, 0.3f, 1e-6f);
    EXPECT_NEAR(summed.green, 0.6f, 1e-6f);
    EXPECT_NEAR(summed.blue, 0.9f, 1e-6f);

    RenderContext all = ctx;  // under All through the Texture blend
    all.displayMode = DISPLAY_ALL;
    all.lightCount = 0;
    AddLight(all, kAbove);
    EXPECT_NEAR(Shade(all, in).blue, kAmbientGreyTimesTwo * 0.3f, 1e-6f);
}

TEST(LightLoopTest, ShadingBlendUsesTheInputAndClampsInIntegerRendering) {
    RenderContext ctx = DefaultContext();
    ctx.shadingBlend = BLEND_ADD;
    AddLight(ctx, kAbove);
    LightLoopInput in = Pixel();
    in.input = Grey(0.5f);
    ExpectGrey(Shade(ctx, in), kAmbientGreyTimesTwo + 0.5f, 1e-5f);
    ctx.channelMax = 255.0f;
    ExpectGrey(Shade(ctx, in), 1.0f, 0.0f);
}

TEST(LightLoopTest, LightsAreSummedFromTheLastToTheFirst) {
    // One bright light and two faint ones, each below half a unit in the
    // last place of the bright one, so that the order of the sum shows.
    const RenderContext ctx = DefaultContext();
    const float colors[] = {1.0f, 2.5e-8f, 2.5e-8f};
    float single[3];
    for (int i = 0; i < 3; ++i) {
        RenderContext one = ctx;
        AddLight(one, kAbove, Grey(colors[i]));
        single[i] = Shade(one, Pixel()).red;
    }
    const float backward = (single[2] + single[1]) + single[0];
    ASSERT_NE(backward, (single[0] + single[1]) + single[2]);
    RenderContext three = ctx;
    for (const float c : colors) AddLight(three, kAbove, Grey(c));
    EXPECT_EQ(Shade(three, Pixel()).red, backward);
}

// --- Controls at 0 and other sources of infinities ---------------------------

TEST(ZeroSettingsTest, FalloffZeroKeepsOnlyTheLightsOwnPoint) {
    RenderContext ctx = DefaultContext();
    ctx.shadingAmbient = Grey(0.5f);
    ctx.lightFalloffMode = FALLOFF_LINEAR;
    ctx.lightFalloff = Reciprocal(0.0);
    AddLight(ctx, {100.0f, 50.0f, 200.0f});
    ExpectGrey(Shade(ctx, Pixel(kFacing, 0.0f, 0.0f)), 0.0f, 0.0f);

    // Depth multiplier 0 puts the pixel right at the light: the same finite
    // value as with any other Falloff.
    ctx.depthMultiplier = 0.0f;
    const LightLoopInput atLight = Pixel(kFacing, 100.0f, 50.0f);
    const float zero = Shade(ctx, atLight).red;
    ctx.lightFalloff = Reciprocal(1.0);
    EXPECT_EQ(zero, Shade(ctx, atLight).red);
    EXPECT_NEAR(zero, 10000.0f, 1.0f);
}

TEST(ZeroSettingsTest, DiffuseZeroLightsOnlyFullyFacingSurfaces) {
    RenderContext ctx = DefaultContext();
    ctx.shadingDiffuse = Reciprocal(0.0);
    AddLight(ctx, kAbove);
    ExpectGrey(Shade(ctx, Pixel()), kAmbientGreyTimesTwo, 1e-5f);
    ExpectGrey(Shade(ctx, Pixel({0.9f, 0.5f, 0.7f})), 0.0f, 0.0f);

    ctx.shadingAmbient = Grey(0.5f);
    Color light{0.5f, 1.0f, 3.0f, 0.0f};  // above 1 steps to 1, not to infinity
    ShadingFinish(Prepared(ctx), light);
    EXPECT_EQ(light.red, 0.0f);
    EXPECT_EQ(light.green, 1.0f);
    EXPECT_EQ(light.blue, 1.0f);
}

TEST(ZeroSettingsTest, LightsGammaZeroStepsTheLitValue) {
    const struct {
        float intensity, expected;
    } cases[] = {{300.0f, 1.0f}, {100.0f, 1.0f}, {50.0f, 0.0f}};
    for (const auto& c : cases) {
        RenderContext ctx = DefaultContext();
        ctx.shadingAmbient = Grey(0.5f);
        ctx.lightGamma = 0.0f;
        AddLight(ctx, kAbove, Grey(1.0f), c.intensity);
        ExpectGrey(Shade(ctx, Pixel()), c.expected, 0.0f);
    }
}

TEST(ZeroSettingsTest, IncidenceFalloffZeroStepsTheIncidence) {
    RenderContext ctx = DefaultContext();
    EnableIncidence(ctx, 0.0f);
    const struct {
        float nz, expected;
    } cases[] = {{1.0f, 0.0f}, {0.5f, 0.0f}, {0.0f, 1.0f}, {-0.5f, 1.0f}};
    for (const auto& c : cases) {
        Color sum{};
        Incidence({0.5f, 0.5f, c.nz}, Prepared(ctx), sum);
        ExpectGrey(sum, c.expected, 0.0f);
    }
}

TEST(ZeroSettingsTest, RimLightWidthZeroStepsTheRim) {
    RenderContext ctx = DefaultContext();
    EnableRimLight(ctx, 0.0f, 45);
    Color leaning{};  // leaning 1.41 towards the rim
    RimLight(0.501f, {1.0f, 1.0f, 0.5f}, Prepared(ctx), leaning);
    ExpectGrey(leaning, 2.0f, 1e-5f);
    Color facing{};  // leaning 0.71
    RimLight(0.501f, kFacing, Prepared(ctx), facing);
    ExpectGrey(facing, 0.0f, 0.0f);
}

TEST(ZeroSettingsTest, NoInfinityOrNaNReachesTheColour) {
    RenderContext zero = DefaultContext();
    zero.lightFalloff = Reciprocal(0.0);
    zero.shadingDiffuse = Reciprocal(0.0);
    zero.lightGamma = 0.0f;
    EnableIncidence(zero, 0.0f);
    EnableRimLight(zero, 0.0f, 45);
    zero.rimLightSize = 0.8f;
    EnableGradient(zero);
    EnableSpecular(zero, 0.5f);
    EnableToon(zero, 0.5f);
    for (const float intensity : {-100.0f, 50.0f, 300.0f}) {
        AddLight(zero, {5.0f, 5.0f, 0.0f}, Grey(1.0f), intensity);
        AddLight(zero, {10.0f, 10.0f, 100.0f}, Grey(1.0f), intensity);
    }
    AddLight(zero, kAbove, Grey(1.0f), 100.0f, LIGHT_AMBIENT);
    // Ordinary fractional exponents with a negative exposure offset and
    // negative intensities: powers of negative bases.
    RenderContext fractional = zero;
    fractional.lightFalloff = Reciprocal(2.0);
    fractional.shadingDiffuse = Reciprocal(2.0);
    fractional.lightGamma = 2.2f;
    fractional.incidenceFalloff = 0.4f;
    fractional.rimLightWidth = 0.5f;

    const float values[] = {-0.5f, 0.0f, 0.5f, 1.0f, 1.5f};
    for (RenderContext* ctx : {&zero, &fractional}) {
        for (const float exposure : {0.25f, 1.0f, 4.0f}) {
            ctx->lightExposure = exposure;
            for (int32_t mode = FALLOFF_CONSTANT; mode <= FALLOFF_CUBIC; ++mode) {
                ctx->lightFalloffMode = mode;
                const RenderContext prepared = Prepared(*ctx);
                for (const float x : values) {
                    for (const float y : values) {
                        for (const float z : values) {
                            for (const float p : {0.0f, 5.0f, 10.0f}) {
                                const Vector3 n{x, y, z};
                                Color sum = Shade(prepared, Pixel(n, p, p));
                                Incidence(n, prepared, sum);
                                Gradient(n, prepared, sum);
                                RimLight(z, n, prepared, sum);
                                ASSERT_TRUE(std::isfinite(sum.red) && std::isfinite(sum.green) &&
                                            std::isfinite(sum.blue))
                                    << "exposure " << exposure << " mode " << mode << " n (" << x
                                    << ", " << y << ", " << z << ") p " << p;
                            }
                        }
                    }
                }
            }
        }
    }
}

TEST(ZeroSettingsTest, APowerWithoutValueDoesNotBlankTheOtherLights) {
    // Exposure -1 leaves an unlit light at -0.5, which Diffuse 2 takes to the
    // power 0.5: that light adds nothing and the lit one still shows.
    RenderContext ctx = DefaultContext();
    ctx.shadingDiffuse = Reciprocal(2.0);
    ctx.shadingAmbient = Grey(0.5f);
    ctx.lightExposure = 0.5f;
    AddLight(ctx, kAbove);
    AddLight(ctx, kAbove, Grey(0.0f));
    ExpectGrey(Shade(ctx, Pixel()), std::sqrt(0.5f), 1e-6f);
}

// --- Terms ------------------------------------------------------------------

TEST(ToonTest, BandsByDiffuseValue) {
    RenderContext ctx = DefaultContext();
    EnableToon(ctx, 0.5f);
    ctx.toonShadowWidth = 0.25f;
    ctx.toonHighlightWidth = 0.75f;
    ctx.toonSmoothing = 0.125f;
    ctx.toonShadowIntensity = 0.5f;
    ctx.toonHighlightIntensity = 0.5f;
    ctx.toonShadowColor = Grey(0.0f);
    ctx.toonHighlightColor = Grey(1.0f);
    const struct {
        float f, expected;
    } cases[] = {
        {1.0f, 0.75f},
        {0.75f, 0.5f},
        {0.6875f, 0.625f},
        {0.625f, 0.5f},
        {0.5f, 0.5f},
        {0.25f, 0.25f},
        {std::nextafter(0.25f, 0.0f), 0.5f},
        {0.1875f, 0.375f},
        {0.125f, 0.25f},
        {0.0f, 0.25f},
    };
    for (const auto& c : cases) {
        Color light = Grey(0.9f);
        Toon(c.f, Prepared(ctx), light);
        SCOPED_TRACE(c.f);
        ExpectGrey(light, c.expected, 1e-6f);
    }
}

TEST(SpecularTest, TheAmountEntersTwice) {
    RenderContext ctx = DefaultContext();
    EnableSpecular(ctx, 2.5f);  // exponent 2
    AddLight(ctx, kAbove, {1.0f, 0.5f, 0.0f, 0.0f});
    const struct {
        float amount, red, green;
    } cases[] = {{1.0f, 0.13125f, 0.115625f}, {0.5f, 0.1078125f, 0.10390625f}};
    for (const auto& c : cases) {
        ctx.specularAmount = c.amount;
        Color light = Grey(0.1f);
        Specular(0.5f, 0.25f, 0, Prepared(ctx), light);
        EXPECT_NEAR(light.red, c.red, 1e-6f);
        EXPECT_NEAR(light.green, c.green, 1e-6f);
        EXPECT_NEAR(light.blue, 0.1f, 1e-6f);
    }
}

TEST(IncidenceTest, GrowsAsTheSurfaceTurnsAway) {
    RenderContext ctx = DefaultContext();
    EnableIncidence(ctx, 1.0f);
    ctx.incidenceAmount = 1.0f;
    Color facing = Grey(0.3f);
    Incidence({0.5f, 0.5f, 1.0f}, Prepared(ctx), facing);
    ExpectGrey(facing, 0.3f, 1e-6f);
    ctx.incidenceAmount = 0.05f;  // opacity 0.5
    Color tilted = Grey(0.2f);
    Incidence({0.5f, 0.5f, 0.5f}, Prepared(ctx), tilted);
    ExpectGrey(tilted, 0.45f, 1e-6f);
}

TEST(GradientTest, LuminanceWeightsOfTheNormal) {
    RenderContext ctx = DefaultContext();
    EnableGradient(ctx);
    const struct {
        Vector3 n;
        float expected;
    } cases[] = {{{1.0f, 0.0f, 0.0f}, 0.21267f},
                 {{0.0f, 1.0f, 0.0f}, 0.71516f},
                 {{0.0f, 0.0f, 1.0f}, 0.072169f},
                 {kFacing, 0.536084f}};
    for (const auto& c : cases) {
        Color sum = Grey(0.9f);
        Gradient(c.n, Prepared(ctx), sum);
        ExpectGrey(sum, c.expected, 1e-6f);
    }
}

TEST(RimLightTest, TheAngleChoosesTheLeaningComponent) {
    RenderContext ctx = DefaultContext();
    EnableRimLight(ctx, 5.0f, 0);  // exponent 1
    const Vector3 n{0.3f, 0.2f, 0.9f};
    const struct {
        int32_t angle;
        float expected;
    } cases[] = {{0, 0.2f}, {90, 0.3f}, {180, 0.8f}, {270, 0.7f}};
    for (const auto& c : cases) {
        ctx.rimLightAngle = c.angle;
        Color sum{};
        RimLight(0.751f, n, Prepared(ctx), sum);  // edge factor 0.25, times 4
        ExpectGrey(sum, c.expected, 1e-5f);
    }
}

TEST(DisplayGatingTest, EachTermActsOnlyWhenSwitchedOnAndShown) {
    RenderContext base = DefaultContext();
    AddLight(base, kAbove);
    base.shadingIncandescence = Grey(0.3f);
    EnableToon(base, 0.9f);
    EnableSpecular(base);
    EnableIncidence(base, 1.0f);
    EnableGradient(base);
    EnableRimLight(base, 1.0f, 0);

    struct Term {
        const char* name;
        std::set<int32_t> shownUnder;
        bool RenderContext::*enabled;
        void (*apply)(const RenderContext&, Color&);
    };
    const Term terms[] = {
        {"diffuse finishing",
         {DISPLAY_DIFFUSE, DISPLAY_BUMP, DISPLAY_ALL},
         &RenderContext::shadingEnabled,
         [](const RenderContext& ctx, Color& c) { ShadingFinish(Prepared(ctx), c); }},
        {"toon",
         {DISPLAY_TOON, DISPLAY_ALL},
         &RenderContext::toonEnabled,
         [](const RenderContext& ctx, Color& c) { Toon(1.0f, Prepared(ctx), c); }},
        {"specular",
         {DISPLAY_SPECULAR, DISPLAY_ALL},
         &RenderContext::specularEnabled,
         [](const RenderContext& ctx, Color& c) { Specular(1.0f, 1.0f, 0, Prepared(ctx), c); }},
        {"incidence",
         {DISPLAY_INCIDENCE, DISPLAY_ALL},
         &RenderContext::incidenceEnabled,
         [](const RenderContext& ctx, Color& c) {
             Incidence(Vector3{0.5f, 0.5f, 0.5f}, Prepared(ctx), c);
         }},
        {"gradient",
         {DISPLAY_GRADIENT, DISPLAY_ALL},
         &RenderContext::gradientEnabled,
         [](const RenderContext& ctx, Color& c) { Gradient(kFacing, Prepared(ctx), c); }},
        {"rim light",
         {DISPLAY_RIM, DISPLAY_ALL},
         &RenderContext::rimLightEnabled,
         [](const RenderContext& ctx, Color& c) { RimLight(0.5f, kFacing, Prepared(ctx), c); }},
    };
    for (const Term& term : terms) {
        for (const DisplayCode& code : kDisplayCodes) {
            const int32_t display = code.shown;
            for (const bool enabled : {true, false}) {
                RenderContext ctx = base;
                ctx.displayMode = display;
                ctx.*term.enabled = enabled;
                Color c = Grey(0.25f);
                term.apply(ctx, c);
                const bool acts = c.red != 0.25f;
                EXPECT_EQ(acts, enabled && term.shownUnder.count(display) > 0)
                    << term.name << " under Display " << display << (enabled ? "" : ", off");
            }
        }
    }
}

}  // namespace
}  // namespace lumeshade
