/// The effect's controls as streams: what the module's visibility rules
/// leave on them, for tests and the renderer.
#pragma once

#include <vector>

#include "AE_GeneralPlug.h"
#include "host/host.h"
#include "host/host_state.h"

namespace lumeshade::host {

/// The dynamic stream flags of the control at `index` (AEGP_DynStreamFlag_HIDDEN
/// set: the control is hidden). Controls nobody touched have none.
AEGP_DynStreamFlags StreamFlags(const Host& host, A_long index);

/// Effect and stream references handed out and not yet disposed.
int LiveEffectRefs(const Host& host);
int LiveStreamRefs(const Host& host);

/// Every flag change, in the order it was made.
std::vector<HostState::FlagChange> FlagChanges(const Host& host);

}  // namespace lumeshade::host
