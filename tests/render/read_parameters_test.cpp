// The controls as the render context holds them.
#include "render/read_parameters.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/module_host.h"

namespace lumeshade {
namespace {

using testing::ModuleHost;

RenderContext Read(ModuleHost& m) {
    RenderContext ctx;
    ReadRenderParameters(&m.Host().InData(), ctx);
    return ctx;
}

TEST(ReadParametersTest, DefaultsConvertToTheirContextUnits) {
    ModuleHost m;
    const RenderContext ctx = Read(m);
    EXPECT_EQ(ctx.displayMode, DISPLAY_CHOICE_ALL);  // remapped later
    EXPECT_TRUE(ctx.shadingEnabled);
    EXPECT_FALSE(ctx.specularEnabled);
    EXPECT_FLOAT_EQ(ctx.lightFalloff, 0.5f);  // 1 / Falloff 2
    EXPECT_EQ(ctx.lightFalloffMode, 2);
    EXPECT_EQ(ctx.lightExposure, 1.0f);
    EXPECT_EQ(ctx.shadingDiffuse, 1.0f);
    EXPECT_EQ(ctx.depthChannel, DEPTH_LUMINANCE);
    EXPECT_EQ(ctx.normalsZChannel, 3);
    EXPECT_EQ(ctx.blendAmount, 0.0f);
    // Shading is on, so its colours are read: bytes times the float 1/255.
    EXPECT_EQ(ctx.shadingAmbient.red, 127 * 0.003921569f);
    EXPECT_EQ(ctx.shadingColor.blue, 255 * 0.003921569f);
    EXPECT_EQ(ctx.shadingAmbient.fourth, 0.0f);
    EXPECT_TRUE(m.Host().Violations().empty());
    EXPECT_EQ(m.Host().OpenParamCheckouts(), 0) << "every control read is checked back in";
}

TEST(ReadParametersTest, ExposureIsAPowerOfTwo) {
    ModuleHost m;
    m.SetFixed(PARAM_LIGHTS_EXPOSURE, 1.0);
    EXPECT_EQ(Read(m).lightExposure, 2.0f);
    m.SetFixed(PARAM_LIGHTS_EXPOSURE, -1.0);
    EXPECT_EQ(Read(m).lightExposure, 0.5f);
}

TEST(ReadParametersTest, ReciprocalsAndScaledMembers) {
    ModuleHost m;
    for (ParamId sw :
         {PARAM_REFLECTION_ENABLE, PARAM_REFRACTION_ENABLE, PARAM_BUMP_ENABLE, PARAM_TOON_ENABLE,
          PARAM_MATCAP_ENABLE, PARAM_TEXTURE_ENABLE, PARAM_RIM_LIGHT_ENABLE}) {
        m.SetSwitch(sw, true);
    }
    m.SetFixed(PARAM_REFLECTION_SEAM, 4.0);
    m.SetFixed(PARAM_REFRACTION_SCALE, 0.5);
    m.SetFixed(PARAM_BUMP_SCALE, 2.0);
    m.SetFixed(PARAM_SHADING_DIFFUSE, 0.0);  // the control allows it: an infinite reciprocal
    m.SetFixed(PARAM_REFLECTION_FRESNEL_DEPTH, 0.5);
    m.SetFixed(PARAM_REFRACTION_FRESNEL_DEPTH, 0.5);
    m.SetInteger(PARAM_MATCAP_BLUR, 3);
    m.SetChoice(PARAM_TEXTURE_FILTER, FILTER_OFF);
    m.SetAngle(PARAM_RIM_LIGHT_ANGLE, -45.7);
    m.SetPoint(PARAM_TEXTURE_OFFSET, -2.5, 3.99);
    const RenderContext ctx = Read(m);
    EXPECT_EQ(ctx.reflectionSeam, 0.25f);
    EXPECT_EQ(ctx.refractionScale, 2.0f);
    EXPECT_EQ(ctx.bumpScale, 0.5f);
    EXPECT_TRUE(std::isinf(ctx.shadingDiffuse));
    EXPECT_FLOAT_EQ(ctx.reflectionFresnelDepth, 1.5f);
    EXPECT_FLOAT_EQ(ctx.refractionFresnelDepth, 0.5f);
    EXPECT_EQ(ctx.matcapBlur, 4);
    EXPECT_EQ(ctx.textureFilter, 2) << "Filter Off still names radius 2";
    EXPECT_FLOAT_EQ(ctx.toonSmoothing, 13107 / 65536.0f * 0.25f);
    EXPECT_EQ(ctx.rimLightAngle, -45) << "whole degrees, truncated toward zero";
    EXPECT_EQ(ctx.textureOffsetX, -2);
    EXPECT_EQ(ctx.textureOffsetY, 3);
    // The refraction tint scales by 1/127, so its default grey is exactly 1.
    EXPECT_FLOAT_EQ(ctx.refractionColor.red, 1.0f);
    EXPECT_NEAR(ctx.reflectionColor.red, 0.498f, 0.0005f);
}

TEST(ReadParametersTest, AGroupsMembersAreNotReadWhileItsSwitchIsOff) {
    ModuleHost m;
    m.SetFixed(PARAM_SPECULAR_AMOUNT, 0.75);
    RenderContext ctx;
    ctx.specularAmount = -123.0f;
    ctx.toonAmount = -5.0f;
    const int before = m.Host().Calls("checkout_param");
    ReadRenderParameters(&m.Host().InData(), ctx);
    EXPECT_EQ(ctx.specularAmount, -123.0f);
    EXPECT_EQ(ctx.toonAmount, -5.0f);
    // The always-read controls (22 + 8) and the Shading group (4).
    EXPECT_EQ(m.Host().Calls("checkout_param") - before, 34);

    m.SetSwitch(PARAM_SPECULAR_ENABLE, true);
    ReadRenderParameters(&m.Host().InData(), ctx);
    EXPECT_EQ(ctx.specularAmount, 0.75f);
}

TEST(ReadParametersTest, AFailedReadSkipsTheRestAndTheRenderGoesOn) {
    ModuleHost m;
    m.SetChoice(PARAM_BLEND_TRANSFER_MODE, BLEND_MULTIPLY);
    RenderContext ctx;
    ctx.blendTransferMode = 99;
    // The third read fails: nothing after it is read, earlier values stay.
    m.Host().FailCall("checkout_param", m.Host().Calls("checkout_param") + 3, PF_Err_OUT_OF_MEMORY);
    ReadRenderParameters(&m.Host().InData(), ctx);
    EXPECT_EQ(ctx.depthChannel, DEPTH_LUMINANCE);
    EXPECT_EQ(ctx.blendTransferMode, 99);
    EXPECT_EQ(m.Host().OpenParamCheckouts(), 0);
}

TEST(ReadParametersTest, DisplayChoicesAreRenumberedPastTheSeparators) {
    const int expected[20] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 17, 18, 19, 20, 21};
    for (int choice = DISPLAY_CHOICE_OFF; choice <= DISPLAY_CHOICE_ALL; ++choice) {
        EXPECT_EQ(RemapDisplay(choice), expected[choice]) << "choice " << choice;
    }
    EXPECT_EQ(RemapDisplay(DISPLAY_CHOICE_TEXTURE), DISPLAY_TEXTURE);
    EXPECT_EQ(RemapDisplay(DISPLAY_CHOICE_ALL), DISPLAY_ALL);
    EXPECT_EQ(RemapDisplay(DISPLAY_CHOICE_REFLECTION), DISPLAY_REFLECTION);
    EXPECT_EQ(RemapDisplay(2147483647), 2147483647) << "no overflow on a hostile value";
}

}  // namespace
}  // namespace lumeshade
