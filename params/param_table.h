// The effect's 142 controls as one declarative table. Registration, the
// visibility rules, the tests and the command-line renderer all read it.
#pragma once

#include <array>
#include <cstddef>

#include "AE_Effect.h"
#include "params/choices.h"
#include "params/param_ids.h"

namespace lumeshade {

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
    const char* choices = nullptr;  // popups: the choice list's text...
    int32_t choiceCount = 0;        // ...and the entries the code names
    const char* checkboxLabel = "";
    ColorBytes color{};

    constexpr A_long PersistentId() const { return index - 1; }
};

constexpr PF_Fixed ToFixed(double v) { return static_cast<PF_Fixed>(v * 65536.0); }

constexpr A_short CountChoices(const char* list) {
    return list == nullptr ? 0 : static_cast<A_short>(CountChoiceEntries(list));
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
constexpr ControlRow Fixed(ParamId i, const char* id, const char* name, double dflt, double vmin,
                           double vmax, double smin, double smax,
                           A_short precision = kPrecisionTenThousandths) {
    ControlRow r;
    r.index = i, r.identifier = id, r.type = PF_Param_FIX_SLIDER, r.name = name, r.dflt = dflt;
    r.validMin = vmin, r.validMax = vmax, r.sliderMin = smin, r.sliderMax = smax;
    r.precision = precision;
    return r;
}
constexpr ControlRow Slider(ParamId i, const char* id, const char* name, double dflt, double vmin,
                            double vmax, double smin, double smax) {
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
constexpr ControlRow Popup(ParamId i, const char* id, const char* name, int32_t dflt,
                           const ChoiceList& choices, PF_ParamFlags flags = kNoFlags) {
    ControlRow r;
    r.index = i, r.identifier = id, r.type = PF_Param_POPUP, r.name = name, r.dflt = dflt;
    r.choices = choices.text, r.choiceCount = choices.count, r.flags = flags;
    return r;
}

}  // namespace table_rows

inline constexpr std::size_t kControlCount = 142;

// The controls, in registration order (index 1 to 142).
extern const std::array<ControlRow, kControlCount> kControls;

// The row of a control; index must lie in 1..142.
inline const ControlRow& Control(ParamId index) {
    return kControls[static_cast<std::size_t>(index - 1)];
}

}  // namespace lumeshade
