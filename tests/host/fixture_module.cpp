// A module for the loader's tests: its entry point answers About with a
// message of its own.
#include <cstring>

#include "AE_Effect.h"

extern "C" __attribute__((visibility("default"))) PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData*,
                                                                        PF_OutData* out_data,
                                                                        PF_ParamList, PF_LayerDef*,
                                                                        void*) {
    if (cmd != PF_Cmd_ABOUT) return PF_Err_NONE;
    std::strcpy(out_data->return_msg, "fixture module");
    return PF_Err_NONE;
}
