// The lane primitives with AVX2 against their scalar functions, compiled for
// AVX2 the way shading/row_kernel_avx2.cpp is and run only where the
// processor has it.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "common/fmath.h"
#include "common/safe_pow.h"
#include "maps/map_read.h"
#include "maps/sample_area.h"
#include "maps/tile_index.h"
#include "shading/blend.h"
#include "shading/pixel_path.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
#include "common/simd_avx2.h"
#include "tests/shading/lanes_checks.h"

namespace lumeshade {
namespace {

std::string Pow() { return lanes_checks::PowMatchesScalar<simd_avx2::Avx2>(1 << 21); }
std::string Tiles() { return lanes_checks::TileIndexMatchesScalar<simd_avx2::Avx2>(); }
std::string Blends() { return lanes_checks::BlendMatchesScalar<simd_avx2::Avx2>(); }

}  // namespace
}  // namespace lumeshade
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

namespace lumeshade {
namespace {

TEST(LanesAvx2Test, PrimitivesMatchTheScalarFunctionsBitForBit) {
    if (!ProcessorHas(PixelPath::kAvx2)) GTEST_SKIP() << "this processor has no AVX2";
    EXPECT_EQ(Pow(), "");
    EXPECT_EQ(Tiles(), "");
    EXPECT_EQ(Blends(), "");
}

}  // namespace
}  // namespace lumeshade
