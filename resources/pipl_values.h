// The values the plug-in property list (PiPL) states about the effect. Global
// set-up reports the same version and flags, so both read them from here.
#pragma once

#include "AE_Effect.h"

namespace lumeshade::pipl {

inline constexpr A_u_long kEffectVersion = PF_VERSION(3, 0, 0, PF_Stage_DEVELOP, 1);
inline constexpr PF_OutFlags kOutFlags =
    PF_OutFlag_PIX_INDEPENDENT | PF_OutFlag_DEEP_COLOR_AWARE | PF_OutFlag_SEND_UPDATE_PARAMS_UI;
inline constexpr PF_OutFlags2 kOutFlags2 =
    PF_OutFlag2_I_USE_3D_CAMERA | PF_OutFlag2_I_USE_3D_LIGHTS |
    PF_OutFlag2_PARAM_GROUP_START_COLLAPSED_FLAG | PF_OutFlag2_DOESNT_NEED_EMPTY_PIXELS |
    PF_OutFlag2_SUPPORTS_SMART_RENDER | PF_OutFlag2_FLOAT_COLOR_AWARE;

static_assert(kEffectVersion == 0x00180001, "version 3.0.0, development stage, build 1");
static_assert(kOutFlags == 0x06000400);
static_assert(kOutFlags2 == 0x0000144E, "the effect does not declare itself thread-safe");

inline constexpr char kName[] = "Lumeshade";
inline constexpr char kMakerPrefix[] = "Lumeshade Labs";
inline constexpr char kCategory[] = "Lumeshade Labs Lumeshade";
inline constexpr char kMatchName[] = "ADBE Lumeshade";
inline constexpr char kEntryPointName[] = "EntryPointFunc";

inline constexpr A_short kPiplVersionMajor = 2;
inline constexpr A_short kPiplVersionMinor = 0;
inline constexpr A_short kSpecVersionMajor = 13;
inline constexpr A_short kSpecVersionMinor = 10;
inline constexpr A_long kInfoFlags = 0;
inline constexpr A_long kReservedInfo = 8;

inline constexpr int kResourceId = 16000;
inline constexpr int kResourceLanguage = 1031;  // German (Germany): 0x0407

}  // namespace lumeshade::pipl
