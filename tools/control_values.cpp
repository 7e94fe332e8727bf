#include "tools/control_values.h"

#include <cctype>
#include <cmath>

#include "common/convert.h"
#include "tools/nearest_name.h"
#include "tools/scene.h"

namespace lumeshade::tools {
namespace {

// 16.16 values hold magnitudes below 32768.
constexpr double kFixedLimit = 32767.0;

PF_Fixed ToFixed16(double v) { return TruncToInt(v * 65536.0); }

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::string Range(const ControlInfo& info) {
    return FormatUserNumber(info.validMin, info.precision) + " to " +
           FormatUserNumber(info.validMax, info.precision);
}

double ReadFixed(const ControlInfo& info, const Json& value, const Location& where) {
    const std::string expected = "a number from " + Range(info);
    if (!value.is_number()) FailExpected(where, expected, value);
    const double v = value.get<double>();
    // Compared as the host stores it, so a value that registers as the
    // bound itself (as 0.4 does) is accepted.
    if (!(std::abs(v) <= kFixedLimit) || ToFixed16(v) < info.registered.u.fd.valid_min ||
        ToFixed16(v) > info.registered.u.fd.valid_max) {
        FailExpected(where, expected, value);
    }
    return v;
}

// For [r, g, b] with every number from 0 to 1 and not all 0, as light
// colours are written: "colour controls are 0..255 bytes; did you mean [255,
// 128, 0]?"; otherwise "".
std::string UnitColorHint(const Json& value) {
    if (!value.is_array() || value.size() != 3) return "";
    std::string bytes;
    bool allZero = true;
    for (const Json& v : value) {
        if (!v.is_number() || !(v.get<double>() >= 0.0 && v.get<double>() <= 1.0)) return "";
        allZero = allZero && v.get<double>() == 0.0;
        bytes += (bytes.empty() ? "" : ", ") + std::to_string(RoundToInt(v.get<double>() * 255.0));
    }
    if (allZero) return "";
    return "colour controls are 0..255 bytes; did you mean [" + bytes + "]?";
}

ColorValue ReadColor(const Json& value, const Location& where) {
    const char* expected = "[r, g, b] with whole numbers from 0 to 255, or \"#rrggbb\"";
    ColorValue color;
    if (value.is_string()) {
        const auto bytes = ParseHexColor(value.get<std::string>());
        if (!bytes) FailExpected(where, expected, value);
        for (int i = 0; i < 3; ++i) color.rgb[i] = (*bytes)[i];
        return color;
    }
    if (!value.is_array() || value.size() != 3) FailExpected(where, expected, value);
    for (std::size_t i = 0; i < 3; ++i) {
        // [1, 0.5, 0] is a light's colour, not a control's: say so.
        const std::string hint = UnitColorHint(value);
        if (!hint.empty() && value[i].get<double>() != std::floor(value[i].get<double>())) {
            Fail(where.Item(i), "expected a whole number from 0 to 255, got " +
                                    DescribeValue(value[i]) + ": " + hint);
        }
        color.rgb[i] = ReadWholeNumber(value[i], where.Item(i), 0, 255);
    }
    return color;
}

PointValue ReadPoint(const Json& value, const Location& where) {
    const std::string expected = "[x, y] with numbers from -32767 to 32767";
    if (!value.is_array() || value.size() != 2) FailExpected(where, expected, value);
    PointValue point;
    for (std::size_t i = 0; i < 2; ++i) {
        point.xy[i] = ReadNumberIn(value[i], where.Item(i), -kFixedLimit, kFixedLimit);
    }
    return point;
}

ChoiceValue ReadChoice(const ControlInfo& info, const Json& value, const Location& where) {
    std::vector<std::string> entries;
    std::string listed;
    for (const std::string& e : info.choices) {
        if (e == "-") continue;
        entries.push_back(e);
        listed += (listed.empty() ? "\"" : ", \"") + e + "\"";
    }
    const int count = int(info.choices.size());
    const std::string expected =
        "one of " + listed + ", or a choice number from 1 to " + std::to_string(count);
    if (value.is_number()) {
        const double v = value.get<double>();
        if (!(v >= 1 && v <= count) || v != std::floor(v)) FailExpected(where, expected, value);
        const int choice = TruncToInt(v);
        if (info.choices[choice - 1] == "-") {
            Fail(where,
                 "choice " + std::to_string(choice) + " is a separator; expected " + expected);
        }
        return {choice};
    }
    if (!value.is_string()) FailExpected(where, expected, value);
    const std::string text = value.get<std::string>();
    // The exact text first, then the same text in another case ("add").
    for (const bool exact : {true, false}) {
        for (int i = 0; i < count; ++i) {
            const std::string& e = info.choices[i];
            if (e != "-" && (exact ? e == text : SameIgnoringCase(e, text))) return {i + 1};
        }
    }
    Fail(where,
         "expected " + expected + ", got " + DescribeValue(value) + DidYouMean(text, entries));
}

LayerValue ReadLayer(const Json& value, const Location& where,
                     const std::vector<std::string>& layerNames) {
    std::string listed;
    for (const std::string& n : layerNames) listed += (listed.empty() ? "\"" : ", \"") + n + "\"";
    const std::string expected = "null or a layer of the scene (" + listed + ")";
    if (value.is_null()) return {};
    if (!value.is_string()) FailExpected(where, expected, value);
    const std::string name = value.get<std::string>();
    for (const std::string& n : layerNames) {
        if (n == name) return {name};
    }
    Fail(where,
         "expected " + expected + ", got " + DescribeValue(value) + DidYouMean(name, layerNames));
}

}  // namespace

std::string FormatUserNumber(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(value * scale) / scale;
    return FormatNumber(rounded == 0.0 ? 0.0 : rounded);  // no "-0"
}

ControlValue ReadControlValue(const ControlInfo& info, const Json& value, const Location& where,
                              const std::vector<std::string>& layerNames) {
    switch (info.kind) {
        case ControlKind::kSlider:
            return NumberValue{double(ReadWholeNumber(value, where, TruncToInt(info.validMin),
                                                      TruncToInt(info.validMax)))};
        case ControlKind::kFixedSlider:
            return NumberValue{ReadFixed(info, value, where)};
        case ControlKind::kAngle:
            if (!value.is_number() || !(std::abs(value.get<double>()) <= kFixedLimit)) {
                FailExpected(where, "a number of degrees from -32767 to 32767", value);
            }
            return NumberValue{value.get<double>()};
        case ControlKind::kCheckbox:
            return SwitchValue{ReadBool(value, where)};
        case ControlKind::kColor:
            return ReadColor(value, where);
        case ControlKind::kPoint:
            return ReadPoint(value, where);
        case ControlKind::kPopup:
            return ReadChoice(info, value, where);
        case ControlKind::kLayer:
            return ReadLayer(value, where, layerNames);
        case ControlKind::kGroupStart:
        case ControlKind::kGroupEnd:
            break;
    }
    Fail(where, "is a group mark and takes no value");
}

ControlValue RegisteredDefault(const ControlInfo& info) {
    const PF_ParamDefUnion& u = info.registered.u;
    switch (info.kind) {
        case ControlKind::kSlider:
            return NumberValue{double(u.sd.dephault)};
        case ControlKind::kFixedSlider:
            return NumberValue{u.fd.dephault / 65536.0};
        case ControlKind::kAngle:
            return NumberValue{u.ad.dephault / 65536.0};
        case ControlKind::kCheckbox:
            return SwitchValue{u.bd.dephault != 0};
        case ControlKind::kColor:
            return ColorValue{{double(u.cd.dephault.red), double(u.cd.dephault.green),
                               double(u.cd.dephault.blue)}};
        case ControlKind::kPoint:
            return PointValue{{u.td.x_dephault / 65536.0, u.td.y_dephault / 65536.0}};
        case ControlKind::kPopup:
            return ChoiceValue{u.pd.dephault};
        case ControlKind::kLayer:
            return LayerValue{};
        case ControlKind::kGroupStart:
        case ControlKind::kGroupEnd:
            break;
    }
    return NoValue{};
}

void StoreValue(const ControlInfo& info, const ControlValue& value, PF_ParamDefUnion& record) {
    switch (info.kind) {
        case ControlKind::kSlider:
            record.sd.value = RoundToInt(std::get<NumberValue>(value).value);
            break;
        case ControlKind::kFixedSlider:
            record.fd.value = ToFixed16(std::get<NumberValue>(value).value);
            break;
        case ControlKind::kAngle:
            record.ad.value = ToFixed16(std::get<NumberValue>(value).value);
            break;
        case ControlKind::kCheckbox:
            record.bd.value = std::get<SwitchValue>(value).on ? 1 : 0;
            break;
        case ControlKind::kColor: {
            const auto& rgb = std::get<ColorValue>(value).rgb;
            record.cd.value.alpha = 255;
            record.cd.value.red = A_u_char(RoundToInt(rgb[0]));
            record.cd.value.green = A_u_char(RoundToInt(rgb[1]));
            record.cd.value.blue = A_u_char(RoundToInt(rgb[2]));
            break;
        }
        case ControlKind::kPoint: {
            const auto& xy = std::get<PointValue>(value).xy;
            record.td.x_value = ToFixed16(xy[0]);
            record.td.y_value = ToFixed16(xy[1]);
            break;
        }
        case ControlKind::kPopup:
            record.pd.value = std::get<ChoiceValue>(value).choice;
            break;
        default:
            break;
    }
}

Json ValueToJson(const ControlInfo& info, const ControlValue& value) {
    if (const auto* n = std::get_if<NumberValue>(&value)) {
        if (info.kind == ControlKind::kFixedSlider) {
            return std::stod(FormatUserNumber(n->value, info.precision));
        }
        return n->value;
    }
    if (const auto* s = std::get_if<SwitchValue>(&value)) return s->on;
    if (const auto* c = std::get_if<ColorValue>(&value)) {
        return Json::array({RoundToInt(c->rgb[0]), RoundToInt(c->rgb[1]), RoundToInt(c->rgb[2])});
    }
    if (const auto* p = std::get_if<PointValue>(&value)) return Json::array({p->xy[0], p->xy[1]});
    if (const auto* c = std::get_if<ChoiceValue>(&value)) {
        if (c->choice >= 1 && c->choice <= int(info.choices.size()))
            return info.choices[c->choice - 1];
        return c->choice;
    }
    if (const auto* l = std::get_if<LayerValue>(&value)) {
        return l->layer.empty() ? Json(nullptr) : Json(l->layer);
    }
    return nullptr;
}

std::vector<ControlTrack> ResolveControls(const Scene& scene, const ControlSchema& schema,
                                          std::vector<std::string>* warnings) {
    const std::vector<std::string> layerNames = scene.LayerNames();
    std::vector<ControlTrack> tracks;
    for (const ControlSetting& setting : scene.controls) {
        const ControlInfo* info = schema.Find(setting.key);
        if (info == nullptr)
            Fail(setting.where, "unknown control" + DidYouMean(setting.key, schema.Keys()));
        ControlTrack track;
        track.info = info;
        bool warned = false;
        track.track = ReadTrack<ControlValue>(
            setting.value, setting.where, [&](const Json& v, const Location& at) {
                ControlValue value = ReadControlValue(*info, v, at, layerNames);
                // Taken as written ([1, 1, 1] is all but black), once per control.
                const std::string hint =
                    info->kind == ControlKind::kColor ? UnitColorHint(v) : std::string();
                if (!hint.empty() && !warned && warnings != nullptr) {
                    warnings->push_back(at.Describe() + ": " + hint);
                    warned = true;
                }
                return value;
            });
        tracks.push_back(std::move(track));
    }
    return tracks;
}

}  // namespace lumeshade::tools
