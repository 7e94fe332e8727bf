// Probe, hash and stats lines and the progress bar's text.
#include "tools/probe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>

#include "tool_test_support.h"
#include "tools/frame_summary.h"
#include "tools/progress.h"

namespace lumeshade::tools {
namespace {

TEST(ProbeTest, ChannelsPrintInTheRendersUnits) {
    EXPECT_EQ(FormatChannel(255.0f, BitDepth::k8), "255");
    EXPECT_EQ(FormatChannel(32768.0f, BitDepth::k16), "32768");
    EXPECT_EQ(FormatChannel(0.1f, BitDepth::kFloat), "0.1");
    EXPECT_EQ(FormatChannel(1.0f / 3.0f, BitDepth::kFloat), "0.33333334");
    EXPECT_EQ(FormatChannel(-2.5e-8f, BitDepth::kFloat), "-2.5e-08");
    EXPECT_EQ(FormatChannel(std::numeric_limits<float>::infinity(), BitDepth::kFloat),
              "\"Infinity\"");
    EXPECT_EQ(FormatChannel(-std::numeric_limits<float>::infinity(), BitDepth::kFloat),
              "\"-Infinity\"");
    EXPECT_EQ(FormatChannel(std::nanf(""), BitDepth::kFloat), "\"NaN\"");
    // Every float prints as text that reads back as the same float.
    for (float v = 1e-6f; v < 100.0f; v *= 1.37f) {
        EXPECT_EQ(std::strtof(FormatChannel(v, BitDepth::kFloat).c_str(), nullptr), v);
    }
}

TEST(ProbeTest, ALineHoldsTheFrameThePointAndTheFourChannels) {
    Image image = MakeImage(3, 2, BitDepth::k8);
    float* p = image.Pixel(2, 1);
    p[0] = 10, p[1] = 20, p[2] = 30, p[3] = 255;
    EXPECT_EQ(ProbeLine(4, {2, 1}, image),
              R"({"frame":4,"x":2,"y":1,"a":255,"r":10,"g":20,"b":30})");
    EXPECT_EQ(ParseProbe("2,1").x, 2);
    EXPECT_EQ(ParseProbe("2,1").y, 1);
    for (const char* bad : {"", "2", "2,", ",1", "-1,0", "a,b", "1.5,2", "1,2,3"}) {
        EXPECT_TRUE(testing::FailsWith([&] { ParseProbe(bad); }, {"--probe: expected X,Y"})) << bad;
    }
}

// --hash is FNV-1a 64 over the pixels' bytes, without the rows' padding.
TEST(FrameSummaryTest, TheHashIsFnv1aOfThePixelBytes) {
    host::World world(1, 2, host::Depth::k8);
    std::memcpy(world.Row(0), "foob", 4);
    std::memcpy(world.Row(1), "ar!!", 4);
    EXPECT_EQ(PixelChecksum(world), 0x745faceb4ecb0edeull);  // of "foobar!!"
    EXPECT_EQ(HashLine(2, "f.png", world),
              R"({"frame":2,"file":"f.png","fnv1a64":"745faceb4ecb0ede"})");
}

TEST(FrameSummaryTest, StatsGiveEachChannelsRangeAndMean) {
    Image image = MakeImage(2, 1, BitDepth::kFloat);
    float* p = image.Pixel(0, 0);
    p[0] = 0.25f, p[1] = std::nanf(""), p[2] = std::numeric_limits<float>::infinity(), p[3] = 1;
    float* q = image.Pixel(1, 0);
    q[0] = 0.75f, q[1] = 0.5f, q[2] = 0, q[3] = 1;
    EXPECT_EQ(StatsLine(3, image), R"({"frame":3,"a":{"min":1,"max":1,"mean":1},)"
                                   R"("r":{"min":0.25,"max":0.75,"mean":0.5},)"
                                   R"("g":{"min":"NaN","max":"NaN","mean":"NaN"},)"
                                   R"("b":{"min":0,"max":"Infinity","mean":"Infinity"}})");
}

TEST(ProgressTest, TheBarCoversTheShareDone) {
    EXPECT_EQ(Progress::Line(0.0, 0, 4, 10),
              "[                              ]   0%  frame 10 (1/4)");
    EXPECT_EQ(Progress::Line(0.5, 2, 4, 12),
              "[###############               ]  50%  frame 12 (3/4)");
    EXPECT_EQ(Progress::Line(1.7, 3, 4, 13),
              "[##############################] 100%  frame 13 (4/4)");
}

TEST(ProgressTest, TheBarLeavesACleanLineForOtherOutputAndEndsWithANewline) {
    const std::string bar = "\r" + Progress::Line(0.0, 0, 2, 7);
    const std::string blank = "\r" + std::string(bar.size() - 1, ' ') + "\r";
    std::ostringstream out;
    {
        Progress progress(true, out, 2);
        progress.StartFrame(0, 7);
        progress.Clear();  // a probe line follows
        EXPECT_EQ(out.str(), bar + blank);
        progress.Clear();
        EXPECT_EQ(out.str(), bar + blank) << "nothing to clear";
        progress.StartFrame(1, 8);
        progress.Finish();
        EXPECT_EQ(out.str().back(), '\n');
        out.str("");
        progress.StartFrame(1, 8);
    }
    // Gone before an error: the message starts on a clean line.
    EXPECT_EQ(out.str().substr(out.str().size() - blank.size()), blank);
    std::ostringstream quiet;
    Progress off(false, quiet, 2);
    off.StartFrame(0, 0);
    off.Clear();
    off.Finish();
    EXPECT_EQ(quiet.str(), "");
}

}  // namespace
}  // namespace lumeshade::tools
