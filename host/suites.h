/// The host's function tables and the functions shared between a suite and
/// in_data's utility callbacks.
#pragma once

#include "AE_EffectCBSuites.h"
#include "AE_GeneralPlug.h"

namespace lumeshade::host {

PF_Handle HostNewHandle(A_HandleSize size);
void* HostLockHandle(PF_Handle h);
void HostUnlockHandle(PF_Handle h);
void HostDisposeHandle(PF_Handle h);
A_HandleSize HostGetHandleSize(PF_Handle h);
PF_Err HostResizeHandle(A_HandleSize newSize, PF_Handle* h);

int HostSprintf(A_char* dst, const A_char* format, ...);
A_char* HostStrcpy(A_char* dst, const A_char* src);

// Effect references and effect-control streams (host/effect_streams.cpp);
// the PF Interface and Stream suites route their effect slots here.
A_Err EffectStreamsGetNewEffectForEffect(AEGP_PluginID plugin, PF_ProgPtr effect_ref,
                                         AEGP_EffectRefH* effect);
A_Err EffectStreamsGetNewEffectStreamByIndex(AEGP_PluginID plugin, AEGP_EffectRefH effect,
                                             PF_ParamIndex index, AEGP_StreamRefH* stream);
// Returns A_Err_PARAMETER for a stream reference it did not hand out.
A_Err EffectStreamsDisposeStream(AEGP_StreamRefH stream);
A_Err EffectStreamsGetEffectNumParamStreams(AEGP_EffectRefH effect, A_long* count);

extern const PF_HandleSuite1 kHandleSuite;
extern const PF_ANSICallbacksSuite1 kAnsiSuite;
extern const AEGP_UtilitySuite1 kUtilitySuite;
extern const AEGP_MemorySuite1 kMemorySuite;

}  // namespace lumeshade::host
