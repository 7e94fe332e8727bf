// What the pixel function would otherwise work out again for every pixel:
// values that follow from the controls and the frame alone, and where the
// frame's buffers lie in the layer. Smart render prepares them once per
// frame (PrepareFrame, shading/pixel_pass.h); a context whose constants were
// never prepared is shaded with them worked out for each pixel, with the
// same result.
#pragma once

#include <cstdint>

#include "common/convert.h"

namespace lumeshade {

// Where a render's buffers lie in the layer. When the host asks for part of
// the layer, the output it hands out holds only that rectangle and the input
// it checks out that rectangle or a little more; each buffer's pixel (0, 0)
// lies at the buffer's origin in the layer (at the render's resolution), and
// the host iterates positions within the output buffer. A pixel's value must
// depend on where it is in the layer, never on which part was asked for, so
// the pass turns every output position into a layer position first. Smart
// render sets this from the buffers it is handed; for a whole layer every
// origin is 0.
struct BufferPlacement {
    int32_t outputOriginX = 0;
    int32_t outputOriginY = 0;
    int32_t inputOriginX = 0;
    int32_t inputOriginY = 0;
    // No normal map is chosen and the input's own buffer stands in: it lies
    // in the layer at its origin and is read at the pixel's own position,
    // not stretched over the layer as a map layer is.
    bool normalMapIsInput = false;
};

// A position in the layer, in pixels at the render's resolution.
struct LayerPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// Output pixel (x, y) as a position in the layer. Origins come from the
// host; a sum beyond 32 bits saturates (and then lies outside every map).
inline LayerPoint LayerPositionOf(const BufferPlacement& p, int32_t x, int32_t y) {
    return {SaturatingAdd(x, p.outputOriginX), SaturatingAdd(y, p.outputOriginY)};
}

// A layer position as a position in the input buffer (which may lie outside
// it: the caller limits it).
inline LayerPoint InputPositionOf(const BufferPlacement& p, LayerPoint at) {
    return {SaturatingSub(at.x, p.inputOriginX), SaturatingSub(at.y, p.inputOriginY)};
}

// Where the input pixel at an output pixel's place lies in the input buffer,
// relative to that output pixel's position in the output buffer.
inline LayerPoint InputOffsetOf(const BufferPlacement& p) {
    return {SaturatingSub(p.outputOriginX, p.inputOriginX),
            SaturatingSub(p.outputOriginY, p.inputOriginY)};
}

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
    bool normalIsInput = false;  // each pixel's normal-map pixel is its input pixel
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
    // Set by smart render, not worked out from the controls: preparing the
    // frame keeps it as it is.
    BufferPlacement placement;
    LightSteps steps;
    PassSteps pass;
    // Turns a layer position into a full-resolution one (the downsample
    // factor's denominator times its numerator).
    float pixelScaleX = 1.0f;
    float pixelScaleY = 1.0f;
    // The rim light's direction.
    float rimSin = 0.0f;
    float rimCos = 1.0f;
};

}  // namespace lumeshade
