// The thirty blend modes every term of the shading combines with.
#pragma once

#include <cstdint>

#include "common/color.h"

namespace lumeshade {

// Blend mode numbers, shared by every "Blend" popup and "Transfer Mode".
enum BlendMode : int32_t {
    BLEND_NORMAL = 1,
    BLEND_AVERAGE,
    BLEND_DARKEN,
    BLEND_MULTIPLY,
    BLEND_COLOR_BURN,
    BLEND_INVERSE_COLOR_BURN,
    BLEND_SUBTRACT,
    BLEND_DARKER,
    BLEND_LIGHTEN,
    BLEND_ADD,
    BLEND_SCREEN,
    BLEND_COLOR_DODGE,
    BLEND_INVERSE_COLOR_DODGE,
    BLEND_LIGHTER,
    BLEND_DIVIDE,
    BLEND_OVERLAY,
    BLEND_SOFT_LIGHT,
    BLEND_HARD_LIGHT,
    BLEND_REFLECT,
    BLEND_GLOW,
    BLEND_DIFFERENCE,
    BLEND_EXCLUSION,
    BLEND_GRAIN_MERGE,
    BLEND_EXPONENTIAL_A_B,
    BLEND_EXPONENTIAL_B_A,
    BLEND_HUE,
    BLEND_SATURATION,
    BLEND_COLOR,
    BLEND_LUMINOSITY,
    BLEND_PHOENIX,
};

// Blends `blend` onto `base` in place with the given mode and opacity and
// returns a copy of the result. Each of red, green and blue becomes
// base x (1 - opacity) + F x opacity for the mode's formula F (the HSL modes
// 26..29 work on the whole colour). A mode outside 1..30 leaves the colour
// as it is. When maxValue (the pixel format's channel maximum: 1, 255 or
// 32768) is greater than 1, red, green and blue are then limited to 0..1
// (NaN becomes 0). The fourth value is never changed.
Color BlendColor(Color& base, int32_t mode, float opacity, Color blend, int32_t maxValue);

struct Hsl {
    float hue = 0.0f;  // degrees
    float saturation = 0.0f;
    float lightness = 0.0f;
};

Hsl RgbToHsl(float red, float green, float blue);
Color HslToRgb(float hue, float saturation, float lightness);  // fourth value 0
float HueToChannel(float m1, float m2, float hue);

}  // namespace lumeshade
