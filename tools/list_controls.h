// --list-controls: the controls as the module registered them, and which of
// them its visibility rules leave shown.
#pragma once

#include <string>
#include <vector>

#include "tools/control_schema.h"
#include "tools/json_read.h"

namespace lumeshade::tools {

// `visible[i]` belongs to the schema's i-th control.
Json ControlsToJson(const ControlSchema& schema, const std::vector<bool>& visible);
std::string ControlsToText(const ControlSchema& schema, const std::vector<bool>& visible);

}  // namespace lumeshade::tools
