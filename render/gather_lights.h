// The composition's lights, copied into the render context's light tables.
#pragma once

#include "AE_Effect.h"
#include "AE_GeneralPlug.h"
#include "params/param_ids.h"
#include "render/render_context.h"
#include "shell/host_suites.h"

namespace lumeshade {

// Walks the composition's layers from the bottom of the stack to the top and
// stores every light the Lights controls select (Render, Enable invisible
// lights) into entries 0, 1, ... of the light tables. Lights selected beyond
// MAX_LIGHTS are ignored. Returns the first host error; the entries stored
// before it stay in the context.
A_Err GatherLights(PF_InData* in_data, HostSuites& suites, AEGP_CompH comp, A_long numLayers,
                   const A_Time& compTime, RenderContext& ctx);

// The controls light gathering reads for itself (each light is tested
// against them), which the render context therefore does not hold.
inline constexpr ParamId kGatheredControls[] = {PARAM_LIGHTS_ENABLE_INVISIBLE_LIGHTS,
                                                PARAM_LIGHTS_RENDER};

// The light-type code of a host light type.
int32_t LightTypeCode(AEGP_LightType type);

// Whether a light named `name` (a zero-terminated buffer of
// AEGP_MAX_LAYER_NAME_SIZE bytes) is selected by the Render popup's choice.
bool LightSelected(int32_t renderChoice, const char* name);

}  // namespace lumeshade
