#include "params/params_setup.h"

#include <cstring>

#include "AE_EffectCB.h"
#include "params/param_table.h"

namespace lumeshade {
namespace {

// Fills the value part of a cleared record from its row. Every value starts
// at its default.
void FillValue(const ControlRow& row, PF_ParamDef& def) {
    switch (row.type) {
        case PF_Param_LAYER:
            def.u.ld.dephault = PF_LayerDefault_NONE;
            break;
        case PF_Param_SLIDER: {
            PF_SliderDef& s = def.u.sd;
            s.value = s.dephault = PF_ParamValue(row.dflt);
            s.valid_min = PF_ParamValue(row.validMin);
            s.valid_max = PF_ParamValue(row.validMax);
            s.slider_min = PF_ParamValue(row.sliderMin);
            s.slider_max = PF_ParamValue(row.sliderMax);
            break;
        }
        case PF_Param_FIX_SLIDER: {
            PF_FixedSliderDef& f = def.u.fd;
            f.value = f.dephault = ToFixed(row.dflt);
            f.valid_min = ToFixed(row.validMin);
            f.valid_max = ToFixed(row.validMax);
            f.slider_min = ToFixed(row.sliderMin);
            f.slider_max = ToFixed(row.sliderMax);
            f.precision = row.precision;
            f.display_flags = PF_ValueDisplayFlag_NONE;
            break;
        }
        case PF_Param_ANGLE:
            def.u.ad.value = def.u.ad.dephault = ToFixed(row.dflt);
            break;
        case PF_Param_CHECKBOX:
            def.u.bd.value = row.dflt != 0.0 ? 1 : 0;
            def.u.bd.dephault = PF_Boolean(def.u.bd.value);
            def.u.bd.u.nameptr = row.checkboxLabel;
            break;
        case PF_Param_COLOR:
            def.u.cd.value = {255, row.color.red, row.color.green, row.color.blue};
            def.u.cd.dephault = def.u.cd.value;
            break;
        case PF_Param_POINT:
            def.u.td.x_value = def.u.td.x_dephault = ToFixed(row.dflt);
            def.u.td.y_value = def.u.td.y_dephault = ToFixed(row.dflt);
            def.u.td.restrict_bounds = 0;
            break;
        case PF_Param_POPUP:
            def.u.pd.value = PF_ParamValue(row.dflt);
            def.u.pd.dephault = A_short(row.dflt);
            def.u.pd.num_choices = CountChoices(row.choices);
            def.u.pd.u.namesptr = row.choices;
            break;
        default:  // group start and end carry no value
            break;
    }
}

}  // namespace

PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data) {
    for (const ControlRow& row : kControls) {
        PF_ParamDef def;
        std::memset(&def, 0, sizeof def);
        if (row.type != PF_Param_GROUP_END) PF_STRCPY(def.name, row.name);
        def.param_type = row.type;
        def.uu.id = row.PersistentId();
        def.flags = row.flags;
        FillValue(row, def);
        if (const PF_Err err = PF_ADD_PARAM(in_data, -1, &def); err != PF_Err_NONE) return err;
    }
    out_data->num_params = PARAM_COUNT;
    return PF_Err_NONE;
}

}  // namespace lumeshade
