// Effect references, streams of the effect's controls, and their dynamic
// flags: the Effect and Dynamic Stream suites, and the effect slots of the
// PF Interface and Stream suites.
#include "host/effect_streams.h"

#include <algorithm>

#include "host/call_site.h"
#include "host/suites.h"
#include "host/unsupported.h"

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

A_Err DisposeEffect(AEGP_EffectRefH effect) {
    if (const A_long err = CountCall<"AEGP_DisposeEffect">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.effectRefs.erase(reinterpret_cast<void**>(effect)) == 0) {
        s.Violation("disposed an effect reference the host did not hand out");
        return A_Err_PARAMETER;
    }
    return A_Err_NONE;
}

const AEGP_EffectSuite3 kEffectSuite = {
    LUMESHADE_UNSUPPORTED(AEGP_EffectSuite3, AEGP_GetLayerNumEffects),
    LUMESHADE_UNSUPPORTED(AEGP_EffectSuite3, AEGP_GetLayerEffectByIndex),
    LUMESHADE_UNSUPPORTED(AEGP_EffectSuite3, AEGP_GetInstalledKeyFromLayerEffect),
    LUMESHADE_UNSUPPORTED(AEGP_EffectSuite3, AEGP_GetEffectParamUnionByIndex),
    LUMESHADE_UNSUPPORTED(AEGP_EffectSuite3, AEGP_GetEffectFlags),
    LUMESHADE_UNSUPPORTED(AEGP_EffectSuite3, AEGP_SetEffectFlags),
    LUMESHADE_UNSUPPORTED(AEGP_EffectSuite3, AEGP_ReorderEffect),
    LUMESHADE_UNSUPPORTED(AEGP_EffectSuite3, AEGP_EffectCallGeneric),
    DisposeEffect,
    LUMESHADE_UNSUPPORTED(AEGP_EffectSuite3, AEGP_ApplyEffect),
    LUMESHADE_UNSUPPORTED(AEGP_EffectSuite3, AEGP_DeleteLayerEffect),
    LUMESHADE_UNSUPPORTED(AEGP_EffectSuite3, AEGP_GetNumInstalledEffects),
    LUMESHADE_UNSUPPORTED(AEGP_EffectSuite3, AEGP_GetNextInstalledEffect),
    LUMESHADE_UNSUPPORTED(AEGP_EffectSuite3, AEGP_GetEffectName),
    LUMESHADE_UNSUPPORTED(AEGP_EffectSuite3, AEGP_GetEffectMatchName),
    LUMESHADE_UNSUPPORTED(AEGP_EffectSuite3, AEGP_GetEffectCategory),
    LUMESHADE_UNSUPPORTED(AEGP_EffectSuite3, AEGP_DuplicateEffect),
};

// Dynamic stream suite -----------------------------------------------------------

A_Err GetDynamicStreamFlags(AEGP_StreamRefH stream, AEGP_DynStreamFlags* flags) {
    if (const A_long err = CountCall<"AEGP_GetDynamicStreamFlags">()) return err;
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
    if (const A_long err = CountCall<"AEGP_SetDynamicStreamFlag">()) return err;
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

const AEGP_DynamicStreamSuite2 kDynamicStreamSuite = {
    LUMESHADE_UNSUPPORTED(AEGP_DynamicStreamSuite2, AEGP_GetNewStreamRefForLayer),
    LUMESHADE_UNSUPPORTED(AEGP_DynamicStreamSuite2, AEGP_GetStreamDepth),
    LUMESHADE_UNSUPPORTED(AEGP_DynamicStreamSuite2, AEGP_GetStreamGroupingType),
    LUMESHADE_UNSUPPORTED(AEGP_DynamicStreamSuite2, AEGP_GetNumStreamsInGroup),
    GetDynamicStreamFlags,
    SetDynamicStreamFlag,
    LUMESHADE_UNSUPPORTED(AEGP_DynamicStreamSuite2, AEGP_GetNewStreamRefByIndex),
    LUMESHADE_UNSUPPORTED(AEGP_DynamicStreamSuite2, AEGP_GetNewStreamRefByMatchname),
    LUMESHADE_UNSUPPORTED(AEGP_DynamicStreamSuite2, AEGP_DeleteStream),
    LUMESHADE_UNSUPPORTED(AEGP_DynamicStreamSuite2, AEGP_ReorderStream),
    LUMESHADE_UNSUPPORTED(AEGP_DynamicStreamSuite2, AEGP_DuplicateStream),
    LUMESHADE_UNSUPPORTED(AEGP_DynamicStreamSuite2, AEGP_SetStreamName),
    LUMESHADE_UNSUPPORTED(AEGP_DynamicStreamSuite2, AEGP_CanAddStream),
    LUMESHADE_UNSUPPORTED(AEGP_DynamicStreamSuite2, AEGP_AddStream),
    LUMESHADE_UNSUPPORTED(AEGP_DynamicStreamSuite2, AEGP_GetMatchName),
    LUMESHADE_UNSUPPORTED(AEGP_DynamicStreamSuite2, AEGP_GetNewParentStreamRef),
    LUMESHADE_UNSUPPORTED(AEGP_DynamicStreamSuite2, AEGP_GetStreamIsModified),
};

}  // namespace

// Effect slots of the PF Interface and Stream suites ------------------------------

A_Err EffectStreamsGetNewEffectForEffect(AEGP_PluginID plugin, PF_ProgPtr effect_ref,
                                         AEGP_EffectRefH* effect) {
    if (const A_long err = CountCall<"AEGP_GetNewEffectForEffect">()) return err;
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
    if (const A_long err = CountCall<"AEGP_GetNewEffectStreamByIndex">()) return err;
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
