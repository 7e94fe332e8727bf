// The row kernels: each shades a run of consecutive output pixels of one
// row several pixels per instruction, and writes exactly the bytes the
// per-pixel functions (shading/shade_pixel.h) write for those pixels. One
// set per instruction set, each compiled in its own file for that set.
#pragma once

#include "AE_Effect.h"
#include "render/render_context.h"

namespace lumeshade {

// Shades output pixels left .. right - 1 of row y. `in` and `out` point at
// the input and output pixels of column `left`. The context must be
// prepared (PrepareFrame). Host failures are thrown as the per-pixel
// functions throw them.
template <class Pixel>
using RowKernel = void (*)(const RenderContext& ctx, A_long y, A_long left, A_long right,
                           const Pixel* in, Pixel* out);

struct RowKernels {
    RowKernel<PF_Pixel8> shade8;
    RowKernel<PF_Pixel16> shade16;
    RowKernel<PF_PixelFloat> shadeFloat;
};

extern const RowKernels kSse2RowKernels;
extern const RowKernels kAvx2RowKernels;

}  // namespace lumeshade
