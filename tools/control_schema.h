// The effect's controls as the module registered them with the host, with
// the scene keys and group names of the control table beside them.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "AE_Effect.h"

namespace lumeshade::tools {

enum class ControlKind {
    kLayer,
    kSlider,
    kFixedSlider,
    kAngle,
    kCheckbox,
    kColor,
    kPoint,
    kPopup,
    kGroupStart,
    kGroupEnd
};

// "layer", "slider", "fixed_slider", ...
const char* ControlKindName(ControlKind kind);

struct ControlInfo {
    A_long index = 0;
    std::string key;    // the identifier in lower case without "PARAM_"
    std::string group;  // the enclosing group's name; "" outside groups and for group marks
    std::string name;   // as registered
    ControlKind kind = ControlKind::kGroupEnd;
    PF_ParamFlags flags = 0;
    PF_ParamDef registered{};          // the record the host received (its strings not kept)
    std::vector<std::string> choices;  // popups: the entries, "-" for separators
    // Sliders, in the user's units.
    double validMin = 0.0, validMax = 0.0, sliderMin = 0.0, sliderMax = 0.0;
    int precision = 0;  // fixed-point sliders: decimals shown

    bool Supervised() const { return (flags & PF_ParamFlag_SUPERVISE) != 0; }
};

// The module registered controls that differ from the program's table: the
// module is not the one this program was built with.
class ModuleMismatch : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string ControlKey(std::string_view identifier);

class ControlSchema {
public:
    // Throws ModuleMismatch when the registration and the table disagree on
    // the number of controls or any control's type, name or choices.
    static ControlSchema FromRegistration(const std::vector<PF_ParamDef>& registered);

    const std::vector<ControlInfo>& Controls() const { return controls_; }
    const ControlInfo* Find(std::string_view key) const;
    std::vector<std::string> Keys() const;

private:
    std::vector<ControlInfo> controls_;
};

}  // namespace lumeshade::tools
