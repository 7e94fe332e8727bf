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

// What the pass does with every pixel, decided from the controls, the
// Display choice and the maps: the row kernels (shading/row_kernels.h)
// branch on these once per run of pixels, never per pixel or per lane.
struct PassSteps {
    bool lightLoop = false;   // the Display choice runs the light loop
    bool texture = false;     // the texture lookup feeds the light loop
    bool bump = false;        // the bump map tilts the normals
    bool incidence = false;   // each surface term and lookup acts
    bool gradient = false;
    bool rimLight = false;
    bool matcap = false;
    bool reflection = false;
    bool refraction = false;
    bool alphaMap = false;    // an alpha map gives the coverage
    bool normalIsInput = false;  // the normal map is the input, unstretched
    bool limit = false;       // integer pixels: blends and the result keep to 0..1
    bool transfer = false;    // the result is blended with the input
    // Reads that go through the host's area sampler, a call per pixel.
    bool preBlurSamples = false;
    bool textureSamples = false;
    bool bumpSamples = false;
    bool matcapSamples = false;
    bool reflectionSamples = false;
    bool refractionSamples = false;
    // The stretch of the alpha, normal and depth maps over the layer:
    // (map size - 1) / (layer size - 1), as MapPositionOf works it out.
    float alphaRatioX = 0.0f, alphaRatioY = 0.0f;
    float normalRatioX = 0.0f, normalRatioY = 0.0f;
    float depthRatioX = 0.0f, depthRatioY = 0.0f;
};

struct FrameConstants {
    bool prepared = false;
    LightSteps steps;
    PassSteps pass;
    // Turns an output position into a full-resolution one (the downsample
    // factor's denominator times its numerator).
    float pixelScaleX = 1.0f;
    float pixelScaleY = 1.0f;
    // The rim light's direction.
    float rimSin = 0.0f;
    float rimCos = 1.0f;
};

}  // namespace lumeshade
