// Effect references, streams of the effect's controls, and their dynamic
// flags: the Effect and Dynamic Stream suites, and the effect slots of the
// PF Interface and Stream suites.
#include "host/effect_streams.h"

#include <algorithm>

#include "host/call_site.h"
#include "host/suites.h"

namespace lumeshade::host {
namespace {

HostState& State() { return Host::Current().State(); }

bool KnownPlugin(const HostState& s, AEGP_PluginID id) {
    return std::any_of(s.aegpClients.begin(), s.aegpClients.end(),
                       [id](const auto& client) { return client.second == id; });
}

A_long NumParamStreams(const HostState& s) { return A_long(s.registered.size()) + 1; }

HostState::ControlStream* FindStream(HostState& s, AEGP_StreamRefH stream) {
    auto it = s.controlStreams.find(reinterpret_cast<void**>(stream));
    return it == s.controlStreams.end() ? nullptr : &it->second;
}

template <class Handle>
Handle NewSlot(std::deque<void*>& slots) {
    slots.push_back(nullptr);
    return reinterpret_cast<Handle>(&slots.back());
}

// Effect suite --------------------------------------------------------------------

A_Err Unsupported(const char* what) {
    // Everything else in these suites is outside what this host emulates;
    // the module never calls it.
    (void)what;
    return A_Err_GENERIC;
}

A_Err GetLayerNumEffects(AEGP_LayerH, A_long*) {
    static CallSite site("AEGP_GetLayerNumEffects");
    if (const A_long err = site.Enter()) return err;
    return Unsupported("AEGP_GetLayerNumEffects");
}
A_Err GetLayerEffectByIndex(AEGP_PluginID, AEGP_LayerH, AEGP_EffectIndex, AEGP_EffectRefH*) {
    static CallSite site("AEGP_GetLayerEffectByIndex");
    if (const A_long err = site.Enter()) return err;
    return Unsupported("AEGP_GetLayerEffectByIndex");
}
A_Err GetInstalledKeyFromLayerEffect(AEGP_EffectRefH, AEGP_InstalledEffectKey*) {
    static CallSite site("AEGP_GetInstalledKeyFromLayerEffect");
    if (const A_long err = site.Enter()) return err;
    return Unsupported("AEGP_GetInstalledKeyFromLayerEffect");
}
A_Err GetEffectParamUnionByIndex(AEGP_PluginID, AEGP_EffectRefH effect, PF_ParamIndex index,
                                 PF_ParamType* type, PF_ParamDefUnion* u) {
    static CallSite site("AEGP_GetEffectParamUnionByIndex");
    if (const A_long err = site.Enter()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.effectRefs.count(reinterpret_cast<void**>(effect))) return A_Err_PARAMETER;
    if (index < 0 || index >= A_long(s.current.size()) || type == nullptr) return A_Err_PARAMETER;
    *type = s.current[size_t(index)].param_type;
    if (u) *u = s.current[size_t(index)].u;
    return A_Err_NONE;
}
A_Err GetEffectFlags(AEGP_EffectRefH, AEGP_EffectFlags*) {
    static CallSite site("AEGP_GetEffectFlags");
    if (const A_long err = site.Enter()) return err;
    return Unsupported("AEGP_GetEffectFlags");
}
A_Err SetEffectFlags(AEGP_EffectRefH, AEGP_EffectFlags, AEGP_EffectFlags) {
    static CallSite site("AEGP_SetEffectFlags");
    if (const A_long err = site.Enter()) return err;
    return Unsupported("AEGP_SetEffectFlags");
}
A_Err ReorderEffect(AEGP_EffectRefH, A_long) {
    static CallSite site("AEGP_ReorderEffect");
    if (const A_long err = site.Enter()) return err;
    return Unsupported("AEGP_ReorderEffect");
}
A_Err EffectCallGeneric(AEGP_PluginID, AEGP_EffectRefH, const A_Time*, PF_Cmd, void*) {
    static CallSite site("AEGP_EffectCallGeneric");
    if (const A_long err = site.Enter()) return err;
    return Unsupported("AEGP_EffectCallGeneric");
}
A_Err DisposeEffect(AEGP_EffectRefH effect) {
    static CallSite site("AEGP_DisposeEffect");
    if (const A_long err = site.Enter()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.effectRefs.erase(reinterpret_cast<void**>(effect)) == 0) {
        s.Violation("disposed an effect reference the host did not hand out");
        return A_Err_PARAMETER;
    }
    return A_Err_NONE;
}
A_Err ApplyEffect(AEGP_PluginID, AEGP_LayerH, AEGP_InstalledEffectKey, AEGP_EffectRefH*) {
    static CallSite site("AEGP_ApplyEffect");
    if (const A_long err = site.Enter()) return err;
    return Unsupported("AEGP_ApplyEffect");
}
A_Err DeleteLayerEffect(AEGP_EffectRefH) {
    static CallSite site("AEGP_DeleteLayerEffect");
    if (const A_long err = site.Enter()) return err;
    return Unsupported("AEGP_DeleteLayerEffect");
}
A_Err GetNumInstalledEffects(A_long*) {
    static CallSite site("AEGP_GetNumInstalledEffects");
    if (const A_long err = site.Enter()) return err;
    return Unsupported("AEGP_GetNumInstalledEffects");
}
A_Err GetNextInstalledEffect(AEGP_InstalledEffectKey, AEGP_InstalledEffectKey*) {
    static CallSite site("AEGP_GetNextInstalledEffect");
    if (const A_long err = site.Enter()) return err;
    return Unsupported("AEGP_GetNextInstalledEffect");
}
A_Err GetEffectName(AEGP_InstalledEffectKey, A_char*) {
    static CallSite site("AEGP_GetEffectName");
    if (const A_long err = site.Enter()) return err;
    return Unsupported("AEGP_GetEffectName");
}
A_Err GetEffectMatchName(AEGP_InstalledEffectKey, A_char*) {
    static CallSite site("AEGP_GetEffectMatchName");
    if (const A_long err = site.Enter()) return err;
    return Unsupported("AEGP_GetEffectMatchName");
}
A_Err GetEffectCategory(AEGP_InstalledEffectKey, A_char*) {
    static CallSite site("AEGP_GetEffectCategory");
    if (const A_long err = site.Enter()) return err;
    return Unsupported("AEGP_GetEffectCategory");
}
A_Err DuplicateEffect(AEGP_EffectRefH, AEGP_EffectRefH*) {
    static CallSite site("AEGP_DuplicateEffect");
    if (const A_long err = site.Enter()) return err;
    return Unsupported("AEGP_DuplicateEffect");
}

const AEGP_EffectSuite3 kEffectSuite = {
    GetLayerNumEffects, GetLayerEffectByIndex, GetInstalledKeyFromLayerEffect,
    GetEffectParamUnionByIndex, GetEffectFlags, SetEffectFlags, ReorderEffect,
    EffectCallGeneric, DisposeEffect, ApplyEffect, DeleteLayerEffect, GetNumInstalledEffects,
    GetNextInstalledEffect, GetEffectName, GetEffectMatchName, GetEffectCategory,
    DuplicateEffect};

// Dynamic stream suite -----------------------------------------------------------

A_Err GetDynamicStreamFlags(AEGP_StreamRefH stream, AEGP_DynStreamFlags* flags) {
    static CallSite site("AEGP_GetDynamicStreamFlags");
    if (const A_long err = site.Enter()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const HostState::ControlStream* cs = FindStream(s, stream);
    if (cs == nullptr || flags == nullptr) return A_Err_PARAMETER;
    *flags = s.dynamicFlags[cs->paramIndex];
    return A_Err_NONE;
}

// Only the eyeball and the hidden flag can be written, and a change that is
// not undoable may only touch the hidden flag.
A_Err SetDynamicStreamFlag(AEGP_StreamRefH stream, AEGP_DynStreamFlags flag, A_Boolean undoable,
                           A_Boolean set) {
    static CallSite site("AEGP_SetDynamicStreamFlag");
    if (const A_long err = site.Enter()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const HostState::ControlStream* cs = FindStream(s, stream);
    if (cs == nullptr) return A_Err_PARAMETER;
    if (flag != AEGP_DynStreamFlag_HIDDEN && flag != AEGP_DynStreamFlag_ACTIVE_EYEBALL) {
        return A_Err_PARAMETER;
    }
    if (!undoable && flag != AEGP_DynStreamFlag_HIDDEN) return A_Err_PARAMETER;
    AEGP_DynStreamFlags& flags = s.dynamicFlags[cs->paramIndex];
    flags = set ? (flags | flag) : (flags & ~flag);
    s.undoRecord.push_back({cs->paramIndex, flag, set != 0, undoable != 0});
    return A_Err_NONE;
}

#define HOST_UNSUPPORTED(name, ...)              \
    A_Err name(__VA_ARGS__) {                    \
        static CallSite site("AEGP_" #name);     \
        if (const A_long err = site.Enter()) return err; \
        return Unsupported(#name);               \
    }

HOST_UNSUPPORTED(GetNewStreamRefForLayer, AEGP_PluginID, AEGP_LayerH, AEGP_StreamRefH*)
HOST_UNSUPPORTED(GetStreamDepth, AEGP_StreamRefH, A_long*)
HOST_UNSUPPORTED(GetStreamGroupingType, AEGP_StreamRefH, AEGP_StreamGroupingType*)
HOST_UNSUPPORTED(GetNumStreamsInGroup, AEGP_StreamRefH, A_long*)
HOST_UNSUPPORTED(GetNewStreamRefByIndex, AEGP_PluginID, AEGP_StreamRefH, A_long,
                 AEGP_StreamRefH*)
HOST_UNSUPPORTED(GetNewStreamRefByMatchname, AEGP_PluginID, AEGP_StreamRefH, const A_char*,
                 AEGP_StreamRefH*)
HOST_UNSUPPORTED(DeleteStream, AEGP_StreamRefH)
HOST_UNSUPPORTED(ReorderStream, AEGP_StreamRefH, A_long)
HOST_UNSUPPORTED(DuplicateStream, AEGP_PluginID, AEGP_StreamRefH, A_long*)
HOST_UNSUPPORTED(SetStreamName, AEGP_StreamRefH, const A_char*)
HOST_UNSUPPORTED(CanAddStream, AEGP_StreamRefH, const A_char*, A_Boolean*)
HOST_UNSUPPORTED(AddStream, AEGP_PluginID, AEGP_StreamRefH, const A_char*, AEGP_StreamRefH*)
HOST_UNSUPPORTED(GetMatchName, AEGP_StreamRefH, A_char*)
HOST_UNSUPPORTED(GetNewParentStreamRef, AEGP_PluginID, AEGP_StreamRefH, AEGP_StreamRefH*)
HOST_UNSUPPORTED(GetStreamIsModified, AEGP_StreamRefH, A_Boolean*)

#undef HOST_UNSUPPORTED

const AEGP_DynamicStreamSuite2 kDynamicStreamSuite = {
    GetNewStreamRefForLayer, GetStreamDepth, GetStreamGroupingType, GetNumStreamsInGroup,
    GetDynamicStreamFlags, SetDynamicStreamFlag, GetNewStreamRefByIndex,
    GetNewStreamRefByMatchname, DeleteStream, ReorderStream, DuplicateStream, SetStreamName,
    CanAddStream, AddStream, GetMatchName, GetNewParentStreamRef, GetStreamIsModified};

}  // namespace

// Effect slots of the PF Interface and Stream suites ------------------------------

A_Err EffectStreamsGetNewEffectForEffect(AEGP_PluginID plugin, PF_ProgPtr effect_ref,
                                         AEGP_EffectRefH* effect) {
    static CallSite site("AEGP_GetNewEffectForEffect");
    if (const A_long err = site.Enter()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (effect == nullptr || effect_ref != s.EffectRef() || !KnownPlugin(s, plugin)) {
        return A_Err_PARAMETER;
    }
    *effect = NewSlot<AEGP_EffectRefH>(s.effectSlots);
    s.effectRefs[reinterpret_cast<void**>(*effect)] = 1;
    return A_Err_NONE;
}

A_Err EffectStreamsGetNewEffectStreamByIndex(AEGP_PluginID plugin, AEGP_EffectRefH effect,
                                             PF_ParamIndex index, AEGP_StreamRefH* stream) {
    static CallSite site("AEGP_GetNewEffectStreamByIndex");
    if (const A_long err = site.Enter()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (stream == nullptr || !KnownPlugin(s, plugin) ||
        !s.effectRefs.count(reinterpret_cast<void**>(effect))) {
        return A_Err_PARAMETER;
    }
    if (index < 0 || index >= NumParamStreams(s)) return A_Err_PARAMETER;
    *stream = NewSlot<AEGP_StreamRefH>(s.streamSlots);
    s.controlStreams[reinterpret_cast<void**>(*stream)] = {index};
    return A_Err_NONE;
}

A_Err EffectStreamsDisposeStream(AEGP_StreamRefH stream) {
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.controlStreams.erase(reinterpret_cast<void**>(stream)) == 0) return A_Err_PARAMETER;
    return A_Err_NONE;
}

A_Err EffectStreamsGetEffectNumParamStreams(AEGP_EffectRefH effect, A_long* count) {
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (count == nullptr || !s.effectRefs.count(reinterpret_cast<void**>(effect))) {
        return A_Err_PARAMETER;
    }
    *count = NumParamStreams(s);
    return A_Err_NONE;
}

void RegisterEffectStreamSuites(HostState& s) {
    s.suites[{kAEGPEffectSuite, kAEGPEffectSuiteVersion3}].table = &kEffectSuite;
    s.suites[{kAEGPDynamicStreamSuite, kAEGPDynamicStreamSuiteVersion2}].table =
        &kDynamicStreamSuite;
}

AEGP_DynStreamFlags StreamFlags(const Host& host, A_long index) {
    HostState& s = const_cast<Host&>(host).State();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.dynamicFlags.find(index);
    return it == s.dynamicFlags.end() ? 0 : it->second;
}

int LiveEffectRefs(const Host& host) {
    HostState& s = const_cast<Host&>(host).State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return int(s.effectRefs.size());
}

int LiveStreamRefs(const Host& host) {
    HostState& s = const_cast<Host&>(host).State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return int(s.controlStreams.size());
}

std::vector<HostState::FlagChange> FlagChanges(const Host& host) {
    HostState& s = const_cast<Host&>(host).State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.undoRecord;
}

}  // namespace lumeshade::host
