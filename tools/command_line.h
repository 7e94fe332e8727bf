// The command line of lumeshade-render: its options, their help text and
// their parsing into RunOptions.
#pragma once

#include <optional>
#include <ostream>

#include "tools/run_options.h"

namespace lumeshade::tools {

// The options, or nothing when the run ends here: --help prints the help to
// `out` (`status` 0); a malformed command line prints one error line to
// `err` (`status` 2).
std::optional<RunOptions> ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                                           std::ostream& err, int& status);

}  // namespace lumeshade::tools
