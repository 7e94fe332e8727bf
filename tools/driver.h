// A run of lumeshade-render: reads the scene, loads the module, drives it
// through the emulated host frame by frame, and writes and probes the
// frames.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace lumeshade::tools {

struct RunOptions {
    std::optional<std::string> scene;   // none: the built-in demo
    std::optional<std::string> output;  // none: lumeshade.png, or demo.png for the demo
    std::optional<std::string> frames;  // "A" or "A-B"
    std::optional<std::string> depth;   // "8", "16" or "float"
    int threads = 0;                    // 0: all cores
    std::string quality = "high";
    int downsample = 1;
    std::vector<std::string> settings;  // --set KEY=VALUE
    std::vector<std::string> probes;    // --probe X,Y
    std::optional<std::string> region;  // --region X,Y,W,H; none: the whole output
    bool listControls = false;
    bool json = false;
    bool progress = false;  // draw the progress bar
    std::string module;     // empty: lumeshade.so beside the program
};

// Returns the exit status: 0, 1 when the module fails (its error code and
// message are reported), 2 for bad input. Probes and listings go to `out`,
// messages and the progress bar to `err`.
int Run(const RunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace lumeshade::tools
