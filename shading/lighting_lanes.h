// The light loop and the surface terms of shading/lighting.h for every lane
// of a vector, with the same operations in the same order. What is the same
// for every pixel of the frame (the steps of the loop, each light's
// position, colour and kind) stays a scalar and is decided once; only the
// pixel's own values run in lanes.
//
// Templates over an instruction set; see common/fmath_lanes.h.
#pragma once

#include <cstdint>

#include "common/fmath_lanes.h"
#include "shading/blend_lanes.h"
#include "shading/lighting.h"

namespace lumeshade::lanes {

template <class V>
struct Vector3Lanes {
    typename V::F x, y, z;
};

template <class V>
inline typename V::F Magnitude(typename V::F x, typename V::F y, typename V::F z) {
    return Sqrt(x * x + y * y + z * z);
}

template <class V>
inline ColorLanes<V> Scaled(const Color& c, typename V::F s) {
    return {s * typename V::F(c.red), s * typename V::F(c.green), s * typename V::F(c.blue)};
}

// lighting_detail::Attenuation for every falloff mode but Constant.
template <class V>
inline typename V::F Attenuation(typename V::F d, const RenderContext& ctx, typename V::M active) {
    using F = typename V::F;
    using D = typename V::D;
    const F scaled = Select(d == F(0.0f), F(0.0f), d * F(ctx.lightFalloff));
    const D u = ToDouble(scaled * F(0.01f)) + D(0.0001);
    F att;
    switch (ctx.lightFalloffMode) {
        case FALLOFF_LINEAR:
            att = ToFloat(D(1.0) / u);
            break;
        case FALLOFF_QUADRATIC:
            att = F(1.0f) / SquareF<V>(ToFloat(u));
            break;
        case FALLOFF_CUBIC:
            att = F(1.0f) / PowF<V>(ToFloat(u), F(4.0f), active);
            break;
        default:
            att = F(1.0f);
            break;
    }
    return Select(att >= F(0.0f), att, F(0.0f));
}

// lighting_detail::DiffuseValue.
template <class V>
inline typename V::F DiffuseValue(const Vector3Lanes<V>& n, Vector3Lanes<V> d) {
    using F = typename V::F;
    const F length = Magnitude<V>(d.x, d.y, d.z);
    const F inverse = F(1.0f) / length;
    d = {d.x * inverse, d.y * inverse, d.z * inverse};
    const F cx = n.y * d.z - n.z * d.y;
    const F cy = n.z * d.x - n.x * d.z;
    const F cz = n.x * d.y - n.y * d.x;
    const F f = F(1.0f) - Magnitude<V>(cx, cy, cz);
    return Select(length > F(0.0f), Select(f >= F(0.0f), f, F(0.0f)), F(0.0f));
}

template <class V>
inline void FinishLit(const RenderContext& ctx, bool unitDiffuse, ColorLanes<V>& light,
                      typename V::M active) {
    using F = typename V::F;
    const auto finish = [&](F c, float color, float ambient, float incandescence) {
        const F p =
            unitDiffuse ? NotANumberToZero<V>(c) : SafePowf<V>(c, ctx.shadingDiffuse, active);
        return p * F(color) * F(ambient) * F(2.0f) + F(incandescence);
    };
    light.red = finish(light.red, ctx.shadingColor.red, ctx.shadingAmbient.red,
                       ctx.shadingIncandescence.red);
    light.green = finish(light.green, ctx.shadingColor.green, ctx.shadingAmbient.green,
                         ctx.shadingIncandescence.green);
    light.blue = finish(light.blue, ctx.shadingColor.blue, ctx.shadingAmbient.blue,
                        ctx.shadingIncandescence.blue);
}

// lighting_detail::ToonBands: every band's tone worked out, the lane's band
// chosen by the same tests in the same order.
template <class V>
inline void ToonBands(typename V::F x, const RenderContext& ctx, bool limit, ColorLanes<V>& light,
                      typename V::M active) {
    using F = typename V::F;
    const float ws = ctx.toonShadowWidth;
    const float wh = ctx.toonHighlightWidth;
    const float sm = ctx.toonSmoothing;
    const float is = ctx.toonShadowIntensity;
    const float ih = ctx.toonHighlightIntensity;
    const F tHigh = (F(wh) - x) / F(wh - (wh - sm));
    const F tShadow = (F(ws) - x) / F(ws - (ws - sm)) * F(is);
    const auto above = x > F(ws);
    const auto aboveHigh = x > F(wh);
    const auto atHigh = x == F(wh);
    const auto inHighRamp = x > F(wh - sm);
    const auto atShadow = x == F(ws);
    const auto inShadowRamp = x > F(ws - sm);
    const auto tone = [&](float s, float m, float h) {
        const F full = F((1.0f - ih) * m + ih * h);
        const F shadow = F(is * s + (1.0f - is) * m);
        const F highRamp = ((F(1.0f) - tHigh) * F(h) + tHigh * F(m) - F(m)) * F(ih) + F(m);
        const F shadowRamp = tShadow * F(s) + (F(1.0f) - tShadow) * F(m);
        const F whenAbove =
            Select(aboveHigh, full, Select(atHigh, F(m), Select(inHighRamp, highRamp, F(m))));
        const F whenBelow = Select(atShadow, shadow, Select(inShadowRamp, shadowRamp, shadow));
        return Select(above, whenAbove, whenBelow);
    };
    const Color& s = ctx.toonShadowColor;
    const Color& m = ctx.toonColor;
    const Color& h = ctx.toonHighlightColor;
    const ColorLanes<V> bands{tone(s.red, m.red, h.red), tone(s.green, m.green, h.green),
                              tone(s.blue, m.blue, h.blue)};
    BlendColor<V>(light, ctx.toonBlend, ctx.toonAmount, bands, limit, active);
}

// lighting_detail::Highlight.
template <class V>
inline void Highlight(typename V::F att, typename V::F f, int index, const LightSteps& steps,
                      const RenderContext& ctx, bool limit, ColorLanes<V>& light,
                      typename V::M active) {
    using F = typename V::F;
    const F s = (steps.unitSpecular ? f : SafePowf<V>(f, steps.specularExponent, active)) * att;
    const Color& color = ctx.lightColor[index];
    const F intensity(ctx.lightIntensity[index]);
    const F amount(ctx.specularAmount);
    const auto highlight = [&](float specular, float lightChannel) {
        return s * F(specular) * amount * F(lightChannel) * intensity *
               F(lighting_detail::kPercent);
    };
    const Color& specular = ctx.specularColor;
    const ColorLanes<V> b{highlight(specular.red, color.red),
                          highlight(specular.green, color.green),
                          highlight(specular.blue, color.blue)};
    BlendColor<V>(light, ctx.specularBlend, ctx.specularAmount, b, limit, active);
}

// One light of lighting_detail::LightLoop: light `i`'s colour for the
// lanes, added into `accumulated`. The kernel runs the lights from the last
// to the first, as the loop does, each over a run of pixels. `in` hands out
// the pixels' values as the light needs them: N (normal()), P (px(), py()),
// the depth, Cin (input()) and T (texture()), so that nothing is loaded that
// the light does not use.
template <class V, class Pixels>
inline void AddLight(const RenderContext& ctx, int32_t i, const Pixels& in, const LightSteps& steps,
                     ColorLanes<V>& accumulated, typename V::M active) {
    using F = typename V::F;
    const bool limit = steps.maxValue > 1;
    ColorLanes<V> light{F(0.0f), F(0.0f), F(0.0f)};
    const bool ambient = ctx.lightType[i] == LIGHT_AMBIENT;
    F att(0.0f);
    F f(0.0f);
    if (!ambient) {
        const Vector3 position = ctx.lightPosition[i];
        if (steps.constantFalloff) {
            att = F(1.0f);
        } else {
            const F ox = in.px() - F(position.x);
            const F oy = in.py() - F(position.y);
            const F oz = in.depth() * F(ctx.depthMultiplier) * F(position.z);
            att = Attenuation<V>(Magnitude<V>(ox, oy, oz), ctx, active);
        }
        const float halfZ = position.z / 2.0f;
        Vector3Lanes<V> direction;
        if (steps.constantFalloff) {
            direction = {F(-position.x - halfZ), F(-position.y - halfZ), F(-position.z)};
        } else {
            direction = {F(position.x) - in.px() - F(halfZ), in.py() - F(position.y) - F(halfZ),
                         F(-position.z)};
        }
        f = DiffuseValue<V>(in.normal(), direction);
        if (steps.diffuse) {
            const F powered = steps.unitDiffuse ? f : SafePowf<V>(f, ctx.shadingDiffuse, active);
            const F lit = powered * att * F(ctx.lightIntensity[i]) * F(lighting_detail::kPercent);
            light = Scaled<V>(ctx.lightColor[i],
                              steps.unitGamma ? NotANumberToZero<V>(lit)
                                              : SafePowf<V>(lit, steps.gammaExponent, active));
        }
    }
    const F exposure(steps.exposureOffset);
    light.red = light.red + exposure;
    light.green = light.green + exposure;
    light.blue = light.blue + exposure;
    if (steps.diffuse) FinishLit<V>(ctx, steps.unitDiffuse, light, active);
    if (steps.shadingBlend) BlendColor<V>(light, ctx.shadingBlend, 1.0f, in.input(), limit, active);
    if (steps.textureBlend) {
        BlendColor<V>(light, ctx.textureBlend, ctx.textureAmount, in.texture(), limit, active);
    } else if (steps.textureOnly) {
        BlendColor<V>(light, BLEND_NORMAL, 1.0f, in.texture(), limit, active);
    }
    if (!ambient) {
        if (steps.toon) ToonBands<V>(f, ctx, limit, light, active);
        if (steps.specular) Highlight<V>(att, f, i, steps, ctx, limit, light, active);
    }
    accumulated.red = accumulated.red + light.red;
    accumulated.green = accumulated.green + light.green;
    accumulated.blue = accumulated.blue + light.blue;
}

// lighting_detail::Incidence, Gradient and RimLight, their switches, Display
// choices and amounts already tested.
template <class V>
inline void Incidence(const Vector3Lanes<V>& n, const RenderContext& ctx, bool limit,
                      ColorLanes<V>& accumulated, typename V::M active) {
    using F = typename V::F;
    const F v = SafePowf<V>(F(1.0f) - n.z, 1.0f / ctx.incidenceFalloff, active);
    BlendColor<V>(accumulated, ctx.incidenceBlend, ctx.incidenceAmount * 10.0f,
                  Scaled<V>(ctx.incidenceColor, v), limit, active);
}

template <class V>
inline void Gradient(const Vector3Lanes<V>& n, const RenderContext& ctx, bool limit,
                     ColorLanes<V>& accumulated, typename V::M active) {
    using D = typename V::D;
    const D g =
        D(0.21267) * ToDouble(n.x) + D(0.71516) * ToDouble(n.y) + D(0.072169) * ToDouble(n.z);
    const Color& color = ctx.gradientColor;
    const ColorLanes<V> c{ToFloat(g * D(double(color.red))), ToFloat(g * D(double(color.green))),
                          ToFloat(g * D(double(color.blue)))};
    BlendColor<V>(accumulated, ctx.gradientBlend, ctx.gradientAmount, c, limit, active);
}

template <class V>
inline void RimLight(typename V::F normalMapBlue, const Vector3Lanes<V>& n,
                     const RenderContext& ctx, float sn, float cs, bool limit,
                     ColorLanes<V>& accumulated, typename V::M active) {
    using F = typename V::F;
    using D = typename V::D;
    const F e =
        SafePowf<V>(ToFloat(D(1.001) - ToDouble(normalMapBlue)), 1.0f / ctx.rimLightSize, active);
    F l = sn > 0.0f ? F(sn) * n.x : -(F(1.0f) - n.x) * F(sn);
    l = cs > 0.0f ? l + F(cs) * n.y : l - (F(1.0f) - n.y) * F(cs);
    const F w = SafePowf<V>(l, 5.0f / ctx.rimLightWidth, active);
    const F k = F(ctx.rimLightAmount) * (e * w) * F(4.0f);
    BlendColor<V>(accumulated, ctx.rimLightBlend, ctx.rimLightAmount,
                  Scaled<V>(ctx.rimLightColor, k), limit, active);
}

}  // namespace lumeshade::lanes
