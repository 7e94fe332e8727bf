// The suite holder: acquisition on first use, one release per acquisition.
#include "shell/host_suites.h"

#include <gtest/gtest.h>

#include "host/host.h"
#include "shell/entry.h"

namespace lumeshade {
namespace {

using host::Host;

TEST(HostSuitesTest, AHolderThatUsesNothingTouchesNothing) {
    Host host(EntryPointFunc);
    { HostSuites suites(&host.InData()); }
    EXPECT_EQ(host.Calls("AcquireSuite"), 0);
    EXPECT_EQ(host.Calls("ReleaseSuite"), 0);
}

TEST(HostSuitesTest, SecondUseReturnsTheStoredTableAndReleasesOnce) {
    Host host(EntryPointFunc);
    {
        HostSuites suites(&host.InData());
        const PF_HandleSuite1* first = &suites.Handle();
        const PF_HandleSuite1* second = &suites.Handle();
        EXPECT_EQ(first, second);
        suites.Ansi();
        EXPECT_EQ(host.Acquisitions("PF Handle Suite", 2), 1);
        EXPECT_EQ(host.Releases("PF Handle Suite", 2), 0);
    }
    EXPECT_EQ(host.Releases("PF Handle Suite", 2), 1);
    EXPECT_EQ(host.Releases("PF ANSI Suite", 1), 1);
    EXPECT_EQ(host.SuitesHeld(), 0);
}

TEST(HostSuitesTest, EverySuiteIsAskedForByItsExactNameAndVersion) {
    Host host(EntryPointFunc);
    HostSuites suites(&host.InData());
    const auto& names = HostSuites::kSuiteNames;
    EXPECT_STREQ(names[HostSuites::kIterate8].name, "PF Iterate8 Suite");
    EXPECT_STREQ(names[HostSuites::kIterate16].name, "PF iterate16 Suite");
    EXPECT_STREQ(names[HostSuites::kIterateFloat].name, "PF iterateFloat Suite");
    EXPECT_EQ(names[HostSuites::kHandle].version, 2);
    EXPECT_EQ(names[HostSuites::kUtility].version, 3);
    EXPECT_EQ(names[HostSuites::kLayer].version, 5);
    EXPECT_EQ(names[HostSuites::kStream].version, 7);
    EXPECT_EQ(names[HostSuites::kEffect].version, 3);
    EXPECT_EQ(names[HostSuites::kDynamicStream].version, 2);
    EXPECT_EQ(names[HostSuites::kLight].version, 2);
}

TEST(HostSuitesTest, RefusedOrEmptySuiteThrowsBadCallbackParamAndLeavesNothingHeld) {
    Host host(EntryPointFunc);
    host.WithdrawSuite("AEGP Utility Suite", 3);
    host.HandBackNullSuite("AEGP Memory Suite", 1);
    {
        HostSuites suites(&host.InData());
        suites.Handle();
        try {
            suites.Utility();
            ADD_FAILURE() << "a withdrawn suite must throw";
        } catch (A_long err) {
            EXPECT_EQ(err, PF_Err_BAD_CALLBACK_PARAM);
        }
        try {
            suites.Memory();
            ADD_FAILURE() << "an empty suite must throw";
        } catch (A_long err) {
            EXPECT_EQ(err, PF_Err_BAD_CALLBACK_PARAM);
        }
    }
    EXPECT_EQ(host.SuitesHeld(), 0);
    EXPECT_TRUE(host.Violations().empty());
}

TEST(HostSuitesTest, NoBasicSuiteThrowsAtOnce) {
    Host host(EntryPointFunc);
    host.RemoveBasicSuite();
    EXPECT_THROW(HostSuites suites(&host.InData()), A_long);
    EXPECT_THROW(HostSuites suites(nullptr), A_long);
}

}  // namespace
}  // namespace lumeshade
