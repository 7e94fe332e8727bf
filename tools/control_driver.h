// The controls a scene sets, handed to the host as a host keeps them (a
// value, or keys it follows from frame to frame), and the module told, by a
// user-changed-param command, of every supervised control whose value
// changed since the frame before, as a host tells it after an edit.
#pragma once

#include <utility>
#include <vector>

#include "host/host.h"
#include "tools/composition_builder.h"
#include "tools/control_values.h"

namespace lumeshade::tools {

// Hands each control's value or keys to the host. A layer the layout does
// not hold chooses no layer.
void HandControls(host::Host& host, const std::vector<ControlTrack>& tracks,
                  const CompositionLayout& layout);

class ControlDriver {
public:
    // Watches the supervised controls among `tracks`, in their order, taking
    // each one's value as the host holds it now (before the tracks are
    // handed over: the registered default).
    ControlDriver(host::Host& host, const std::vector<ControlTrack>& tracks);

    // Tells the module of every watched control whose value at `frame`
    // (in_data's time) differs from its value at the call before. Throws a
    // ModuleFailure when the module fails a user-changed-param.
    void Apply(host::Host& host, double frame);

private:
    std::vector<std::pair<A_long, PF_ParamDefUnion>> watched_;
};

}  // namespace lumeshade::tools
