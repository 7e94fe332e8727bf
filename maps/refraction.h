// The refraction: the refraction map read at the pixel's position displaced
// by its normal, shifted and scaled, then shaped by a Fresnel factor, tint,
// amount and gamma.
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

namespace refraction_detail {

constexpr FresnelShape kRefractionFresnel{1.0f, 1.0f, false};

}  // namespace refraction_detail

// Blends the refraction at layer position (x, y) onto `s` (under Display All
// and Refraction, with a positive amount and a map of at least two rows).
// Of the normal-map pixel `m` only the blue channel is used, by the Fresnel
// factor.
template <class Pixel>
inline void LookupRefraction(const Pixel& m, A_long x, A_long y, float depth, Vector3 n2,
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
                                  Scaled<Pixel>(m.blue), refraction_detail::kRefractionFresnel);
    const Color colour = ShapedColor(k, ScaledColor(*texel), ctx.refractionAmount,
                                     ctx.refractionColor, Quotient(1.0f, ctx.refractionGamma));
    BlendColor(s, ctx.refractionBlend, ctx.refractionAmount, colour, BlendMax(ctx));
}

}  // namespace lumeshade
