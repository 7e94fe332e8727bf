// in_data's interaction callbacks: control registration, abort and progress
// (parameter check-out is in host/param_checkout.cpp).
#include <cstring>
#include <string>

#include "host/call_site.h"
#include "host/host.h"
#include "host/host_state.h"

namespace lumeshade::host {
namespace {

bool KnownParamType(PF_ParamType type) {
    return type >= PF_Param_LAYER && type <= PF_Param_POINT_3D && type != PF_Param_RESERVED2 &&
           type != PF_Param_RESERVED3 && type != PF_Param_CUSTOM;
}

int CountChoices(const char* list) {
    int n = 1;
    for (const char* p = list; *p; ++p) n += (*p == '|');
    return n;
}

PF_Err AddParam(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDefPtr def) {
    static CallSite site("add_param");
    if (const A_long err = site.Enter()) return err;
    HostState& s = Host::Current().State();
    if (effect_ref != s.EffectRef() || def == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    std::lock_guard<std::mutex> lock(s.mutex);
    // -1 appends; so does the index right after the last registered control.
    if (index != -1 && index != PF_ParamIndex(s.registered.size() + 1)) {
        return PF_Err_INVALID_INDEX;
    }
    if (!KnownParamType(def->param_type)) return PF_Err_UNRECOGNIZED_PARAM_TYPE;
    if (std::memchr(def->name, '\0', sizeof def->name) == nullptr) {
        s.Violation("add_param with an unterminated name");
        return PF_Err_BAD_CALLBACK_PARAM;
    }

    RegisteredParam& reg = s.registeredStorage.emplace_back();
    reg.def = *def;
    if (def->param_type == PF_Param_POPUP) {
        if (def->u.pd.u.namesptr == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
        reg.choices = def->u.pd.u.namesptr;
        reg.def.u.pd.u.namesptr = reg.choices.c_str();
        if (CountChoices(reg.choices.c_str()) != def->u.pd.num_choices) {
            s.Violation(std::string("popup \"") + def->name +
                        "\" registers a choice count that differs from its list");
        }
    } else if (def->param_type == PF_Param_CHECKBOX) {
        reg.checkboxLabel = def->u.bd.u.nameptr ? def->u.bd.u.nameptr : "";
        reg.def.u.bd.u.nameptr = reg.checkboxLabel.c_str();
    }
    s.registered.push_back(reg.def);
    return PF_Err_NONE;
}

// Both answer PF_Interrupt_CANCEL once the user has aborted.
// The generic iteration allows abort and progress from its thread 0 only.
void CheckGenericThread(HostState& s, const char* what) {
    if (GenericIterationThread() <= 0) return;
    std::lock_guard<std::mutex> lock(s.mutex);
    s.Violation(std::string(what) + " called from an iterate_generic call whose thread index is " +
                std::to_string(GenericIterationThread()));
}

PF_Err Abort(PF_ProgPtr effect_ref) {
    static CallSite site("abort");
    if (const A_long err = site.Enter()) return err;
    HostState& s = Host::Current().State();
    if (effect_ref != s.EffectRef()) return PF_Err_BAD_CALLBACK_PARAM;
    CheckGenericThread(s, "abort");
    return s.render.aborted.load() ? PF_Interrupt_CANCEL : PF_Err_NONE;
}

PF_Err Progress(PF_ProgPtr effect_ref, A_long current, A_long total) {
    static CallSite site("progress");
    if (const A_long err = site.Enter()) return err;
    HostState& s = Host::Current().State();
    if (effect_ref != s.EffectRef()) return PF_Err_BAD_CALLBACK_PARAM;
    CheckGenericThread(s, "progress");
    RecordProgress(s, current, total);
    return s.render.aborted.load() ? PF_Interrupt_CANCEL : PF_Err_NONE;
}

}  // namespace

void InstallInteractCallbacks(PF_InteractCallbacks& inter) {
    inter.add_param = AddParam;
    inter.abort = Abort;
    inter.progress = Progress;
    InstallCheckoutCallbacks(inter);
}

}  // namespace lumeshade::host
