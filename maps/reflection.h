// The environment reflection: the environment map read by the normal alone
// (Spherical) or by the pixel's position displaced by the normal
// (Panorama), shaped by a Fresnel factor, tint, amount and gamma.
#pragma once

#include "AE_Effect.h"
#include "common/color.h"
#include "common/math3d.h"
#include "render/render_context.h"

namespace lumeshade {

// Environment modes.
enum EnvironmentMode : int32_t {
    ENVIRONMENT_SPHERICAL = 1,
    ENVIRONMENT_PANORAMA = 2,
};

// Blends the reflection at output pixel (x, y) onto `s` (under Display All
// and Reflection, with a positive amount and an environment of at least two
// rows). `n2` is the reflection normal, `depth` the pixel's depth; of the
// normal-map pixel `m` only the blue channel is used, by the Fresnel factor.
template <class Pixel>
void LookupReflection(const Pixel& m, A_long x, A_long y, float depth, Vector3 n2,
                      const RenderContext& ctx, Color& s);

}  // namespace lumeshade
