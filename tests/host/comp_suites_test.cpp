// The composition through the PF Interface, Layer, Stream and Light suites.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "AE_GeneralPlug.h"
#include "fake_effect.h"
#include "host/host.h"

namespace lumeshade::host {
namespace {

using testing::Acquire;
using testing::FakeEntry;

enum LayerIndex { kCamera, kSpot, kHiddenLight, kFootage };

class CompSuitesTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::Fake() = {};
        Composition& comp = host_.Comp();
        CompLayer camera;
        camera.name = "Camera 1";
        camera.type = AEGP_ObjectType_CAMERA;
        camera.position = Vec3d{100, 50, -800};
        camera.anchorPoint = Vec3d{100, 50, 0};
        CompLayer spot;
        spot.name = "Light 1";
        spot.type = AEGP_ObjectType_LIGHT;
        spot.lightType = AEGP_LightType_SPOT;
        spot.intensity.SetKey(0, 100.0);  // keys at frames of 24 per second
        spot.intensity.SetKey(48, 50.0);
        spot.color = ColorD{1.0, 0.25, 0.5, 0.75};
        spot.position.SetKey(24, {0, 0, 0});
        spot.position.SetKey(72, {20, -40, 60});
        CompLayer hidden;
        hidden.name = "Light 2";
        hidden.type = AEGP_ObjectType_LIGHT;
        hidden.lightType = AEGP_LightType_AMBIENT;
        hidden.videoOn = false;
        CompLayer footage;
        footage.name = "A footage layer whose name runs past the buffer";
        comp.layers = {camera, spot, hidden, footage};
        comp.effectLayer = kFootage;
        comp.effectLayerOffset = 1.0;
        plugin_ = testing::RegisterPlugin(host_);
    }

    AEGP_LayerH Layer(A_long index) {
        AEGP_CompH comp = nullptr;
        AEGP_LayerH effectLayer = nullptr, layer = nullptr;
        EXPECT_EQ(pf_.AEGP_GetEffectLayer(host_.InData().effect_ref, &effectLayer), A_Err_NONE);
        EXPECT_EQ(layers_.AEGP_GetLayerParentComp(effectLayer, &comp), A_Err_NONE);
        EXPECT_EQ(layers_.AEGP_GetCompLayerByIndex(comp, index, &layer), A_Err_NONE);
        return layer;
    }

    Host host_{FakeEntry};
    const AEGP_PFInterfaceSuite1& pf_ =
        Acquire<AEGP_PFInterfaceSuite1>(host_, kAEGPPFInterfaceSuite, 1);
    const AEGP_LayerSuite1& layers_ = Acquire<AEGP_LayerSuite1>(host_, kAEGPLayerSuite, 5);
    const AEGP_StreamSuite2& streams_ = Acquire<AEGP_StreamSuite2>(host_, kAEGPStreamSuite, 7);
    const AEGP_LightSuite2& lights_ = Acquire<AEGP_LightSuite2>(host_, kAEGPLightSuite, 2);
    AEGP_PluginID plugin_ = 0;
};

TEST_F(CompSuitesTest, LayersAreListedFromTheTopWithTheirKindsAndSwitches) {
    AEGP_CompH comp = nullptr;
    ASSERT_EQ(layers_.AEGP_GetLayerParentComp(Layer(kFootage), &comp), A_Err_NONE);
    A_long count = 0;
    ASSERT_EQ(layers_.AEGP_GetCompNumLayers(comp, &count), A_Err_NONE);
    EXPECT_EQ(count, 4);
    struct Row {
        LayerIndex index;
        const char* name;
        AEGP_ObjectType type;
        bool videoOn, threeD;
    } rows[] = {{kCamera, "Camera 1", AEGP_ObjectType_CAMERA, true, true},
                {kSpot, "Light 1", AEGP_ObjectType_LIGHT, true, true},
                {kHiddenLight, "Light 2", AEGP_ObjectType_LIGHT, false, true},
                {kFootage, "A footage layer whose name runs", AEGP_ObjectType_AV, true, false}};
    for (const Row& r : rows) {
        AEGP_LayerH h = Layer(r.index);
        A_char name[AEGP_MAX_LAYER_NAME_SIZE + 8];
        std::memset(name, '#', sizeof name);
        ASSERT_EQ(layers_.AEGP_GetLayerName(h, name, nullptr), A_Err_NONE);
        EXPECT_STREQ(name, r.name) << "31 characters and the terminator at most";
        EXPECT_EQ(name[AEGP_MAX_LAYER_NAME_SIZE], '#') << "nothing past the buffer";
        AEGP_ObjectType type = AEGP_ObjectType_NONE;
        A_Boolean on = 2, is3D = 2, active = 2;
        AEGP_LayerFlags flags = 0;
        A_long index = -1;
        const A_Time t{0, 1};
        EXPECT_EQ(layers_.AEGP_GetLayerObjectType(h, &type), A_Err_NONE);
        EXPECT_EQ(layers_.AEGP_IsLayerVideoReallyOn(h, &on), A_Err_NONE);
        EXPECT_EQ(layers_.AEGP_IsVideoActive(h, AEGP_LTimeMode_CompTime, &t, &active), A_Err_NONE);
        EXPECT_EQ(layers_.AEGP_IsLayer3D(h, &is3D), A_Err_NONE);
        EXPECT_EQ(layers_.AEGP_GetLayerFlags(h, &flags), A_Err_NONE);
        EXPECT_EQ(layers_.AEGP_GetLayerIndex(h, &index), A_Err_NONE);
        EXPECT_EQ(type, r.type) << r.name;
        EXPECT_EQ(on != 0, r.videoOn) << r.name;
        EXPECT_EQ(active != 0, r.videoOn) << r.name;
        EXPECT_EQ(is3D != 0, r.threeD) << r.name;
        EXPECT_EQ((flags & AEGP_LayerFlag_VIDEO_ACTIVE) != 0, r.videoOn);
        EXPECT_EQ(index, r.index);
        EXPECT_EQ(h, Layer(r.index)) << "handles are stable";
    }
    A_char source[AEGP_MAX_LAYER_NAME_SIZE];
    ASSERT_EQ(layers_.AEGP_GetLayerName(Layer(kSpot), nullptr, source), A_Err_NONE);
    EXPECT_STREQ(source, "") << "a light has no source";
}

TEST_F(CompSuitesTest, UnknownHandlesAndIndicesAreErrorsNotCrashes) {
    int notAHandle = 0;
    auto bogus = reinterpret_cast<AEGP_LayerH>(&notAHandle);
    A_Boolean b = 0;
    AEGP_ObjectType type;
    AEGP_LightType light;
    AEGP_StreamVal v;
    const A_Time t{0, 1};
    EXPECT_NE(layers_.AEGP_IsLayerVideoReallyOn(bogus, &b), A_Err_NONE);
    EXPECT_NE(layers_.AEGP_GetLayerObjectType(nullptr, &type), A_Err_NONE);
    EXPECT_NE(lights_.AEGP_GetLightType(bogus, &light), A_Err_NONE);
    EXPECT_NE(streams_.AEGP_GetLayerStreamValue(bogus, AEGP_LayerStream_POSITION,
                                                AEGP_LTimeMode_CompTime, &t, false, &v, nullptr),
              A_Err_NONE);
    AEGP_CompH comp = nullptr;
    AEGP_LayerH layer = nullptr;
    ASSERT_EQ(layers_.AEGP_GetLayerParentComp(Layer(kSpot), &comp), A_Err_NONE);
    EXPECT_NE(layers_.AEGP_GetCompLayerByIndex(comp, 4, &layer), A_Err_NONE);
    EXPECT_NE(layers_.AEGP_GetCompLayerByIndex(comp, -1, &layer), A_Err_NONE);
    EXPECT_NE(layers_.AEGP_GetCompNumLayers(reinterpret_cast<AEGP_CompH>(bogus), nullptr),
              A_Err_NONE);
    // A handle whose layer has gone is no longer valid.
    AEGP_LayerH last = Layer(kFootage);
    host_.Comp().layers.pop_back();
    EXPECT_NE(layers_.AEGP_GetLayerObjectType(last, &type), A_Err_NONE);
}

TEST_F(CompSuitesTest, EverySlotOfTheTablesExistsAndTheRestAreUnsupported) {
    auto slots = [](const auto& table) {
        std::uintptr_t raw[64] = {};
        std::memcpy(raw, &table, sizeof table);
        int filled = 0;
        for (std::size_t i = 0; i < sizeof table / sizeof(void*); ++i) filled += raw[i] != 0;
        return filled;
    };
    EXPECT_EQ(slots(layers_), 39);
    EXPECT_EQ(slots(streams_), 22);
    EXPECT_EQ(slots(pf_), 5);
    AEGP_LayerH active = nullptr;
    EXPECT_EQ(layers_.AEGP_GetActiveLayer(&active), A_Err_GENERIC);
    EXPECT_EQ(host_.Calls("AEGP_GetActiveLayer"), 1);
    A_Boolean enabled = 0;
    EXPECT_EQ(streams_.AEGP_GetExpressionState(plugin_, nullptr, &enabled), A_Err_GENERIC);
}

TEST_F(CompSuitesTest, LayerStreamsAreReadAtCompositionOrLayerTime) {
    AEGP_StreamVal v;
    AEGP_StreamType type = AEGP_StreamType_NO_DATA;
    const A_Time one{24, 24};
    ASSERT_EQ(streams_.AEGP_GetLayerStreamValue(Layer(kSpot), AEGP_LayerStream_INTENSITY,
                                                AEGP_LTimeMode_CompTime, &one, false, &v, &type),
              A_Err_NONE);
    EXPECT_DOUBLE_EQ(v.one_d, 75.0);
    EXPECT_EQ(type, AEGP_StreamType_OneD);
    const A_Time two{2, 1};
    ASSERT_EQ(streams_.AEGP_GetLayerStreamValue(Layer(kSpot), AEGP_LayerStream_POSITION,
                                                AEGP_LTimeMode_CompTime, &two, false, &v, &type),
              A_Err_NONE);
    EXPECT_DOUBLE_EQ(v.three_d.x, 10.0);
    EXPECT_DOUBLE_EQ(v.three_d.y, -20.0);
    EXPECT_DOUBLE_EQ(v.three_d.z, 30.0);
    EXPECT_EQ(type, AEGP_StreamType_ThreeD_SPATIAL);
    ASSERT_EQ(streams_.AEGP_GetLayerStreamValue(Layer(kSpot), AEGP_LayerStream_COLOR,
                                                AEGP_LTimeMode_CompTime, &two, false, &v, nullptr),
              A_Err_NONE);
    EXPECT_DOUBLE_EQ(v.color.alphaF, 1.0);
    EXPECT_DOUBLE_EQ(v.color.redF, 0.25);
    EXPECT_DOUBLE_EQ(v.color.blueF, 0.75);

    // The effect layer starts at composition second 1: its layer time 1 is
    // composition time 2.
    host_.Comp().layers[kFootage].position.SetKey(0, {0, 0, 0});
    host_.Comp().layers[kFootage].position.SetKey(96, {40, 0, 0});
    const A_Time layerOne{1, 1};
    ASSERT_EQ(
        streams_.AEGP_GetLayerStreamValue(Layer(kFootage), AEGP_LayerStream_POSITION,
                                          AEGP_LTimeMode_LayerTime, &layerOne, false, &v, nullptr),
        A_Err_NONE);
    EXPECT_DOUBLE_EQ(v.three_d.x, 20.0);
    const A_Time noScale{1, 0};
    EXPECT_NE(
        streams_.AEGP_GetLayerStreamValue(Layer(kSpot), AEGP_LayerStream_INTENSITY,
                                          AEGP_LTimeMode_CompTime, &noScale, false, &v, nullptr),
        A_Err_NONE);
}

TEST_F(CompSuitesTest, AStreamALayerDoesNotHaveFailsAndUnmodelledOnesAreUnsupported) {
    AEGP_StreamVal v;
    const A_Time t{0, 1};
    struct Case {
        LayerIndex layer;
        AEGP_LayerStream stream;
        A_Err expected;
        bool legal;
    } cases[] = {
        {kCamera, AEGP_LayerStream_INTENSITY, A_Err_PARAMETER, false},
        {kFootage, AEGP_LayerStream_CONE_ANGLE, A_Err_PARAMETER, false},
        {kSpot, AEGP_LayerStream_ZOOM, A_Err_PARAMETER, false},
        {kSpot, AEGP_LayerStream_SPECULAR_INTENSITY, A_Err_PARAMETER, false},
        {kCamera, AEGP_LayerStream_ZOOM, A_Err_GENERIC, true},
        {kFootage, AEGP_LayerStream_OPACITY, A_Err_GENERIC, true},
        {kCamera, AEGP_LayerStream_ANCHORPOINT, A_Err_NONE, true},
        {kHiddenLight, AEGP_LayerStream_CONE_FEATHER, A_Err_NONE, true},
        {kSpot, AEGP_LayerStream_NUMTYPES, A_Err_PARAMETER, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(streams_.AEGP_GetLayerStreamValue(
                      Layer(c.layer), c.stream, AEGP_LTimeMode_CompTime, &t, false, &v, nullptr),
                  c.expected)
            << "layer " << c.layer << " stream " << c.stream;
        A_Boolean legal = 2;
        ASSERT_EQ(streams_.AEGP_IsStreamLegal(Layer(c.layer), c.stream, &legal), A_Err_NONE);
        EXPECT_EQ(legal != 0, c.legal) << "layer " << c.layer << " stream " << c.stream;
    }
}

TEST_F(CompSuitesTest, StreamReferencesAndValuesAreCountedUntilDisposed) {
    AEGP_StreamRefH stream = nullptr;
    ASSERT_EQ(streams_.AEGP_GetNewLayerStream(plugin_, Layer(kSpot), AEGP_LayerStream_CONE_ANGLE,
                                              &stream),
              A_Err_NONE);
    EXPECT_NE(streams_.AEGP_GetNewLayerStream(plugin_ + 1000, Layer(kSpot),
                                              AEGP_LayerStream_CONE_ANGLE, &stream),
              A_Err_NONE)
        << "an unregistered plug-in id";
    A_char name[AEGP_MAX_STREAM_NAME_SIZE];
    ASSERT_EQ(streams_.AEGP_GetStreamName(stream, false, name), A_Err_NONE);
    EXPECT_STREQ(name, "Cone Angle");
    AEGP_StreamValue value;
    const A_Time t{0, 1};
    ASSERT_EQ(streams_.AEGP_GetNewStreamValue(plugin_, stream, AEGP_LTimeMode_CompTime, &t, false,
                                              &value),
              A_Err_NONE);
    EXPECT_EQ(value.streamH, stream);
    EXPECT_DOUBLE_EQ(value.val.one_d, 90.0);
    EXPECT_EQ(host_.OpenLayerStreams(), 1);
    EXPECT_EQ(host_.OpenStreamValues(), 1);
    EXPECT_EQ(streams_.AEGP_DisposeStreamValue(&value), A_Err_NONE);
    EXPECT_EQ(streams_.AEGP_DisposeStream(stream), A_Err_NONE);
    EXPECT_EQ(host_.OpenLayerStreams(), 0);
    EXPECT_EQ(host_.OpenStreamValues(), 0);
    EXPECT_EQ(streams_.AEGP_DisposeStream(stream), A_Err_PARAMETER) << "already disposed";
    EXPECT_EQ(streams_.AEGP_DisposeStreamValue(&value), A_Err_PARAMETER);
    EXPECT_FALSE(host_.Violations().empty());
}

TEST_F(CompSuitesTest, TheEffectSitsOnItsLayerWithItsTimeOffset) {
    AEGP_LayerH layer = nullptr;
    ASSERT_EQ(pf_.AEGP_GetEffectLayer(host_.InData().effect_ref, &layer), A_Err_NONE);
    EXPECT_EQ(layer, Layer(kFootage));
    A_Time comp{0, 1};
    ASSERT_EQ(pf_.AEGP_ConvertEffectToCompTime(host_.InData().effect_ref, 12, 24, &comp),
              A_Err_NONE);
    EXPECT_EQ(comp.value, 36);  // half a second plus the one-second offset
    EXPECT_EQ(comp.scale, 24u);
    EXPECT_NE(pf_.AEGP_ConvertEffectToCompTime(host_.InData().effect_ref, 12, 0, &comp),
              A_Err_NONE);
    host_.Comp().effectLayer = -1;
    EXPECT_NE(pf_.AEGP_GetEffectLayer(host_.InData().effect_ref, &layer), A_Err_NONE);
}

TEST_F(CompSuitesTest, TheCameraIsTheTopmostOneSwitchedOnOrNone) {
    const A_Time t{0, 1};
    AEGP_LayerH camera = nullptr;
    ASSERT_EQ(pf_.AEGP_GetEffectCamera(host_.InData().effect_ref, &t, &camera), A_Err_NONE);
    EXPECT_EQ(camera, Layer(kCamera));
    A_Matrix4 m;
    A_FpLong distance = 0;
    A_short w = 0, h = 0;
    ASSERT_EQ(pf_.AEGP_GetEffectCameraMatrix(host_.InData().effect_ref, &t, &m, &distance, &w, &h),
              A_Err_NONE);
    EXPECT_DOUBLE_EQ(m.mat[3][0], 100.0);  // its position
    EXPECT_DOUBLE_EQ(m.mat[3][2], -800.0);
    EXPECT_NEAR(m.mat[2][2], 1.0, 1e-12);  // looking down +z at its point of interest
    EXPECT_NEAR(m.mat[0][0], 1.0, 1e-12);

    host_.Comp().layers[kCamera].videoOn = false;
    camera = Layer(kSpot);
    ASSERT_EQ(pf_.AEGP_GetEffectCamera(host_.InData().effect_ref, &t, &camera), A_Err_NONE)
        << "no camera is no error";
    EXPECT_EQ(camera, nullptr);
    host_.SetInput(std::make_shared<World>(1920, 1080, Depth::k8));
    ASSERT_EQ(pf_.AEGP_GetEffectCameraMatrix(host_.InData().effect_ref, &t, &m, &distance, &w, &h),
              A_Err_NONE);
    EXPECT_NEAR(distance, 2666.6, 0.5) << "a 50 mm default camera";
    EXPECT_DOUBLE_EQ(m.mat[3][0], 960.0);
    EXPECT_DOUBLE_EQ(m.mat[3][2], -distance);
    EXPECT_EQ(w, 1920);
}

TEST_F(CompSuitesTest, OnlyLightsHaveALightType) {
    AEGP_LightType type = AEGP_LightType_NONE;
    ASSERT_EQ(lights_.AEGP_GetLightType(Layer(kSpot), &type), A_Err_NONE);
    EXPECT_EQ(type, AEGP_LightType_SPOT);
    EXPECT_NE(lights_.AEGP_GetLightType(Layer(kCamera), &type), A_Err_NONE);
    EXPECT_NE(lights_.AEGP_GetLightType(Layer(kFootage), &type), A_Err_NONE);
    ASSERT_EQ(lights_.AEGP_SetLightType(Layer(kHiddenLight), AEGP_LightType_PARALLEL), A_Err_NONE);
    EXPECT_EQ(host_.Comp().layers[kHiddenLight].lightType, AEGP_LightType_PARALLEL);
    EXPECT_NE(lights_.AEGP_SetLightType(Layer(kHiddenLight), AEGP_LightType_NUM_TYPES), A_Err_NONE);
}

}  // namespace
}  // namespace lumeshade::host
