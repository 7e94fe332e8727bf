// The per-pixel shading functions the host's iterate suites call, one per
// pixel format. `refcon` is the render's RenderContext.
#pragma once

#include "AE_Effect.h"

namespace lumeshade {

PF_Err ShadePixelFloat(void* refcon, A_long x, A_long y, PF_PixelFloat* in, PF_PixelFloat* out);
PF_Err ShadePixel16(void* refcon, A_long x, A_long y, PF_Pixel16* in, PF_Pixel16* out);
PF_Err ShadePixel8(void* refcon, A_long x, A_long y, PF_Pixel8* in, PF_Pixel8* out);

}  // namespace lumeshade
