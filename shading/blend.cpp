#include "shading/blend.h"

namespace lumeshade {

// Luminosity takes the same components as Color (hue and saturation of the
// blend colour, lightness of the base): existing projects render that way.
void BlendHsl(Color& a, int32_t mode, float t, Color& b) {
    const Hsl base = RgbToHsl(a.red, a.green, a.blue);
    const Hsl over = RgbToHsl(b.red, b.green, b.blue);
    Hsl mixed{over.hue, over.saturation, base.lightness};
    if (mode == BLEND_HUE) {
        mixed.saturation = base.saturation;
    } else if (mode == BLEND_SATURATION) {
        mixed.hue = base.hue;
    }
    const Color rgb = HslToRgb(mixed.hue, mixed.saturation, mixed.lightness);
    b.red = rgb.red;
    b.green = rgb.green;
    b.blue = rgb.blue;
    a.red = t * b.red + (1.0f - t) * a.red;
    a.green = t * b.green + (1.0f - t) * a.green;
    a.blue = t * b.blue + (1.0f - t) * a.blue;
}

}  // namespace lumeshade
