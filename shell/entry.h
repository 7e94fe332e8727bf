// The module's only export: the host calls it once per command.
#pragma once

#include "AE_Effect.h"

#if defined(_WIN32)
#define LUMESHADE_EXPORT __declspec(dllexport)
#else
#define LUMESHADE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" LUMESHADE_EXPORT PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data,
                                                  PF_OutData* out_data, PF_ParamDef* params[],
                                                  PF_LayerDef* output, void* extra);
