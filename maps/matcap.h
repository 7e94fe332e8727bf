// The matcap: a picture of a lit sphere, addressed by the normal's X and Y.
#pragma once

#include "AE_Effect.h"
#include "common/color.h"
#include "common/math3d.h"
#include "render/render_context.h"

namespace lumeshade {

// Blends the matcap texel under normal `n` onto `s` (under Display All and
// Matcap, with a positive amount and a matcap of at least two rows). The
// normal-map pixel `m` is not used.
template <class Pixel>
void LookupMatcap(const Pixel& m, Vector3 n, const RenderContext& ctx, Color& s);

}  // namespace lumeshade
