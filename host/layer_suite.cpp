// "AEGP Layer Suite" 5 (AEGP_LayerSuite1): the layers of the composition.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "host/call_site.h"
#include "host/host.h"
#include "host/host_state.h"
#include "host/unsupported.h"

namespace lumeshade::host {
namespace {

HostState& State() { return Host::Current().State(); }

// The layer behind a handle, or null.
const CompLayer* Find(HostState& s, AEGP_LayerH layer, int* index = nullptr) {
    const int i = LayerIndexLocked(s, layer);
    if (i < 0) return nullptr;
    if (index) *index = i;
    return &s.render.comp.layers[size_t(i)];
}

bool Is3D(const CompLayer& l) { return l.type != AEGP_ObjectType_AV || l.threeD; }

A_Err GetCompNumLayers(AEGP_CompH comp, A_long* count) {
    if (const A_long err = CountCall<"AEGP_GetCompNumLayers">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (comp != CompHandleLocked(s) || count == nullptr) return A_Err_PARAMETER;
    *count = A_long(s.render.comp.layers.size());
    return A_Err_NONE;
}

A_Err GetCompLayerByIndex(AEGP_CompH comp, A_long index, AEGP_LayerH* layer) {
    if (const A_long err = CountCall<"AEGP_GetCompLayerByIndex">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (comp != CompHandleLocked(s) || layer == nullptr) return A_Err_PARAMETER;
    if (index < 0 || size_t(index) >= s.render.comp.layers.size()) return A_Err_PARAMETER;
    *layer = LayerHandleLocked(s, int(index));
    return A_Err_NONE;
}

A_Err GetLayerIndex(AEGP_LayerH layer, A_long* index) {
    if (const A_long err = CountCall<"AEGP_GetLayerIndex">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    int i = 0;
    if (index == nullptr || Find(s, layer, &i) == nullptr) return A_Err_PARAMETER;
    *index = i;
    return A_Err_NONE;
}

A_Err GetLayerParentComp(AEGP_LayerH layer, AEGP_CompH* comp) {
    if (const A_long err = CountCall<"AEGP_GetLayerParentComp">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (comp == nullptr || Find(s, layer) == nullptr) return A_Err_PARAMETER;
    *comp = CompHandleLocked(s);
    return A_Err_NONE;
}

// Each buffer holds AEGP_MAX_LAYER_NAME_SIZE characters with the
// terminator; longer names are cut. Lights and cameras have no source.
A_Err GetLayerName(AEGP_LayerH layer, A_char* layerName, A_char* sourceName) {
    if (const A_long err = CountCall<"AEGP_GetLayerName">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const CompLayer* l = Find(s, layer);
    if (l == nullptr) return A_Err_PARAMETER;
    auto copy = [](const std::string& name, A_char* out) {
        const size_t n = std::min(name.size(), size_t(AEGP_MAX_LAYER_NAME_SIZE - 1));
        std::memcpy(out, name.data(), n);
        out[n] = '\0';
    };
    if (layerName) copy(l->name, layerName);
    if (sourceName) copy(l->type == AEGP_ObjectType_AV ? l->name : std::string(), sourceName);
    return A_Err_NONE;
}

A_Err GetLayerFlags(AEGP_LayerH layer, AEGP_LayerFlags* flags) {
    if (const A_long err = CountCall<"AEGP_GetLayerFlags">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const CompLayer* l = Find(s, layer);
    if (l == nullptr || flags == nullptr) return A_Err_PARAMETER;
    *flags = (l->videoOn.Held(CurrentCompFrame(s)) ? AEGP_LayerFlag_VIDEO_ACTIVE : 0) |
             (Is3D(*l) ? AEGP_LayerFlag_LAYER_IS_3D : 0);
    return A_Err_NONE;
}

A_Err IsLayerVideoReallyOn(AEGP_LayerH layer, A_Boolean* on) {
    if (const A_long err = CountCall<"AEGP_IsLayerVideoReallyOn">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const CompLayer* l = Find(s, layer);
    if (l == nullptr || on == nullptr) return A_Err_PARAMETER;
    *on = l->videoOn.Held(CurrentCompFrame(s));
    return A_Err_NONE;
}

A_Err GetLayerObjectType(AEGP_LayerH layer, AEGP_ObjectType* type) {
    if (const A_long err = CountCall<"AEGP_GetLayerObjectType">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const CompLayer* l = Find(s, layer);
    if (l == nullptr || type == nullptr) return A_Err_PARAMETER;
    *type = l->type;
    return A_Err_NONE;
}

A_Err IsLayer3D(AEGP_LayerH layer, A_Boolean* is3D) {
    if (const A_long err = CountCall<"AEGP_IsLayer3D">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const CompLayer* l = Find(s, layer);
    if (l == nullptr || is3D == nullptr) return A_Err_PARAMETER;
    *is3D = Is3D(*l);
    return A_Err_NONE;
}

// Layers have no in and out points here: a layer is active whenever its
// video is on.
A_Err IsVideoActive(AEGP_LayerH layer, AEGP_LTimeMode mode, const A_Time* time, A_Boolean* active) {
    if (const A_long err = CountCall<"AEGP_IsVideoActive">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    int index = 0;
    const CompLayer* l = Find(s, layer, &index);
    const std::optional<double> frame = CompFrame(s, index, mode, time);
    if (l == nullptr || active == nullptr || !frame) return A_Err_PARAMETER;
    *active = l->videoOn.Held(*frame);
    return A_Err_NONE;
}

using Suite = AEGP_LayerSuite1;

}  // namespace

const AEGP_LayerSuite1 kLayerSuite = {
    GetCompNumLayers,
    GetCompLayerByIndex,
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetActiveLayer),
    GetLayerIndex,
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetLayerSourceItem),
    GetLayerParentComp,
    GetLayerName,
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetLayerQuality),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_SetLayerQuality),
    GetLayerFlags,
    LUMESHADE_UNSUPPORTED(Suite, AEGP_SetLayerFlag),
    IsLayerVideoReallyOn,
    LUMESHADE_UNSUPPORTED(Suite, AEGP_IsLayerAudioReallyOn),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetLayerCurrentTime),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetLayerInPoint),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetLayerDuration),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_SetLayerInPointAndDuration),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetLayerOffset),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_SetLayerOffset),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetLayerStretch),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_SetLayerStretch),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetLayerTransferMode),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_SetLayerTransferMode),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_IsAddLayerValid),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_AddLayer),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_ReorderLayer),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetLayerMaskedBounds),
    GetLayerObjectType,
    IsLayer3D,
    LUMESHADE_UNSUPPORTED(Suite, AEGP_IsLayer2D),
    IsVideoActive,
    LUMESHADE_UNSUPPORTED(Suite, AEGP_IsLayerUsedAsTrackMatte),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_DoesLayerHaveTrackMatte),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_ConvertCompToLayerTime),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetLayerDancingRandValue),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetLayerID),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetLayerToWorldXform),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetLayerToWorldXformFromView),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_SetLayerName),
};

}  // namespace lumeshade::host
