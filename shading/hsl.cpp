// RGB <-> HSL conversion for the Hue, Saturation, Color and Luminosity blends.
#include "shading/blend.h"

namespace lumeshade {
namespace {

constexpr float kOneSixtieth = 0.016666668f;  // the float nearest to 1/60

// Limits to lo..hi; a value not above lo (NaN included) becomes lo.
inline float Limit(float v, float lo, float hi) {
    if (!(v > lo)) return lo;
    return v > hi ? hi : v;
}

}  // namespace

Hsl RgbToHsl(float red, float green, float blue) {
    const float r = Limit(red, 0.0f, 1.0f);
    const float g = Limit(green, 0.0f, 1.0f);
    const float b = Limit(blue, 0.0f, 1.0f);
    float mn = r;
    if (g < mn) mn = g;
    if (b < mn) mn = b;
    // Red enters the maximum unlimited, so an over-bright red in float
    // rendering raises the lightness beyond what the limited channels allow.
    float mx = red;
    if (g > mx) mx = g;
    if (b > mx) mx = b;

    Hsl hsl;
    hsl.lightness = (mx + mn) * 0.5f;
    if (mx == mn) return hsl;  // grey: hue and saturation 0

    hsl.saturation = hsl.lightness < 0.5f ? (mx - mn) / (mx + mn) : (mx - mn) / (2.0f - (mx + mn));
    // The distances to the maximum use the unlimited channels.
    const float k = 1.0f / (mx - mn);
    const float dr = (mx - red) * k;
    const float dg = (mx - green) * k;
    const float db = (mx - blue) * k;
    float hue;
    if (red == mx) {
        hue = (6.0f + db - dg) * 60.0f;
    } else if (green == mx) {
        hue = (2.0f + dr - db) * 60.0f;
    } else {
        hue = (4.0f + dg - dr) * 60.0f;
    }
    // Only a hue above 360 is reduced: pure red stays at 360.
    if (hue > 360.0f) hue -= 360.0f;
    hsl.hue = hue;
    return hsl;
}

Color HslToRgb(float hue, float saturation, float lightness) {
    const float h = Limit(hue, 0.0f, 360.0f);
    const float s = Limit(saturation, 0.0f, 1.0f);
    const float l = Limit(lightness, 0.0f, 1.0f);
    const float m2 = l <= 0.5f ? l * (1.0f + s) : l + s - l * s;
    const float m1 = 2.0f * l - m2;
    Color rgb;
    if (s == 0.0f) {
        rgb.red = rgb.green = rgb.blue = l;
        return rgb;
    }
    rgb.red = HueToChannel(m1, m2, h + 120.0f);
    rgb.green = HueToChannel(m1, m2, h);
    rgb.blue = HueToChannel(m1, m2, h - 120.0f);
    return rgb;
}

float HueToChannel(float m1, float m2, float hue) {
    if (hue > 360.0f) hue -= 360.0f;
    if (hue < 0.0f) hue += 360.0f;
    if (hue < 60.0f) return m1 + (m2 - m1) * hue * kOneSixtieth;
    if (hue < 180.0f) return m2;
    if (hue < 240.0f) return m1 + (m2 - m1) * (240.0f - hue) * kOneSixtieth;
    return m1;
}

}  // namespace lumeshade
