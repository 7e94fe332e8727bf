// A frame through smart pre-render and smart render, driven by a tiny effect
// of the test's own: layer check-outs and their rectangles, pixel and output
// check-outs, the World suite, the pre-render data's disposal, and the
// faults a module can make.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <stdexcept>

#include "fake_effect.h"
#include "host/host.h"

namespace lumeshade::host {
namespace {

using testing::Acquire;
using testing::Fake;
using testing::FakeEntry;

constexpr A_long kMap = 1;  // the effect's one layer control

int g_deleted = 0;
void DeleteData(void* data) {
    ++g_deleted;
    delete static_cast<int*>(data);
}

// What the tiny effect saw and how it misbehaves.
struct Effect {
    Host* host = nullptr;
    // Pre-render.
    bool checkoutMap = false;
    bool shrinkResult = false;  // report a result smaller than asked for
    PF_Err preRenderResult = PF_Err_NONE;
    bool lateCheckout = false;  // call checkout_layer again during smart render
    decltype(PF_PreRenderCallbacks::checkout_layer) checkoutLayer = nullptr;
    short bitdepth = 0;
    PF_CheckoutResult input{}, map{};
    // Smart render.
    bool checkIn = true;
    A_long pixelId = 0;
    void* preRenderData = nullptr;
    PF_Err pixelsResult = -1, mapPixelsResult = -1, lateResult = PF_Err_NONE;
    PF_EffectWorld *pixels = nullptr, *mapPixels = nullptr, *output = nullptr;
    A_long mapWidth = 0;  // read while checked out: check-in frees the pixels
    PF_EffectWorld pixelsCopy{};
    PF_PixelFormat inputFormat = 0, outputFormat = 0;
};

PF_Err CopyPixel(void*, A_long, A_long, PF_Pixel8* in, PF_Pixel8* out) {
    *out = *in;
    return PF_Err_NONE;
}

PF_Err PreRender(Effect& e, PF_InData* in, PF_PreRenderExtra* extra) {
    e.bitdepth = extra->input->bitdepth;
    e.checkoutLayer = extra->cb->checkout_layer;
    PF_RenderRequest req = extra->input->output_request;
    req.preserve_rgb_of_zero_alpha = true;
    if (PF_Err err = extra->cb->checkout_layer(in->effect_ref, 0, 0, &req, in->current_time,
                                               in->time_step, in->time_scale, &e.input)) {
        return err;
    }
    if (e.checkoutMap) {
        extra->cb->checkout_layer(in->effect_ref, kMap, 1, &req, in->current_time, in->time_step,
                                  in->time_scale, &e.map);
    }
    extra->output->result_rect = e.input.result_rect;
    if (e.shrinkResult) extra->output->result_rect.right -= 2;
    extra->output->max_result_rect = e.input.max_result_rect;
    extra->output->pre_render_data = new int(42);
    extra->output->delete_pre_render_data_func = DeleteData;
    return e.preRenderResult;
}

PF_Err SmartRender(Effect& e, PF_InData* in, PF_SmartRenderExtra* extra) {
    e.preRenderData = extra->input->pre_render_data;
    PF_SmartRenderCallbacks& cb = *extra->cb;
    e.pixelsResult = cb.checkout_layer_pixels(in->effect_ref, e.pixelId, &e.pixels);
    if (e.checkoutMap) {
        e.mapPixelsResult = cb.checkout_layer_pixels(in->effect_ref, 1, &e.mapPixels);
        e.mapWidth = e.mapPixels ? e.mapPixels->width : -1;
    }
    if (e.lateCheckout) {
        PF_CheckoutResult r;
        PF_RenderRequest req = extra->input->output_request;
        e.lateResult = e.checkoutLayer(in->effect_ref, 0, 9, &req, 0, 1, 24, &r);
    }
    if (e.pixelsResult != PF_Err_NONE || e.pixels == nullptr) return PF_Err_OUT_OF_MEMORY;
    e.pixelsCopy = *e.pixels;
    if (PF_Err err = cb.checkout_output(in->effect_ref, &e.output)) return err;
    const auto& worlds = Acquire<PF_WorldSuite2>(*e.host, kPFWorldSuite, 2);
    worlds.PF_GetPixelFormat(e.pixels, &e.inputFormat);
    worlds.PF_GetPixelFormat(e.output, &e.outputFormat);
    if (e.inputFormat == PF_PixelFormat_ARGB32) {
        const auto& it = Acquire<PF_Iterate8Suite1>(*e.host, kPFIterate8Suite, 1);
        const PF_Rect area = e.output->extent_hint;
        if (PF_Err err = it.iterate(in, 0, area.bottom - area.top, e.pixels, &area, nullptr,
                                    CopyPixel, e.output)) {
            return err;
        }
    }
    if (e.checkIn) {
        if (e.checkoutMap) cb.checkin_layer_pixels(in->effect_ref, 1);
        return cb.checkin_layer_pixels(in->effect_ref, e.pixelId);
    }
    return PF_Err_NONE;
}

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        Fake() = {};
        g_deleted = 0;
        effect_.host = &host_;
        Fake().controls = {testing::Layer("Map")};
        Fake().handler = [this](PF_Cmd cmd, PF_InData* in, PF_OutData*, PF_ParamDef**,
                                void* extra) -> PF_Err {
            if (cmd == PF_Cmd_SMART_PRE_RENDER) {
                return PreRender(effect_, in, static_cast<PF_PreRenderExtra*>(extra));
            }
            if (cmd == PF_Cmd_SMART_RENDER) {
                return SmartRender(effect_, in, static_cast<PF_SmartRenderExtra*>(extra));
            }
            return PF_Err_NONE;
        };
        ASSERT_EQ(host_.ParamsSetup(), PF_Err_NONE);
        input_ = std::make_shared<World>(11, 7, Depth::k8);
        for (A_long y = 0; y < 7; ++y) {
            for (A_long x = 0; x < 11; ++x) {
                input_->At<PF_Pixel8>(x, y) = {255, A_u_char(20 * x), A_u_char(30 * y), 7};
            }
        }
        host_.SetInput(input_);
    }

    Host host_{FakeEntry};
    Effect effect_;
    std::shared_ptr<World> input_;
};

TEST_F(RenderTest, AFrameGoesThroughPreRenderAndSmartRender) {
    ASSERT_EQ(host_.RenderFrame(), PF_Err_NONE);
    EXPECT_EQ(effect_.bitdepth, 8);
    const PF_LRect full{0, 0, 11, 7};
    EXPECT_EQ(std::memcmp(&effect_.input.result_rect, &full, sizeof full), 0);
    EXPECT_EQ(std::memcmp(&effect_.input.max_result_rect, &full, sizeof full), 0);
    EXPECT_EQ(effect_.input.ref_width, 11);
    const PF_RenderRequest& asked = host_.LastCheckoutRequest();
    EXPECT_EQ(asked.rect.right, 11);
    EXPECT_EQ(asked.rect.bottom, 7);
    EXPECT_EQ(asked.preserve_rgb_of_zero_alpha, 1);
    EXPECT_EQ(asked.channel_mask, PF_ChannelMask_ARGB);

    ASSERT_NE(effect_.preRenderData, nullptr);
    EXPECT_EQ(effect_.preRenderData, host_.LastPreRenderOutput().pre_render_data);
    EXPECT_EQ(g_deleted, 1) << "the host deletes the pre-render data after smart render";
    EXPECT_EQ(effect_.inputFormat, PF_PixelFormat_ARGB32);
    EXPECT_EQ(effect_.outputFormat, PF_PixelFormat_ARGB32);
    EXPECT_TRUE(host_.Output().SameContent(*input_));
    EXPECT_GT(host_.Output().RowBytes(), 11 * 4);
    EXPECT_EQ(host_.OpenLayerCheckouts(), 0);
    EXPECT_TRUE(host_.Violations().empty());
}

TEST_F(RenderTest, TheRenderDepthAndResolutionShapeEveryWorld) {
    struct Case {
        Depth depth;
        short bits;
        PF_PixelFormat format;
    } cases[] = {{Depth::k8, 8, PF_PixelFormat_ARGB32},
                 {Depth::k16, 16, PF_PixelFormat_ARGB64},
                 {Depth::kFloat, 32, PF_PixelFormat_ARGB128}};
    auto map = std::make_shared<World>(6, 6, Depth::kFloat);
    CompLayer layer;
    layer.name = "map";
    layer.footage = map;
    host_.Comp().layers.push_back(layer);
    host_.BindLayerParam(kMap, 0);
    effect_.checkoutMap = true;
    host_.SetDownsample(2);
    for (const Case& c : cases) {
        host_.SetRenderDepth(c.depth);
        ASSERT_EQ(host_.RenderFrame(), PF_Err_NONE);
        EXPECT_EQ(effect_.bitdepth, c.bits);
        EXPECT_EQ(effect_.inputFormat, c.format);
        EXPECT_EQ(effect_.outputFormat, c.format);
        EXPECT_EQ(host_.Output().GetDepth(), c.depth);
        EXPECT_EQ(host_.Output().Width(), 6);  // 11 / 2, rounded up
        EXPECT_EQ(host_.Output().Height(), 4);
        EXPECT_EQ(effect_.map.max_result_rect.right, 3);
        ASSERT_EQ(effect_.mapPixelsResult, PF_Err_NONE);
        EXPECT_EQ(effect_.mapWidth, 3);
    }
    EXPECT_EQ(host_.InData().downsample_x.den, 2u);
    EXPECT_EQ(host_.OpenLayerCheckouts(), 0);
}

TEST_F(RenderTest, TheOutputExtentIsTheResultThePreRenderReported) {
    effect_.shrinkResult = true;
    ASSERT_EQ(host_.RenderFrame(), PF_Err_NONE);
    EXPECT_EQ(effect_.output->extent_hint.right, 9);
    // The two columns outside were never written.
    EXPECT_NE(host_.Output().At<PF_Pixel8>(10, 0).red, input_->At<PF_Pixel8>(10, 0).red);
    EXPECT_EQ(host_.Output().At<PF_Pixel8>(8, 0).red, input_->At<PF_Pixel8>(8, 0).red);
}

// Part of the layer, as a host asks for it: the request, the input and the
// output hold that part, each placed in the layer by its origin; only what
// lies inside the layer is produced.
TEST_F(RenderTest, ARegionComesInBuffersPlacedInTheLayer) {
    const auto expectRect = [](const PF_LRect& r, PF_LRect expected) {
        EXPECT_EQ(std::memcmp(&r, &expected, sizeof r), 0)
            << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom;
    };
    host_.SetRegion(PF_LRect{3, 2, 8, 5});
    ASSERT_EQ(host_.RenderFrame(), PF_Err_NONE);
    expectRect(host_.LastCheckoutRequest().rect, {3, 2, 8, 5});
    expectRect(effect_.input.result_rect, {3, 2, 8, 5});
    expectRect(effect_.input.max_result_rect, {0, 0, 11, 7});
    EXPECT_EQ(effect_.pixelsCopy.width, 5);
    EXPECT_EQ(effect_.pixelsCopy.origin_x, 3);
    EXPECT_EQ(effect_.pixelsCopy.origin_y, 2);
    const World& part = host_.Output();
    EXPECT_EQ(part.Width(), 5);
    EXPECT_EQ(part.Height(), 3);
    EXPECT_EQ(part.Def().origin_x, 3);
    EXPECT_EQ(part.Def().origin_y, 2);
    expectRect(effect_.output->extent_hint, {0, 0, 5, 3});
    EXPECT_EQ(part.At<PF_Pixel8>(4, 2).red, input_->At<PF_Pixel8>(7, 4).red);
    EXPECT_EQ(part.At<PF_Pixel8>(4, 2).green, input_->At<PF_Pixel8>(7, 4).green);

    host_.SetRegion(PF_LRect{8, 5, 14, 9});  // reaches past the layer
    ASSERT_EQ(host_.RenderFrame(), PF_Err_NONE);
    expectRect(effect_.input.result_rect, {8, 5, 11, 7});
    EXPECT_EQ(host_.Output().Width(), 6);
    expectRect(effect_.output->extent_hint, {0, 0, 3, 2});
    EXPECT_EQ(host_.Output().At<PF_Pixel8>(2, 1).red, input_->At<PF_Pixel8>(10, 6).red);

    host_.SetRegion(std::nullopt);
    ASSERT_EQ(host_.RenderFrame(), PF_Err_NONE);
    EXPECT_TRUE(host_.Output().SameContent(*input_));
    EXPECT_EQ(host_.Output().Def().origin_x, 0);
    EXPECT_THROW(host_.SetRegion(PF_LRect{2, 2, 2, 5}), std::invalid_argument);
    EXPECT_TRUE(host_.Violations().empty());
}

TEST_F(RenderTest, PixelsNeedACheckOutInThePreRenderOfTheSameFrame) {
    effect_.pixelId = 5;  // never checked out
    EXPECT_EQ(host_.RenderFrame(), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(effect_.pixelsResult, PF_Err_BAD_CALLBACK_PARAM);

    effect_.pixelId = 0;
    EXPECT_EQ(host_.SmartRender(), PF_Err_OUT_OF_MEMORY) << "no pre-render came first";
    EXPECT_EQ(effect_.pixelsResult, PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(effect_.preRenderData, nullptr);
}

TEST_F(RenderTest, PreRenderCallbacksFailOutsidePreRender) {
    effect_.lateCheckout = true;
    ASSERT_EQ(host_.RenderFrame(), PF_Err_NONE);
    EXPECT_EQ(effect_.lateResult, PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_FALSE(host_.Violations().empty());
}

TEST_F(RenderTest, PixelsLeftCheckedOutAreCountedAndTakenBack) {
    effect_.checkIn = false;
    ASSERT_EQ(host_.RenderFrame(), PF_Err_NONE);
    EXPECT_EQ(host_.OpenLayerCheckouts(), 1);
    const auto& worlds = Acquire<PF_WorldSuite2>(host_, kPFWorldSuite, 2);
    PF_PixelFormat format = 0;
    EXPECT_EQ(worlds.PF_GetPixelFormat(&effect_.pixelsCopy, &format), PF_Err_BAD_CALLBACK_PARAM)
        << "gone with the smart render";
    ASSERT_EQ(host_.RenderFrame(), PF_Err_NONE);
    EXPECT_EQ(host_.OpenLayerCheckouts(), 2) << "earlier frames stay counted";
}

TEST_F(RenderTest, AFailedPreRenderStillHasItsDataDeletedAndNoSmartRender) {
    effect_.preRenderResult = PF_Err_OUT_OF_MEMORY;
    EXPECT_EQ(host_.RenderFrame(), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(g_deleted, 1);
    EXPECT_EQ(effect_.pixelsResult, -1) << "smart render was not sent";
}

TEST_F(RenderTest, TheWorldSuiteKnowsOnlyWorldsTheHostHandedOut) {
    const auto& worlds = Acquire<PF_WorldSuite2>(host_, kPFWorldSuite, 2);
    PF_ProgPtr ref = host_.InData().effect_ref;
    PF_EffectWorld made;
    ASSERT_EQ(worlds.PF_NewWorld(ref, 3, 2, false, PF_PixelFormat_ARGB64, &made), PF_Err_NONE);
    EXPECT_GT(made.rowbytes, 3 * 8);
    PF_PixelFormat format = 0;
    EXPECT_EQ(worlds.PF_GetPixelFormat(&made, &format), PF_Err_NONE);
    EXPECT_EQ(format, PF_PixelFormat_ARGB64);
    EXPECT_EQ(host_.LiveNewWorlds(), 1);
    EXPECT_EQ(worlds.PF_GetPixelFormat(&input_->Def(), &format), PF_Err_BAD_CALLBACK_PARAM)
        << "the test's own world was never handed out";
    EXPECT_EQ(worlds.PF_NewWorld(ref, 3, 2, false, PF_PixelFormat_BGRA32, &made),
              PF_Err_BAD_CALLBACK_PARAM);
    ASSERT_EQ(worlds.PF_DisposeWorld(ref, &made), PF_Err_NONE);
    EXPECT_EQ(made.data, nullptr);
    EXPECT_EQ(host_.LiveNewWorlds(), 0);
    PF_EffectWorld stranger = input_->Def();
    EXPECT_EQ(worlds.PF_DisposeWorld(ref, &stranger), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host_.Violations().size(), 1u);

    PF_EffectWorld deep;
    ASSERT_EQ(host_.InData().utils->new_world(ref, 2, 2, PF_NewWorldFlag_DEEP_PIXELS, &deep),
              PF_Err_NONE);
    EXPECT_EQ(worlds.PF_GetPixelFormat(&deep, &format), PF_Err_NONE);
    EXPECT_EQ(format, PF_PixelFormat_ARGB64);
    EXPECT_EQ(host_.InData().utils->dispose_world(ref, &deep), PF_Err_NONE);
}

TEST(RenderSetupTest, RenderingNeedsAnInput) {
    Fake() = {};
    Host host(FakeEntry);
    EXPECT_THROW(host.RenderFrame(), std::logic_error);
    EXPECT_THROW(host.Output(), std::logic_error);
}

}  // namespace
}  // namespace lumeshade::host
