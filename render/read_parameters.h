// Reading the controls into the render context, once per frame.
#pragma once

#include "AE_Effect.h"
#include "render/render_context.h"

namespace lumeshade {

// Reads every control the pixel pass uses at in_data's current time and
// stores it converted (fixed point to float, colour bytes to floats,
// reciprocals and powers). A group's members are read only while its switch
// is on. Once a read fails the remaining ones are skipped and their members
// keep what they held; the render goes on, so nothing is reported.
void ReadRenderParameters(PF_InData* in_data, RenderContext& ctx);

// Checks a control out at in_data's current time into `def` and checks it
// straight back in: the host counts every check-out until it is checked in,
// and the value stays in `def`. Returns the host's error, or that of the
// check-in.
PF_Err ReadControl(PF_InData* in_data, A_long index, PF_ParamDef& def);

}  // namespace lumeshade
