// The layer controls smart render checks out as maps, each with the context
// member that points at it.
#pragma once

#include "AE_Effect.h"
#include "params/param_ids.h"
#include "render/render_context.h"

namespace lumeshade {

struct MapLayer {
    ParamId id;
    PF_EffectWorld* RenderContext::*member;
};

// In the order they are checked out.
inline constexpr MapLayer kMapLayers[] = {
    {PARAM_NORMAL_MAP, &RenderContext::normalMap},
    {PARAM_ALPHA_MAP, &RenderContext::alphaMap},
    {PARAM_DEPTH_MAP, &RenderContext::depthMap},
    {PARAM_MATCAP_MAP, &RenderContext::matcapMap},
    {PARAM_REFLECTION_ENVIRONMENT_MAP, &RenderContext::environmentMap},
    {PARAM_REFRACTION_MAP, &RenderContext::refractionMap},
    {PARAM_BUMP_MAP, &RenderContext::bumpMap},
    {PARAM_TEXTURE_MAP, &RenderContext::textureMap},
    {PARAM_TEXTURE_UV_MAP, &RenderContext::uvMap},
};

}  // namespace lumeshade
