// The shell's own command handlers.
#pragma once

#include "AE_Effect.h"

namespace lumeshade {

// Writes the title, version and description into the return message.
PF_Err About(PF_InData* in_data, PF_OutData* out_data);

// Reports version and flags, and hands the host the global data block with
// the module's AEGP plug-in id.
PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data);

// Copies the text passed in `extra` into the return message, truncated to
// the message's 255 characters.
PF_Err CompletelyGeneral(PF_InData* in_data, PF_OutData* out_data, void* extra);

}  // namespace lumeshade
