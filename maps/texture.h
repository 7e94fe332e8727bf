// The texture: a UV map read at the pixel's own position gives texture
// coordinates, and the texture map is read there.
//
// Defined in the header so that the pixel pass compiles the lookup into its
// own code.
#pragma once

#include "AE_Effect.h"
#include "common/color.h"
#include "maps/map_read.h"
#include "render/render_context.h"
#include "shading/blend.h"

namespace lumeshade {

// UV Mirror choices.
enum UvMirror : int32_t {
    UV_MIRROR_OFF = 1,
    UV_MIRROR_X = 2,
    UV_MIRROR_Y = 3,
    UV_MIRROR_BOTH = 4,
};

// Sets red, green and blue of `t` to the texel the UV map gives layer
// position (x, y) (under Display All and Texture, both maps of at least two rows,
// (x, y) inside the UV map). The light loop applies `t`; the accumulated
// colour is not touched. `m` is not used.
template <class Pixel>
inline void LookupTexture(const Pixel&, A_long x, A_long y, const RenderContext& ctx, Color& t) {
    const PF_EffectWorld* uvMap = ctx.uvMap;
    const PF_EffectWorld* texture = ctx.textureMap;
    if (!Shows(ctx.displayMode, DISPLAY_TEXTURE) || !HasRows(texture, 2) || !HasRows(uvMap, 2)) {
        return;
    }
    // The UV map is not stretched over the layer: it is read at the pixel's
    // own position in the layer, never filtered.
    if (x < 0 || x >= uvMap->width || y < 0 || y >= uvMap->height) return;
    const Pixel& uv = PixelAt<Pixel>(*uvMap, x, y);
    float u = Scaled<Pixel>(uv.red);
    float v = 1.0f - Scaled<Pixel>(uv.green);
    if (ctx.textureUvMirror == UV_MIRROR_X || ctx.textureUvMirror == UV_MIRROR_BOTH) u = 1.0f - u;
    if (ctx.textureUvMirror == UV_MIRROR_Y || ctx.textureUvMirror == UV_MIRROR_BOTH) v = 1.0f - v;

    const float tw = static_cast<float>(texture->width);
    const float th = static_cast<float>(texture->height);
    // The Y offset is subtracted: it moves the texture up the picture.
    const int32_t cx = TruncToInt(tw * u + static_cast<float>(ctx.textureOffsetX) + 1.0f);
    const int32_t cy = TruncToInt(th * v - static_cast<float>(ctx.textureOffsetY) + 1.0f);
    const auto texel =
        ReadMap<Pixel>(*texture, ctx.textureTileMode, 1, cx, cy, ctx.textureFilter, 1, ctx.inData);
    if (!texel) return;
    BlendColor(t, BLEND_NORMAL, 1.0f, ScaledColor(*texel), BlendMax(ctx));
}

}  // namespace lumeshade
