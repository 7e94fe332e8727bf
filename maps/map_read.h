// The read every map lookup shares: tile the coordinates, fetch the pixel
// directly or through the host's area sampler, and scale its channels.
#pragma once

#include <cstdint>
#include <optional>

#include "AE_Effect.h"
#include "common/color.h"
#include "common/convert.h"
#include "common/pixel_traits.h"
#include "maps/sample_area.h"
#include "maps/tile_index.h"
#include "render/render_context.h"

namespace lumeshade {

// Whether a map world holds pixels a lookup may address: a layer is chosen
// (data), it has at least `minRows` rows and at least one column.
inline bool HasRows(const PF_EffectWorld* map, A_long minRows) {
    return map != nullptr && map->data != nullptr && map->height >= minRows && map->width >= 1;
}

// Filtering costs a host call per pixel; it is done only when the lookup's
// radius passes its threshold and the host renders at high quality.
inline bool Filters(int32_t radius, int32_t threshold, const PF_InData* in_data) {
    return radius > threshold && in_data != nullptr && in_data->quality == PF_Quality_HI;
}

// Tiles (cx, cy) into `map` and fetches that pixel. `trim` is taken off the
// width and height before tiling: the matcap and the texture address their
// map with its width and height minus one, so their last column and row are
// never read (and a map one pixel wide or high yields nothing). The indices
// that come back always lie inside the map, so the fetch cannot leave it.
template <class Pixel>
std::optional<Pixel> ReadMap(const PF_EffectWorld& map, int32_t mode, int32_t trim, int32_t cx,
                             int32_t cy, int32_t radius, int32_t threshold,
                             const PF_InData* in_data) {
    const int32_t ix = TileIndex(mode, SaturatingSub(map.width, trim), cx);
    const int32_t iy = TileIndex(mode, SaturatingSub(map.height, trim), cy);
    if (ix == NO_PIXEL || iy == NO_PIXEL) return std::nullopt;
    if (Filters(radius, threshold, in_data)) {
        return SampleArea<Pixel>(map, ix, iy, static_cast<float>(radius), in_data);
    }
    return PixelAt<Pixel>(map, ix, iy);
}

// A channel scaled to 0..1 by the format's maximum (8-bit by the float
// constant 0.003921569, 16-bit by 2^-15, float unchanged). Nothing is
// clamped: a 16-bit channel above 32768 gives more than 1.
template <class Pixel>
inline float Scaled(typename PixelTraits<Pixel>::Channel v) {
    return static_cast<float>(v) * PixelTraits<Pixel>::kScale;
}

template <class Pixel>
inline Color ScaledColor(const Pixel& p) {
    return {Scaled<Pixel>(p.red), Scaled<Pixel>(p.green), Scaled<Pixel>(p.blue), 0.0f};
}

// A channel as a signed value: (2v - max) / max, so that half the maximum
// is 0 (for float 2v - 1).
template <class Pixel>
inline float Signed(typename PixelTraits<Pixel>::Channel v) {
    using Traits = PixelTraits<Pixel>;
    if constexpr (Traits::kIsFloat) {
        return 2.0f * v - 1.0f;
    } else {
        return static_cast<float>(2 * static_cast<int32_t>(v) - Traits::kMaxInt) * Traits::kScale;
    }
}

// Whether the render shows a lookup: under All and under its own Display
// choice.
inline bool Shows(int32_t displayMode, DisplayMode own) {
    return displayMode == DISPLAY_ALL || displayMode == own;
}

// The channel maximum the blends of a lookup are given.
inline int32_t BlendMax(const RenderContext& ctx) { return TruncToInt(ctx.channelMax); }

}  // namespace lumeshade
