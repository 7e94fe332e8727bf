// Smart pre-render and smart render through the emulated host: the host
// traffic, every failure row, and that nothing is left checked out.
#include "render/smart_render.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "shading/pixel_path.h"
#include "tests/support/pixel_paths.h"
#include "tests/support/module_host.h"

namespace lumeshade {
namespace {

using host::Depth;
using testing::ModuleHost;

// After a frame nothing may stay with the module: no suite, no check-out,
// no handle but the global data, no stream reference.
void ExpectNothingHeld(host::Host& h, const std::string& context) {
    EXPECT_EQ(h.SuitesHeld(), 0) << context;
    EXPECT_EQ(h.OpenParamCheckouts(), 0) << context;
    EXPECT_EQ(h.OpenLayerCheckouts(), 0) << context;
    EXPECT_EQ(h.LiveHandles(), 1) << context << ": only the global data may remain";
    EXPECT_EQ(h.LiveNewWorlds(), 0) << context;
    EXPECT_EQ(h.OpenLayerStreams(), 0) << context;
    EXPECT_EQ(h.OpenStreamValues(), 0) << context;
    EXPECT_TRUE(h.Violations().empty()) << context << ": " << (h.Violations().empty() ? "" : h.Violations()[0]);
}

TEST(SmartRenderTest, AFrameRendersInEveryPixelFormatAndLeavesNothingBehind) {
    // The per-pixel path: the row kernels go through the generic iteration.
    const testing::PathChoice pixel(PixelPath::kPixel);
    for (Depth depth : {Depth::k8, Depth::k16, Depth::kFloat}) {
        ModuleHost m(16, 8, depth);
        m.AddLight("Light", AEGP_LightType_POINT, {8, 4, 100});
        m.Host().BindLayerParam(PARAM_ALPHA_MAP,
                                m.AddFootage("Alpha", std::make_shared<host::World>(3, 3, depth)));
        ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
        ExpectNothingHeld(m.Host(), "depth " + std::to_string(int(depth)));
        // The frame used the iterate suite of its own format.
        const char* iterate = depth == Depth::k8 ? "iterate" : depth == Depth::k16 ? "iterate16" : "iterateFloat";
        EXPECT_EQ(m.Host().Calls(iterate), 1);
    }
}

TEST(SmartPreRenderTest, RequestsExactlyTheOutputRectWithZeroAlphaColourPreserved) {
    ModuleHost m(100, 50);
    ASSERT_EQ(m.Host().SmartPreRender(), PF_Err_NONE);
    const PF_RenderRequest& req = m.Host().LastCheckoutRequest();
    EXPECT_EQ(req.rect.left, 0);
    EXPECT_EQ(req.rect.right, 100);
    EXPECT_EQ(req.rect.bottom, 50);
    EXPECT_TRUE(req.preserve_rgb_of_zero_alpha);
    const PF_PreRenderOutput out = m.Host().LastPreRenderOutput();
    EXPECT_EQ(out.result_rect.right, 100);
    EXPECT_EQ(out.max_result_rect.bottom, 50);
    EXPECT_NE(out.pre_render_data, nullptr);
    EXPECT_NE(out.delete_pre_render_data_func, nullptr);
    ASSERT_EQ(m.Host().SmartRender(), PF_Err_NONE);
    ExpectNothingHeld(m.Host(), "after the delete function ran");
}

// The input reaches past a part of the layer by the Pre Blur's radius,
// rounded up; what the effect reports is the part. A whole layer needs
// nothing from outside it, so its pre-render reads no control.
TEST(SmartPreRenderTest, APartIsAskedForWithTheNeighboursItReads) {
    ModuleHost m(100, 50);
    m.SetFixed(PARAM_NORMALS_PRE_BLUR, 2.25);
    const int reads = m.Host().Calls("checkout_param");
    ASSERT_EQ(m.Host().SmartPreRender(), PF_Err_NONE);
    EXPECT_EQ(m.Host().Calls("checkout_param"), reads);
    EXPECT_EQ(m.Host().LastCheckoutRequest().rect.right, 100);
    ASSERT_EQ(m.Host().SmartRender(), PF_Err_NONE);

    m.Host().SetRegion(PF_LRect{10, 0, 30, 20});
    ASSERT_EQ(m.Host().SmartPreRender(), PF_Err_NONE);
    const PF_LRect asked = m.Host().LastCheckoutRequest().rect;
    EXPECT_EQ(asked.left, 7);
    EXPECT_EQ(asked.top, -3);
    EXPECT_EQ(asked.right, 33);
    EXPECT_EQ(asked.bottom, 23);
    const PF_PreRenderOutput out = m.Host().LastPreRenderOutput();
    EXPECT_EQ(out.result_rect.left, 10);
    EXPECT_EQ(out.result_rect.top, 0);
    EXPECT_EQ(out.result_rect.right, 30);
    EXPECT_EQ(out.result_rect.bottom, 20);
    EXPECT_EQ(out.max_result_rect.right, 100);
    ASSERT_EQ(m.Host().SmartRender(), PF_Err_NONE);
    ExpectNothingHeld(m.Host(), "after a part");

    // An unreadable Pre Blur ends the pre-render with the host's code.
    m.Host().FailCall("checkout_param", m.Host().Calls("checkout_param") + 1, PF_Err_INVALID_INDEX);
    const int checkouts = m.Host().Calls("checkout_layer");
    EXPECT_EQ(m.Host().SmartPreRender(), PF_Err_INVALID_INDEX);
    EXPECT_EQ(m.Host().Calls("checkout_layer"), checkouts);
    ExpectNothingHeld(m.Host(), "after a failed read");
}

TEST(SmartPreRenderTest, RectanglesMerge) {
    PF_LRect into{0, 0, 0, 0};
    MergeRect(into, {2, 3, 10, 20});
    EXPECT_EQ(into.left, 2);
    EXPECT_EQ(into.bottom, 20);
    MergeRect(into, {-5, 4, 8, 30});
    EXPECT_EQ(into.left, -5);
    EXPECT_EQ(into.top, 3);
    EXPECT_EQ(into.right, 10);
    EXPECT_EQ(into.bottom, 30);
    MergeRect(into, {7, 7, 7, 9});  // empty: nothing changes
    EXPECT_EQ(into.left, -5);
    EXPECT_EQ(into.right, 10);
}

TEST(SmartPreRenderTest, FailuresDisposeTheBlockAndReportTheirCode) {
    {
        ModuleHost m;
        m.Host().FailCall("host_new_handle", m.Host().Calls("host_new_handle") + 1, 1);
        EXPECT_EQ(m.Host().SmartPreRender(), PF_Err_OUT_OF_MEMORY);
        EXPECT_EQ(m.Host().LiveHandles(), 1);
    }
    {
        ModuleHost m;
        m.Host().FailCall("checkout_layer", 1, PF_Err_INVALID_INDEX);
        EXPECT_EQ(m.Host().SmartPreRender(), PF_Err_INVALID_INDEX);
        EXPECT_EQ(m.Host().LastPreRenderOutput().result_rect.right, 0) << "rectangles untouched";
    }
    {
        ModuleHost m;
        m.Host().FailCall("AEGP_SetMemReportingOn", 1, A_Err_GENERIC);
        EXPECT_EQ(m.Host().SmartPreRender(), A_Err_GENERIC);
        EXPECT_EQ(m.Host().Calls("checkout_layer"), 0);
    }
    {
        ModuleHost m;
        m.Host().WithdrawSuite("AEGP Memory Suite", 1);
        EXPECT_EQ(m.Host().SmartPreRender(), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(m.Host().LiveHandles(), 1) << "the block is not left behind";
        EXPECT_EQ(m.Host().SuitesHeld(), 0);
    }
}

struct FailureRow {
    const char* what;
    std::function<void(ModuleHost&)> arrange;  // after pre-render, before smart render
    PF_Err result;
    const char* message;           // with the display-error-message flag, or null
    bool reachesProgress = false;  // past the pixel format choice: progress 100 of 100
};

int Next(ModuleHost& m, const char* function) { return m.Host().Calls(function) + 1; }

// The host function that iterates a float frame on the path this build takes.
const char* IterationOfThePath() {
    return CurrentPixelPath() == PixelPath::kPixel ? "iterateFloat" : "iterate_generic";
}

TEST(SmartRenderTest, EveryFailureRowGivesItsCodeAndMessageAndLeavesNothingBehind) {
    const FailureRow rows[] = {
        {"no basic suite", [](ModuleHost& m) { m.Host().RemoveBasicSuite(); },
         PF_Err_BAD_CALLBACK_PARAM, nullptr},
        {"pre-render block not lockable",
         [](ModuleHost& m) { m.Host().FailCall("host_lock_handle", Next(m, "host_lock_handle"), 1); },
         PF_Err_BAD_CALLBACK_PARAM, nullptr},
        {"input pixels", [](ModuleHost& m) { m.Host().FailCall("checkout_layer_pixels", 1, 7); },
         PF_Err_OUT_OF_MEMORY, nullptr},
        {"output world", [](ModuleHost& m) { m.Host().FailCall("checkout_output", 1, 7); },
         PF_Err_OUT_OF_MEMORY, nullptr},
        {"world suite", [](ModuleHost& m) { m.Host().WithdrawSuite("PF World Suite", 2); },
         PF_Err_OUT_OF_MEMORY, "Couldn't load suite."},
        {"world suite empty", [](ModuleHost& m) { m.Host().HandBackNullSuite("PF World Suite", 2); },
         PF_Err_OUT_OF_MEMORY, "Couldn't load suite."},
        {"effect layer", [](ModuleHost& m) { m.Host().FailCall("AEGP_GetEffectLayer", 1, 3); },
         PF_Err_OUT_OF_MEMORY, nullptr},
        {"parent comp", [](ModuleHost& m) { m.Host().FailCall("AEGP_GetLayerParentComp", 1, 3); },
         PF_Err_OUT_OF_MEMORY, nullptr},
        {"comp time", [](ModuleHost& m) { m.Host().FailCall("AEGP_ConvertEffectToCompTime", 1, 3); },
         PF_Err_OUT_OF_MEMORY, nullptr},
        {"layer count", [](ModuleHost& m) { m.Host().FailCall("AEGP_GetCompNumLayers", 1, 3); },
         PF_Err_OUT_OF_MEMORY, nullptr},
        {"camera", [](ModuleHost& m) { m.Host().FailCall("AEGP_GetEffectCamera", 1, 3); },
         PF_Err_OUT_OF_MEMORY, nullptr},
        {"light", [](ModuleHost& m) {
             m.AddLight("Light", AEGP_LightType_POINT, {});
             m.Host().FailCall("AEGP_GetLightType", 1, 3);
         },
         PF_Err_OUT_OF_MEMORY, nullptr},
        {"pixel format", [](ModuleHost& m) { m.Host().FailCall("PF_GetPixelFormat", 1, 3); },
         PF_Err_OUT_OF_MEMORY, nullptr},
        {"unknown pixel format",
         [](ModuleHost& m) { m.Host().ReportPixelFormat(PF_PixelFormat_BGRA32); },
         PF_Err_BAD_CALLBACK_PARAM, nullptr, true},
        {"abort before", [](ModuleHost& m) { m.Host().FailCall("abort", Next(m, "abort"), PF_Interrupt_CANCEL); },
         PF_Err_OUT_OF_MEMORY, nullptr},
        {"iteration", [](ModuleHost& m) { m.Host().FailCall(IterationOfThePath(), 1, 9); }, 9, nullptr,
         true},
        {"a pixel fails", [](ModuleHost& m) {
             m.SetFixed(PARAM_NORMALS_PRE_BLUR, 2.0);
             m.Input().At<PF_PixelFloat>(0, 0) = {1, 0.5f, 0.5f, 1};
             m.Host().WithdrawSuite("PF SamplingFloat Suite", 1);
         },
         PF_Err_BAD_CALLBACK_PARAM, nullptr, true},
        {"check-in", [](ModuleHost& m) { m.Host().FailCall("checkin_param", Next(m, "checkin_param") + 34, 3); },
         PF_Err_OUT_OF_MEMORY, nullptr, true},
        {"abort after", [](ModuleHost& m) { m.Host().FailCall("abort", Next(m, "abort") + 1, PF_Interrupt_CANCEL); },
         PF_Interrupt_CANCEL, nullptr, true},
        // The frame is rendered: the input's check-in is the result.
        {"world suite release", [](ModuleHost& m) {
             m.Host().FailCall("ReleaseSuite", Next(m, "ReleaseSuite"), kSPCantReleasePluginError);
         },
         PF_Err_NONE, nullptr, true},
        {"input check-in", [](ModuleHost& m) { m.Host().FailCall("checkin_layer_pixels", 1, 11); }, 11,
         nullptr, true},
        {"a control unreadable", [](ModuleHost& m) { m.Host().FailCall("checkout_param", Next(m, "checkout_param") + 12, 3); },
         PF_Err_NONE, nullptr, true},
    };
    for (const FailureRow& row : rows) {
        ModuleHost m;
        ASSERT_EQ(m.Host().SmartPreRender(), PF_Err_NONE) << row.what;
        row.arrange(m);
        m.Host().OutData().out_flags = 0;
        m.Host().OutData().return_msg[0] = '\0';
        EXPECT_EQ(m.Host().SmartRender(), row.result) << row.what;
        const bool flagged = (m.Host().OutData().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE) != 0;
        EXPECT_EQ(flagged, row.message != nullptr) << row.what;
        if (row.message) {
            EXPECT_STREQ(m.Host().OutData().return_msg, row.message) << row.what;
        }

        // Every way out from the pixel format choice on reports the render
        // complete, and none before it.
        EXPECT_EQ(m.Host().LastProgressCurrent() == 100 && m.Host().LastProgressTotal() == 100,
                  row.reachesProgress)
            << row.what;

        // A suite whose release the host refused stays counted as held.
        const bool refusedRelease = std::string(row.what) == "world suite release";
        EXPECT_EQ(m.Host().SuitesHeld(), refusedRelease ? 1 : 0) << row.what;
        // So does a control whose check-in the host refused.
        EXPECT_EQ(m.Host().OpenParamCheckouts(), std::string(row.what) == "check-in" ? 1 : 0)
            << row.what;
        const bool refusedCheckin = std::string(row.what) == "input check-in";
        EXPECT_EQ(m.Host().OpenLayerCheckouts(), refusedCheckin ? 1 : 0) << row.what;
        EXPECT_EQ(m.Host().LiveHandles(), 1) << row.what;
    }
}

}  // namespace
}  // namespace lumeshade
