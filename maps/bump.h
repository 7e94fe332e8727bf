// The bump: a map read at the pixel's position, offset and scaled, whose
// colour tilts the pixel's normals.
#pragma once

#include "AE_Effect.h"
#include "common/math3d.h"
#include "render/render_context.h"

namespace lumeshade {

// Perturbs the normal `n` and the reflection normal `n2` of output pixel
// (x, y) by the bump-map pixel there (under Display All and Bump, with a
// non-zero intensity, a positive scale and a bump map of at least one row).
// `n2` moves by intensity^2 / 3 of what `n` moves. `m` is not used.
template <class Pixel>
void ApplyBump(const Pixel& m, const RenderContext& ctx, A_long x, A_long y, Vector3& n,
               Vector3& n2);

}  // namespace lumeshade
