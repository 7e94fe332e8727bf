// The matcap: a picture of a lit sphere, addressed by the normal's X and Y.
//
// Defined in the header so that the pixel pass compiles the lookup into its
// own code.
#pragma once

#include "AE_Effect.h"
#include "common/color.h"
#include "common/math3d.h"
#include "maps/map_read.h"
#include "render/render_context.h"
#include "shading/blend.h"

namespace lumeshade {

// Blends the matcap texel under normal `n` onto `s` (under Display All and
// Matcap, with a positive amount and a matcap of at least two rows). The
// normal-map pixel `m` is not used.
template <class Pixel>
inline void LookupMatcap(const Pixel&, Vector3 n, const RenderContext& ctx, Color& s) {
    const PF_EffectWorld* map = ctx.matcapMap;
    if (!Shows(ctx.displayMode, DISPLAY_MATCAP) || !(ctx.matcapAmount > 0.0f) || !HasRows(map, 2)) {
        return;
    }
    const float w = static_cast<float>(map->width);
    const float h = static_cast<float>(map->height);
    // One pixel right and down of the plain mapping; the Y axis is flipped so
    // that N.y = 1 reads near the top.
    const int32_t cx = TruncToInt(w * n.x + static_cast<float>(ctx.matcapOffsetX) + 1.0f);
    const int32_t cy = TruncToInt(h * (1.0f - n.y) + static_cast<float>(ctx.matcapOffsetY) + 1.0f);
    const auto texel =
        ReadMap<Pixel>(*map, ctx.matcapMode, 1, cx, cy, ctx.matcapBlur, 1, ctx.inData);
    if (!texel) return;
    BlendColor(s, ctx.matcapBlend, ctx.matcapAmount, ScaledColor(*texel), BlendMax(ctx));
}

}  // namespace lumeshade
