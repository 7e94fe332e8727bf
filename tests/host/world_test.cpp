// Worlds: padded rows, typed access, conversions between the three formats,
// scaling down and cropping.
#include "host/world.h"

#include <gtest/gtest.h>

#include <cstring>

namespace lumeshade::host {
namespace {

TEST(WorldTest, RowsArePaddedBeyondTheirPixelsInEveryFormat) {
    for (Depth depth : {Depth::k8, Depth::k16, Depth::kFloat}) {
        World w(7, 3, depth);
        const PF_EffectWorld& def = w.Def();
        EXPECT_GT(def.rowbytes, 7 * PixelBytes(depth));
        EXPECT_EQ(def.rowbytes % 16, 0) << "rows keep the buffer's alignment";
        EXPECT_EQ(def.width, 7);
        EXPECT_EQ(def.height, 3);
        EXPECT_EQ(def.extent_hint.right, 7);
        EXPECT_EQ(def.extent_hint.bottom, 3);
        EXPECT_EQ((def.world_flags & PF_WorldFlag_DEEP) != 0, depth == Depth::k16);
        // Pixel (x, y) is found through rowbytes, not through the width.
        w.FillBytes(0);
        const char* base = reinterpret_cast<const char*>(def.data);
        switch (depth) {
            case Depth::k8:
                w.At<PF_Pixel8>(2, 1).red = 9;
                EXPECT_EQ(reinterpret_cast<const PF_Pixel8*>(base + def.rowbytes)[2].red, 9);
                break;
            case Depth::k16:
                w.At<PF_Pixel16>(2, 1).red = 9;
                EXPECT_EQ(reinterpret_cast<const PF_Pixel16*>(base + def.rowbytes)[2].red, 9);
                break;
            case Depth::kFloat:
                w.At<PF_PixelFloat>(2, 1).red = 9;
                EXPECT_EQ(reinterpret_cast<const PF_PixelFloat*>(base + def.rowbytes)[2].red, 9);
                break;
        }
    }
}

#if defined(__SANITIZE_ADDRESS__)
TEST(WorldDeathTest, ReadingThePaddingIsCaught) {
    World w(5, 2, Depth::k8);
    const volatile unsigned char* padding = w.Row(0) + 5 * 4;
    EXPECT_DEATH((void)*padding, "use-after-poison");
}
#else
TEST(WorldTest, ThePaddingHoldsThePattern) {
    World w(5, 2, Depth::k8);
    for (A_long i = 5 * 4; i < w.RowBytes(); ++i) {
        EXPECT_EQ(w.Row(1)[i], World::kPaddingByte);
    }
}
#endif

TEST(WorldTest, AccessIsCheckedForTypeAndBounds) {
    World w(4, 4, Depth::k16);
    EXPECT_THROW(w.At<PF_Pixel8>(0, 0), std::logic_error);
    EXPECT_THROW(w.At<PF_Pixel16>(4, 0), std::out_of_range);
    EXPECT_THROW(w.At<PF_Pixel16>(0, -1), std::out_of_range);
    EXPECT_NO_THROW(w.At<PF_Pixel16>(3, 3));
    EXPECT_THROW(World(-1, 2, Depth::k8), std::invalid_argument);
    EXPECT_THROW(World(30001, 2, Depth::k8), std::invalid_argument);
}

TEST(WorldTest, CopiesAreDeepAndMovesLeaveTheSourceEmpty) {
    World a(3, 2, Depth::k8);
    a.At<PF_Pixel8>(1, 1) = {1, 2, 3, 4};
    World b = a;
    b.At<PF_Pixel8>(1, 1).red = 99;
    EXPECT_EQ(a.At<PF_Pixel8>(1, 1).red, 2);
    EXPECT_NE(a.Def().data, b.Def().data);
    World c = std::move(a);
    EXPECT_EQ(c.At<PF_Pixel8>(1, 1).blue, 4);
    EXPECT_EQ(c.Def().data, reinterpret_cast<PF_PixelPtr>(c.Row(0)));
    EXPECT_EQ(a.Def().data, nullptr);
    EXPECT_EQ(a.Width(), 0);
}

// One channel value through a conversion.
template <class From, class To, class V>
auto Convert(Depth from, Depth to, V value) {
    World w(1, 1, from);
    w.At<From>(0, 0) = {value, value, value, value};
    return w.ConvertedTo(to).template At<To>(0, 0).red;
}

TEST(WorldTest, ConversionsScaleByTheChannelMaximum) {
    EXPECT_EQ((Convert<PF_Pixel8, PF_Pixel16>(Depth::k8, Depth::k16, A_u_char(255))), 32768);
    EXPECT_EQ((Convert<PF_Pixel8, PF_Pixel16>(Depth::k8, Depth::k16, A_u_char(128))), 16448);
    EXPECT_EQ((Convert<PF_Pixel16, PF_Pixel8>(Depth::k16, Depth::k8, A_u_short(32768))), 255);
    EXPECT_EQ((Convert<PF_Pixel16, PF_Pixel8>(Depth::k16, Depth::k8, A_u_short(16384))), 128);
    EXPECT_FLOAT_EQ((Convert<PF_Pixel8, PF_PixelFloat>(Depth::k8, Depth::kFloat, A_u_char(51))),
                    0.2f);
    EXPECT_FLOAT_EQ(
        (Convert<PF_Pixel16, PF_PixelFloat>(Depth::k16, Depth::kFloat, A_u_short(16384))), 0.5f);
    EXPECT_EQ((Convert<PF_PixelFloat, PF_Pixel8>(Depth::kFloat, Depth::k8, 0.5f)), 128);
    EXPECT_EQ((Convert<PF_PixelFloat, PF_Pixel8>(Depth::kFloat, Depth::k8, 1.5f)), 255);
    EXPECT_EQ((Convert<PF_PixelFloat, PF_Pixel8>(Depth::kFloat, Depth::k8, -0.25f)), 0);
    EXPECT_EQ((Convert<PF_PixelFloat, PF_Pixel16>(Depth::kFloat, Depth::k16, 0.25f)), 8192);
    EXPECT_EQ((Convert<PF_PixelFloat, PF_Pixel16>(Depth::kFloat, Depth::k16, 2.0f)), 32768);
    EXPECT_FLOAT_EQ((Convert<PF_PixelFloat, PF_PixelFloat>(Depth::kFloat, Depth::kFloat, 1.5f)),
                    1.5f);
}

TEST(WorldTest, EightBitValuesSurviveTheWayThroughSixteenBitsAndFloat) {
    World w(256, 1, Depth::k8);
    for (int v = 0; v < 256; ++v) {
        const A_u_char c = A_u_char(v);
        w.At<PF_Pixel8>(v, 0) = {c, c, A_u_char(255 - v), c};
    }
    EXPECT_TRUE(w.ConvertedTo(Depth::k16).ConvertedTo(Depth::k8).SameContent(w));
    EXPECT_TRUE(w.ConvertedTo(Depth::kFloat).ConvertedTo(Depth::k8).SameContent(w));
    EXPECT_FALSE(w.ConvertedTo(Depth::k16).SameContent(w)) << "formats differ";
}

TEST(WorldTest, DownsamplingAveragesBlocksAndRoundsTheSizeUp) {
    World w(5, 3, Depth::k8);
    for (A_long y = 0; y < 3; ++y) {
        for (A_long x = 0; x < 5; ++x) {
            w.At<PF_Pixel8>(x, y) = {255, A_u_char(10 * x), A_u_char(10 * y), 0};
        }
    }
    const World d = w.Downsampled(2);
    ASSERT_EQ(d.Width(), 3);
    ASSERT_EQ(d.Height(), 2);
    EXPECT_EQ(d.At<PF_Pixel8>(0, 0).red, 5);     // mean of 0, 10, 0, 10
    EXPECT_EQ(d.At<PF_Pixel8>(0, 0).green, 5);   // mean of 0, 0, 10, 10
    EXPECT_EQ(d.At<PF_Pixel8>(2, 0).red, 40);    // the cut-short edge column
    EXPECT_EQ(d.At<PF_Pixel8>(2, 1).green, 20);  // the cut-short corner
    EXPECT_EQ(d.At<PF_Pixel8>(1, 1).alpha, 255);
    EXPECT_THROW(w.Downsampled(0), std::invalid_argument);
}

TEST(WorldTest, CroppingKeepsThePixelsAndRecordsTheOrigin) {
    World w(6, 4, Depth::kFloat);
    w.At<PF_PixelFloat>(3, 2).green = 0.75f;
    const World c = w.Cropped({2, 1, 10, 3});  // clipped on the right
    EXPECT_EQ(c.Width(), 4);
    EXPECT_EQ(c.Height(), 2);
    EXPECT_EQ(c.Def().origin_x, 2);
    EXPECT_EQ(c.Def().origin_y, 1);
    EXPECT_FLOAT_EQ(c.At<PF_PixelFloat>(1, 1).green, 0.75f);
}

}  // namespace
}  // namespace lumeshade::host
