// The per-pixel shading functions the host's iterate suites call, one per
// pixel format. `refcon` is the render's RenderContext.
#pragma once

#include "AE_Effect.h"
#include "render/render_context.h"

namespace lumeshade {

// Works out ctx.frame from the rest of the context, which must be complete
// (the channel maximum and in_data included), so that the pixel functions
// read those values instead of working them out for every pixel. Call it
// again after changing the context.
void PrepareFrame(RenderContext& ctx);

PF_Err ShadePixelFloat(void* refcon, A_long x, A_long y, PF_PixelFloat* in, PF_PixelFloat* out);
PF_Err ShadePixel16(void* refcon, A_long x, A_long y, PF_Pixel16* in, PF_Pixel16* out);
PF_Err ShadePixel8(void* refcon, A_long x, A_long y, PF_Pixel8* in, PF_Pixel8* out);

}  // namespace lumeshade
