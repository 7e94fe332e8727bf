// The thirty blend modes every term of the shading combines with.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "common/color.h"
#include "common/fmath.h"
#include "params/choices.h"

namespace lumeshade {

struct Hsl {
    float hue = 0.0f;  // degrees
    float saturation = 0.0f;
    float lightness = 0.0f;
};

Hsl RgbToHsl(float red, float green, float blue);
Color HslToRgb(float hue, float saturation, float lightness);  // fourth value 0
float HueToChannel(float m1, float m2, float hue);

// The Hue, Saturation, Color and Luminosity modes (26..29) on red, green and
// blue of `a` at opacity t; `b`'s red, green and blue receive the HSL
// colour they mix in.
void BlendHsl(Color& a, int32_t mode, float t, Color& b);

namespace blend_detail {

// The usual blend of one channel: the base weighted by 1 - t, the mode's
// value by t. The opacity is not limited (incidence passes up to 10 x).
inline float Mix(float a, float f, float t) { return a * (1.0f - t) + f * t; }

// Applies `channel(a, b)`, which returns the new base value, to red, green
// and blue. The fourth value is never touched.
template <class Channel>
inline void ForEachChannel(Color& a, const Color& b, Channel channel) {
    a.red = channel(a.red, b.red);
    a.green = channel(a.green, b.green);
    a.blue = channel(a.blue, b.blue);
}

// For the modes whose every channel is Mix(a, F(a, b), t).
template <class Formula>
inline void MixEachChannel(Color& a, const Color& b, float t, Formula formula) {
    ForEachChannel(a, b, [t, formula](float x, float y) { return Mix(x, formula(x, y), t); });
}

// Integer pixels cannot hold values outside 0..1; NaN becomes 0 so that an
// undefined blend shows as black rather than as whatever the conversion
// makes of it.
inline float LimitChannel(float v) {
    if (!(v >= 0.0f)) return 0.0f;
    return v > 1.0f ? 1.0f : v;
}

}  // namespace blend_detail

// Blends `blend` onto `base` in place with the given mode and opacity and
// returns a copy of the result. Each of red, green and blue becomes
// base x (1 - opacity) + F x opacity for the mode's formula F (the HSL modes
// 26..29 work on the whole colour). A mode outside 1..30 leaves the colour
// as it is. When maxValue (the pixel format's channel maximum: 1, 255 or
// 32768) is greater than 1, red, green and blue are then limited to 0..1
// (NaN becomes 0). The fourth value is never changed.
//
// Defined in this header so that the pixel pass compiles it into its own
// loops: it runs up to four times per light and seven more times per pixel,
// and the mode and opacity it is given are the same for a whole frame.
inline Color BlendColor(Color& base, int32_t mode, float opacity, Color blend, int32_t maxValue) {
    using namespace blend_detail;
    const float t = opacity;
    switch (mode) {
        case BLEND_NORMAL:
            MixEachChannel(base, blend, t, [](float, float b) { return b; });
            break;
        case BLEND_AVERAGE:
            MixEachChannel(base, blend, t, [](float a, float b) { return (a + b) * 0.5f; });
            break;
        case BLEND_DARKEN:
            MixEachChannel(base, blend, t, [](float a, float b) { return std::min(a, b); });
            break;
        case BLEND_MULTIPLY:
            MixEachChannel(base, blend, t, [](float a, float b) { return a * b; });
            break;
        case BLEND_COLOR_BURN:
            // A black blend channel leaves the base as it is, whatever the opacity.
            ForEachChannel(base, blend, [t](float a, float b) {
                return b == 0.0f ? a : Mix(a, 1.0f - (1.0f - a) / b, t);
            });
            break;
        case BLEND_INVERSE_COLOR_BURN:
            ForEachChannel(base, blend, [t](float a, float b) {
                return a == 0.0f ? a : Mix(a, 1.0f - (1.0f - b) / a, t);
            });
            break;
        case BLEND_SUBTRACT:
            MixEachChannel(base, blend, t, [](float a, float b) { return a + b - 1.0f; });
            break;
        case BLEND_DARKER:
            // Where the blend is not darker the base keeps its exact value.
            ForEachChannel(base, blend, [t](float a, float b) { return b < a ? Mix(a, b, t) : a; });
            break;
        case BLEND_LIGHTEN:
            MixEachChannel(base, blend, t, [](float a, float b) { return std::max(a, b); });
            break;
        case BLEND_ADD:
            MixEachChannel(base, blend, t, [](float a, float b) { return a + b; });
            break;
        case BLEND_SCREEN:
            MixEachChannel(base, blend, t,
                           [](float a, float b) { return 1.0f - (1.0f - b) * (1.0f - a); });
            break;
        case BLEND_COLOR_DODGE:
            MixEachChannel(base, blend, t, [](float a, float b) { return a / (1.0f - b); });
            break;
        case BLEND_INVERSE_COLOR_DODGE:
            MixEachChannel(base, blend, t, [](float a, float b) { return b / (1.0f - a); });
            break;
        case BLEND_LIGHTER:
            ForEachChannel(base, blend, [t](float a, float b) { return b > a ? Mix(a, b, t) : a; });
            break;
        case BLEND_DIVIDE:
            // Dividing by a black channel saturates to exactly 1, even at opacity 0.
            ForEachChannel(base, blend,
                           [t](float a, float b) { return b == 0.0f ? 1.0f : Mix(a, a / b, t); });
            break;
        case BLEND_OVERLAY:
            // The dark half is a x b, not 2 x a x b: existing renders depend on it.
            MixEachChannel(base, blend, t, [](float a, float b) {
                return a >= 0.5f ? 1.0f - 2.0f * (1.0f - a) * (1.0f - b) : a * b;
            });
            break;
        case BLEND_SOFT_LIGHT:
            MixEachChannel(base, blend, t, [](float a, float b) {
                return b < 0.5f ? SquareF(a) * (1.0f - 2.0f * b) + 2.0f * a * b
                                : std::sqrt(a) * (2.0f * b - 1.0f) + 2.0f * a * (1.0f - b);
            });
            break;
        case BLEND_HARD_LIGHT:
            MixEachChannel(base, blend, t, [](float a, float b) {
                return b < 0.5f ? 2.0f * a * b : 1.0f - 2.0f * (1.0f - a) * (1.0f - b);
            });
            break;
        case BLEND_REFLECT:
            MixEachChannel(base, blend, t, [](float a, float b) {
                return b == 1.0f ? 1.0f : SquareF(a) / (1.0f - b);
            });
            break;
        case BLEND_GLOW:
            MixEachChannel(base, blend, t, [](float a, float b) {
                return a == 1.0f ? 1.0f : SquareF(b) / (1.0f - a);
            });
            break;
        case BLEND_DIFFERENCE:
            MixEachChannel(base, blend, t, [](float a, float b) { return std::fabs(a - b); });
            break;
        case BLEND_EXCLUSION:
            MixEachChannel(base, blend, t, [](float a, float b) { return a + b - 2.0f * a * b; });
            break;
        case BLEND_GRAIN_MERGE:
            MixEachChannel(base, blend, t, [](float a, float b) { return a + b - 0.5f; });
            break;
        case BLEND_EXPONENTIAL_A_B:
            MixEachChannel(base, blend, t, [](float a, float b) { return PowF(a, 1.0f / b); });
            break;
        case BLEND_EXPONENTIAL_B_A:
            MixEachChannel(base, blend, t, [](float a, float b) { return PowF(b, 1.0f / a); });
            break;
        case BLEND_HUE:
        case BLEND_SATURATION:
        case BLEND_COLOR:
        case BLEND_LUMINOSITY:
            BlendHsl(base, mode, t, blend);
            break;
        case BLEND_PHOENIX:
            MixEachChannel(base, blend, t,
                           [](float a, float b) { return std::min(a, b) - std::max(a, b) + 1.0f; });
            break;
        default:  // not a blend mode: the base stays as it is
            break;
    }
    if (maxValue > 1) {
        base.red = LimitChannel(base.red);
        base.green = LimitChannel(base.green);
        base.blue = LimitChannel(base.blue);
    }
    return base;
}

}  // namespace lumeshade
