// Output paths: frame numbers, the checks made before rendering, and files
// that appear whole or not at all.
#include "tools/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "tool_test_support.h"

namespace lumeshade::tools {
namespace {

using testing::FailsWith;
using testing::TempDir;

TEST(OutputFileTest, RunsOfHashesBecomeThePaddedFrameNumber) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"out/light_###.png", 7, "out/light_007.png"},
        {"out/light_###.png", 1234, "out/light_1234.png"},
        {"a#.tif", 0, "a0.tif"},
        {"f##_####.exr", 12, "f12_0012.exr"},
        {"shot#1/frame.png", 5, "shot#1/frame.png"},
        {"still.png", 9, "still.png"},
    };
    for (const auto& [pattern, frame, expected] : cases) {
        EXPECT_EQ(FrameFileName(pattern, frame), expected) << pattern;
    }
    EXPECT_TRUE(HasFrameNumber("x/a_#.png"));
    EXPECT_FALSE(HasFrameNumber("x#/a.png"));
}

TEST(OutputFileTest, FormatsFollowTheExtensionInAnyCase) {
    EXPECT_EQ(FormatFromPath("a.PNG"), FileFormat::kPng);
    EXPECT_EQ(FormatFromPath("a.Tiff"), FileFormat::kTiff);
    EXPECT_EQ(FormatFromPath("a.tif"), FileFormat::kTiff);
    EXPECT_EQ(FormatFromPath("dir.exr/a.exr"), FileFormat::kExr);
    EXPECT_FALSE(FormatFromPath("a.jpg"));
    EXPECT_FALSE(FormatFromPath("png"));
}

TEST(OutputFileTest, OutputsThatCannotBeWrittenAreRefusedBeforeRendering) {
    TempDir dir;
    std::filesystem::create_directory(dir / "locked");
    ::chmod((dir / "locked").c_str(), 0555);
    std::filesystem::create_directory(dir / "frame_2.png");
    testing::WriteText(dir / "kept.png", "old");
    ::chmod((dir / "kept.png").c_str(), 0444);
    testing::WriteText(dir / "plain", "x");

    const std::string d = dir.Path().string();
    const std::tuple<std::string, int, std::string> cases[] = {
        {d + "/a.jpg", 1, "expected a file name ending in .png, .tif, .tiff or .exr"},
        {d + "/missing/a.png", 1, "the folder \"" + d + "/missing\" does not exist"},
        {d + "/plain/a.png", 1, "is not a folder"},
        {d + "/locked/a.png", 1, "is read-only"},
        {d + "/kept.png", 1, "kept.png\" is read-only"},
        {d + "/seq.png", 3, "renders 3 frames, so the name needs a run of '#'"},
        {d + "/frame_#.png", 3, "frame_2.png\" is a folder"},
        {d + "/", 1, "expected a file name"},
    };
    for (const auto& [path, frames, expected] : cases) {
        EXPECT_TRUE(FailsWith([&] { CheckOutputPath(path, 0, frames); },
                              {"output \"" + path + "\": ", expected}))
            << path;
    }
    EXPECT_NO_THROW(CheckOutputPath(d + "/fine_##.png", 0, 3));
    EXPECT_NO_THROW(CheckOutputPath("relative.exr", 0, 1)) << "the current folder";
}

TEST(OutputFileTest, APendingFileReplacesItsTargetOnlyWhenCommitted) {
    TempDir dir;
    testing::WriteText(dir / "out.png", "old");
    {
        PendingFile pending(dir / "out.png");
        EXPECT_EQ(pending.Path().parent_path(), dir.Path());
        EXPECT_NE(pending.Path().filename().string().find(".out.png."), std::string::npos);
        testing::WriteText(pending.Path(), "half");
        EXPECT_EQ(dir.Entries().size(), 2u);
    }
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"out.png"})) << "abandoned: removed";
    {
        PendingFile pending(dir / "out.png");
        testing::WriteText(pending.Path(), "new");
        pending.Commit();
    }
    std::ifstream in(dir / "out.png");
    std::string text;
    in >> text;
    EXPECT_EQ(text, "new");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"out.png"}));
    struct stat st {};
    ASSERT_EQ(::stat((dir / "out.png").c_str(), &st), 0);
    EXPECT_NE(st.st_mode & 0044, 0u) << "an ordinary file's mode, not a private temporary's";
}

}  // namespace
}  // namespace lumeshade::tools
