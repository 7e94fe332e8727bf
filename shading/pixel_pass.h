// The per-pixel shading pass, written once over the pixel type. The three
// functions the host iterates (shade_pixel.h) are its instantiations.
#pragma once

#include "AE_Effect.h"
#include "common/math3d.h"
#include "render/render_context.h"

namespace lumeshade {

// The map pixel (column, row) that layer position (x, y) (LayerPositionOf)
// reads when `map` is stretched over the layer: the nearest pixel, rounded
// down and pulled back to the map's edge. A position that is not a number (a
// layer one pixel wide or high) resolves to 0.
struct MapPosition {
    A_long column = 0;
    A_long row = 0;
};
MapPosition MapPositionOf(const PF_EffectWorld& map, A_long x, A_long y, const RenderContext& ctx);

// The normal-map pixel at layer position `at` (ctx.normalMap has at least
// one row). A chosen normal map is stretched over the layer like every map
// layer; without one the input's own buffer stands in, which lies in the
// layer at its origin and is read at the same position, limited to the
// buffer.
MapPosition NormalMapPositionOf(const RenderContext& ctx, LayerPoint at);

// The normal's components chosen by the X, Y and Z channel popups, before
// inversion, in the pixel's own range (Full is the channel maximum, None 0).
template <class Pixel>
Vector3 SelectNormalChannels(const Pixel& m, const RenderContext& ctx);

// The depth at layer position (x, y): 1.0 without a depth map (and for a
// channel choice that names no channel), else the chosen channel divided by
// the Gamma control, inverted unless Invert is on.
template <class Pixel>
float ReadDepth(A_long x, A_long y, const RenderContext& ctx);

// Shades one pixel; returns 0 or a host error code and never throws.
template <class Pixel>
PF_Err ShadePixel(void* refcon, A_long x, A_long y, Pixel* in, Pixel* out);

}  // namespace lumeshade
