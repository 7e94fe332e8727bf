// AEGP utility and memory suites: client registration, undo groups and memory
// reporting.
#include <cstring>
#include <string>

#include "host/call_site.h"
#include "host/host.h"
#include "host/host_state.h"
#include "host/suites.h"
#include "host/unsupported.h"

namespace lumeshade::host {
namespace {

constexpr AEGP_PluginID kFirstPluginId = 1001;

A_Err StartUndoGroup(const A_char*) { return CountCall<"AEGP_StartUndoGroup">(); }

A_Err EndUndoGroup() { return CountCall<"AEGP_EndUndoGroup">(); }

A_Err RegisterWithAEGP(AEGP_GlobalRefcon, const A_char* name, AEGP_PluginID* id) {
    if (const A_long err = CountCall<"AEGP_RegisterWithAEGP">()) return err;
    if (name == nullptr || id == nullptr) return A_Err_PARAMETER;
    if (std::strlen(name) >= AEGP_MAX_PLUGIN_NAME_SIZE) return A_Err_PARAMETER;
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    *id = kFirstPluginId + AEGP_PluginID(s.aegpClients.size());
    s.aegpClients.emplace_back(name, *id);
    return A_Err_NONE;
}

A_Err SetMemReportingOn(A_Boolean on) {
    if (const A_long err = CountCall<"AEGP_SetMemReportingOn">()) return err;
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.memoryReporting = on != 0;
    return A_Err_NONE;
}

using Utility = AEGP_UtilitySuite1;
using Memory = AEGP_MemorySuite1;

}  // namespace

const AEGP_UtilitySuite1 kUtilitySuite = {
    LUMESHADE_UNSUPPORTED(Utility, AEGP_ReportInfo),
    LUMESHADE_UNSUPPORTED(Utility, AEGP_GetDriverPluginInitFuncVersion),
    LUMESHADE_UNSUPPORTED(Utility, AEGP_GetDriverImplementationVersion),
    LUMESHADE_UNSUPPORTED(Utility, AEGP_StartQuietErrors),
    LUMESHADE_UNSUPPORTED(Utility, AEGP_EndQuietErrors),
    StartUndoGroup,
    EndUndoGroup,
    RegisterWithAEGP,
    LUMESHADE_UNSUPPORTED(Utility, AEGP_GetMainHWND),
};

// Memory reporting is all the module asks of this suite.
const AEGP_MemorySuite1 kMemorySuite = {
    LUMESHADE_UNSUPPORTED(Memory, AEGP_NewMemHandle),
    LUMESHADE_UNSUPPORTED(Memory, AEGP_FreeMemHandle),
    LUMESHADE_UNSUPPORTED(Memory, AEGP_LockMemHandle),
    LUMESHADE_UNSUPPORTED(Memory, AEGP_UnlockMemHandle),
    LUMESHADE_UNSUPPORTED(Memory, AEGP_GetMemHandleSize),
    LUMESHADE_UNSUPPORTED(Memory, AEGP_ResizeMemHandle),
    SetMemReportingOn,
    LUMESHADE_UNSUPPORTED(Memory, AEGP_GetMemStats),
};

}  // namespace lumeshade::host
