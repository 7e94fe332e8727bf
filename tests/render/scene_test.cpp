// The camera and the lights a frame takes from the composition.
#include "render/scene.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "render/gather_lights.h"
#include "render/read_parameters.h"
#include "tests/support/module_host.h"

namespace lumeshade {
namespace {

using host::Vec3d;
using testing::ModuleHost;

// The context a frame would read: the controls, then the scene.
struct Scene {
    RenderContext ctx;
    A_Err err = A_Err_NONE;
};

Scene ReadAll(ModuleHost& m) {
    Scene s;
    ReadRenderParameters(&m.Host().InData(), s.ctx);
    HostSuites suites(&m.Host().InData());
    s.err = ReadScene(&m.Host().InData(), suites, s.ctx);
    return s;
}

TEST(CameraTest, PositionWithZNegatedOrTheDefault) {
    ModuleHost m;
    EXPECT_EQ(ReadAll(m).ctx.cameraPosition.x, 0.5f);
    EXPECT_EQ(ReadAll(m).ctx.cameraPosition.z, 1.0f);

    host::CompLayer camera;
    camera.name = "Camera 1";
    camera.type = AEGP_ObjectType_CAMERA;
    camera.position.SetKey(0, Vec3d{10, 20, 30});
    camera.position.SetKey(24, Vec3d{20, 40, 60});  // frame 24: one second
    m.Host().Comp().layers.push_back(camera);
    m.Host().SetTime(0.5);
    const Scene s = ReadAll(m);
    ASSERT_EQ(s.err, A_Err_NONE);
    EXPECT_FLOAT_EQ(s.ctx.cameraPosition.x, 15.0f);
    EXPECT_FLOAT_EQ(s.ctx.cameraPosition.y, 30.0f);
    EXPECT_FLOAT_EQ(s.ctx.cameraPosition.z, -45.0f);
}

TEST(GatherLightsTest, BottomLayerFirstWithEveryStream) {
    ModuleHost m;
    host::CompLayer& lower = m.AddLight("Key", AEGP_LightType_SPOT, {1, 2, 3});
    lower.intensity = host::Keyed<double>(80.0);
    lower.color = host::Keyed<host::ColorD>(host::ColorD{1, 0.25, 0.5, 0.75});
    lower.anchorPoint = host::Keyed<Vec3d>(Vec3d{4, 5, 6});
    lower.coneAngle = host::Keyed<double>(30.0);
    lower.coneFeather = host::Keyed<double>(10.0);
    m.AddLight("Fill", AEGP_LightType_AMBIENT, {7, 8, 9});  // above "Key"
    const Scene s = ReadAll(m);
    ASSERT_EQ(s.err, A_Err_NONE);
    ASSERT_EQ(s.ctx.lightCount, 2);
    EXPECT_EQ(s.ctx.lightType[0], LIGHT_SPOT);
    EXPECT_EQ(s.ctx.lightType[1], LIGHT_AMBIENT);
    EXPECT_EQ(s.ctx.lightIntensity[0], 80.0f);
    EXPECT_EQ(s.ctx.lightPosition[0].z, 3.0f);
    EXPECT_EQ(s.ctx.lightPosition[1].x, 7.0f);
    EXPECT_EQ(s.ctx.lightColor[0].red, 0.25f);
    EXPECT_EQ(s.ctx.lightColor[0].blue, 0.75f);
    EXPECT_EQ(s.ctx.lightColor[0].fourth, 0.0f) << "the stream's alpha is not kept";
    EXPECT_EQ(s.ctx.lightAnchorPoint[0].y, 5.0f);
    EXPECT_EQ(s.ctx.lightConeAngle[0], 30.0f);
    EXPECT_EQ(s.ctx.lightConeFeather[0], 10.0f);
    EXPECT_EQ(m.Host().OpenParamCheckouts(), 0);
}

TEST(GatherLightsTest, TypeCodes) {
    EXPECT_EQ(LightTypeCode(AEGP_LightType_AMBIENT), 1);
    EXPECT_EQ(LightTypeCode(AEGP_LightType_POINT), 2);
    EXPECT_EQ(LightTypeCode(AEGP_LightType_PARALLEL), 3);
    EXPECT_EQ(LightTypeCode(AEGP_LightType_SPOT), 4);
    EXPECT_EQ(LightTypeCode(AEGP_LightType_NONE), 0);
}

TEST(GatherLightsTest, NamesSelectedByTheRenderChoice) {
    struct Case {
        int choice;
        const char* name;
        bool selected;
    };
    const Case cases[] = {
        {2, "anything", true},      {1, "Light 1", false}, {4, "Light 2", true},
        {4, "Light 2 copy", false}, {4, "light 2", false}, {3, "Light 2", false},
        {7, "Light 5", true},       {8, "Light", true},    {8, "Light 7", true},
        {8, "Lighting", true},      {8, "Lamp", false},    {8, "Lig", false},
        {8, "light", false},        {9, "Light", false},   {0, "Light", false},
    };
    for (const Case& c : cases) {
        char name[AEGP_MAX_LAYER_NAME_SIZE] = {};
        std::string(c.name).copy(name, sizeof name - 1);
        EXPECT_EQ(LightSelected(c.choice, name), c.selected) << c.choice << " " << c.name;
    }
}

TEST(GatherLightsTest, RenderNoneAndNamedChoicesThroughTheHost) {
    ModuleHost m;
    m.AddLight("Light 2 copy", AEGP_LightType_POINT, {});
    m.AddLight("Light 2", AEGP_LightType_POINT, {1, 0, 0});
    m.AddLight("Lamp", AEGP_LightType_POINT, {});
    m.SetChoice(PARAM_LIGHTS_RENDER, LIGHTS_RENDER_LIGHT_2);
    Scene s = ReadAll(m);
    ASSERT_EQ(s.ctx.lightCount, 1);
    EXPECT_EQ(s.ctx.lightPosition[0].x, 1.0f);
    m.SetChoice(PARAM_LIGHTS_RENDER, LIGHTS_RENDER_NONE);
    EXPECT_EQ(ReadAll(m).ctx.lightCount, 0);
}

TEST(GatherLightsTest, SwitchedOffLightsNeedTheInvisibleLightsCheckbox) {
    ModuleHost m;
    m.AddLight("Off", AEGP_LightType_POINT, {}).videoOn = false;
    m.AddLight("On", AEGP_LightType_POINT, {});
    EXPECT_EQ(ReadAll(m).ctx.lightCount, 1);
    m.SetSwitch(PARAM_LIGHTS_ENABLE_INVISIBLE_LIGHTS, true);
    EXPECT_EQ(ReadAll(m).ctx.lightCount, 2);
}

TEST(GatherLightsTest, NoLightIsGatheredWhenNoTermUsesThem) {
    {
        ModuleHost m;
        m.AddLight("Light", AEGP_LightType_POINT, {});
        m.SetSwitch(PARAM_SHADING_ENABLE, false);
        const int before = m.Host().Calls("AEGP_GetCompLayerByIndex");
        EXPECT_EQ(ReadAll(m).ctx.lightCount, 0);
        EXPECT_EQ(m.Host().Calls("AEGP_GetCompLayerByIndex"), before);
    }
    for (ParamId sw : {PARAM_SPECULAR_ENABLE, PARAM_TOON_ENABLE, PARAM_TEXTURE_ENABLE}) {
        ModuleHost on;
        on.AddLight("Light", AEGP_LightType_POINT, {});
        on.SetSwitch(PARAM_SHADING_ENABLE, false);
        on.SetSwitch(sw, true);
        EXPECT_EQ(ReadAll(on).ctx.lightCount, 1);
    }
}

TEST(GatherLightsTest, LightsBeyondTheTablesAreIgnored) {
    ModuleHost m;
    for (int i = 0; i < MAX_LIGHTS + 5; ++i) {
        m.AddLight("Light", AEGP_LightType_POINT, {double(i), 0, 0});
    }
    const Scene s = ReadAll(m);
    ASSERT_EQ(s.err, A_Err_NONE);
    EXPECT_EQ(s.ctx.lightCount, MAX_LIGHTS);
    // The bottom light (added first) is entry 0; the top five are left out.
    EXPECT_EQ(s.ctx.lightPosition[0].x, 0.0f);
    EXPECT_EQ(s.ctx.lightPosition[MAX_LIGHTS - 1].x, float(MAX_LIGHTS - 1));
}

TEST(GatherLightsTest, AHostErrorStopsTheWalk) {
    ModuleHost m;
    m.AddLight("A", AEGP_LightType_POINT, {});
    m.AddLight("B", AEGP_LightType_POINT, {});
    m.Host().FailCall("AEGP_GetLayerName", m.Host().Calls("AEGP_GetLayerName") + 2, A_Err_GENERIC);
    const Scene s = ReadAll(m);
    EXPECT_EQ(s.err, A_Err_GENERIC);
    EXPECT_EQ(s.ctx.lightCount, 1);
    EXPECT_EQ(m.Host().OpenParamCheckouts(), 0);
}

// Each suite is taken where the frame first needs it, so a host without one
// still renders every frame that does not: the Light suite waits for the
// first light layer, the Stream suite for a light the Render choice selects
// (or a camera), the Layer suite for the effect's own layer.
TEST(SceneSuitesTest, EachSuiteIsTakenWhereTheFrameFirstNeedsIt) {
    struct Case {
        const char* suite;
        int version;
        std::function<void(ModuleHost&)> arrange;
        PF_Err result;
    };
    const auto noLight = [](ModuleHost&) {};
    const auto light = [](ModuleHost& m) { m.AddLight("Light", AEGP_LightType_POINT, {}); };
    const auto unselectedLight = [&](ModuleHost& m) {
        light(m);
        m.SetChoice(PARAM_LIGHTS_RENDER, LIGHTS_RENDER_NONE);
    };
    const Case cases[] = {
        {"AEGP Light Suite", 2, noLight, PF_Err_NONE},
        {"AEGP Light Suite", 2, light, PF_Err_BAD_CALLBACK_PARAM},
        {"AEGP Stream Suite", 7, noLight, PF_Err_NONE},
        {"AEGP Stream Suite", 7, unselectedLight, PF_Err_NONE},
        {"AEGP Stream Suite", 7, light, PF_Err_BAD_CALLBACK_PARAM},
    };
    for (const Case& c : cases) {
        ModuleHost m;
        m.AddFootage("Plate", std::make_shared<host::World>(2, 2, host::Depth::kFloat));
        c.arrange(m);
        m.Host().WithdrawSuite(c.suite, c.version);
        EXPECT_EQ(m.Host().RenderFrame(), c.result) << c.suite << " " << c.result;
        EXPECT_EQ(m.Host().SuitesHeld(), 0);
    }

    ModuleHost m;
    m.Host().WithdrawSuite("AEGP Layer Suite", 5);
    EXPECT_EQ(m.Host().RenderFrame(), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(m.Host().Calls("AEGP_GetEffectLayer"), 1);
}

TEST(LayerSizeTest, ScaledByTheDownsampleFactors) {
    PF_InData in{};
    in.width = 640;
    in.height = 360;
    in.downsample_x = {1, 2};
    in.downsample_y = {1, 2};
    RenderContext ctx;
    SetLayerSize(&in, ctx);
    EXPECT_EQ(ctx.layerWidth, 320.0f);
    EXPECT_EQ(ctx.layerHeight, 180.0f);
    in.downsample_x = {0, 0};  // no factor on one axis: that axis stays whole
    SetLayerSize(&in, ctx);
    EXPECT_EQ(ctx.layerWidth, 640.0f);
    EXPECT_EQ(ctx.layerHeight, 180.0f);
}

}  // namespace
}  // namespace lumeshade
