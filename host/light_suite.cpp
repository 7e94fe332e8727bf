// "AEGP Light Suite" 2: the kind of a light layer.
#include "host/call_site.h"
#include "host/host.h"
#include "host/host_state.h"

namespace lumeshade::host {
namespace {

// The light behind a handle, or null for an unknown handle or a layer that
// is not a light.
CompLayer* FindLight(HostState& s, AEGP_LayerH layer) {
    const int index = LayerIndexLocked(s, layer);
    if (index < 0) return nullptr;
    CompLayer& l = s.render.comp.layers[size_t(index)];
    return l.type == AEGP_ObjectType_LIGHT ? &l : nullptr;
}

A_Err GetLightType(AEGP_LayerH layer, AEGP_LightType* type) {
    if (const A_long err = CountCall<"AEGP_GetLightType">()) return err;
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const CompLayer* light = FindLight(s, layer);
    if (light == nullptr || type == nullptr) return A_Err_PARAMETER;
    *type = light->lightType;
    return A_Err_NONE;
}

A_Err SetLightType(AEGP_LayerH layer, AEGP_LightType type) {
    if (const A_long err = CountCall<"AEGP_SetLightType">()) return err;
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    CompLayer* light = FindLight(s, layer);
    if (light == nullptr || type >= AEGP_LightType_NUM_TYPES) return A_Err_PARAMETER;
    light->lightType = type;
    return A_Err_NONE;
}

}  // namespace

const AEGP_LightSuite2 kLightSuite = {GetLightType, SetLightType};

}  // namespace lumeshade::host
