#include "render/scene.h"

#include <cstring>

#include "AE_GeneralPlug.h"
#include "render/gather_lights.h"

namespace lumeshade {

void SetLayerSize(const PF_InData* in_data, RenderContext& ctx) {
    const PF_RationalScale& dx = in_data->downsample_x;
    const PF_RationalScale& dy = in_data->downsample_y;
    ctx.layerWidth = float(in_data->width);
    ctx.layerHeight = float(in_data->height);
    if (dx.den != 0) ctx.layerWidth *= float(dx.num) / float(dx.den);
    if (dy.den != 0) ctx.layerHeight *= float(dy.num) / float(dy.den);
}

A_Err ReadScene(PF_InData* in_data, HostSuites& suites, RenderContext& ctx) {
    const AEGP_PFInterfaceSuite1& pfi = suites.PFInterface();

    AEGP_LayerH effectLayer = nullptr;
    AEGP_CompH comp = nullptr;
    A_Time compTime = {0, 1};
    A_Err err = pfi.AEGP_GetEffectLayer(in_data->effect_ref, &effectLayer);
    if (!err) err = suites.Layer().AEGP_GetLayerParentComp(effectLayer, &comp);
    if (!err) {
        err = pfi.AEGP_ConvertEffectToCompTime(in_data->effect_ref, in_data->current_time,
                                               in_data->time_scale, &compTime);
    }

    ctx.lightCount = 0;
    A_long numLayers = 0;
    AEGP_LayerH camera = nullptr;
    if (!err) err = suites.Layer().AEGP_GetCompNumLayers(comp, &numLayers);
    if (!err) err = pfi.AEGP_GetEffectCamera(in_data->effect_ref, &compTime, &camera);
    if (!err) {
        if (camera != nullptr) {
            AEGP_StreamVal position;
            std::memset(&position, 0, sizeof position);
            err = suites.Stream().AEGP_GetLayerStreamValue(camera, AEGP_LayerStream_POSITION,
                                                           AEGP_LTimeMode_CompTime, &compTime,
                                                           false, &position, nullptr);
            ctx.cameraPosition = {float(position.three_d.x), float(position.three_d.y),
                                  -float(position.three_d.z)};
        } else {
            ctx.cameraPosition = {0.5f, 0.5f, 1.0f};
        }
    }
    if (err) return err;

    const bool lightsUsed =
        ctx.shadingEnabled || ctx.textureEnabled || ctx.specularEnabled || ctx.toonEnabled;
    if (numLayers > 0 && lightsUsed) {
        err = GatherLights(in_data, suites, comp, numLayers, compTime, ctx);
    }
    return err;
}

}  // namespace lumeshade
