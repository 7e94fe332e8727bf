#include "tools/control_schema.h"

#include <cctype>
#include <cstring>

#include "params/param_table.h"

namespace lumeshade::tools {
namespace {

struct KindRow {
    PF_ParamType type;
    ControlKind kind;
    const char* name;
};
constexpr KindRow kKinds[] = {
    {PF_Param_LAYER, ControlKind::kLayer, "layer"},
    {PF_Param_SLIDER, ControlKind::kSlider, "slider"},
    {PF_Param_FIX_SLIDER, ControlKind::kFixedSlider, "fixed_slider"},
    {PF_Param_ANGLE, ControlKind::kAngle, "angle"},
    {PF_Param_CHECKBOX, ControlKind::kCheckbox, "checkbox"},
    {PF_Param_COLOR, ControlKind::kColor, "color"},
    {PF_Param_POINT, ControlKind::kPoint, "point"},
    {PF_Param_POPUP, ControlKind::kPopup, "popup"},
    {PF_Param_GROUP_START, ControlKind::kGroupStart, "group_start"},
    {PF_Param_GROUP_END, ControlKind::kGroupEnd, "group_end"},
};

std::vector<std::string> SplitChoices(const char* list) {
    std::vector<std::string> entries(1);
    for (const char* p = list; *p; ++p) {
        if (*p == '|')
            entries.emplace_back();
        else
            entries.back() += *p;
    }
    return entries;
}

std::string Mismatch(A_long index, const std::string& what) {
    return "the module's control " + std::to_string(index) + " " + what +
           "; is it the module this program was built with?";
}

}  // namespace

const char* ControlKindName(ControlKind kind) {
    for (const KindRow& row : kKinds) {
        if (row.kind == kind) return row.name;
    }
    return "";
}

std::string ControlKey(std::string_view identifier) {
    if (identifier.starts_with("PARAM_")) identifier.remove_prefix(6);
    std::string key(identifier);
    for (char& c : key) c = char(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

ControlSchema ControlSchema::FromRegistration(const std::vector<PF_ParamDef>& registered) {
    if (registered.size() != kControlCount) {
        throw ModuleMismatch("the module registered " + std::to_string(registered.size()) +
                             " controls where " + std::to_string(kControlCount) +
                             " were expected; is it the module this program was built with?");
    }
    ControlSchema schema;
    std::string group;
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const ControlRow& row = kControls[i];
        const PF_ParamDef& def = registered[i];
        ControlInfo info;
        info.index = row.index;
        info.key = ControlKey(row.identifier);
        info.registered = def;
        info.flags = def.flags;
        const KindRow* kind = nullptr;
        for (const KindRow& k : kKinds) {
            if (k.type == def.param_type) kind = &k;
        }
        if (kind == nullptr || def.param_type != row.type) {
            throw ModuleMismatch(Mismatch(row.index, "has type " + std::to_string(def.param_type) +
                                                         " where " + std::to_string(row.type) +
                                                         " was expected"));
        }
        info.kind = kind->kind;
        info.name.assign(def.name, strnlen(def.name, sizeof def.name));
        const std::string expectedName = row.type == PF_Param_GROUP_END ? "" : row.name;
        if (info.name != expectedName) {
            throw ModuleMismatch(Mismatch(row.index, "is named \"" + info.name + "\" where \"" +
                                                         expectedName + "\" was expected"));
        }
        switch (info.kind) {
            case ControlKind::kSlider:
                info.validMin = def.u.sd.valid_min, info.validMax = def.u.sd.valid_max;
                info.sliderMin = def.u.sd.slider_min, info.sliderMax = def.u.sd.slider_max;
                break;
            case ControlKind::kFixedSlider:
                info.validMin = def.u.fd.valid_min / 65536.0;
                info.validMax = def.u.fd.valid_max / 65536.0;
                info.sliderMin = def.u.fd.slider_min / 65536.0;
                info.sliderMax = def.u.fd.slider_max / 65536.0;
                info.precision = def.u.fd.precision;
                break;
            case ControlKind::kPopup: {
                const char* list = def.u.pd.u.namesptr;
                if (list == nullptr || std::strcmp(list, row.choices) != 0 ||
                    def.u.pd.num_choices != CountChoices(row.choices)) {
                    throw ModuleMismatch(Mismatch(row.index, "has other choices than expected"));
                }
                info.choices = SplitChoices(list);
                break;
            }
            default:
                break;
        }
        // The record's pointers lead into the host's storage; the copy keeps
        // only values.
        if (info.kind == ControlKind::kPopup) info.registered.u.pd.u.namesptr = nullptr;
        if (info.kind == ControlKind::kCheckbox) info.registered.u.bd.u.nameptr = nullptr;
        if (info.kind == ControlKind::kGroupStart) {
            group = row.name;
        } else if (info.kind == ControlKind::kGroupEnd) {
            group.clear();
        } else {
            info.group = group;
        }
        schema.controls_.push_back(std::move(info));
    }
    return schema;
}

const ControlInfo* ControlSchema::Find(std::string_view key) const {
    for (const ControlInfo& info : controls_) {
        if (info.key == key) return &info;
    }
    return nullptr;
}

std::vector<std::string> ControlSchema::Keys() const {
    std::vector<std::string> keys;
    for (const ControlInfo& info : controls_) keys.push_back(info.key);
    return keys;
}

}  // namespace lumeshade::tools
