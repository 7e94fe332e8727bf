// What the pixel function would otherwise work out again for every pixel:
// values that follow from the controls and the frame alone. Smart render
// prepares them once per frame (PrepareFrame, shading/pixel_pass.h); a
// context whose constants were never prepared is shaded with them worked out
// for each pixel, with the same result.
#pragma once

#include <cstdint>

namespace lumeshade {

// What the light loop does with every light of a pixel: the same for all of
// them, so it is decided once, before the first.
struct LightSteps {
    int32_t maxValue = 1;
    bool diffuse = false;       // the lit colour and its finishing
    bool shadingBlend = false;  // the lit colour combined with the input
    bool textureBlend = false;  // Display All: the texture blended in
    bool textureOnly = false;   // Display Texture: the texture replaces the colour
    bool toon = false;
    bool specular = false;
    bool constantFalloff = false;
    bool unitDiffuse = false;   // Diffuse 1: its powers are their bases
    bool unitGamma = false;     // Gamma 1: likewise
    bool unitSpecular = false;  // Spread 5: likewise
    float exposureOffset = 0.0f;
    float gammaExponent = 1.0f;
    float specularExponent = 1.0f;
};

struct FrameConstants {
    bool prepared = false;
    LightSteps steps;
    // Turns an output position into a full-resolution one (the downsample
    // factor's denominator times its numerator).
    float pixelScaleX = 1.0f;
    float pixelScaleY = 1.0f;
    // The rim light's direction.
    float rimSin = 0.0f;
    float rimCos = 1.0f;
};

}  // namespace lumeshade
