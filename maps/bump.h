// The bump: a map read at the pixel's position, offset and scaled, whose
// colour tilts the pixel's normals.
//
// Defined in the header so that the pixel pass compiles the lookup into its
// own code.
#pragma once

#include "AE_Effect.h"
#include "common/math3d.h"
#include "maps/map_read.h"
#include "render/render_context.h"

namespace lumeshade {

namespace bump_detail {

// Position plus offset, exactly: both are 32-bit, their sum may not be.
inline float OffsetPosition(A_long position, int32_t offset) {
    return static_cast<float>(static_cast<int64_t>(position) + offset);
}

}  // namespace bump_detail

// Perturbs the normal `n` and the reflection normal `n2` of the pixel at
// layer position (x, y) by the bump-map pixel there (under Display All and Bump, with a
// non-zero intensity, a positive scale and a bump map of at least one row).
// `n2` moves by intensity^2 / 3 of what `n` moves. `m` is not used.
template <class Pixel>
inline void ApplyBump(const Pixel&, const RenderContext& ctx, A_long x, A_long y, Vector3& n,
                      Vector3& n2) {
    const PF_EffectWorld* map = ctx.bumpMap;
    const float intensity = ctx.bumpIntensity;
    const float q = ctx.bumpScale;  // 1 / Scale: infinite at Scale 0, which still acts
    if (!Shows(ctx.displayMode, DISPLAY_BUMP) || !(q > 0.0f) || !HasRows(map, 1) ||
        intensity == 0.0f) {
        return;
    }
    // Scale 2 spreads each bump pixel over two layer pixels; the offset is
    // in layer pixels.
    const int32_t gx = TruncToInt(bump_detail::OffsetPosition(x, ctx.bumpOffsetX) * q);
    const int32_t gy = TruncToInt(bump_detail::OffsetPosition(y, ctx.bumpOffsetY) * q);
    // Threshold 2: Filter Off (radius 2) never filters.
    const auto texel =
        ReadMap<Pixel>(*map, ctx.bumpTileMode, 0, gx, gy, ctx.bumpFilter, 2, ctx.inData);
    if (!texel) return;

    // A grey pixel (equal raw channels) tilts X and Y by the full intensity;
    // any other pixel tilts them by its red and green as signed values.
    const bool grey = texel->red == texel->green && texel->blue == texel->green;
    const float dx = grey ? 1.0f : Signed<Pixel>(texel->red);
    const float dy = grey ? 1.0f : Signed<Pixel>(texel->green);
    const float dz = Signed<Pixel>(texel->blue);

    n = n + Vector3{intensity * dx, intensity * dy, intensity * dz};
    const float k = static_cast<float>(static_cast<double>(intensity) * (1.0 / 3.0));
    n2 = n2 + Vector3{intensity * dx * k, intensity * dy * k, intensity * dz * k};
}

}  // namespace lumeshade
