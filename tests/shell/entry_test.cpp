// The entry point's dispatch and its exception barrier.
#include "shell/entry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "host/host.h"
#include "host/world.h"
#include "params/param_ids.h"
#include "params/param_table.h"

namespace lumeshade {
namespace {

using host::Host;

TEST(EntryTest, CommandsWithoutHandlerReturnZeroAndLeaveOutDataAlone) {
    Host host(EntryPointFunc);
    host.EnableCallLog(true);
    for (PF_Cmd cmd : {2,  3,  5,  6,  7,  8,  9,  10, 11, 12, 14, 15,
                       16, 18, 19, 20, 21, 22, 25, 26, 27, 28, 99, -1}) {
        std::memset(&host.OutData(), 0x5A, sizeof(PF_OutData));
        PF_OutData before = host.OutData();
        EXPECT_EQ(host.Send(cmd), PF_Err_NONE) << "command " << cmd;
        EXPECT_EQ(std::memcmp(&before, &host.OutData(), sizeof before), 0) << "command " << cmd;
    }
    EXPECT_EQ(host.Acquisitions("PF ANSI Suite", 1), 0);
    EXPECT_EQ(host.CallLog().size(), 0u);
}

TEST(EntryTest, MissingBasicSuiteFailsOnlyTheCommandsThatNeedSuites) {
    Host host(EntryPointFunc);
    host.RemoveBasicSuite();
    EXPECT_EQ(host.About(), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host.GlobalSetup(), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host.CompletelyGeneral("x"), PF_Err_BAD_CALLBACK_PARAM);
    // Registration uses only in_data's callbacks.
    EXPECT_EQ(host.ParamsSetup(), PF_Err_NONE);
    EXPECT_EQ(host.OutData().num_params, 143);
}

TEST(EntryTest, WithdrawnOrEmptySuiteFailsThatCommandAndIsNeverHeldAfterwards) {
    for (bool nullTable : {false, true}) {
        Host host(EntryPointFunc);
        if (nullTable) {
            host.HandBackNullSuite("PF ANSI Suite", 1);
        } else {
            host.WithdrawSuite("PF ANSI Suite", 1);
        }
        EXPECT_EQ(host.About(), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(host.CompletelyGeneral("x"), PF_Err_BAD_CALLBACK_PARAM);
        // Global set-up does not need the ANSI suite.
        EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
        EXPECT_NE(host.InData().global_data, nullptr);
        EXPECT_EQ(host.SuitesHeld(), 0);
        EXPECT_TRUE(host.Violations().empty());
    }
}

TEST(EntryTest, OutOfMemoryThrownBelowBecomesErrorFour) {
    Host host(EntryPointFunc);
    host.ThrowOnCall("add_param", 3, /*badAlloc=*/true);
    EXPECT_EQ(host.ParamsSetup(), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(host.Calls("add_param"), 3);
}

TEST(EntryTest, AnyOtherExceptionBecomesInternalStructDamaged) {
    Host host(EntryPointFunc);
    host.ThrowOnCall("sprintf", 1, /*badAlloc=*/false);
    EXPECT_EQ(host.About(), PF_Err_INTERNAL_STRUCT_DAMAGED);
    // The holder released the suite while the exception unwound.
    EXPECT_EQ(host.Acquisitions("PF ANSI Suite", 1), 1);
    EXPECT_EQ(host.SuitesHeld(), 0);
}

TEST(EntryTest, NoSuiteIsHeldAfterAnyCommandOnSuccessOrFailure) {
    Host host(EntryPointFunc);
    ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
    ASSERT_EQ(host.About(), PF_Err_NONE);
    ASSERT_EQ(host.CompletelyGeneral("hello"), PF_Err_NONE);
    EXPECT_EQ(host.SuitesHeld(), 0);
    for (const auto& [name, version] : {std::pair<const char*, int>{"PF ANSI Suite", 1},
                                        {"PF Handle Suite", 2},
                                        {"AEGP Utility Suite", 3}}) {
        EXPECT_EQ(host.Acquisitions(name, version), host.Releases(name, version)) << name;
    }
    // About and completely general each acquired it once.
    EXPECT_EQ(host.Acquisitions("PF ANSI Suite", 1), 2);

    host.FailCall("AEGP_RegisterWithAEGP", 1, A_Err_GENERIC);
    EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(host.SuitesHeld(), 0);
    EXPECT_TRUE(host.Violations().empty());
}

// Every command of an effect's life, with a pre-blurred float frame so that
// the float sampling suite is acquired and released once per pixel.
void RunEveryCommand(Host& host) {
    host::CompLayer layer;
    layer.name = "Normals";
    host.Comp().layers.push_back(layer);
    host.Comp().effectLayer = 0;
    auto input = std::make_shared<host::World>(2, 2, host::Depth::kFloat);
    for (A_long y = 0; y < 2; ++y) {
        for (A_long x = 0; x < 2; ++x) input->At<PF_PixelFloat>(x, y) = {1, 0.5f, 0.5f, 1};
    }
    host.SetInput(input);
    host.EnableCallLog(false);
    host.GlobalSetup();
    if (host.ParamsSetup() != PF_Err_NONE) return;
    PF_ParamDefUnion on{};
    on.bd.value = 1;
    host.SetParam(PARAM_SPECULAR_ENABLE, on);
    PF_ParamDefUnion blur{};
    blur.fd.value = ToFixed(2);
    host.SetParam(PARAM_NORMALS_PRE_BLUR, blur);
    host.UserChangedParam(PARAM_SPECULAR_ENABLE);
    host.RenderFrame();
}

// A call that hands something back to the host and throws (a host written
// in C never does, but the module promises that nothing thrown gets past
// it): destructors and the pre-render deleter, which the host calls itself,
// used to let it reach std::terminate, ending the host. Now every command
// returns, and everything but what the throwing call would have given back
// is given back.
TEST(EntryTest, AGiveBackCallThatThrowsEndsNoCommandAbnormally) {
    const char* const kGiveBacks[] = {
        "ReleaseSuite",        "checkin_param",      "checkin_layer_pixels", "host_unlock_handle",
        "host_dispose_handle", "AEGP_DisposeStream", "AEGP_DisposeEffect"};
    for (const std::string function : kGiveBacks) {
        int calls = 0;
        {
            Host clean(EntryPointFunc);
            RunEveryCommand(clean);
            calls = clean.Calls(function);
        }
        ASSERT_GT(calls, 0) << function << " is never called";
        for (int nth = 1; nth <= calls; ++nth) {
            Host host(EntryPointFunc);
            host.ThrowOnCall(function, nth, nth % 2 == 0);
            RunEveryCommand(host);
            const std::string at = function + " call " + std::to_string(nth);
            const auto kept = [&](const char* name) { return function == name ? 1 : 0; };
            EXPECT_EQ(host.SuitesHeld(), kept("ReleaseSuite")) << at;
            EXPECT_EQ(host.OpenParamCheckouts(), kept("checkin_param")) << at;
            EXPECT_EQ(host.OpenLayerCheckouts(), kept("checkin_layer_pixels")) << at;
            const int global = host.InData().global_data != nullptr ? 1 : 0;
            EXPECT_EQ(host.LiveHandles(), global + kept("host_dispose_handle")) << at;
            EXPECT_TRUE(host.Violations().empty()) << at << ": " << host.Violations().front();
        }
    }
}

}  // namespace
}  // namespace lumeshade
