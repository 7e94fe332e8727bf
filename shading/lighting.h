// The lighting arithmetic of the pixel pass: the light loop with its
// per-light steps, and the surface terms that act once per pixel after it.
// Everything works on normalised float colours; the bit depth enters only
// through channelMax, which decides whether the blends clamp.
//
// Normals are in the colour encoding of a normal map (components 0..1, a
// surface facing the viewer is about (0.5, 0.5, 1.0)) and are never
// normalised.
#pragma once

#include "common/color.h"
#include "common/math3d.h"
#include "render/render_context.h"

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
void RunLightLoop(const RenderContext& ctx, const LightLoopInput& in, Color& accumulated);

// The diffuse finishing of one light's colour (Shading on, Display All,
// Diffuse or Bump): colour, ambient multiplier and incandescence.
void FinishDiffuse(const RenderContext& ctx, Color& light);

// Toon bands from the diffuse value `f` (Toon on, Display All or Toon,
// positive amount).
void ApplyToon(float f, const RenderContext& ctx, Color& light);

// The highlight of light `index` (0 .. lightCount - 1) with its attenuation
// and diffuse value (Specular on, Display All or Specular, positive Spread
// and amount).
void ApplySpecular(float att, float f, int index, const RenderContext& ctx, Color& light);

// Surface terms on the accumulated colour, each gated by its switch, its
// amount and the Display choice.
void ApplyIncidence(Vector3 n, const RenderContext& ctx, Color& accumulated);
void ApplyGradient(Vector3 n, const RenderContext& ctx, Color& accumulated);
// normalMapBlue: the blue channel of the normal-map pixel normalised to 0..1
// (not the decoded nz and not inverted). The pass calls this only while the
// rim light is switched on.
void ApplyRimLight(float normalMapBlue, Vector3 n, const RenderContext& ctx, Color& accumulated);

}  // namespace lumeshade
