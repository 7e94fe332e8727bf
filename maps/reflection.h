// The environment reflection: the environment map read by the normal alone
// (Spherical) or by the pixel's position displaced by the normal
// (Panorama), shaped by a Fresnel factor, tint, amount and gamma.
//
// Defined in the header so that the pixel pass compiles the lookup into its
// own code.
#pragma once

#include "AE_Effect.h"
#include "common/color.h"
#include "common/math3d.h"
#include "maps/displacement.h"
#include "maps/fresnel.h"
#include "maps/map_read.h"
#include "render/render_context.h"
#include "shading/blend.h"

namespace lumeshade {

// Environment modes.
enum EnvironmentMode : int32_t {
    ENVIRONMENT_SPHERICAL = 1,
    ENVIRONMENT_PANORAMA = 2,
};

namespace reflection_detail {

constexpr FresnelShape kReflectionFresnel{5.0f, 2.0f, true};

// The normal's tilt spread over the whole map, turned by azimuth and
// inclination (in degrees, one turn across the map).
inline MapCoordinates SphericalCoordinates(A_long width, A_long height, float depth, Vector3 n2,
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

}  // namespace reflection_detail

// Blends the reflection at layer position (x, y) onto `s` (under Display All
// and Reflection, with a positive amount and an environment of at least two
// rows). `n2` is the reflection normal, `depth` the pixel's depth; of the
// normal-map pixel `m` only the blue channel is used, by the Fresnel factor.
template <class Pixel>
inline void LookupReflection(const Pixel& m, A_long x, A_long y, float depth, Vector3 n2,
                             const RenderContext& ctx, Color& s) {
    const PF_EffectWorld* map = ctx.environmentMap;
    if (!(ctx.reflectionAmount > 0.0f) || !HasRows(map, 2) ||
        !Shows(ctx.displayMode, DISPLAY_REFLECTION)) {
        return;
    }
    const MapCoordinates g =
        ctx.reflectionEnvironmentMode == ENVIRONMENT_SPHERICAL
            ? reflection_detail::SphericalCoordinates(map->width, map->height, depth, n2, ctx)
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
                                  Scaled<Pixel>(m.blue), reflection_detail::kReflectionFresnel);
    const Color colour = ShapedColor(k, ScaledColor(*texel), ctx.reflectionAmount,
                                     ctx.reflectionColor, Quotient(1.0f, ctx.reflectionGamma));
    BlendColor(s, ctx.reflectionBlend, ctx.reflectionAmount, colour, BlendMax(ctx));
}

}  // namespace lumeshade
