#include "params/user_changed_param.h"

#include <array>
#include <cstring>

#include "AE_GeneralPlug.h"
#include "params/visibility_rules.h"
#include "shell/global_data.h"
#include "shell/host_suites.h"

namespace lumeshade {
namespace {

// The most controls one rule governs.
constexpr size_t kMaxGoverned = 14;

// A switch is on when the first 32-bit word of its value is non-zero: a
// ticked checkbox, or a layer control with a layer chosen.
bool SwitchOn(const PF_ParamDef* def) {
    A_long word = 0;
    std::memcpy(&word, &def->u, sizeof word);
    return word != 0;
}

// The references one update holds; whatever is still held when it ends
// (after a failed host call, or one that threw) is released without further
// reporting.
class UpdateReferences {
public:
    explicit UpdateReferences(HostSuites& suites) : suites_(suites) {}
    ~UpdateReferences() {
        for (AEGP_StreamRefH& stream : Streams()) {
            if (stream != nullptr) {
                GiveBackQuietly([&] { suites_.Stream().AEGP_DisposeStream(stream); });
            }
        }
        if (effect_ != nullptr) {
            GiveBackQuietly([this] { suites_.Effect().AEGP_DisposeEffect(effect_); });
        }
    }

    AEGP_EffectRefH& Effect() { return effect_; }
    AEGP_StreamRefH& NewStream() { return streams_[count_++]; }
    std::span<AEGP_StreamRefH> Streams() { return {streams_.data(), count_}; }

    A_Err ReleaseStreams() {
        A_Err first = A_Err_NONE;
        for (size_t i = 0; i < count_; ++i) {
            if (streams_[i] == nullptr) continue;
            const A_Err err = suites_.Stream().AEGP_DisposeStream(streams_[i]);
            streams_[i] = nullptr;
            if (first == A_Err_NONE) first = err;
        }
        count_ = 0;
        return first;
    }
    A_Err ReleaseEffect() {
        const A_Err err = suites_.Effect().AEGP_DisposeEffect(effect_);
        effect_ = nullptr;
        return err;
    }

private:
    HostSuites& suites_;
    AEGP_EffectRefH effect_ = nullptr;
    std::array<AEGP_StreamRefH, kMaxGoverned> streams_{};
    size_t count_ = 0;
};

}  // namespace

PF_Err UserChangedParam(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[]) {
    // Each suite is taken at the first call that needs it, so a host that
    // lacks one sees the calls before that point.
    HostSuites suites(in_data);

    AEGP_PluginID plugin = 0;
    if (in_data->global_data != nullptr && *in_data->global_data != nullptr) {
        plugin = static_cast<const GlobalData*>(*in_data->global_data)->aegpPluginId;
    }

    UpdateReferences refs(suites);
    A_Err err = suites.PFInterface().AEGP_GetNewEffectForEffect(plugin, in_data->effect_ref,
                                                                &refs.Effect());
    if (err != A_Err_NONE) return err;

    for (const VisibilityRule& rule : VisibilityRules()) {
        for (ParamId id : rule.governed) {
            err = suites.Stream().AEGP_GetNewEffectStreamByIndex(plugin, refs.Effect(), id,
                                                                 &refs.NewStream());
            if (err != A_Err_NONE) return err;
        }
        const bool show = SwitchOn(params[rule.switchControl]);
        for (AEGP_StreamRefH stream : refs.Streams()) {
            err = suites.DynamicStream().AEGP_SetDynamicStreamFlag(
                stream, AEGP_DynStreamFlag_HIDDEN, true, !show);
            if (err != A_Err_NONE) return err;
        }
        if ((err = refs.ReleaseStreams()) != A_Err_NONE) return err;
    }
    if ((err = refs.ReleaseEffect()) != A_Err_NONE) return err;

    out_data->out_flags |= PF_OutFlag_FORCE_RERENDER;
    return PF_Err_NONE;
}

}  // namespace lumeshade
