// The rules that show a group's controls while its switch is on and hide
// them while it is off.
#pragma once

#include <cstddef>
#include <span>

#include "params/param_ids.h"

namespace lumeshade {

struct VisibilityRule {
    ParamId switchControl;              // a checkbox, or the Depth Map layer
    std::span<const ParamId> governed;  // in the order their flags are set
};

// The twelve rules, in the order they are applied.
std::span<const VisibilityRule> VisibilityRules();

}  // namespace lumeshade
