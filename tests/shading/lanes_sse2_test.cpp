// The lane primitives with SSE2 against their scalar functions.
#include <gtest/gtest.h>

#include "common/simd_sse2.h"
#include "tests/shading/lanes_checks.h"

namespace lumeshade {
namespace {

using simd_sse2::Sse2;

TEST(LanesSse2Test, PowersMatchTheScalarPowerBitForBit) {
    EXPECT_EQ(lanes_checks::PowMatchesScalar<Sse2>(1 << 21), "");
}

TEST(LanesSse2Test, TileIndicesMatchTheScalarOnes) {
    EXPECT_EQ(lanes_checks::TileIndexMatchesScalar<Sse2>(), "");
}

TEST(LanesSse2Test, BlendModesMatchTheScalarOnesBitForBit) {
    EXPECT_EQ(lanes_checks::BlendMatchesScalar<Sse2>(), "");
}

}  // namespace
}  // namespace lumeshade
