// Stand-ins for a module that fails, so that the program's answer to a
// failing module can be seen: built as a module that registers the
// effect's controls and then fails to render (LUMESHADE_FAKE_FAILS_RENDER),
// as one that takes a second before it fails, so that renders can be seen
// queueing behind it (LUMESHADE_FAKE_SLOW_RENDER as well), and as one that
// registers no controls at all.
#include <chrono>
#include <cstring>
#include <thread>

#include "AE_Effect.h"
#include "params/params_setup.h"

extern "C" __attribute__((visibility("default"))) PF_Err EntryPointFunc(
    PF_Cmd cmd, [[maybe_unused]] PF_InData* in_data, PF_OutData* out_data, PF_ParamDef*[],
    PF_LayerDef*, void*) {
    switch (cmd) {
        case PF_Cmd_PARAMS_SETUP:
#ifdef LUMESHADE_FAKE_FAILS_RENDER
            return lumeshade::ParamsSetup(in_data, out_data);
#else
            out_data->num_params = 1;
            return PF_Err_NONE;
#endif
        case PF_Cmd_SMART_PRE_RENDER:
#ifdef LUMESHADE_FAKE_SLOW_RENDER
            std::this_thread::sleep_for(std::chrono::seconds(1));
#endif
            std::strcpy(out_data->return_msg, "No pixels today.");
            out_data->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
            return PF_Err_OUT_OF_MEMORY;
        default:
            return PF_Err_NONE;
    }
}
