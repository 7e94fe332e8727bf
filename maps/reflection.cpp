#include "maps/reflection.h"

#include "maps/displacement.h"
#include "maps/fresnel.h"
#include "maps/map_read.h"
#include "shading/blend.h"

namespace lumeshade {
namespace {

constexpr FresnelShape kReflectionFresnel{5.0f, 2.0f, true};

// The normal's tilt spread over the whole map, turned by azimuth and
// inclination (in degrees, one turn across the map).
MapCoordinates SphericalCoordinates(A_long width, A_long height, float depth, Vector3 n2,
                                    const RenderContext& ctx) {
    const float seam = ctx.reflectionSeam;
    const float spanX = (1.0f - n2.z * n2.x * depth) * seam * static_cast<float>(width - 1);
    const float spanY = n2.z * n2.y * depth * seam * static_cast<float>(height - 1);
    const double turnX =
        static_cast<double>(width - 1) * (1.0 / 360.0) * static_cast<double>(ctx.reflectionAzimuth);
    const double turnY = static_cast<double>(height - 1) * (1.0 / 360.0) *
                         static_cast<double>(ctx.reflectionInclination);
    return {TruncToInt(static_cast<double>(spanX) + turnX),
            TruncToInt(turnY + static_cast<double>(spanY))};
}

}  // namespace

template <class Pixel>
void LookupReflection(const Pixel& m, A_long x, A_long y, float depth, Vector3 n2,
                      const RenderContext& ctx, Color& s) {
    const PF_EffectWorld* map = ctx.environmentMap;
    if (!(ctx.reflectionAmount > 0.0f) || !HasRows(map, 2) ||
        !Shows(ctx.displayMode, DISPLAY_REFLECTION)) {
        return;
    }
    const MapCoordinates g =
        ctx.reflectionEnvironmentMode == ENVIRONMENT_SPHERICAL
            ? SphericalCoordinates(map->width, map->height, depth, n2, ctx)
            : DisplacedCoordinates(x, y, map->width, map->height, depth, n2,
                                   ctx.reflectionIndexOfRefraction, ctx.reflectionAzimuth,
                                   ctx.reflectionInclination, ctx.reflectionSeam, ctx.inData);
    // The environment is read from its far edges inward. Saturating keeps
    // an unrepresentable coordinate (which arrives as the most negative
    // integer) from wrapping around.
    const auto texel =
        ReadMap<Pixel>(*map, ctx.reflectionTileMode, 0, SaturatingSub(map->width, g.x),
                       SaturatingSub(map->height, g.y), ctx.reflectionBlur, 1, ctx.inData);
    if (!texel) return;

    const float k = FresnelFactor(ctx.reflectionFresnel, ctx.reflectionFresnelDepth,
                                  Scaled<Pixel>(m.blue), kReflectionFresnel);
    const Color colour = ShapedColor(k, ScaledColor(*texel), ctx.reflectionAmount,
                                     ctx.reflectionColor, Quotient(1.0f, ctx.reflectionGamma));
    BlendColor(s, ctx.reflectionBlend, ctx.reflectionAmount, colour, BlendMax(ctx));
}

template void LookupReflection<PF_Pixel8>(const PF_Pixel8&, A_long, A_long, float, Vector3,
                                          const RenderContext&, Color&);
template void LookupReflection<PF_Pixel16>(const PF_Pixel16&, A_long, A_long, float, Vector3,
                                           const RenderContext&, Color&);
template void LookupReflection<PF_PixelFloat>(const PF_PixelFloat&, A_long, A_long, float, Vector3,
                                              const RenderContext&, Color&);

}  // namespace lumeshade
