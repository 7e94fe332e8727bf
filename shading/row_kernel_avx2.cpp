// The row kernels with AVX2: eight pixels per instruction, used only on
// processors that report AVX2 (shading/row_pass.cpp asks).
//
// Only the kernel is compiled for AVX2, not this whole file: every header
// the kernel shares with the rest of the module is included first, for the
// baseline processor, so that an ordinary inline function it defines (a
// power, a tile index) can never be emitted here with AVX2 instructions and
// then be chosen by the linker for code that runs on any processor. Between
// the pragmas come only the instruction-set types and the templates over
// them, whose instances are this file's own. A test disassembles the module
// and checks that no other function uses these instructions.
#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "AE_Effect.h"
#include "common/fmath.h"
#include "common/pixel_traits.h"
#include "common/safe_pow.h"
#include "maps/bump.h"
#include "maps/displacement.h"
#include "maps/fresnel.h"
#include "maps/map_read.h"
#include "maps/reflection.h"
#include "maps/refraction.h"
#include "maps/sample_area.h"
#include "maps/texture.h"
#include "maps/tile_index.h"
#include "shading/blend.h"
#include "shading/lighting.h"
#include "shading/normal_depth_choices.h"
#include "shading/row_kernels.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include "common/simd_avx2.h"
#include "shading/row_kernel.h"

namespace lumeshade {

const RowKernels kAvx2RowKernels = lanes::KernelsOf<simd_avx2::Avx2>();

}  // namespace lumeshade

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
