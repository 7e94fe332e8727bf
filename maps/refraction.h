// The refraction: the refraction map read at the pixel's position displaced
// by its normal, shifted and scaled, then shaped by a Fresnel factor, tint,
// amount and gamma.
#pragma once

#include "AE_Effect.h"
#include "common/color.h"
#include "common/math3d.h"
#include "render/render_context.h"

namespace lumeshade {

// Blends the refraction at output pixel (x, y) onto `s` (under Display All
// and Refraction, with a positive amount and a map of at least two rows).
// Of the normal-map pixel `m` only the blue channel is used, by the Fresnel
// factor.
template <class Pixel>
void LookupRefraction(const Pixel& m, A_long x, A_long y, float depth, Vector3 n2,
                      const RenderContext& ctx, Color& s);

}  // namespace lumeshade
