// What a frame takes from the host besides the controls: the layer's size
// at the render's resolution, and the composition's camera and lights.
#pragma once

#include "AE_Effect.h"
#include "render/render_context.h"
#include "shell/host_suites.h"

namespace lumeshade {

// The layer's size at the render's resolution: each axis scaled by its
// downsample factor where the host gives one (a zero denominator leaves
// that axis at full size rather than dividing by it).
void SetLayerSize(const PF_InData* in_data, RenderContext& ctx);

// Reads the effect's composition and composition time, the camera position
// ((x, y, -z) of the camera layer, or (0.5, 0.5, 1) without a camera) and,
// when a term that uses lights is on, the lights. Returns the first host
// error; the caller ends the frame with it.
A_Err ReadScene(PF_InData* in_data, HostSuites& suites, RenderContext& ctx);

}  // namespace lumeshade
