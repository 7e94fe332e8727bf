#include "shell/handlers.h"
#include "shell/host_suites.h"

namespace lumeshade {

PF_Err CompletelyGeneral(PF_InData* in_data, PF_OutData* out_data, void* extra) {
    HostSuites suites(in_data);
    const char* text = extra ? static_cast<const char*>(extra) : "";
    // The precision keeps a longer text from running past the 256-byte message.
    suites.Ansi().sprintf(out_data->return_msg, "%.255s", text);
    return PF_Err_NONE;
}

}  // namespace lumeshade
