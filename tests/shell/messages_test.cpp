// About and completely general: the two texts the shell writes.
#include <gtest/gtest.h>

#include <string>

#include "host/host.h"
#include "shell/entry.h"

namespace lumeshade {
namespace {

using host::Host;

TEST(AboutTest, TitleVersionThenDescription) {
    Host host(EntryPointFunc);
    ASSERT_EQ(host.About(), PF_Err_NONE);
    const std::string text = host.OutData().return_msg;
    const std::string head = "Lumeshade Labs: Lumeshade 3.2, v3.0\r";
    ASSERT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.substr(head.size(), 73),
              "Simulates light effects via normal passes.\nExpects a normal map as input.");
    EXPECT_LE(text.size(), 255u);
    EXPECT_TRUE(host.Violations().empty());
    EXPECT_EQ(host.SuitesHeld(), 0);
}

TEST(CompletelyGeneralTest, CopiesTheTextUnchanged) {
    Host host(EntryPointFunc);
    const char* text = "50% grey, \"quoted\" and %s stay as they are";
    ASSERT_EQ(host.CompletelyGeneral(text), PF_Err_NONE);
    EXPECT_STREQ(host.OutData().return_msg, text);
}

TEST(CompletelyGeneralTest, LongTextIsCutAtTheMessageSize) {
    Host host(EntryPointFunc);
    std::string text(255, 'a');
    text += "this part does not fit";
    ASSERT_EQ(host.CompletelyGeneral(text.c_str()), PF_Err_NONE);
    EXPECT_EQ(std::string(host.OutData().return_msg), std::string(255, 'a'));
    // The host saw nothing written past the message.
    EXPECT_TRUE(host.Violations().empty());
    EXPECT_EQ(host.OutData().start_sampL, 0);
}

TEST(CompletelyGeneralTest, NoTextGivesAnEmptyMessage) {
    Host host(EntryPointFunc);
    ASSERT_EQ(host.CompletelyGeneral(nullptr), PF_Err_NONE);
    EXPECT_STREQ(host.OutData().return_msg, "");
}

}  // namespace
}  // namespace lumeshade
