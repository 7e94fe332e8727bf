// Shading a frame with the row kernels through the host's generic
// iteration: the host calls a function once per processor, on its own
// threads, and each call shades bands of rows until none is left.
#pragma once

#include "AE_Effect.h"
#include "AE_EffectCBSuites.h"
#include "AE_EffectPixelFormat.h"
#include "render/render_context.h"
#include "shading/pixel_path.h"

namespace lumeshade {

using GenericIterate = decltype(PF_Iterate8Suite1::iterate_generic);

// Shades `area` of `output` (limited to the output and the input, as the
// host's iterate suites limit it) with the row kernels of `path`, which
// must not be kPixel; the context must be prepared. Reports progress and
// asks about abort between bands, from the host's thread 0 only, as the
// generic iteration requires. Returns what the per-pixel iteration would:
// the abort's answer once the user aborts, else the code of the first
// failing pixel in scan order, else 0; or the generic iteration's own error.
PF_Err ShadeRows(PF_InData* in_data, GenericIterate iterate, PixelPath path,
                 PF_PixelFormat format, const RenderContext& ctx, const PF_EffectWorld& input,
                 PF_EffectWorld& output, const PF_Rect& area);

}  // namespace lumeshade
