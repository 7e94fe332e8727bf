#include "maps/matcap.h"

#include "maps/map_read.h"
#include "shading/blend.h"

namespace lumeshade {

template <class Pixel>
void LookupMatcap(const Pixel&, Vector3 n, const RenderContext& ctx, Color& s) {
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

template void LookupMatcap<PF_Pixel8>(const PF_Pixel8&, Vector3, const RenderContext&, Color&);
template void LookupMatcap<PF_Pixel16>(const PF_Pixel16&, Vector3, const RenderContext&, Color&);
template void LookupMatcap<PF_PixelFloat>(const PF_PixelFloat&, Vector3, const RenderContext&,
                                          Color&);

}  // namespace lumeshade
