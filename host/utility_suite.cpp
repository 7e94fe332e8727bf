// AEGP utility and memory suites: client registration and memory reporting.
#include <cstring>
#include <string>

#include "host/call_site.h"
#include "host/host.h"
#include "host/host_state.h"
#include "host/suites.h"

namespace lumeshade::host {
namespace {

constexpr AEGP_PluginID kFirstPluginId = 1001;

A_Err ReportInfo(AEGP_PluginID, const A_char*) { return CountCall<"AEGP_ReportInfo">(); }

A_Err DriverVersion(A_short* major, A_short* minor) {
    if (const A_long err = CountCall<"AEGP_GetDriverPluginInitFuncVersion">()) return err;
    if (major) *major = 13;
    if (minor) *minor = 28;
    return A_Err_NONE;
}

A_Err ImplementationVersion(A_short* major, A_short* minor) {
    if (const A_long err = CountCall<"AEGP_GetDriverImplementationVersion">()) return err;
    if (major) *major = 13;
    if (minor) *minor = 28;
    return A_Err_NONE;
}

A_Err StartQuietErrors(AEGP_ErrReportState* state) {
    if (const A_long err = CountCall<"AEGP_StartQuietErrors">()) return err;
    if (state) std::memset(state, 0, sizeof *state);
    return A_Err_NONE;
}

A_Err EndQuietErrors(A_Boolean, AEGP_ErrReportState*) { return CountCall<"AEGP_EndQuietErrors">(); }

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

A_Err GetMainHWND(void* hwnd) {
    if (const A_long err = CountCall<"AEGP_GetMainHWND">()) return err;
    if (hwnd) *static_cast<void**>(hwnd) = nullptr;
    return A_Err_NONE;
}

// Memory handles are plain host handles underneath.
A_Err NewMemHandle(AEGP_PluginID, const A_char*, AEGP_MemSize size, AEGP_MemFlag flags,
                   AEGP_MemHandle* mem) {
    if (const A_long err = CountCall<"AEGP_NewMemHandle">()) return err;
    if (mem == nullptr) return A_Err_PARAMETER;
    PF_Handle h = HostNewHandle(size);
    if (h == nullptr) return A_Err_ALLOC;
    if (flags & AEGP_MemFlag_CLEAR) std::memset(*h, 0, size);
    *mem = reinterpret_cast<AEGP_MemHandle>(h);
    return A_Err_NONE;
}

A_Err FreeMemHandle(AEGP_MemHandle mem) {
    if (const A_long err = CountCall<"AEGP_FreeMemHandle">()) return err;
    HostDisposeHandle(reinterpret_cast<PF_Handle>(mem));
    return A_Err_NONE;
}

A_Err LockMemHandle(AEGP_MemHandle mem, void** ptr) {
    if (const A_long err = CountCall<"AEGP_LockMemHandle">()) return err;
    if (ptr == nullptr) return A_Err_PARAMETER;
    *ptr = HostLockHandle(reinterpret_cast<PF_Handle>(mem));
    return *ptr ? A_Err_NONE : A_Err_PARAMETER;
}

A_Err UnlockMemHandle(AEGP_MemHandle mem) {
    if (const A_long err = CountCall<"AEGP_UnlockMemHandle">()) return err;
    HostUnlockHandle(reinterpret_cast<PF_Handle>(mem));
    return A_Err_NONE;
}

A_Err GetMemHandleSize(AEGP_MemHandle mem, AEGP_MemSize* size) {
    if (const A_long err = CountCall<"AEGP_GetMemHandleSize">()) return err;
    if (size == nullptr) return A_Err_PARAMETER;
    *size = AEGP_MemSize(HostGetHandleSize(reinterpret_cast<PF_Handle>(mem)));
    return A_Err_NONE;
}

A_Err ResizeMemHandle(const A_char*, AEGP_MemSize newSize, AEGP_MemHandle mem) {
    if (const A_long err = CountCall<"AEGP_ResizeMemHandle">()) return err;
    PF_Handle h = reinterpret_cast<PF_Handle>(mem);
    return HostResizeHandle(newSize, &h) ? A_Err_PARAMETER : A_Err_NONE;
}

A_Err SetMemReportingOn(A_Boolean on) {
    if (const A_long err = CountCall<"AEGP_SetMemReportingOn">()) return err;
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.memoryReporting = on != 0;
    return A_Err_NONE;
}

A_Err GetMemStats(AEGP_PluginID, A_long* count, A_long* size) {
    if (const A_long err = CountCall<"AEGP_GetMemStats">()) return err;
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    A_long total = 0;
    for (const auto& [slot, rec] : s.handles) total += A_long(rec.bytes.size());
    if (count) *count = A_long(s.handles.size());
    if (size) *size = total;
    return A_Err_NONE;
}

}  // namespace

const AEGP_UtilitySuite1 kUtilitySuite = {ReportInfo,       DriverVersion,    ImplementationVersion,
                                          StartQuietErrors, EndQuietErrors,   StartUndoGroup,
                                          EndUndoGroup,     RegisterWithAEGP, GetMainHWND};

const AEGP_MemorySuite1 kMemorySuite = {NewMemHandle,      FreeMemHandle,    LockMemHandle,
                                        UnlockMemHandle,   GetMemHandleSize, ResizeMemHandle,
                                        SetMemReportingOn, GetMemStats};

}  // namespace lumeshade::host
