// Image files: the 16-bit scaling, round trips through every format and
// depth, what files of other kinds turn into, and refused files.
#include "tools/image_io.h"

#include <OpenImageIO/imageio.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tool_test_support.h"
#include "tools/layer_loading.h"
#include "tools/scene.h"
#include "tools/world_images.h"

namespace lumeshade::tools {
namespace {

using testing::FailsWith;
using testing::TempDir;

// A picture with every channel different, in the depth's range.
Image Pattern(BitDepth depth, int width = 7, int height = 5) {
    Image image = MakeImage(width, height, depth);
    const double max = ChannelMax(depth);
    for (std::size_t i = 0; i < image.rgba.size(); ++i) {
        const double v = double((i * 37) % 101) / 100.0;
        image.rgba[i] =
            depth == BitDepth::kFloat ? float(v * 1.5 - 0.2) : float(std::round(v * max));
    }
    return image;
}

OIIO::ImageSpec HeaderOf(const std::filesystem::path& path) {
    auto in = OIIO::ImageInput::open(path.string());
    if (!in) throw std::runtime_error(OIIO::geterror());
    return in->spec();
}

template <class T>
void WriteRaw(const std::filesystem::path& path, int width, int height, int channels,
              OIIO::TypeDesc type, const std::vector<T>& samples) {
    auto out = OIIO::ImageOutput::create(path.string());
    ASSERT_TRUE(out);
    OIIO::ImageSpec header(width, height, channels, type);
    header.attribute("oiio:UnassociatedAlpha", 1);
    ASSERT_TRUE(out->open(path.string(), header));
    ASSERT_TRUE(out->write_image(type, samples.data()));
    ASSERT_TRUE(out->close());
}

TEST(ImageIoTest, SixteenBitRenderValuesSurviveTheFilesRange) {
    EXPECT_EQ(ToFile16(0.0f), 0);
    EXPECT_EQ(ToFile16(32768.0f), 65535);
    EXPECT_EQ(ToFile16(16384.0f), 32768);
    EXPECT_EQ(FromFile16(65535), 32768.0f);
    std::uint16_t previous = 0;
    for (int v = 0; v <= 32768; ++v) {
        const std::uint16_t file = ToFile16(float(v));
        ASSERT_EQ(FromFile16(file), float(v)) << v;
        if (v > 0) {
            ASSERT_GT(file, previous);
        }
        previous = file;
    }
    EXPECT_EQ(ToFile16(40000.0f), 65535) << "clamped";
    EXPECT_EQ(ToFile16(-3.0f), 0);
}

TEST(ImageIoTest, EveryFormatAndDepthReadsBackAsWritten) {
    struct Case {
        const char* name;
        BitDepth depth;
        OIIO::TypeDesc fileType;
    };
    const Case cases[] = {
        {"a.png", BitDepth::k8, OIIO::TypeDesc::UINT8},
        {"b.png", BitDepth::k16, OIIO::TypeDesc::UINT16},
        {"c.tif", BitDepth::k8, OIIO::TypeDesc::UINT8},
        {"d.tiff", BitDepth::k16, OIIO::TypeDesc::UINT16},
        {"e.tif", BitDepth::kFloat, OIIO::TypeDesc::FLOAT},
        {"f.exr", BitDepth::kFloat, OIIO::TypeDesc::FLOAT},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Image image = Pattern(c.depth);
        WriteImage(dir / c.name, image);
        const OIIO::ImageSpec header = HeaderOf(dir / c.name);
        EXPECT_EQ(header.format, c.fileType) << "never half";
        EXPECT_EQ(header.nchannels, 4);
        const Image back = ReadImage(dir / c.name, c.depth, {"test", ""});
        EXPECT_EQ(back.width, image.width);
        EXPECT_EQ(back.rgba, image.rgba);
    }
    EXPECT_EQ(dir.Entries().size(), std::size(cases)) << "no temporary file is left behind";
}

TEST(ImageIoTest, FloatRendersGoToPngAsSixteenBitsAndToExrUnclamped) {
    TempDir dir;
    Image image = MakeImage(2, 1, BitDepth::kFloat);
    image.rgba = {0.5f, 1.5f, -0.25f, 1.0f, 0.1f, 0.2f, 0.3f, 0.4f};
    WriteImage(dir / "x.png", image);
    EXPECT_EQ(HeaderOf(dir / "x.png").format, OIIO::TypeDesc::UINT16);
    const Image png = ReadImage(dir / "x.png", BitDepth::kFloat, {"test", ""});
    EXPECT_NEAR(png.rgba[0], 0.5f, 1e-4);
    EXPECT_EQ(png.rgba[1], 1.0f);
    EXPECT_EQ(png.rgba[2], 0.0f);
    WriteImage(dir / "x.exr", image);
    EXPECT_EQ(ReadImage(dir / "x.exr", BitDepth::kFloat, {"test", ""}).rgba, image.rgba);
    // An 8-bit render written as floats is divided by its maximum.
    Image bytes = MakeImage(1, 1, BitDepth::k8);
    bytes.rgba = {255, 0, 51, 255};
    WriteImage(dir / "y.exr", bytes);
    const Image asFloat = ReadImage(dir / "y.exr", BitDepth::kFloat, {"test", ""});
    EXPECT_EQ(asFloat.rgba, (std::vector<float>{1.0f, 0.0f, 0.2f, 1.0f}));
}

TEST(ImageIoTest, FilesOfOtherDepthsAndChannelCountsLoadIntoTheRendersFormat) {
    TempDir dir;
    WriteRaw<std::uint8_t>(dir / "grey.png", 2, 1, 1, OIIO::TypeDesc::UINT8, {255, 51});
    const Image grey16 = ReadImage(dir / "grey.png", BitDepth::k16, {"test", ""});
    EXPECT_EQ(grey16.rgba,
              (std::vector<float>{32768, 32768, 32768, 32768, 6554, 6554, 6554, 32768}));

    WriteRaw<std::uint8_t>(dir / "ga.png", 1, 1, 2, OIIO::TypeDesc::UINT8, {100, 0});
    const Image greyAlpha = ReadImage(dir / "ga.png", BitDepth::k8, {"test", ""});
    EXPECT_EQ(greyAlpha.rgba, (std::vector<float>{100, 100, 100, 0})) << "alpha as stored";

    WriteRaw<std::uint16_t>(dir / "rgb16.png", 1, 1, 3, OIIO::TypeDesc::UINT16, {65535, 0, 32768});
    EXPECT_EQ(ReadImage(dir / "rgb16.png", BitDepth::k8, {"test", ""}).rgba,
              (std::vector<float>{255, 0, 128, 255}));

    WriteRaw<float>(dir / "f.exr", 1, 1, 4, OIIO::TypeDesc::FLOAT, {2.0f, -1.0f, 0.25f, 0.5f});
    EXPECT_EQ(ReadImage(dir / "f.exr", BitDepth::k8, {"test", ""}).rgba,
              (std::vector<float>{255, 0, 64, 128}));
    EXPECT_EQ(ReadImage(dir / "f.exr", BitDepth::kFloat, {"test", ""}).rgba,
              (std::vector<float>{2.0f, -1.0f, 0.25f, 0.5f}));
}

TEST(ImageIoTest, UnusableImagesAreRefusedWithTheirLayer) {
    TempDir dir;
    testing::WriteText(dir / "empty.png", "");
    testing::WriteText(dir / "garbage.png", "this is not a picture at all, not even close");
    std::filesystem::create_directory(dir / "folder.png");
    WriteRaw<std::uint8_t>(dir / "wide.png", 30001, 1, 1, OIIO::TypeDesc::UINT8,
                           std::vector<std::uint8_t>(30001, 7));
    const Location where{"scene.json", "layers.normals"};
    const std::pair<const char*, const char*> cases[] = {
        {"missing.png", "does not exist"},
        {"empty.png", "is an empty file"},
        {"garbage.png", "cannot read the image"},
        {"folder.png", "is a folder"},
        {"wide.png", "too large: at most 30000 pixels a side"},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_TRUE(FailsWith([&] { ReadImage(dir / name, BitDepth::k8, where); },
                              {"scene.json: layers.normals: ", expected}))
            << name;
    }
    // An OpenEXR attribute declaring more bytes than the file holds: the
    // library would allocate them all before finding the file short.
    WriteImage(dir / "long.exr", Pattern(BitDepth::kFloat));
    std::string exr = testing::ReadText(dir / "long.exr");
    const std::string attribute("compression\0compression\0", 24);
    ASSERT_NE(exr.find(attribute), std::string::npos);
    exr.replace(exr.find(attribute) + attribute.size(), 4, "\xff\xff\xff\x7f");
    testing::WriteText(dir / "long.exr", exr);
    EXPECT_TRUE(FailsWith([&] { ReadImageSize(dir / "long.exr", where); },
                          {"layers.normals: the image \"",
                           "long.exr\" is damaged: its OpenEXR "
                           "attribute \"compression\" declares 2147483647 bytes, more than"}));

    // Files that are no regular file are refused before anything reads them
    // (a read of /dev/zero or a named pipe would never end), by what they are.
    for (const testing::SpecialFile& f : testing::MakeSpecialFiles(dir)) {
        const std::string image = "the image \"" + f.path.string() + "\" ";
        EXPECT_TRUE(FailsWith([&] { ReadImageSize(f.path, where); }, {image + f.refusal}));
        EXPECT_TRUE(FailsWith([&] { ReadImage(f.path, BitDepth::k8, where); }, {f.refusal}));
    }
}

TEST(ImageIoTest, AFailedWriteLeavesNoFile) {
    TempDir dir;
    std::filesystem::create_directory(dir / "taken.png");
    const Image image = Pattern(BitDepth::k8);
    EXPECT_TRUE(FailsWith([&] { WriteImage(dir / "taken.png", image); }, {"cannot write"}));
    EXPECT_TRUE(FailsWith([&] { WriteImage(dir / "nowhere" / "x.png", image); },
                          {"output \"", "cannot create a file"}));
    EXPECT_TRUE(
        FailsWith([&] { WriteImage(dir / "x.jpg", image); }, {".png, .tif, .tiff or .exr"}));
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"taken.png"}));
}

TEST(LayerLoadingTest, TheInputSettlesTheRenderSizeAndGeneratedMapsFollowIt) {
    TempDir dir;
    WriteImage(dir / "photo.png", Pattern(BitDepth::k8, 30, 20));
    testing::WriteText(dir / "s.json", R"({"layers": {"photo": "photo.png",
        "uv": {"generate": "uv"}, "small": {"generate": "checker", "width": 8, "height": 4}},
        "input": "photo"})");
    const LoadedLayers loaded = LoadLayers(LoadScene(dir / "s.json"), BitDepth::k16);
    EXPECT_EQ(loaded.width, 30);
    EXPECT_EQ(loaded.height, 20);
    ASSERT_EQ(loaded.layers.size(), 3u);
    EXPECT_EQ(loaded.input, 0u);
    EXPECT_EQ(loaded.layers[1].footage->Width(), 30) << "a generated map without a size";
    EXPECT_EQ(loaded.layers[2].footage->Height(), 4);
    for (const LoadedLayer& layer : loaded.layers) {
        EXPECT_EQ(layer.footage->GetDepth(), host::Depth::k16);
    }

    // A scene size of its own stretches the input to it.
    testing::WriteText(dir / "t.json", R"({"width": 60, "layers": {"photo": "photo.png"}})");
    const LoadedLayers stretched = LoadLayers(LoadScene(dir / "t.json"), BitDepth::k8);
    const Image photo = FromWorld(*stretched.layers[0].footage);
    EXPECT_EQ(photo.width, 60);
    EXPECT_EQ(photo.height, 20);
    EXPECT_EQ(photo.Pixel(0, 0)[0], Pattern(BitDepth::k8, 30, 20).rgba[0]);

    const Scene bare = ParseScene(R"({"layers": {"n": {"generate": "sphere"}}})", "s.json", ".");
    EXPECT_EQ(LoadLayers(bare, BitDepth::k8).width, 512);
}

TEST(LayerLoadingTest, ScenesAboveThePixelBudgetAreRefusedBeforeAnythingIsMade) {
    // Three maps of 8192 x 8192: each allowed alone, too many together.
    const Scene scene = ParseScene(R"({"width": 8192, "height": 8192, "layers": {
        "a": {"generate": "sphere"}, "b": {"generate": "uv"}, "c": {"generate": "uv"}},
        "input": "a"})",
                                   "big.json", ".");
    EXPECT_TRUE(FailsWith([&] { LoadLayers(scene, BitDepth::kFloat); },
                          {"big.json: layers.c: the scene's images would hold more than "
                           "134217728 pixels together"}));
}

}  // namespace
}  // namespace lumeshade::tools
