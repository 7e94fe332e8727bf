// Global set-up: version and flags, and the global data block on every path.
#include <gtest/gtest.h>

#include "host/host.h"
#include "shell/entry.h"
#include "shell/global_data.h"

namespace lumeshade {
namespace {

using host::Host;

TEST(GlobalSetupTest, ReportsVersionAndFlags) {
    Host host(EntryPointFunc);
    ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(host.OutData().my_version, 0x00180001u);
    EXPECT_EQ(host.OutData().out_flags, 0x06000400);
    EXPECT_EQ(host.OutData().out_flags2, 0x0000144E);
}

TEST(GlobalSetupTest, HandsOverTheGlobalDataWithTheRegisteredId) {
    Host host(EntryPointFunc);
    ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(host.AegpClients().size(), 1u);
    EXPECT_EQ(host.AegpClients()[0].first, "Lumeshade");

    PF_Handle h = host.OutData().global_data;
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(host.LiveHandles(), 1);
    const auto* global = static_cast<const GlobalData*>(*h);
    EXPECT_EQ(global->initialised, 1);
    EXPECT_EQ(global->aegpPluginId, host.AegpClients()[0].second);
    EXPECT_TRUE(host.Violations().empty()) << "every lock is matched by an unlock";
}

// Every way global set-up can fail keeps its result at 0 but leaves no global
// data, and no handle or lock behind.
TEST(GlobalSetupTest, FailuresLeaveNoGlobalDataAndNoHandle) {
    struct Case {
        const char* function;
        A_long code;
    };
    for (const Case& c : {Case{"host_new_handle", 1}, Case{"host_lock_handle", 1},
                          Case{"AEGP_RegisterWithAEGP", A_Err_GENERIC}}) {
        Host host(EntryPointFunc);
        host.FailCall(c.function, 1, c.code);
        EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE) << c.function;
        EXPECT_EQ(host.OutData().global_data, nullptr) << c.function;
        EXPECT_EQ(host.LiveHandles(), 0) << c.function;
        EXPECT_EQ(host.SuitesHeld(), 0) << c.function;
        EXPECT_TRUE(host.Violations().empty()) << c.function;
        // Version and flags come first, whatever fails later.
        EXPECT_EQ(host.OutData().my_version, 0x00180001u);
    }
}

TEST(GlobalSetupTest, MissingUtilitySuiteFailsWithoutLeakingTheHandle) {
    Host host(EntryPointFunc);
    host.WithdrawSuite("AEGP Utility Suite", 3);
    EXPECT_EQ(host.GlobalSetup(), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host.OutData().global_data, nullptr);
    EXPECT_EQ(host.LiveHandles(), 0);
    EXPECT_EQ(host.SuitesHeld(), 0);
    EXPECT_TRUE(host.Violations().empty());
}

}  // namespace
}  // namespace lumeshade
