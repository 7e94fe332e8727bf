#include "shading/lighting.h"

#include <algorithm>
#include <cmath>

#include "common/convert.h"
#include "common/safe_pow.h"
#include "shading/blend.h"

namespace lumeshade {
namespace {

constexpr float kPercent = 0.01f;  // light intensities are percentages
constexpr float kDegreesToRadians = 0.017453292f;

enum FalloffMode : int32_t {
    FALLOFF_CONSTANT = 1,
    FALLOFF_LINEAR = 2,
    FALLOFF_QUADRATIC = 3,
    FALLOFF_CUBIC = 4,
};

bool ShowsDiffuse(int32_t display) {
    return display == DISPLAY_ALL || display == DISPLAY_DIFFUSE || display == DISPLAY_BUMP;
}

bool Shows(int32_t display, DisplayMode term) { return display == DISPLAY_ALL || display == term; }

int32_t BlendMax(const RenderContext& ctx) { return TruncToInt(ctx.channelMax); }

// Attenuation of a light at distance `d` from the pixel.
float Attenuation(float d, const RenderContext& ctx) {
    if (ctx.lightFalloffMode == FALLOFF_CONSTANT) return 1.0f;
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
            att = 1.0f / std::pow(static_cast<float>(u), 2.0f);
            break;
        case FALLOFF_CUBIC:  // the fourth power, as every saved project renders it
            att = 1.0f / std::pow(static_cast<float>(u), 4.0f);
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
Vector3 LightDirection(Vector3 light, float px, float py, int32_t falloffMode) {
    const float halfZ = light.z / 2.0f;
    if (falloffMode == FALLOFF_CONSTANT) return {-light.x - halfZ, -light.y - halfZ, -light.z};
    return {light.x - px - halfZ, py - light.y - halfZ, -light.z};
}

// One minus the length of the cross product of the unnormalised normal with
// the unit direction. A zero-length direction (a light exactly at the pixel,
// in its plane) gives 0.
float DiffuseValue(Vector3 n, Vector3 direction) {
    const float length = direction.GetMag();
    if (!(length > 0.0f)) return 0.0f;
    direction = direction * (1.0f / length);  // as Normalize does: one reciprocal
    const float f = 1.0f - Cross(n, direction).GetMag();
    return f >= 0.0f ? f : 0.0f;
}

Color Scaled(const Color& c, float s) { return {s * c.red, s * c.green, s * c.blue, 0.0f}; }

// One toon colour per channel from the shadow, middle and highlight colours.
template <class Tone>
Color ToonColor(const RenderContext& ctx, Tone tone) {
    const Color& s = ctx.toonShadowColor;
    const Color& m = ctx.toonColor;
    const Color& h = ctx.toonHighlightColor;
    return {tone(s.red, m.red, h.red), tone(s.green, m.green, h.green),
            tone(s.blue, m.blue, h.blue), 0.0f};
}

}  // namespace

void RunLightLoop(const RenderContext& ctx, const LightLoopInput& in, Color& accumulated) {
    const int32_t maxValue = BlendMax(ctx);
    const bool diffuseShown = ctx.shadingEnabled && ShowsDiffuse(ctx.displayMode);
    const float exposureOffset = ctx.lightExposure - 1.0f;
    const float gammaExponent = 1.0f / ctx.lightGamma;  // infinite at Gamma 0: see SafePowf
    const int32_t count = std::clamp(ctx.lightCount, 0, MAX_LIGHTS);

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
            const Vector3 offset{in.px - position.x, in.py - position.y,
                                 in.depth * ctx.depthMultiplier * position.z};
            att = Attenuation(offset.GetMag(), ctx);
            f = DiffuseValue(in.normal,
                             LightDirection(position, in.px, in.py, ctx.lightFalloffMode));
            if (diffuseShown) {
                const float lit =
                    SafePowf(f, ctx.shadingDiffuse) * att * ctx.lightIntensity[i] * kPercent;
                light = Scaled(ctx.lightColor[i], SafePowf(lit, gammaExponent));
            }
        }
        light.red += exposureOffset;
        light.green += exposureOffset;
        light.blue += exposureOffset;
        FinishDiffuse(ctx, light);
        // Normal would only hide the lit colour behind the input at opacity
        // 1, so only the other modes combine the two.
        if (ctx.shadingEnabled && ctx.shadingBlend > BLEND_NORMAL) {
            BlendColor(light, ctx.shadingBlend, 1.0f, in.input, maxValue);
        }
        if (ctx.textureEnabled) {
            if (ctx.displayMode == DISPLAY_ALL) {
                BlendColor(light, ctx.textureBlend, ctx.textureAmount, in.texture, maxValue);
            } else if (ctx.displayMode == DISPLAY_TEXTURE) {
                BlendColor(light, BLEND_NORMAL, 1.0f, in.texture, maxValue);
            }
        }
        if (!ambient) {
            ApplyToon(f, ctx, light);
            ApplySpecular(att, f, i, ctx, light);
        }
        accumulated.red += light.red;
        accumulated.green += light.green;
        accumulated.blue += light.blue;
        accumulated.fourth += light.fourth;
    }
}

void FinishDiffuse(const RenderContext& ctx, Color& light) {
    if (!ctx.shadingEnabled || !ShowsDiffuse(ctx.displayMode)) return;
    // The Diffuse exponent applies here a second time. The Ambient colour is
    // a multiplier: its default grey 127 times 2 is close to 1.
    const auto finish = [&ctx](float c, float color, float ambient, float incandescence) {
        return SafePowf(c, ctx.shadingDiffuse) * color * ambient * 2.0f + incandescence;
    };
    light.red = finish(light.red, ctx.shadingColor.red, ctx.shadingAmbient.red,
                       ctx.shadingIncandescence.red);
    light.green = finish(light.green, ctx.shadingColor.green, ctx.shadingAmbient.green,
                         ctx.shadingIncandescence.green);
    light.blue = finish(light.blue, ctx.shadingColor.blue, ctx.shadingAmbient.blue,
                        ctx.shadingIncandescence.blue);
}

void ApplyToon(float f, const RenderContext& ctx, Color& light) {
    if (!ctx.toonEnabled || !Shows(ctx.displayMode, DISPLAY_TOON) || !(ctx.toonAmount > 0.0f)) {
        return;
    }
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
    BlendColor(light, ctx.toonBlend, ctx.toonAmount, tone, BlendMax(ctx));
}

void ApplySpecular(float att, float f, int index, const RenderContext& ctx, Color& light) {
    if (!ctx.specularEnabled || !Shows(ctx.displayMode, DISPLAY_SPECULAR) ||
        !(ctx.specularSpread > 0.0f) || !(ctx.specularAmount > 0.0f)) {
        return;
    }
    const float s = SafePowf(f, 1.0f / (ctx.specularSpread * 0.2f)) * att;
    const Color& color = ctx.lightColor[index];
    const float intensity = ctx.lightIntensity[index];
    // The amount enters twice: in the highlight colour and as the opacity.
    const auto highlight = [&](float specular, float lightChannel) {
        return s * specular * ctx.specularAmount * lightChannel * intensity * kPercent;
    };
    const Color& specular = ctx.specularColor;
    const Color b{highlight(specular.red, color.red), highlight(specular.green, color.green),
                  highlight(specular.blue, color.blue), 0.0f};
    BlendColor(light, ctx.specularBlend, ctx.specularAmount, b, BlendMax(ctx));
}

void ApplyIncidence(Vector3 n, const RenderContext& ctx, Color& accumulated) {
    if (!ctx.incidenceEnabled || !Shows(ctx.displayMode, DISPLAY_INCIDENCE) ||
        !(ctx.incidenceAmount > 0.0f)) {
        return;
    }
    // Falloff 0 makes the exponent infinite: see SafePowf.
    const float v = SafePowf(1.0f - n.z, 1.0f / ctx.incidenceFalloff);
    BlendColor(accumulated, ctx.incidenceBlend, ctx.incidenceAmount * 10.0f,
               Scaled(ctx.incidenceColor, v), BlendMax(ctx));
}

void ApplyGradient(Vector3 n, const RenderContext& ctx, Color& accumulated) {
    if (!ctx.gradientEnabled || !Shows(ctx.displayMode, DISPLAY_GRADIENT) ||
        !(ctx.gradientAmount > 0.0f)) {
        return;
    }
    // Luminance weights applied to the normal's components; the sum and its
    // products with the colour stay in double and are rounded once.
    const double g = 0.21267 * n.x + 0.71516 * n.y + 0.072169 * n.z;
    const Color& color = ctx.gradientColor;
    const Color c{static_cast<float>(g * color.red), static_cast<float>(g * color.green),
                  static_cast<float>(g * color.blue), 0.0f};
    BlendColor(accumulated, ctx.gradientBlend, ctx.gradientAmount, c, BlendMax(ctx));
}

void ApplyRimLight(float normalMapBlue, Vector3 n, const RenderContext& ctx, Color& accumulated) {
    if (!ctx.rimLightEnabled || !Shows(ctx.displayMode, DISPLAY_RIM) ||
        !(ctx.rimLightAmount > 0.0f) || !(ctx.rimLightSize > 0.0f)) {
        return;
    }
    // Edge factor from the stored blue channel: surfaces turned away from the
    // viewer have little blue. The small excess over 1 keeps a blue of
    // exactly 1 from giving a zero base.
    const float e = SafePowf(static_cast<float>(1.001 - static_cast<double>(normalMapBlue)),
                             1.0f / ctx.rimLightSize);
    // How far the normal leans towards the rim direction given by the angle.
    const float r = static_cast<float>(ctx.rimLightAngle) * kDegreesToRadians;
    const float sn = std::sin(r);
    const float cs = std::cos(r);
    float l = sn > 0.0f ? sn * n.x : -(1.0f - n.x) * sn;
    l = cs > 0.0f ? l + cs * n.y : l - (1.0f - n.y) * cs;
    const float w = SafePowf(l, 5.0f / ctx.rimLightWidth);  // Width 0: see SafePowf
    const float k = ctx.rimLightAmount * (e * w) * 4.0f;
    BlendColor(accumulated, ctx.rimLightBlend, ctx.rimLightAmount, Scaled(ctx.rimLightColor, k),
               BlendMax(ctx));
}

}  // namespace lumeshade
