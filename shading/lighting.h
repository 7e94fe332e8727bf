// The lighting arithmetic of the pixel pass: the light loop with its
// per-light steps, and the surface terms that act once per pixel after it.
// Everything works on normalised float colours; the bit depth enters only
// through channelMax, which decides whether the blends clamp.
//
// Normals are in the colour encoding of a normal map (components 0..1, a
// surface facing the viewer is about (0.5, 0.5, 1.0)) and are never
// normalised.
//
// The definitions live in this header so that the pass compiles them into
// its own code: they run once per light and pixel, and a call across files
// would cost more than several of the steps themselves.
#pragma once

#include <algorithm>
#include <cmath>

#include "common/color.h"
#include "common/convert.h"
#include "common/fmath.h"
#include "common/math3d.h"
#include "common/safe_pow.h"
#include "render/render_context.h"
#include "shading/blend.h"
#include "shading/frame_constants.h"

namespace lumeshade {

struct LightLoopInput {
    Vector3 normal;   // N after channel choice, inversion and bump, colour units 0..1
    float px = 0.0f;  // pixel position P in full-resolution layer pixels
    float py = 0.0f;
    float depth = 1.0f;  // from the depth read, 1.0 without a depth map
    Color input;         // Cin, the input pixel normalised to 0..1 (fourth 0)
    Color texture;       // T from the texture lookup (zero when none)
};

// Runs the light loop (lights from lightCount - 1 down to 0) and adds each
// light's colour into `accumulated`.
inline void RunLightLoop(const RenderContext& ctx, const LightLoopInput& in, Color& accumulated);

// The diffuse finishing of one light's colour (Shading on, Display All,
// Diffuse or Bump): colour, ambient multiplier and incandescence.
inline void FinishDiffuse(const RenderContext& ctx, Color& light);

// Toon bands from the diffuse value `f` (Toon on, Display All or Toon,
// positive amount).
inline void ApplyToon(float f, const RenderContext& ctx, Color& light);

// The highlight of light `index` (0 .. lightCount - 1) with its attenuation
// and diffuse value (Specular on, Display All or Specular, positive Spread
// and amount).
inline void ApplySpecular(float att, float f, int index, const RenderContext& ctx, Color& light);

// Surface terms on the accumulated colour, each gated by its switch, its
// amount and the Display choice.
inline void ApplyIncidence(Vector3 n, const RenderContext& ctx, Color& accumulated);
inline void ApplyGradient(Vector3 n, const RenderContext& ctx, Color& accumulated);
// normalMapBlue: the blue channel of the normal-map pixel normalised to 0..1
// (not the decoded nz and not inverted). The pass calls this only while the
// rim light is switched on.
inline void ApplyRimLight(float normalMapBlue, Vector3 n, const RenderContext& ctx,
                          Color& accumulated);

namespace lighting_detail {

constexpr float kPercent = 0.01f;  // light intensities are percentages
constexpr float kDegreesToRadians = 0.017453292f;

enum FalloffMode : int32_t {
    FALLOFF_CONSTANT = 1,
    FALLOFF_LINEAR = 2,
    FALLOFF_QUADRATIC = 3,
    FALLOFF_CUBIC = 4,
};

inline bool ShowsDiffuse(int32_t display) {
    return display == DISPLAY_ALL || display == DISPLAY_DIFFUSE || display == DISPLAY_BUMP;
}

inline bool ShowsTerm(int32_t display, DisplayMode term) {
    return display == DISPLAY_ALL || display == term;
}

// The channel maximum every blend of the lighting is given.
inline int32_t ChannelMaxOf(const RenderContext& ctx) { return TruncToInt(ctx.channelMax); }

// Attenuation of a light at distance `d` from the pixel, for every falloff
// mode but Constant (which attenuates nothing and needs no distance).
inline float Attenuation(float d, const RenderContext& ctx) {
    // lightFalloff is 1 / Falloff, infinite at Falloff 0. At d = 0 the product
    // is 0 for every finite Falloff, and that limit is kept for Falloff 0
    // (0 x infinity would be NaN); anywhere else the infinite reciprocal
    // drives the attenuation to its limit 0.
    const float scaled = d == 0.0f ? 0.0f : d * ctx.lightFalloff;
    // The small offset keeps a light at the pixel finite; it is added in
    // double.
    const double u = static_cast<double>(scaled * 0.01f) + 0.0001;
    float att;
    switch (ctx.lightFalloffMode) {
        case FALLOFF_LINEAR:
            att = static_cast<float>(1.0 / u);
            break;
        case FALLOFF_QUADRATIC:
            att = 1.0f / SquareF(static_cast<float>(u));
            break;
        case FALLOFF_CUBIC:  // the fourth power, as every saved project renders it
            att = 1.0f / PowF(static_cast<float>(u), 4.0f);
            break;
        default:  // the popup offers no other value; treated as no falloff
            att = 1.0f;
            break;
    }
    return att >= 0.0f ? att : 0.0f;  // negative or NaN: no light
}

// Direction towards the light, not yet normalised. Constant falloff ignores
// the pixel position and lights the layer from one fixed direction. The y
// difference runs the other way from the x difference because image rows
// grow downwards.
inline Vector3 LightDirection(Vector3 light, float px, float py, bool constantFalloff) {
    const float halfZ = light.z / 2.0f;
    if (constantFalloff) return {-light.x - halfZ, -light.y - halfZ, -light.z};
    return {light.x - px - halfZ, py - light.y - halfZ, -light.z};
}

// One minus the length of the cross product of the unnormalised normal with
// the unit direction. A zero-length direction (a light exactly at the pixel,
// in its plane) gives 0.
inline float DiffuseValue(Vector3 n, Vector3 direction) {
    const float length = direction.GetMag();
    if (!(length > 0.0f)) return 0.0f;
    direction = direction * (1.0f / length);  // as Normalize does: one reciprocal
    const float f = 1.0f - Cross(n, direction).GetMag();
    return f >= 0.0f ? f : 0.0f;
}

inline Color Scaled(const Color& c, float s) { return {s * c.red, s * c.green, s * c.blue, 0.0f}; }

// One toon colour per channel from the shadow, middle and highlight colours.
template <class Tone>
inline Color ToonColor(const RenderContext& ctx, Tone tone) {
    const Color& s = ctx.toonShadowColor;
    const Color& m = ctx.toonColor;
    const Color& h = ctx.toonHighlightColor;
    return {tone(s.red, m.red, h.red), tone(s.green, m.green, h.green),
            tone(s.blue, m.blue, h.blue), 0.0f};
}

inline bool FinishesDiffuse(const RenderContext& ctx) {
    return ctx.shadingEnabled && ShowsDiffuse(ctx.displayMode);
}

inline bool ToonActs(const RenderContext& ctx) {
    return ctx.toonEnabled && ShowsTerm(ctx.displayMode, DISPLAY_TOON) && ctx.toonAmount > 0.0f;
}

inline bool SpecularActs(const RenderContext& ctx) {
    return ctx.specularEnabled && ShowsTerm(ctx.displayMode, DISPLAY_SPECULAR) &&
           ctx.specularSpread > 0.0f && ctx.specularAmount > 0.0f;
}

inline float SpecularExponent(const RenderContext& ctx) {
    return 1.0f / (ctx.specularSpread * 0.2f);
}

// The diffuse finishing, its switch and Display choice already tested.
// `unitDiffuse`: the Diffuse exponent is 1, so its power is the base.
inline void FinishLit(const RenderContext& ctx, bool unitDiffuse, Color& light) {
    // The Diffuse exponent applies here a second time. The Ambient colour is
    // a multiplier: its default grey 127 times 2 is close to 1.
    const auto finish = [&ctx, unitDiffuse](float c, float color, float ambient,
                                            float incandescence) {
        const float p = unitDiffuse ? NotANumberToZero(c) : SafePowf(c, ctx.shadingDiffuse);
        return p * color * ambient * 2.0f + incandescence;
    };
    light.red = finish(light.red, ctx.shadingColor.red, ctx.shadingAmbient.red,
                       ctx.shadingIncandescence.red);
    light.green = finish(light.green, ctx.shadingColor.green, ctx.shadingAmbient.green,
                         ctx.shadingIncandescence.green);
    light.blue = finish(light.blue, ctx.shadingColor.blue, ctx.shadingAmbient.blue,
                        ctx.shadingIncandescence.blue);
}

// The toon bands, the term's switch, Display choice and amount already
// tested.
inline void ToonBands(float f, const RenderContext& ctx, int32_t maxValue, Color& light) {
    const float x = f;
    const float ws = ctx.toonShadowWidth;
    const float wh = ctx.toonHighlightWidth;
    const float sm = ctx.toonSmoothing;
    const float is = ctx.toonShadowIntensity;
    const float ih = ctx.toonHighlightIntensity;
    const auto fullShadow = [is](float s, float m, float) { return is * s + (1.0f - is) * m; };
    const auto middle = [](float, float m, float) { return m; };

    // Both ramps lie below their threshold: the highlight ramp rises from the
    // middle tone at wh - sm to the full highlight just below wh; the shadow
    // ramp falls from the middle tone just below ws to the full shadow at
    // ws - sm. Their denominators are the differences the thresholds are
    // tested with, so a ramp is never entered with a zero denominator.
    Color tone;
    if (x > ws) {
        if (x > wh) {
            tone =
                ToonColor(ctx, [ih](float, float m, float h) { return (1.0f - ih) * m + ih * h; });
        } else if (x == wh) {
            tone = ToonColor(ctx, middle);
        } else if (x > wh - sm) {
            const float t = (wh - x) / (wh - (wh - sm));
            tone = ToonColor(ctx, [t, ih](float, float m, float h) {
                return ((1.0f - t) * h + t * m - m) * ih + m;
            });
        } else {
            tone = ToonColor(ctx, middle);
        }
    } else if (x == ws) {
        tone = ToonColor(ctx, fullShadow);
    } else if (x > ws - sm) {
        const float t = (ws - x) / (ws - (ws - sm)) * is;
        tone = ToonColor(ctx, [t](float s, float m, float) { return t * s + (1.0f - t) * m; });
    } else {
        tone = ToonColor(ctx, fullShadow);
    }
    BlendColor(light, ctx.toonBlend, ctx.toonAmount, tone, maxValue);
}

// The highlight of light `index` with the exponent 1 / (Spread x 0.2), the
// term's switch, Display choice, Spread and amount already tested. `unit`:
// the exponent is 1 and f is a diffuse value, never NaN, so the power is f.
inline void Highlight(float att, float f, int index, float exponent, bool unit,
                      const RenderContext& ctx, int32_t maxValue, Color& light) {
    const float s = (unit ? f : SafePowf(f, exponent)) * att;
    const Color& color = ctx.lightColor[index];
    const float intensity = ctx.lightIntensity[index];
    // The amount enters twice: in the highlight colour and as the opacity.
    const auto highlight = [&](float specular, float lightChannel) {
        return s * specular * ctx.specularAmount * lightChannel * intensity * kPercent;
    };
    const Color& specular = ctx.specularColor;
    const Color b{highlight(specular.red, color.red), highlight(specular.green, color.green),
                  highlight(specular.blue, color.blue), 0.0f};
    BlendColor(light, ctx.specularBlend, ctx.specularAmount, b, maxValue);
}

inline LightSteps StepsOf(const RenderContext& ctx, int32_t maxValue) {
    LightSteps steps;
    steps.maxValue = maxValue;
    steps.diffuse = FinishesDiffuse(ctx);
    // Normal would only hide the lit colour behind the input at opacity 1,
    // so only the other modes combine the two.
    steps.shadingBlend = ctx.shadingEnabled && ctx.shadingBlend > BLEND_NORMAL;
    steps.textureBlend = ctx.textureEnabled && ctx.displayMode == DISPLAY_ALL;
    steps.textureOnly = ctx.textureEnabled && ctx.displayMode == DISPLAY_TEXTURE;
    steps.toon = ToonActs(ctx);
    steps.specular = SpecularActs(ctx);
    if (steps.specular) steps.specularExponent = SpecularExponent(ctx);
    steps.constantFalloff = ctx.lightFalloffMode == FALLOFF_CONSTANT;
    steps.exposureOffset = ctx.lightExposure - 1.0f;
    steps.gammaExponent = 1.0f / ctx.lightGamma;  // infinite at Gamma 0: see SafePowf
    steps.unitDiffuse = ctx.shadingDiffuse == 1.0f;
    steps.unitGamma = steps.gammaExponent == 1.0f;
    steps.unitSpecular = steps.specularExponent == 1.0f;
    return steps;
}

// The light loop with its steps decided.
inline void LightLoop(const RenderContext& ctx, const LightLoopInput& in, const LightSteps& steps,
                      Color& accumulated) {
    const int32_t count = std::clamp<int32_t>(ctx.lightCount, 0, MAX_LIGHTS);
    const float depthScale = in.depth * ctx.depthMultiplier;

    for (int32_t i = count - 1; i >= 0; --i) {
        Color light{};
        // An ambient light has no position that matters: no direction, so no
        // diffuse value, no attenuation, no toon band and no highlight. It
        // contributes its exposure offset, the diffuse finishing
        // (incandescence) and the blends. Handing toon and specular a made-up
        // value instead (0, say) would paint the toon shadow tone, or a
        // black highlight under blends such as Normal, once per ambient light.
        const bool ambient = ctx.lightType[i] == LIGHT_AMBIENT;
        float att = 0.0f;
        float f = 0.0f;
        if (!ambient) {
            const Vector3 position = ctx.lightPosition[i];
            if (steps.constantFalloff) {
                att = 1.0f;
            } else {
                const Vector3 offset{in.px - position.x, in.py - position.y,
                                     depthScale * position.z};
                att = Attenuation(offset.GetMag(), ctx);
            }
            f = DiffuseValue(in.normal,
                             LightDirection(position, in.px, in.py, steps.constantFalloff));
            if (steps.diffuse) {
                // f is never NaN, so at Diffuse 1 its power is f itself.
                const float powered = steps.unitDiffuse ? f : SafePowf(f, ctx.shadingDiffuse);
                const float lit = powered * att * ctx.lightIntensity[i] * kPercent;
                light =
                    Scaled(ctx.lightColor[i], steps.unitGamma ? NotANumberToZero(lit)
                                                              : SafePowf(lit, steps.gammaExponent));
            }
        }
        light.red += steps.exposureOffset;
        light.green += steps.exposureOffset;
        light.blue += steps.exposureOffset;
        if (steps.diffuse) FinishLit(ctx, steps.unitDiffuse, light);
        if (steps.shadingBlend) BlendColor(light, ctx.shadingBlend, 1.0f, in.input, steps.maxValue);
        if (steps.textureBlend) {
            BlendColor(light, ctx.textureBlend, ctx.textureAmount, in.texture, steps.maxValue);
        } else if (steps.textureOnly) {
            BlendColor(light, BLEND_NORMAL, 1.0f, in.texture, steps.maxValue);
        }
        if (!ambient) {
            if (steps.toon) ToonBands(f, ctx, steps.maxValue, light);
            if (steps.specular) {
                Highlight(att, f, i, steps.specularExponent, steps.unitSpecular, ctx,
                          steps.maxValue, light);
            }
        }
        accumulated.red += light.red;
        accumulated.green += light.green;
        accumulated.blue += light.blue;
        accumulated.fourth += light.fourth;
    }
}

}  // namespace lighting_detail

inline void RunLightLoop(const RenderContext& ctx, const LightLoopInput& in, Color& accumulated) {
    using namespace lighting_detail;
    LightLoop(ctx, in, StepsOf(ctx, ChannelMaxOf(ctx)), accumulated);
}

inline void FinishDiffuse(const RenderContext& ctx, Color& light) {
    if (lighting_detail::FinishesDiffuse(ctx)) lighting_detail::FinishLit(ctx, false, light);
}

inline void ApplyToon(float f, const RenderContext& ctx, Color& light) {
    if (lighting_detail::ToonActs(ctx)) {
        lighting_detail::ToonBands(f, ctx, lighting_detail::ChannelMaxOf(ctx), light);
    }
}

inline void ApplySpecular(float att, float f, int index, const RenderContext& ctx, Color& light) {
    using namespace lighting_detail;
    if (SpecularActs(ctx)) {
        Highlight(att, f, index, SpecularExponent(ctx), false, ctx, ChannelMaxOf(ctx), light);
    }
}

namespace lighting_detail {

// The surface terms with the channel maximum of their blends given.
inline void Incidence(Vector3 n, const RenderContext& ctx, int32_t maxValue, Color& accumulated) {
    if (!ctx.incidenceEnabled || !ShowsTerm(ctx.displayMode, DISPLAY_INCIDENCE) ||
        !(ctx.incidenceAmount > 0.0f)) {
        return;
    }
    // Falloff 0 makes the exponent infinite: see SafePowf.
    const float v = SafePowf(1.0f - n.z, 1.0f / ctx.incidenceFalloff);
    BlendColor(accumulated, ctx.incidenceBlend, ctx.incidenceAmount * 10.0f,
               Scaled(ctx.incidenceColor, v), maxValue);
}

inline void Gradient(Vector3 n, const RenderContext& ctx, int32_t maxValue, Color& accumulated) {
    if (!ctx.gradientEnabled || !ShowsTerm(ctx.displayMode, DISPLAY_GRADIENT) ||
        !(ctx.gradientAmount > 0.0f)) {
        return;
    }
    // Luminance weights applied to the normal's components; the sum and its
    // products with the colour stay in double and are rounded once.
    const double g = 0.21267 * n.x + 0.71516 * n.y + 0.072169 * n.z;
    const Color& color = ctx.gradientColor;
    const Color c{static_cast<float>(g * color.red), static_cast<float>(g * color.green),
                  static_cast<float>(g * color.blue), 0.0f};
    BlendColor(accumulated, ctx.gradientBlend, ctx.gradientAmount, c, maxValue);
}

// The rim light's direction for Angle: its sine and cosine.
inline void RimDirection(const RenderContext& ctx, float& sn, float& cs) {
    const float r = static_cast<float>(ctx.rimLightAngle) * kDegreesToRadians;
    sn = SinF(r);
    cs = CosF(r);
}

inline void RimLight(float normalMapBlue, Vector3 n, const RenderContext& ctx, int32_t maxValue,
                     float sn, float cs, Color& accumulated) {
    if (!ctx.rimLightEnabled || !ShowsTerm(ctx.displayMode, DISPLAY_RIM) ||
        !(ctx.rimLightAmount > 0.0f) || !(ctx.rimLightSize > 0.0f)) {
        return;
    }
    // Edge factor from the stored blue channel: surfaces turned away from the
    // viewer have little blue. The small excess over 1 keeps a blue of
    // exactly 1 from giving a zero base.
    const float e = SafePowf(static_cast<float>(1.001 - static_cast<double>(normalMapBlue)),
                             1.0f / ctx.rimLightSize);
    // How far the normal leans towards the rim direction given by the angle.
    float l = sn > 0.0f ? sn * n.x : -(1.0f - n.x) * sn;
    l = cs > 0.0f ? l + cs * n.y : l - (1.0f - n.y) * cs;
    const float w = SafePowf(l, 5.0f / ctx.rimLightWidth);  // Width 0: see SafePowf
    const float k = ctx.rimLightAmount * (e * w) * 4.0f;
    BlendColor(accumulated, ctx.rimLightBlend, ctx.rimLightAmount, Scaled(ctx.rimLightColor, k),
               maxValue);
}

}  // namespace lighting_detail

inline void ApplyIncidence(Vector3 n, const RenderContext& ctx, Color& accumulated) {
    lighting_detail::Incidence(n, ctx, lighting_detail::ChannelMaxOf(ctx), accumulated);
}

inline void ApplyGradient(Vector3 n, const RenderContext& ctx, Color& accumulated) {
    lighting_detail::Gradient(n, ctx, lighting_detail::ChannelMaxOf(ctx), accumulated);
}

inline void ApplyRimLight(float normalMapBlue, Vector3 n, const RenderContext& ctx,
                          Color& accumulated) {
    float sn = 0.0f, cs = 1.0f;
    lighting_detail::RimDirection(ctx, sn, cs);
    lighting_detail::RimLight(normalMapBlue, n, ctx, lighting_detail::ChannelMaxOf(ctx), sn, cs,
                              accumulated);
}

}  // namespace lumeshade
