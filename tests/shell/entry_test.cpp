// The entry point's dispatch and its exception barrier.
#include "shell/entry.h"

#include <gtest/gtest.h>

#include <cstring>

#include "host/host.h"

namespace lumeshade {
namespace {

using host::Host;

TEST(EntryTest, CommandsWithoutHandlerReturnZeroAndLeaveOutDataAlone) {
    Host host(EntryPointFunc);
    for (PF_Cmd cmd : {2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 14, 15, 16, 18, 19, 20, 21, 22, 25, 26,
                       27, 28, 99, -1}) {
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

}  // namespace
}  // namespace lumeshade
