// Registration of the effect's controls.
#pragma once

#include "AE_Effect.h"

namespace lumeshade {

// Registers the 142 controls in index order; the first refused registration
// ends the set-up with the host's code. On success num_params becomes 143.
PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data);

}  // namespace lumeshade
