// --region: the rectangle of the output a run renders, and what is refused.
#include "tools/region.h"

#include <gtest/gtest.h>

#include "tool_test_support.h"

namespace lumeshade::tools {
namespace {

TEST(RegionTest, ARectangleInsideTheOutputIsTakenAndAnythingElseRefused) {
    const PF_LRect r = ParseRegion("3,0,13,1", 16, 9);
    EXPECT_EQ(r.left, 3);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 16);
    EXPECT_EQ(r.bottom, 1);
    EXPECT_EQ(ParseRegion("0,0,16,9", 16, 9).bottom, 9);
    for (const char* bad : {"", "1,2,3", "1,2,3,4,5", "1,2,3,", "-1,0,2,2", "0,0,0,1", "0,0,1,0",
                            "a,0,1,1", "1.5,0,1,1", "0,0,99999999999,1"}) {
        EXPECT_TRUE(
            testing::FailsWith([&] { ParseRegion(bad, 16, 9); }, {"--region: expected X,Y,W,H"}))
            << bad;
    }
    for (const char* past : {"16,0,1,1", "0,9,1,1", "4,0,13,1", "0,1,1,9", "15,8,2147483647,1"}) {
        EXPECT_TRUE(testing::FailsWith([&] { ParseRegion(past, 16, 9); },
                                       {"--region: ", " reaches past the 16 x 9 output"}))
            << past;
    }
}

}  // namespace
}  // namespace lumeshade::tools
