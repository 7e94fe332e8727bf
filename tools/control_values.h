// Control values in the user's units, as scenes write them, and their
// conversion to the host's value records.
//
//   slider, fixed slider, angle   a number (a whole one for sliders)
//   checkbox                      true or false
//   colour                        [r, g, b] bytes or "#rrggbb"
//   point                         [x, y] pixels
//   popup                         an entry's text ("Add") or its number
//   layer                         a layer's name, or null for none
#pragma once

#include <array>
#include <string>
#include <variant>
#include <vector>

#include "AE_Effect.h"
#include "host/keyframes.h"
#include "tools/control_schema.h"
#include "tools/json_read.h"

namespace lumeshade::tools {

struct NoValue {
    bool operator==(const NoValue&) const = default;
};
struct NumberValue {
    double value = 0.0;
    bool operator==(const NumberValue&) const = default;
};
struct SwitchValue {
    bool on = false;
    bool operator==(const SwitchValue&) const = default;
};
struct ColorValue {
    std::array<double, 3> rgb{};  // whole bytes
    bool operator==(const ColorValue&) const = default;
};
struct PointValue {
    std::array<double, 2> xy{};
    bool operator==(const PointValue&) const = default;
};
struct ChoiceValue {
    int choice = 1;  // 1-based
    bool operator==(const ChoiceValue&) const = default;
};
struct LayerValue {
    std::string layer;  // "" for none
    bool operator==(const LayerValue&) const = default;
};

using ControlValue = std::variant<NoValue, NumberValue, SwitchValue, ColorValue, PointValue,
                                  ChoiceValue, LayerValue>;

// One value; fails with the control's valid range, choices or layers.
ControlValue ReadControlValue(const ControlInfo& info, const Json& value, const Location& where,
                              const std::vector<std::string>& layerNames);

// The value the module registered the control with.
ControlValue RegisteredDefault(const ControlInfo& info);

// Writes the value into the value fields of a host record of the control's
// type, leaving its ranges and other fields as they are. Layers are bound
// through the composition instead and are not written here.
void StoreValue(const ControlInfo& info, const ControlValue& value, PF_ParamDefUnion& record);

// The value as a scene writes it (fixed-point values rounded to the
// control's decimals, choices by their text).
Json ValueToJson(const ControlInfo& info, const ControlValue& value);

// The decimal text of a user-unit number rounded to `decimals`.
std::string FormatUserNumber(double value, int decimals);

// The controls a scene sets, checked against the module's controls.
struct ControlTrack {
    const ControlInfo* info = nullptr;
    host::Keyed<ControlValue> track;
};
// A colour given as [r, g, b] from 0 to 1 (as light colours are) is taken as
// bytes, and `warnings` gets a line for it.
struct Scene;
std::vector<ControlTrack> ResolveControls(const Scene& scene, const ControlSchema& schema,
                                          std::vector<std::string>* warnings = nullptr);

}  // namespace lumeshade::tools
