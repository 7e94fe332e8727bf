// Tracks of keyed values: linear between keys, holding outside them, and
// holding between keys for values that cannot be blended.
#include "tools/keyframes.h"

#include <gtest/gtest.h>

#include "tools/scene.h"

namespace lumeshade::tools {
namespace {

TEST(KeyframesTest, LinearBetweenKeysAndHeldBeyondThem) {
    Track<double> track;
    track.AddKey(2, 10.0);
    track.AddKey(4, 20.0);
    track.AddKey(8, 0.0);
    const std::pair<double, double> expected[] = {{-5, 10}, {2, 10},    {3, 15}, {4, 20},
                                                  {5, 15},  {7.5, 2.5}, {8, 0},  {100, 0}};
    for (const auto& [frame, value] : expected) EXPECT_DOUBLE_EQ(track.At(frame), value) << frame;
    EXPECT_DOUBLE_EQ(track.Held(3.99), 10.0);
    EXPECT_DOUBLE_EQ(track.Held(4), 20.0);
    EXPECT_TRUE(track.Animated());
    EXPECT_FALSE(Track<double>(3.0).Animated());
    EXPECT_DOUBLE_EQ(Track<double>(3.0).At(1e9), 3.0);
}

TEST(KeyframesTest, VectorsMoveComponentByComponent) {
    Track<Vec3> track;
    track.AddKey(0, {0, 100, -50});
    track.AddKey(10, {100, 0, -150});
    EXPECT_EQ(track.At(2.5), (Vec3{25, 75, -75}));
}

TEST(KeyframesTest, KeysOutOfOrderAreRefused) {
    Track<double> track;
    track.AddKey(1, 0.0);
    EXPECT_THROW(track.AddKey(1, 2.0), std::invalid_argument);
    EXPECT_THROW(track.AddKey(0, 2.0), std::invalid_argument);
    EXPECT_THROW(Track<double>().At(0), std::logic_error);
}

}  // namespace
}  // namespace lumeshade::tools
