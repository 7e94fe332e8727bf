// Which controls the live page shows. A page is one long editing session,
// as in the compositing host, where each edit tells the module of every
// supervised control that changed since the edit before, and its
// visibility rules act on that history: a group switched on and off again
// hides its controls, where a fresh run of the scene would show every
// control. The emulated host is made anew for each edit (only one may be
// live, and renders need theirs), so each edit replays the one before it
// from the registered defaults, then makes its own changes.
#pragma once

#include <optional>
#include <string>

#include "tools/control_values.h"
#include "tools/json_read.h"
#include "tools/scene.h"

namespace lumeshade::tools {

class ControlVisibility {
public:
    explicit ControlVisibility(std::string module) : module_(std::move(module)) {}

    // Applies the scene's control values at `frame` as an edit and returns
    // the controls as --list-controls --json lists them. Fails with an
    // InputError for values the controls refuse or an unusable module, a
    // ModuleFailure, or a ModuleMismatch.
    Json Edit(const Scene& scene, int frame);

private:
    std::string module_;
    // The edit before: its scene and frame.
    struct Edited {
        Scene scene;
        int frame = 0;
    };
    std::optional<Edited> previous_;
};

}  // namespace lumeshade::tools
