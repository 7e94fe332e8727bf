#include "fake_effect.h"

#include <cstring>

#include "AE_GeneralPlug.h"

namespace lumeshade::host::testing {
namespace {

PF_ParamDef Named(const char* name, PF_ParamType type) {
    PF_ParamDef def;
    std::memset(&def, 0, sizeof def);
    std::strncpy(def.name, name, sizeof def.name - 1);
    def.param_type = type;
    return def;
}

PF_Fixed Fix(double v) { return PF_Fixed(v * 65536.0); }

}  // namespace

FakeEffect& Fake() {
    static FakeEffect effect;
    return effect;
}

PF_Err FakeEntry(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamList params,
                 PF_LayerDef*, void* extra) {
    if (cmd == PF_Cmd_PARAMS_SETUP) {
        for (PF_ParamDef def : Fake().controls) {
            if (PF_Err err = in_data->inter.add_param(in_data->effect_ref, -1, &def)) return err;
        }
        out_data->num_params = PF_ParamIndex(Fake().controls.size() + 1);
        return PF_Err_NONE;
    }
    if (!Fake().handler) return PF_Err_NONE;
    return Fake().handler(cmd, in_data, out_data, params, extra);
}

PF_ParamDef FixedSlider(const char* name, double min, double max, double dflt) {
    PF_ParamDef def = Named(name, PF_Param_FIX_SLIDER);
    def.u.fd.valid_min = def.u.fd.slider_min = Fix(min);
    def.u.fd.valid_max = def.u.fd.slider_max = Fix(max);
    def.u.fd.value = def.u.fd.dephault = Fix(dflt);
    return def;
}

PF_ParamDef Popup(const char* name, const char* choices, A_short count, A_short dflt) {
    PF_ParamDef def = Named(name, PF_Param_POPUP);
    def.u.pd.num_choices = count;
    def.u.pd.value = def.u.pd.dephault = dflt;
    def.u.pd.u.namesptr = choices;
    return def;
}

PF_ParamDef Checkbox(const char* name, bool dflt, PF_ParamFlags flags) {
    PF_ParamDef def = Named(name, PF_Param_CHECKBOX);
    def.u.bd.value = def.u.bd.dephault = dflt;
    def.u.bd.u.nameptr = "";
    def.flags = flags;
    return def;
}

PF_ParamDef Color(const char* name, PF_Pixel dflt) {
    PF_ParamDef def = Named(name, PF_Param_COLOR);
    def.u.cd.value = def.u.cd.dephault = dflt;
    return def;
}

PF_ParamDef Point(const char* name) { return Named(name, PF_Param_POINT); }

PF_ParamDef Layer(const char* name) {
    PF_ParamDef def = Named(name, PF_Param_LAYER);
    def.u.ld.dephault = PF_LayerDefault_NONE;
    return def;
}

PF_ParamDef GroupStart(const char* name) { return Named(name, PF_Param_GROUP_START); }

AEGP_PluginID RegisterPlugin(Host& host) {
    const auto& utility = Acquire<AEGP_UtilitySuite1>(host, kAEGPUtilitySuite, 3);
    AEGP_PluginID id = 0;
    utility.AEGP_RegisterWithAEGP(nullptr, "host test", &id);
    return id;
}

}  // namespace lumeshade::host::testing
