// Keeps the controls panel in step with the group switches.
#pragma once

#include "AE_Effect.h"

namespace lumeshade {

// Applies all twelve visibility rules through the host's stream flags
// (undoable changes) and asks the host to render again. The first failing
// host call stops the update and is returned; the references obtained up to
// then are released.
PF_Err UserChangedParam(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[]);

}  // namespace lumeshade
