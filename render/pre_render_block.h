// The pre-render data smart pre-render hands the host and smart render gets
// back: the pre-render block (a host handle laid out as a RenderContext) and
// what disposing of it takes when the host later calls the delete function,
// which receives nothing but this record.
#pragma once

#include "AE_Effect.h"

namespace lumeshade {

struct PreRenderData {
    PF_Handle block = nullptr;
    void (*disposeHandle)(PF_Handle) = nullptr;  // in_data's utility callback
};

// The delete function registered with the pre-render output.
void DeletePreRenderData(void* preRenderData);

}  // namespace lumeshade
