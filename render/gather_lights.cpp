#include "render/gather_lights.h"

#include <cstring>

#include "AE_GeneralPlug.h"
#include "params/param_ids.h"
#include "render/read_parameters.h"

namespace lumeshade {
namespace {

// Render popup choices.
constexpr int32_t kRenderAll = 2;
constexpr int32_t kRenderLight1 = 3;
constexpr int32_t kRenderLight5 = 7;
constexpr int32_t kRenderLightPrefix = 8;

A_Err StreamValue(HostSuites& suites, AEGP_LayerH layer, AEGP_LayerStream which, const A_Time& time,
                  AEGP_StreamVal& value) {
    std::memset(&value, 0, sizeof value);
    return suites.Stream().AEGP_GetLayerStreamValue(layer, which, AEGP_LTimeMode_CompTime, &time,
                                                    false, &value, nullptr);
}

Vector3 ToVector(const AEGP_ThreeDVal& v) { return {float(v.x), float(v.y), float(v.z)}; }

}  // namespace

int32_t LightTypeCode(AEGP_LightType type) {
    switch (type) {
        case AEGP_LightType_AMBIENT:
            return LIGHT_AMBIENT;
        case AEGP_LightType_POINT:
            return LIGHT_POINT;
        case AEGP_LightType_PARALLEL:
            return LIGHT_PARALLEL;
        case AEGP_LightType_SPOT:
            return LIGHT_SPOT;
        default:
            return LIGHT_OTHER;
    }
}

bool LightSelected(int32_t renderChoice, const char* name) {
    if (renderChoice == kRenderAll) return true;
    if (renderChoice >= kRenderLight1 && renderChoice <= kRenderLight5) {
        // "Light 1" .. "Light 5", compared with the terminator: the whole name.
        char wanted[8] = "Light 1";
        wanted[6] = char('1' + (renderChoice - kRenderLight1));
        return std::memcmp(name, wanted, sizeof wanted) == 0;
    }
    if (renderChoice == kRenderLightPrefix) {
        // The first five characters; a shorter name never matches.
        char head[6] = {};
        std::memcpy(head, name, 5);
        return std::strcmp(head, "Light") == 0;
    }
    return false;
}

A_Err GatherLights(PF_InData* in_data, HostSuites& suites, AEGP_CompH comp, A_long numLayers,
                   const A_Time& compTime, RenderContext& ctx) {
    // The Light suite is taken at the first light layer, the Stream suite at
    // the first light selected: a composition without lights needs neither.
    const AEGP_LayerSuite1& layers = suites.Layer();

    char name[AEGP_MAX_LAYER_NAME_SIZE] = {};
    PF_ParamDef def;
    A_Err err = A_Err_NONE;
    for (A_long index = numLayers - 1; index >= 0 && err == A_Err_NONE; --index) {
        AEGP_LayerH layer = nullptr;
        err = layers.AEGP_GetCompLayerByIndex(comp, index, &layer);
        if (err != A_Err_NONE) break;
        if (layer == nullptr) continue;

        AEGP_ObjectType objectType = AEGP_ObjectType_NONE;
        err = layers.AEGP_GetLayerObjectType(layer, &objectType);
        if (err != A_Err_NONE || objectType != AEGP_ObjectType_LIGHT) continue;

        A_Boolean videoOn = false;
        AEGP_LightType lightType = AEGP_LightType_NONE;
        err = layers.AEGP_IsLayerVideoReallyOn(layer, &videoOn);
        if (err == A_Err_NONE) err = suites.Light().AEGP_GetLightType(layer, &lightType);
        if (err == A_Err_NONE) err = layers.AEGP_GetLayerName(layer, name, nullptr);
        name[sizeof name - 1] = '\0';
        if (err != A_Err_NONE) break;

        err = ReadControl(in_data, PARAM_LIGHTS_ENABLE_INVISIBLE_LIGHTS, def);
        if (err != A_Err_NONE) break;
        if (!videoOn && def.u.bd.value == 0) continue;

        err = ReadControl(in_data, PARAM_LIGHTS_RENDER, def);
        if (err != A_Err_NONE) break;
        if (!LightSelected(def.u.pd.value, name)) continue;
        // The tables are full: further lights are ignored.
        if (ctx.lightCount >= MAX_LIGHTS) continue;

        const int i = ctx.lightCount;
        AEGP_StreamVal v;
        if ((err = StreamValue(suites, layer, AEGP_LayerStream_INTENSITY, compTime, v))) break;
        ctx.lightIntensity[i] = float(v.one_d);
        if ((err = StreamValue(suites, layer, AEGP_LayerStream_POSITION, compTime, v))) break;
        ctx.lightPosition[i] = ToVector(v.three_d);
        if ((err = StreamValue(suites, layer, AEGP_LayerStream_COLOR, compTime, v))) break;
        ctx.lightColor[i].red = float(v.color.redF);
        ctx.lightColor[i].green = float(v.color.greenF);
        ctx.lightColor[i].blue = float(v.color.blueF);
        if ((err = StreamValue(suites, layer, AEGP_LayerStream_ANCHORPOINT, compTime, v))) break;
        ctx.lightAnchorPoint[i] = ToVector(v.three_d);
        if ((err = StreamValue(suites, layer, AEGP_LayerStream_CONE_ANGLE, compTime, v))) break;
        ctx.lightConeAngle[i] = float(v.one_d);
        if ((err = StreamValue(suites, layer, AEGP_LayerStream_CONE_FEATHER, compTime, v))) break;
        ctx.lightConeFeather[i] = float(v.one_d);
        ctx.lightType[i] = LightTypeCode(lightType);
        ++ctx.lightCount;
    }
    return err;
}

}  // namespace lumeshade
