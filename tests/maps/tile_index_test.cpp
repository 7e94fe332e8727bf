#include "maps/tile_index.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <limits>

namespace lumeshade {
namespace {

constexpr int32_t X = NO_PIXEL;
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
// Lists mixing those with literals: int32_t need not be int.
using Int32s = std::initializer_list<int32_t>;

// n = 4, c = -9 .. 12.
struct ModeRow {
    int32_t mode;
    int32_t expected[22];
};
constexpr ModeRow kSizeFour[] = {
    {TILE_NONE, {X, X, X, X, X, X, X, X, X, 0, 1, 2, 3, X, X, X, X, X, X, X, X, X}},
    {TILE_EDGE, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3}},
    {TILE_REPEAT, {2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 3, 1, 2, 3, 3, 1}},
    {TILE_MIRROR, {0, 0, 2, 1, 0, 0, 2, 1, 0, 0, 1, 2, 3, 3, 3, 3, 2, 3, 3, 3, 2, 3}},
};

TEST(TileIndexTest, SizeFourTable) {
    for (const ModeRow& row : kSizeFour) {
        for (int32_t c = -9; c <= 12; ++c) {
            EXPECT_EQ(TileIndex(row.mode, 4, c), row.expected[c + 9])
                << "mode " << row.mode << ", c " << c;
        }
    }
}

TEST(TileIndexTest, TheNoPixelCoordinate) {
    EXPECT_EQ(TileIndex(TILE_NONE, 4, NO_PIXEL), NO_PIXEL);
    EXPECT_EQ(TileIndex(TILE_EDGE, 4, NO_PIXEL), 0);
    EXPECT_EQ(TileIndex(TILE_REPEAT, 4, NO_PIXEL), 3);
    EXPECT_EQ(TileIndex(TILE_MIRROR, 4, NO_PIXEL), 0);
}

// A map one pixel wide addressed by its width minus one, or an empty one.
TEST(TileIndexTest, SizesBelowOneHaveNoPixel) {
    for (int32_t mode = 0; mode <= 5; ++mode) {
        for (int32_t n : Int32s{0, -1, kMin}) {
            for (int32_t c : Int32s{kMin, -1, 0, 1, kMax}) {
                EXPECT_EQ(TileIndex(mode, n, c), NO_PIXEL) << mode << " " << n << " " << c;
            }
        }
    }
}

TEST(TileIndexTest, SizeOneAlwaysGivesItsOnlyPixel) {
    for (int32_t mode : {TILE_EDGE, TILE_REPEAT, TILE_MIRROR}) {
        for (int32_t c : Int32s{kMin, NO_PIXEL, -7, -1, 0, 1, 2, 9, kMax}) {
            EXPECT_EQ(TileIndex(mode, 1, c), 0) << mode << " " << c;
        }
    }
    EXPECT_EQ(TileIndex(TILE_NONE, 1, 0), 0);
    EXPECT_EQ(TileIndex(TILE_NONE, 1, 1), NO_PIXEL);
}

// Whatever the coordinate (a non-finite one arrives as the most negative
// integer) and whatever the mode value, the result addresses the map or is
// no pixel.
TEST(TileIndexTest, EveryCoordinateStaysInsideTheMap) {
    const int32_t coordinates[] = {
        kMin, kMin + 1, -2147473648, NO_PIXEL - 1, NO_PIXEL, -513, -512, -511,     -2,  -1,
        0,    1,        510,         511,          512,      513,  1024, kMax - 1, kMax};
    for (int32_t mode = -1; mode <= 6; ++mode) {
        for (int32_t n : Int32s{1, 2, 3, 7, 511, 512, 10000, kMax - 1, kMax}) {
            for (int32_t c : coordinates) {
                const int32_t i = TileIndex(mode, n, c);
                EXPECT_TRUE(i == NO_PIXEL || (i >= 0 && i < n))
                    << "mode " << mode << ", n " << n << ", c " << c << " gives " << i;
            }
        }
    }
}

TEST(TileIndexTest, RepeatHasPeriodNOnEachSide) {
    for (int32_t n : {3, 8, 255}) {
        for (int32_t c = n; c < 4 * n; ++c) {
            EXPECT_EQ(TileIndex(TILE_REPEAT, n, c + n), TileIndex(TILE_REPEAT, n, c));
        }
        for (int32_t c = 0; c > -4 * n; --c) {
            EXPECT_EQ(TileIndex(TILE_REPEAT, n, c - n), TileIndex(TILE_REPEAT, n, c));
        }
    }
}

TEST(TileIndexTest, LargeMapsAtTheExtremes) {
    EXPECT_EQ(TileIndex(TILE_EDGE, kMax, kMax), kMax - 1);
    EXPECT_EQ(TileIndex(TILE_MIRROR, kMax, kMax), kMax - 1);  // n + 1 clamps to n - 1
    EXPECT_EQ(TileIndex(TILE_REPEAT, kMax, kMax), 1);
    EXPECT_EQ(TileIndex(TILE_MIRROR, 512, kMin), 0);  // 2^31 rem 512 = 0, minus 1, clamped up
    EXPECT_EQ(TileIndex(TILE_MIRROR, 3, kMin), 1);    // 2^31 rem 3 = 2
    EXPECT_EQ(TileIndex(TILE_REPEAT, 3, kMin), 0);    // -2 + 3 - 1
}

}  // namespace
}  // namespace lumeshade
