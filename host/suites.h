/// The host's function tables and the functions shared between a suite and
/// in_data's utility callbacks.
#pragma once

#include "AE_EffectCBSuites.h"
#include "AE_GeneralPlug.h"
#include "AE_GeneralPlugOld.h"

namespace lumeshade::host {

PF_Handle HostNewHandle(A_HandleSize size);
void* HostLockHandle(PF_Handle h);
void HostUnlockHandle(PF_Handle h);
void HostDisposeHandle(PF_Handle h);
A_HandleSize HostGetHandleSize(PF_Handle h);
PF_Err HostResizeHandle(A_HandleSize newSize, PF_Handle* h);

int HostSprintf(A_char* dst, const A_char* format, ...);
A_char* HostStrcpy(A_char* dst, const A_char* src);

extern const PF_HandleSuite1 kHandleSuite;
extern const PF_ANSICallbacksSuite1 kAnsiSuite;
extern const AEGP_UtilitySuite1 kUtilitySuite;
extern const AEGP_MemorySuite1 kMemorySuite;

}  // namespace lumeshade::host
