// A module that registers the effect's controls and takes a second over
// every frame before failing it, so that renders can be seen queueing up
// behind one that runs.
#include <chrono>
#include <cstring>
#include <thread>

#include "AE_Effect.h"
#include "params/params_setup.h"

extern "C" __attribute__((visibility("default"))) PF_Err EntryPointFunc(
    PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef*[], PF_LayerDef*, void*) {
    switch (cmd) {
        case PF_Cmd_PARAMS_SETUP:
            return lumeshade::ParamsSetup(in_data, out_data);
        case PF_Cmd_SMART_PRE_RENDER:
            std::this_thread::sleep_for(std::chrono::seconds(1));
            std::strcpy(out_data->return_msg, "Slowly, no pixels.");
            out_data->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
            return PF_Err_OUT_OF_MEMORY;
        default:
            return PF_Err_NONE;
    }
}
