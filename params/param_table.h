// The effect's 142 controls as one declarative table. Registration, the
// visibility rules, the tests and the command-line renderer all read it.
#pragma once

#include <array>
#include <cstddef>

#include "AE_Effect.h"
#include "params/param_ids.h"

namespace lumeshade {

// Choice lists; choice n of a popup is the n-th "|"-separated entry and "-"
// entries are separators that still keep their number.
inline constexpr const char* kDisplayChoices =
    "Off|-|Adjusted Normals|Original Normals|Depth|-|Diffuse|Specular|Incidence|Rim|Toon|"
    "Gradient|Matcap|Reflection|Refraction|Texture|Bump|-|All";
inline constexpr const char* kChannelChoices = "Red|Green|Blue|Full|None";
inline constexpr const char* kDepthChannelChoices = "None|-|Red|Green|Blue|-|Luminance";
inline constexpr const char* kLightChoices =
    "None|All|Light 1|Light 2|Light 3|Light 4|Light 5|Light *";
inline constexpr const char* kFalloffChoices = "Constant|Linear|Quadratic|Cubic";
inline constexpr const char* kBlendModeChoices =
    "Normal|Average|Darken|Multiply|Color Burn|Inverse Color Burn|Subtract|Darker|Lighten|"
    "Add|Screen|Color Dodge|Inverse Color Dodge|Lighter|Divide|Overlay|Soft Light|Hard Light|"
    "Reflect|Glow|Difference|Exclusion|Grain Merge|Exponential (A^B)|Exponential (B^A)|Hue|"
    "Saturation|Color|Luminosity|Phoenix";
inline constexpr const char* kTileChoices = "None|Edge|Repeat|Mirror";
inline constexpr const char* kEnvironmentChoices = "Spherical|Panorama";
inline constexpr const char* kMirrorChoices = "Off|X|Y|Both";
inline constexpr const char* kFilterChoices = "Off|Low|Medium|High";

inline constexpr const char* kInvisibleLightsLabel =
    "Check if invisible lights should be used in calculations.";

// Our own names for the host's decimal precisions and the empty flag set.
inline constexpr A_short kPrecisionHundredths = 2;
inline constexpr A_short kPrecisionTenThousandths = 4;
inline constexpr PF_ParamFlags kNoFlags = 0;
inline constexpr PF_ParamFlags kCollapsed = PF_ParamFlag_START_COLLAPSED;
inline constexpr PF_ParamFlags kSupervised = PF_ParamFlag_SUPERVISE;

struct ColorBytes {
    A_u_char red = 0, green = 0, blue = 0;
};

// One control. Defaults and ranges are in the user's units; a fixed-point
// value v registers as v x 65536 with its fraction dropped (ToFixed).
struct ControlRow {
    ParamId index = PARAM_INPUT;
    const char* identifier = "";  // "PARAM_..."
    PF_ParamType type = PF_Param_RESERVED;
    const char* name = "";
    double dflt = 0.0;  // number, checkbox 0/1 or 1-based choice
    double validMin = 0.0, validMax = 0.0;
    double sliderMin = 0.0, sliderMax = 0.0;
    A_short precision = 0;
    PF_ParamFlags flags = kNoFlags;
    const char* choices = nullptr;
    const char* checkboxLabel = "";
    ColorBytes color{};

    constexpr A_long PersistentId() const { return index - 1; }
};

constexpr PF_Fixed ToFixed(double v) { return static_cast<PF_Fixed>(v * 65536.0); }

constexpr A_short CountChoices(const char* list) {
    if (list == nullptr) return 0;
    A_short n = 1;
    for (const char* p = list; *p; ++p) n += (*p == '|');
    return n;
}

namespace table_rows {

constexpr ControlRow Group(ParamId i, const char* id, const char* name, PF_ParamFlags flags) {
    ControlRow r;
    r.index = i, r.identifier = id, r.type = PF_Param_GROUP_START, r.name = name, r.flags = flags;
    return r;
}
constexpr ControlRow GroupEnd(ParamId i, const char* id) {
    ControlRow r;
    r.index = i, r.identifier = id, r.type = PF_Param_GROUP_END;
    return r;
}
constexpr ControlRow Layer(ParamId i, const char* id, const char* name,
                           PF_ParamFlags flags = kNoFlags) {
    ControlRow r;
    r.index = i, r.identifier = id, r.type = PF_Param_LAYER, r.name = name, r.flags = flags;
    return r;
}
constexpr ControlRow Checkbox(ParamId i, const char* id, const char* name, bool on,
                              PF_ParamFlags flags = kNoFlags, const char* label = "") {
    ControlRow r;
    r.index = i, r.identifier = id, r.type = PF_Param_CHECKBOX, r.name = name;
    r.dflt = on ? 1.0 : 0.0, r.flags = flags, r.checkboxLabel = label;
    return r;
}
constexpr ControlRow Fixed(ParamId i, const char* id, const char* name, double dflt,
                           double vmin, double vmax, double smin, double smax,
                           A_short precision = kPrecisionTenThousandths) {
    ControlRow r;
    r.index = i, r.identifier = id, r.type = PF_Param_FIX_SLIDER, r.name = name, r.dflt = dflt;
    r.validMin = vmin, r.validMax = vmax, r.sliderMin = smin, r.sliderMax = smax;
    r.precision = precision;
    return r;
}
constexpr ControlRow Slider(ParamId i, const char* id, const char* name, double dflt,
                            double vmin, double vmax, double smin, double smax) {
    ControlRow r;
    r.index = i, r.identifier = id, r.type = PF_Param_SLIDER, r.name = name, r.dflt = dflt;
    r.validMin = vmin, r.validMax = vmax, r.sliderMin = smin, r.sliderMax = smax;
    return r;
}
constexpr ControlRow Angle(ParamId i, const char* id, const char* name) {
    ControlRow r;
    r.index = i, r.identifier = id, r.type = PF_Param_ANGLE, r.name = name;
    return r;
}
constexpr ControlRow Colour(ParamId i, const char* id, const char* name, A_u_char red,
                            A_u_char green, A_u_char blue) {
    ControlRow r;
    r.index = i, r.identifier = id, r.type = PF_Param_COLOR, r.name = name;
    r.color = {red, green, blue};
    return r;
}
constexpr ControlRow Point(ParamId i, const char* id, const char* name) {
    ControlRow r;
    r.index = i, r.identifier = id, r.type = PF_Param_POINT, r.name = name;
    return r;
}
constexpr ControlRow Popup(ParamId i, const char* id, const char* name, int dflt,
                           const char* choices, PF_ParamFlags flags = kNoFlags) {
    ControlRow r;
    r.index = i, r.identifier = id, r.type = PF_Param_POPUP, r.name = name, r.dflt = dflt;
    r.choices = choices, r.flags = flags;
    return r;
}

}  // namespace table_rows

inline constexpr std::size_t kControlCount = 142;

// The controls, in registration order (index 1 to 142).
extern const std::array<ControlRow, kControlCount> kControls;

// The row of a control; index must lie in 1..142.
inline const ControlRow& Control(ParamId index) { return kControls[index - 1]; }

}  // namespace lumeshade
