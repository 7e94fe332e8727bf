#include "tools/list_controls.h"

#include <iomanip>
#include <sstream>

#include "tools/control_values.h"

namespace lumeshade::tools {
namespace {

bool IsSlider(const ControlInfo& info) {
    return info.kind == ControlKind::kSlider || info.kind == ControlKind::kFixedSlider;
}

Json Bound(const ControlInfo& info, double value) {
    if (!IsSlider(info)) return nullptr;
    return std::stod(FormatUserNumber(value, info.precision));
}

std::string RangeText(const ControlInfo& info) {
    if (!IsSlider(info)) return "";
    return FormatUserNumber(info.validMin, info.precision) + ".." +
           FormatUserNumber(info.validMax, info.precision);
}

}  // namespace

Json ControlsToJson(const ControlSchema& schema, const std::vector<bool>& visible) {
    Json list = Json::array();
    const auto& controls = schema.Controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlInfo& info = controls[i];
        Json entry;
        entry["index"] = info.index;
        entry["key"] = info.key;
        entry["group"] = info.group;
        entry["name"] = info.name;
        entry["type"] = ControlKindName(info.kind);
        entry["default"] = ValueToJson(info, RegisteredDefault(info));
        entry["valid_min"] = Bound(info, info.validMin);
        entry["valid_max"] = Bound(info, info.validMax);
        entry["slider_min"] = Bound(info, info.sliderMin);
        entry["slider_max"] = Bound(info, info.sliderMax);
        entry["precision"] =
            info.kind == ControlKind::kFixedSlider ? Json(info.precision) : Json(nullptr);
        if (info.kind == ControlKind::kPopup) entry["choices"] = info.choices;
        entry["flags"] = info.flags;
        entry["visible"] = i < visible.size() && visible[i];
        list.push_back(std::move(entry));
    }
    return list;
}

std::string ControlsToText(const ControlSchema& schema, const std::vector<bool>& visible) {
    std::ostringstream out;
    out << std::left << std::setw(6) << "index" << std::setw(38) << "key" << std::setw(14) << "type"
        << std::setw(22) << "default" << std::setw(14) << "range"
        << "shown\n";
    const auto& controls = schema.Controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlInfo& info = controls[i];
        const Json value = ValueToJson(info, RegisteredDefault(info));
        std::string shown = value.is_string()   ? value.get<std::string>()
                            : value.is_number() ? FormatNumber(value.get<double>())
                                                : value.dump();
        if (info.kind == ControlKind::kGroupStart || info.kind == ControlKind::kGroupEnd) {
            shown = info.kind == ControlKind::kGroupStart ? "\"" + info.name + "\"" : "";
        }
        out << std::setw(6) << info.index << std::setw(38) << info.key << std::setw(14)
            << ControlKindName(info.kind) << std::setw(22) << shown << std::setw(14)
            << RangeText(info) << (i < visible.size() && visible[i] ? "yes" : "no") << '\n';
    }
    return out.str();
}

}  // namespace lumeshade::tools
