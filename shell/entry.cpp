#include "shell/entry.h"

#include "common/error_barrier.h"
#include "params/params_setup.h"
#include "params/user_changed_param.h"
#include "render/smart_render.h"
#include "shell/handlers.h"

using namespace lumeshade;

// Dispatches a command to its handler. Nothing but an error code leaves this
// function (common/error_barrier.h).
extern "C" PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                                 PF_ParamDef* params[], PF_LayerDef* /*output*/, void* extra) {
    return WithinErrorBarrier([&]() -> PF_Err {
        switch (cmd) {
            case PF_Cmd_ABOUT:
                return About(in_data, out_data);
            case PF_Cmd_GLOBAL_SETUP:
                return GlobalSetup(in_data, out_data);
            case PF_Cmd_PARAMS_SETUP:
                return ParamsSetup(in_data, out_data);
            case PF_Cmd_USER_CHANGED_PARAM:
                return UserChangedParam(in_data, out_data, params);
            case PF_Cmd_COMPLETELY_GENERAL:
                return CompletelyGeneral(in_data, out_data, extra);
            case PF_Cmd_SMART_PRE_RENDER:
                return SmartPreRender(in_data, static_cast<PF_PreRenderExtra*>(extra));
            case PF_Cmd_SMART_RENDER:
                return SmartRender(in_data, out_data, static_cast<PF_SmartRenderExtra*>(extra));
            default:
                return PF_Err_NONE;
        }
    });
}
