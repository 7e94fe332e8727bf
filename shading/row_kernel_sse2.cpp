// The row kernels with SSE2: four pixels per instruction, on every 64-bit
// x86 processor.
#include "common/simd_sse2.h"
#include "shading/row_kernel.h"

namespace lumeshade {

const RowKernels kSse2RowKernels = lanes::KernelsOf<simd_sse2::Sse2>();

}  // namespace lumeshade
