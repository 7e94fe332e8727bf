// The map lookups (maps/matcap.h, reflection.h, refraction.h, texture.h,
// bump.h, displacement.h, fresnel.h) and the depth read for every lane of a
// vector, with the same operations in the same order. Each is called only
// when the frame's PassSteps say it acts, so the tests at the top of the
// scalar lookups are not repeated here.
//
// Templates over an instruction set; see common/fmath_lanes.h.
#pragma once

#include <cmath>
#include <cstdint>

#include "maps/bump.h"
#include "maps/displacement.h"
#include "maps/fresnel.h"
#include "maps/map_read_lanes.h"
#include "maps/reflection.h"
#include "maps/refraction.h"
#include "maps/texture.h"
#include "shading/lighting_lanes.h"

namespace lumeshade::lanes {

// What a lookup needs of its pixels besides the context.
template <class V>
struct LookupLanes {
    typename V::I x, y;    // the pixels' positions
    typename V::M active;  // the pixels being shaded
    bool limit;            // the blends limit to 0..1
};

// Blends `colour` onto `s` in the lanes where a map pixel was found.
template <class V>
inline void BlendFound(ColorLanes<V>& s, int32_t mode, float amount, const ColorLanes<V>& colour,
                       typename V::M found, bool limit) {
    ColorLanes<V> blended = s;
    BlendColor<V>(blended, mode, amount, colour, limit, found);
    s = Select<V>(found, blended, s);
}

template <class V, class Pixel>
inline void LookupMatcap(const Vector3Lanes<V>& n, const RenderContext& ctx, bool samples,
                         const LookupLanes<V>& at, ColorLanes<V>& s) {
    using F = typename V::F;
    const PF_EffectWorld& map = *ctx.matcapMap;
    const F w(float(map.width)), h(float(map.height));
    const auto cx = TruncToInt(w * n.x + F(float(ctx.matcapOffsetX)) + F(1.0f));
    const auto cy = TruncToInt(h * (F(1.0f) - n.y) + F(float(ctx.matcapOffsetY)) + F(1.0f));
    const MapRead<V> texel = ReadMap<V, Pixel>(map, ctx.matcapMode, 1, cx, cy, samples,
                                               float(ctx.matcapBlur), ctx.inData, at.active);
    if (!Any(texel.found)) return;
    BlendFound<V>(s, ctx.matcapBlend, ctx.matcapAmount, ScaledColor<V, Pixel>(texel.pixel),
                  texel.found, at.limit);
}

// DisplacedCoordinates.
template <class V>
inline void Displaced(const LookupLanes<V>& at, A_long width, A_long height, typename V::F depth,
                      const Vector3Lanes<V>& n2, float eta, double shiftX, double shiftY,
                      float scale, const PF_InData* in_data, typename V::I& gx, typename V::I& gy) {
    using F = typename V::F;
    using D = typename V::D;
    const float dsx = in_data != nullptr ? DownsampleDenominator(in_data->downsample_x) : 1.0f;
    const float dsy = in_data != nullptr ? DownsampleDenominator(in_data->downsample_y) : 1.0f;
    const F dispX = (F(2.0f) * depth * n2.z * n2.x - F(1.0f)) * F(eta) * F(50.0f) / F(dsx);
    const F dispY = (F(2.0f) * depth * n2.z * n2.y - F(1.0f)) * F(eta) * F(50.0f) / F(dsy);
    const D sumX = ToDouble(at.x) - D(double(width) * 0.5) - D(shiftX) + D(double(width / 2)) -
                   ToDouble(dispX);
    const D sumY = ToDouble(dispY) + ToDouble(at.y) - D(double(height) * 0.5) - D(shiftY) +
                   D(double(height / 2));
    gx = TruncToInt(sumX * D(double(scale)));
    gy = TruncToInt(sumY * D(double(scale)));
}

// FresnelFactor and ShapedColor.
template <class V>
inline ColorLanes<V> Shaped(float fresnel, float fresnelDepth, typename V::F b,
                            const FresnelShape& shape, const ColorLanes<V>& texel, float amount,
                            const Color& tint, float gamma, typename V::M active) {
    using F = typename V::F;
    using D = typename V::D;
    F k(shape.unity);
    if (fresnel != 0.0f) {
        F base;
        float exponent;
        if (fresnelDepth > 0.0f) {
            base = ToFloat(D(1.001) - ToDouble(b));
            exponent = Quotient(shape.exponentNumerator, fresnelDepth);
        } else {
            base = b;
            exponent = std::fabs(Quotient(shape.exponentNumerator, fresnelDepth));
        }
        k = SafePowf<V>(base, exponent, active) * F(fresnel) * F(10.0f);
        if (shape.doubled) k = k * F(2.0f);
    }
    const float inverseGamma = Quotient(1.0f, gamma);
    const F a(amount);
    return {SafePowf<V>(k * texel.red * a * F(tint.red), inverseGamma, active),
            SafePowf<V>(k * texel.green * a * F(tint.green), inverseGamma, active),
            SafePowf<V>(k * texel.blue * a * F(tint.blue), inverseGamma, active)};
}

template <class V, class Pixel>
inline void LookupReflection(typename V::F normalMapBlue, typename V::F depth,
                             const Vector3Lanes<V>& n2, const RenderContext& ctx, bool samples,
                             const LookupLanes<V>& at, ColorLanes<V>& s) {
    using F = typename V::F;
    using D = typename V::D;
    const PF_EffectWorld& map = *ctx.environmentMap;
    typename V::I gx, gy;
    if (ctx.reflectionEnvironmentMode == ENVIRONMENT_SPHERICAL) {
        const F seam(ctx.reflectionSeam);
        const F spanX = (F(1.0f) - n2.z * n2.x * depth) * seam * F(float(map.width - 1));
        const F spanY = n2.z * n2.y * depth * seam * F(float(map.height - 1));
        const double turnX = double(map.width - 1) * (1.0 / 360.0) * double(ctx.reflectionAzimuth);
        const double turnY =
            double(map.height - 1) * (1.0 / 360.0) * double(ctx.reflectionInclination);
        gx = TruncToInt(ToDouble(spanX) + D(turnX));
        gy = TruncToInt(D(turnY) + ToDouble(spanY));
    } else {
        Displaced<V>(at, map.width, map.height, depth, n2, ctx.reflectionIndexOfRefraction,
                     double(ctx.reflectionAzimuth), double(ctx.reflectionInclination),
                     ctx.reflectionSeam, ctx.inData, gx, gy);
    }
    const MapRead<V> texel =
        ReadMap<V, Pixel>(map, ctx.reflectionTileMode, 0, SaturatingSub<V>(map.width, gx),
                          SaturatingSub<V>(map.height, gy), samples, float(ctx.reflectionBlur),
                          ctx.inData, at.active);
    if (!Any(texel.found)) return;
    const ColorLanes<V> colour =
        Shaped<V>(ctx.reflectionFresnel, ctx.reflectionFresnelDepth, normalMapBlue,
                  reflection_detail::kReflectionFresnel, ScaledColor<V, Pixel>(texel.pixel),
                  ctx.reflectionAmount, ctx.reflectionColor, ctx.reflectionGamma, texel.found);
    BlendFound<V>(s, ctx.reflectionBlend, ctx.reflectionAmount, colour, texel.found, at.limit);
}

template <class V, class Pixel>
inline void LookupRefraction(typename V::F normalMapBlue, typename V::F depth,
                             const Vector3Lanes<V>& n2, const RenderContext& ctx, bool samples,
                             const LookupLanes<V>& at, ColorLanes<V>& s) {
    const PF_EffectWorld& map = *ctx.refractionMap;
    typename V::I gx, gy;
    Displaced<V>(at, map.width, map.height, depth, n2, ctx.refractionIndexOfRefraction,
                 double(ctx.refractionOffsetX), double(ctx.refractionOffsetY), ctx.refractionScale,
                 ctx.inData, gx, gy);
    const MapRead<V> texel = ReadMap<V, Pixel>(map, ctx.refractionTileMode, 0, gx, gy, samples,
                                               float(ctx.refractionBlur), ctx.inData, at.active);
    if (!Any(texel.found)) return;
    const ColorLanes<V> colour =
        Shaped<V>(ctx.refractionFresnel, ctx.refractionFresnelDepth, normalMapBlue,
                  refraction_detail::kRefractionFresnel, ScaledColor<V, Pixel>(texel.pixel),
                  ctx.refractionAmount, ctx.refractionColor, ctx.refractionGamma, texel.found);
    BlendFound<V>(s, ctx.refractionBlend, ctx.refractionAmount, colour, texel.found, at.limit);
}

// LookupTexture: `t` starts at zero and takes the texel where one is found.
template <class V, class Pixel>
inline void LookupTexture(const RenderContext& ctx, bool samples, const LookupLanes<V>& at,
                          ColorLanes<V>& t) {
    using F = typename V::F;
    using I = typename V::I;
    const PF_EffectWorld& uvMap = *ctx.uvMap;
    const PF_EffectWorld& texture = *ctx.textureMap;
    // The UV map is read at the pixel's own position, unstretched.
    const auto inside = at.active & (at.x >= I(0)) & (at.x < I(uvMap.width)) & (at.y >= I(0)) &
                        (at.y < I(uvMap.height));
    if (!Any(inside)) return;
    const PixelLanes<V> uv = Fetch<V, Pixel>(uvMap, at.x, at.y, inside);
    F u = Scaled<V, Pixel>(uv.red);
    F v = F(1.0f) - Scaled<V, Pixel>(uv.green);
    if (ctx.textureUvMirror == UV_MIRROR_X || ctx.textureUvMirror == UV_MIRROR_BOTH) {
        u = F(1.0f) - u;
    }
    if (ctx.textureUvMirror == UV_MIRROR_Y || ctx.textureUvMirror == UV_MIRROR_BOTH) {
        v = F(1.0f) - v;
    }
    const F tw(float(texture.width)), th(float(texture.height));
    const auto cx = TruncToInt(tw * u + F(float(ctx.textureOffsetX)) + F(1.0f));
    const auto cy = TruncToInt(th * v - F(float(ctx.textureOffsetY)) + F(1.0f));
    const MapRead<V> texel = ReadMap<V, Pixel>(texture, ctx.textureTileMode, 1, cx, cy, samples,
                                               float(ctx.textureFilter), ctx.inData, inside);
    if (!Any(texel.found)) return;
    BlendFound<V>(t, BLEND_NORMAL, 1.0f, ScaledColor<V, Pixel>(texel.pixel), texel.found, at.limit);
}

// ApplyBump.
template <class V, class Pixel>
inline void ApplyBump(const RenderContext& ctx, bool samples, const LookupLanes<V>& at,
                      Vector3Lanes<V>& n, Vector3Lanes<V>& n2) {
    using F = typename V::F;
    using D = typename V::D;
    const PF_EffectWorld& map = *ctx.bumpMap;
    const float q = ctx.bumpScale;
    // Position plus offset, exactly (both fit a double), then to float.
    const F ox = ToFloat(ToDouble(at.x) + D(double(ctx.bumpOffsetX)));
    const F oy = ToFloat(ToDouble(at.y) + D(double(ctx.bumpOffsetY)));
    const auto gx = TruncToInt(ox * F(q));
    const auto gy = TruncToInt(oy * F(q));
    const MapRead<V> texel = ReadMap<V, Pixel>(map, ctx.bumpTileMode, 0, gx, gy, samples,
                                               float(ctx.bumpFilter), ctx.inData, at.active);
    if (!Any(texel.found)) return;
    const PixelLanes<V>& p = texel.pixel;
    const auto grey = (p.red == p.green) & (p.blue == p.green);
    const F dx = Select(grey, F(1.0f), Signed<V, Pixel>(p.red));
    const F dy = Select(grey, F(1.0f), Signed<V, Pixel>(p.green));
    const F dz = Signed<V, Pixel>(p.blue);
    const F i(ctx.bumpIntensity);
    const F k(float(double(ctx.bumpIntensity) * (1.0 / 3.0)));
    const auto found = texel.found;
    n = {Select(found, n.x + i * dx, n.x), Select(found, n.y + i * dy, n.y),
         Select(found, n.z + i * dz, n.z)};
    n2 = {Select(found, n2.x + i * dx * k, n2.x), Select(found, n2.y + i * dy * k, n2.y),
          Select(found, n2.z + i * dz * k, n2.z)};
}

}  // namespace lumeshade::lanes
