#include "maps/refraction.h"

#include "maps/displacement.h"
#include "maps/fresnel.h"
#include "maps/map_read.h"
#include "shading/blend.h"

namespace lumeshade {
namespace {

constexpr FresnelShape kRefractionFresnel{1.0f, 1.0f, false};

}  // namespace

template <class Pixel>
void LookupRefraction(const Pixel& m, A_long x, A_long y, float depth, Vector3 n2,
                      const RenderContext& ctx, Color& s) {
    const PF_EffectWorld* map = ctx.refractionMap;
    if (!(ctx.refractionAmount > 0.0f) || !HasRows(map, 2) ||
        !Shows(ctx.displayMode, DISPLAY_REFRACTION)) {
        return;
    }
    const MapCoordinates g = DisplacedCoordinates(
        x, y, map->width, map->height, depth, n2, ctx.refractionIndexOfRefraction,
        ctx.refractionOffsetX, ctx.refractionOffsetY, ctx.refractionScale, ctx.inData);
    // Unlike the environment, the refraction map is read the right way
    // round: gx addresses column gx.
    const auto texel = ReadMap<Pixel>(*map, ctx.refractionTileMode, 0, g.x, g.y, ctx.refractionBlur,
                                      1, ctx.inData);
    if (!texel) return;

    const float k = FresnelFactor(ctx.refractionFresnel, ctx.refractionFresnelDepth,
                                  Scaled<Pixel>(m.blue), kRefractionFresnel);
    const Color colour = ShapedColor(k, ScaledColor(*texel), ctx.refractionAmount,
                                     ctx.refractionColor, Quotient(1.0f, ctx.refractionGamma));
    BlendColor(s, ctx.refractionBlend, ctx.refractionAmount, colour, BlendMax(ctx));
}

template void LookupRefraction<PF_Pixel8>(const PF_Pixel8&, A_long, A_long, float, Vector3,
                                          const RenderContext&, Color&);
template void LookupRefraction<PF_Pixel16>(const PF_Pixel16&, A_long, A_long, float, Vector3,
                                           const RenderContext&, Color&);
template void LookupRefraction<PF_PixelFloat>(const PF_PixelFloat&, A_long, A_long, float, Vector3,
                                              const RenderContext&, Color&);

}  // namespace lumeshade
