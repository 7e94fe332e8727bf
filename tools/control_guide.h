// Each control's help, from the control guide (docs/controls.md, compiled
// into the program) so that the live page explains a control in the guide's
// own words and the words have one home.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace lumeshade::tools {

// The guide's text.
extern const std::string_view kControlGuide;

// Control key -> its description, from the guide's entries
//   - **Name** (`key`, details): description, continued on lines
//     indented by two spaces
// and paragraphs "**Name** (`key`, details) description ...", with the
// guide's emphasis, code marks and escapes taken out.
std::map<std::string, std::string> ControlHelp(std::string_view guide);

}  // namespace lumeshade::tools
