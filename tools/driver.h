// A run of lumeshade-render: reads the scene, loads the module, drives it
// through the emulated host frame by frame, and writes and probes the
// frames.
#pragma once

#include <ostream>

#include "tools/run_options.h"

namespace lumeshade::tools {

// Returns the exit status: 0, 1 when the module fails (its error code and
// message are reported), 2 for bad input. Probes and listings go to `out`,
// messages and the progress bar to `err`.
int Run(const RunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace lumeshade::tools
