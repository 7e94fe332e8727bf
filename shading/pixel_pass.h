// The per-pixel shading pass, written once over the pixel type. The three
// functions the host iterates (shade_pixel.h) are its instantiations.
#pragma once

#include "AE_Effect.h"
#include "common/math3d.h"
#include "render/render_context.h"

namespace lumeshade {

// The map pixel (column, row) that output pixel (x, y) reads when `map` is
// stretched over the layer: the nearest pixel, rounded down and pulled back
// to the map's edge. A position that is not a number (a layer one pixel wide
// or high) resolves to 0.
struct MapPosition {
    A_long column = 0;
    A_long row = 0;
};
MapPosition MapPositionOf(const PF_EffectWorld& map, A_long x, A_long y, const RenderContext& ctx);

// The normal's components chosen by the X, Y and Z channel popups, before
// inversion, in the pixel's own range (Full is the channel maximum, None 0).
template <class Pixel>
Vector3 SelectNormalChannels(const Pixel& m, const RenderContext& ctx);

// The depth of output pixel (x, y): 1.0 without a depth map (and for a
// channel choice that names no channel), else the chosen channel divided by
// the Gamma control, inverted unless Invert is on.
template <class Pixel>
float ReadDepth(A_long x, A_long y, const RenderContext& ctx);

// Shades one pixel; returns 0 or a host error code and never throws.
template <class Pixel>
PF_Err ShadePixel(void* refcon, A_long x, A_long y, Pixel* in, Pixel* out);

}  // namespace lumeshade
