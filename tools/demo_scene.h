// The text of examples/demo.json, compiled into the program.
#pragma once

#include <string_view>

namespace lumeshade::tools {

extern const std::string_view kDemoSceneText;

}  // namespace lumeshade::tools
