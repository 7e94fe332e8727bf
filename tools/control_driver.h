// The controls set to their values at each frame, as a host sets them while
// playing a composition: every control the scene sets gets its value at the
// frame, and the module is told, by a user-changed-param command, of every
// supervised control whose value changed.
#pragma once

#include <map>
#include <vector>

#include "host/host.h"
#include "tools/composition_builder.h"
#include "tools/control_values.h"

namespace lumeshade::tools {

class ControlDriver {
public:
    // Before the first frame every control holds its registered default.
    ControlDriver(const ControlSchema& schema, std::vector<ControlTrack> tracks,
                  const CompositionLayout& layout);

    // Throws a ModuleFailure when the module fails a user-changed-param.
    void Apply(host::Host& host, double frame);

private:
    std::vector<ControlTrack> tracks_;
    const CompositionLayout& layout_;
    std::map<A_long, ControlValue> previous_;
};

}  // namespace lumeshade::tools
