// Controls over time: values and keys, check-out and check-in with their
// accounting, layer controls bound to footage, and the parameter array the
// commands carry.
#include <gtest/gtest.h>

#include <stdexcept>

#include "fake_effect.h"
#include "host/host.h"

namespace lumeshade::host {
namespace {

using testing::Fake;
using testing::FakeEntry;

enum Index : A_long { kAmount = 1, kMode, kShow, kTint, kCentre, kMap, kGroup, kCount };

PF_Fixed Fix(double v) { return PF_Fixed(v * 65536.0); }

PF_ParamDefUnion FixedValue(double v) {
    PF_ParamDefUnion u{};
    u.fd.value = Fix(v);
    return u;
}
PF_ParamDefUnion PopupValue(A_long v) {
    PF_ParamDefUnion u{};
    u.pd.value = v;
    return u;
}
PF_ParamDefUnion ColorValue(PF_Pixel p) {
    PF_ParamDefUnion u{};
    u.cd.value = p;
    return u;
}
PF_ParamDefUnion PointValue(double x, double y) {
    PF_ParamDefUnion u{};
    u.td.x_value = Fix(x);
    u.td.y_value = Fix(y);
    return u;
}

class ParamsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Fake() = {};
        Fake().controls = {testing::FixedSlider("Amount", 0, 10, 1),
                           testing::Popup("Mode", "A|B|C", 3, 1),
                           testing::Checkbox("Show", false, PF_ParamFlag_SUPERVISE),
                           testing::Color("Tint", {255, 0, 0, 0}),
                           testing::Point("Centre"),
                           testing::Layer("Map"),
                           testing::GroupStart("Group")};
        ASSERT_EQ(host_.ParamsSetup(), PF_Err_NONE);
        host_.Comp().frameRate = 10.0;
    }

    PF_Err Checkout(A_long index, double seconds, PF_ParamDef* def) {
        PF_InData& in = host_.InData();
        return in.inter.checkout_param(in.effect_ref, index, A_long(seconds * 100), 1, 100, def);
    }
    PF_Err Checkin(PF_ParamDef* def) {
        return host_.InData().inter.checkin_param(host_.InData().effect_ref, def);
    }

    Host host_{FakeEntry};
};

TEST_F(ParamsTest, CheckOutGivesTheValueAtItsTime) {
    host_.SetParamKey(kAmount, 10, FixedValue(2.0));  // keys at frames, 10 a second
    host_.SetParamKey(kAmount, 30, FixedValue(6.0));
    host_.SetParamKey(kMode, 10, PopupValue(2));
    host_.SetParamKey(kMode, 30, PopupValue(3));
    host_.SetParamKey(kTint, 0, ColorValue({255, 0, 100, 0}));
    host_.SetParamKey(kTint, 20, ColorValue({255, 200, 0, 3}));
    host_.SetParamKey(kCentre, 0, PointValue(0, -10));
    host_.SetParamKey(kCentre, 40, PointValue(10, 10));
    struct Case {
        double t;
        double amount;
        A_long mode;
    } cases[] = {{0.0, 2.0, 2}, {1.5, 3.0, 2}, {2.5, 5.0, 2}, {3.0, 6.0, 3}, {7.0, 6.0, 3}};
    for (const Case& c : cases) {
        PF_ParamDef def;
        ASSERT_EQ(Checkout(kAmount, c.t, &def), PF_Err_NONE);
        EXPECT_NEAR(def.u.fd.value / 65536.0, c.amount, 1e-4) << "at " << c.t;
        EXPECT_EQ(def.u.fd.valid_max, Fix(10)) << "the description comes along";
        ASSERT_EQ(Checkout(kMode, c.t, &def), PF_Err_NONE);
        EXPECT_EQ(def.u.pd.value, c.mode) << "popups hold until the next key, at " << c.t;
        EXPECT_STREQ(def.u.pd.u.namesptr, "A|B|C");
    }
    PF_ParamDef def;
    ASSERT_EQ(Checkout(kTint, 0.5, &def), PF_Err_NONE);
    EXPECT_EQ(def.u.cd.value.red, 50);
    EXPECT_EQ(def.u.cd.value.green, 75);
    EXPECT_EQ(def.u.cd.value.blue, 1);  // 0.75 rounds to 1
    ASSERT_EQ(Checkout(kCentre, 1.0, &def), PF_Err_NONE);
    EXPECT_EQ(def.u.td.x_value, Fix(2.5));
    EXPECT_EQ(def.u.td.y_value, Fix(-5));
    EXPECT_EQ(host_.ParamAt(kAmount, 20).u.fd.value, Fix(4.0));
    host_.SetParam(kAmount, FixedValue(8.0));
    EXPECT_EQ(host_.ParamAt(kAmount, 20).u.fd.value, Fix(8.0)) << "a constant drops the keys";
}

TEST_F(ParamsTest, ValuesOutsideTheControlOrWithoutAValueAreRefused) {
    EXPECT_THROW(host_.SetParam(kAmount, FixedValue(10.5)), std::invalid_argument);
    EXPECT_THROW(host_.SetParam(kMode, PopupValue(0)), std::invalid_argument);
    EXPECT_THROW(host_.SetParam(kMode, PopupValue(4)), std::invalid_argument);
    EXPECT_THROW(host_.SetParam(kGroup, PopupValue(1)), std::invalid_argument);
    EXPECT_THROW(host_.SetParam(kCount, PopupValue(1)), std::out_of_range);
    EXPECT_THROW(host_.SetParam(0, PopupValue(1)), std::out_of_range);
    EXPECT_THROW(host_.BindLayerParam(kAmount, -1), std::invalid_argument);
    EXPECT_THROW(host_.BindLayerParam(kMap, 0), std::invalid_argument) << "no such layer";
}

TEST_F(ParamsTest, EveryCheckOutIsCountedUntilCheckedIn) {
    PF_ParamDef a, b, c;
    ASSERT_EQ(Checkout(kAmount, 0, &a), PF_Err_NONE);
    ASSERT_EQ(Checkout(kMode, 0, &b), PF_Err_NONE);
    ASSERT_EQ(Checkout(kMap, 0, &c), PF_Err_NONE);
    EXPECT_EQ(host_.OpenParamCheckouts(), 3);
    EXPECT_EQ(host_.OpenLayerParamCheckouts(), 1);
    EXPECT_EQ(Checkin(&b), PF_Err_NONE);
    EXPECT_EQ(Checkin(&c), PF_Err_NONE);
    EXPECT_EQ(host_.OpenParamCheckouts(), 1);
    EXPECT_EQ(host_.OpenLayerParamCheckouts(), 0);
    EXPECT_TRUE(host_.Violations().empty());
    EXPECT_EQ(Checkin(&b), PF_Err_BAD_CALLBACK_PARAM) << "b is no longer checked out";
    EXPECT_EQ(host_.Violations().size(), 1u);
    EXPECT_EQ(Checkin(&a), PF_Err_NONE);
    EXPECT_EQ(host_.OpenParamCheckouts(), 0);
}

TEST_F(ParamsTest, BadCheckOutsAreRefusedAndNotCounted) {
    PF_ParamDef def;
    PF_InData& in = host_.InData();
    EXPECT_EQ(Checkout(kCount, 0, &def), PF_Err_INVALID_INDEX);
    EXPECT_EQ(Checkout(-1, 0, &def), PF_Err_INVALID_INDEX);
    EXPECT_EQ(in.inter.checkout_param(in.effect_ref, kAmount, 0, 1, 0, &def),
              PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(in.inter.checkout_param(in.effect_ref, kAmount, 0, 1, 24, nullptr),
              PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host_.OpenParamCheckouts(), 0);
}

TEST_F(ParamsTest, ALayerControlComesWithItsFootageInTheRenderFormatAndSize) {
    auto footage = std::make_shared<World>(9, 5, Depth::k8);
    footage->At<PF_Pixel8>(4, 2) = {255, 255, 0, 0};
    CompLayer layer;
    layer.name = "Map footage";
    layer.footage = footage;
    host_.Comp().layers.push_back(layer);
    host_.SetInput(std::make_shared<World>(4, 4, Depth::k16));
    host_.BindLayerParam(kMap, 0);

    PF_ParamDef def;
    ASSERT_EQ(Checkout(kMap, 0, &def), PF_Err_NONE);
    const PF_LayerDef& ld = def.u.ld;
    ASSERT_NE(ld.data, nullptr);
    EXPECT_EQ(ld.width, 9);
    EXPECT_EQ(ld.height, 5);
    EXPECT_GT(ld.rowbytes, 9 * A_long(sizeof(PF_Pixel16))) << "16 bits, as the input";
    EXPECT_EQ(ld.dephault, PF_LayerDefault_NONE);
    const auto* row = reinterpret_cast<const PF_Pixel16*>(reinterpret_cast<const char*>(ld.data) +
                                                          2 * ld.rowbytes);
    EXPECT_EQ(row[4].red, 32768);
    const auto& worlds = testing::Acquire<PF_WorldSuite2>(host_, kPFWorldSuite, 2);
    PF_PixelFormat format = 0;
    EXPECT_EQ(worlds.PF_GetPixelFormat(&def.u.ld, &format), PF_Err_NONE);
    EXPECT_EQ(format, PF_PixelFormat_ARGB64);

    // At half resolution the world is scaled down, its size rounded up.
    host_.SetDownsample(2);
    host_.SetRenderDepth(Depth::kFloat);
    PF_ParamDef half;
    ASSERT_EQ(Checkout(kMap, 0, &half), PF_Err_NONE);
    EXPECT_EQ(half.u.ld.width, 5);
    EXPECT_EQ(half.u.ld.height, 3);
    EXPECT_EQ(worlds.PF_GetPixelFormat(&half.u.ld, &format), PF_Err_NONE);
    EXPECT_EQ(format, PF_PixelFormat_ARGB128);

    // A copy of the record checks in like the record; then the world is gone.
    PF_ParamDef copy = def;
    EXPECT_EQ(Checkin(&copy), PF_Err_NONE);
    EXPECT_EQ(worlds.PF_GetPixelFormat(&def.u.ld, &format), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(Checkin(&half), PF_Err_NONE);
    EXPECT_TRUE(host_.Violations().empty());
}

TEST_F(ParamsTest, AnUnboundLayerControlHasNoPixelsAndIndexZeroIsTheInput) {
    PF_ParamDef def;
    ASSERT_EQ(Checkout(kMap, 0, &def), PF_Err_NONE);
    EXPECT_EQ(def.u.ld.data, nullptr);
    EXPECT_EQ(def.u.ld.width, 0);
    EXPECT_EQ(def.u.ld.height, 0);
    EXPECT_EQ(Checkin(&def), PF_Err_NONE);

    host_.SetInput(std::make_shared<World>(6, 2, Depth::k8));
    ASSERT_EQ(Checkout(0, 0, &def), PF_Err_NONE);
    EXPECT_EQ(def.param_type, PF_Param_LAYER);
    EXPECT_EQ(def.u.ld.width, 6);
    EXPECT_EQ(def.u.ld.world_flags & PF_WorldFlag_WRITEABLE, 0) << "layers are read-only";
    EXPECT_EQ(Checkin(&def), PF_Err_NONE);
}

TEST_F(ParamsTest, LayerBindingsHoldUntilTheNextKey) {
    for (const char* name : {"first", "second"}) {
        CompLayer layer;
        layer.name = name;
        layer.footage = std::make_shared<World>(name[0] == 'f' ? 3 : 7, 1, Depth::k8);
        host_.Comp().layers.push_back(layer);
    }
    host_.BindLayerParamKey(kMap, 0, 0);
    host_.BindLayerParamKey(kMap, 20, 1);
    host_.BindLayerParamKey(kMap, 40, -1);
    struct Case {
        double t;
        A_long width;
    } cases[] = {{-1.0, 3}, {1.9, 3}, {2.0, 7}, {3.5, 7}, {4.0, 0}};
    for (const Case& c : cases) {
        PF_ParamDef def;
        ASSERT_EQ(Checkout(kMap, c.t, &def), PF_Err_NONE);
        EXPECT_EQ(def.u.ld.width, c.width) << "at " << c.t;
        Checkin(&def);
        // A chosen layer shows in the first word of the value, also where
        // no pixels come with it (the parameter array of other commands).
        EXPECT_EQ(host_.ParamAt(kMap, c.t * 10).u.ld.reserved0 != nullptr, c.width != 0) << c.t;
        EXPECT_EQ(host_.ParamAt(kMap, c.t * 10).u.ld.data, nullptr);
    }
}

TEST_F(ParamsTest, CommandsCarryTheValuesAtInDatasTime) {
    host_.SetParamKey(kAmount, 0, FixedValue(0.0));
    host_.SetParamKey(kAmount, 10, FixedValue(10.0));
    PF_Fixed seen = -1;
    A_long changed = -1;
    Fake().handler = [&](PF_Cmd cmd, PF_InData*, PF_OutData*, PF_ParamDef** params, void* extra) {
        if (cmd == PF_Cmd_USER_CHANGED_PARAM) {
            seen = params[kAmount]->u.fd.value;
            changed = static_cast<PF_UserChangedParamExtra*>(extra)->param_index;
        }
        return PF_Err_NONE;
    };
    host_.SetTime(0.3);  // frame 3 at 10 fps
    EXPECT_EQ(host_.InData().current_time, 3);
    EXPECT_EQ(host_.InData().time_scale, 10u);
    EXPECT_EQ(host_.UserChangedParam(kShow), PF_Err_NONE);
    EXPECT_EQ(seen, Fix(3.0));
    EXPECT_EQ(changed, kShow);

    seen = -1;
    EXPECT_EQ(host_.UserChangedParam(kAmount), PF_Err_NONE);
    EXPECT_EQ(seen, -1) << "only supervised controls report their changes";
}

TEST(HostTimeTest, FractionalFrameRatesGetAScaleAndAStep) {
    Fake() = {};
    Host host(FakeEntry);
    host.Comp().frameRate = 29.97;
    host.SetTime(1.0);
    EXPECT_EQ(host.InData().time_scale, 2997u);
    EXPECT_EQ(host.InData().time_step, 100);
    EXPECT_EQ(host.InData().current_time, 3000);  // frame 30, on the grid
}

TEST(HostTimeTest, RatesBelowTheThousandthGridAreRefusedNotGivenAZeroScale) {
    Fake() = {};
    Host host(FakeEntry);
    host.SetTime(2.0);
    for (double rate : {0.0004, 0.0, -24.0, 1000.5}) {
        host.Comp().frameRate = rate;
        EXPECT_THROW(host.SetTime(1.0), std::invalid_argument) << rate;
        EXPECT_EQ(host.InData().time_scale, 24u) << rate << ": the last time stands";
        EXPECT_EQ(host.InData().current_time, 48) << rate;
    }
    // The smallest rate the grid holds: one frame in 1000 seconds.
    host.Comp().frameRate = 0.0005;
    host.SetTime(2000.0);
    EXPECT_EQ(host.InData().time_scale, 1u);
    EXPECT_EQ(host.InData().time_step, 1000);
    EXPECT_EQ(host.InData().current_time, 2000);
}

}  // namespace
}  // namespace lumeshade::host
