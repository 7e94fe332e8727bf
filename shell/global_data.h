// The block the module hands the host at global set-up and reads back when
// it needs its AEGP plug-in id.
#pragma once

#include "AE_GeneralPlug.h"

namespace lumeshade {

struct GlobalData {
    A_u_char initialised = 0;
    AEGP_PluginID aegpPluginId = 0;
};

static_assert(sizeof(GlobalData) == 8);

// The name the module registers with as an AEGP client.
inline constexpr char kAegpClientName[] = "Lumeshade";

}  // namespace lumeshade
