// The texture: a UV map read at the pixel's own position gives texture
// coordinates, and the texture map is read there.
#pragma once

#include "AE_Effect.h"
#include "common/color.h"
#include "render/render_context.h"

namespace lumeshade {

// UV Mirror choices.
enum UvMirror : int32_t {
    UV_MIRROR_OFF = 1,
    UV_MIRROR_X = 2,
    UV_MIRROR_Y = 3,
    UV_MIRROR_BOTH = 4,
};

// Sets red, green and blue of `t` to the texel the UV map gives output pixel
// (x, y) (under Display All and Texture, both maps of at least two rows,
// (x, y) inside the UV map). The light loop applies `t`; the accumulated
// colour is not touched. `m` is not used.
template <class Pixel>
void LookupTexture(const Pixel& m, A_long x, A_long y, const RenderContext& ctx, Color& t);

}  // namespace lumeshade
