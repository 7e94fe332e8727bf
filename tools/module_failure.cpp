#include "tools/module_failure.h"

#include <cstring>

namespace lumeshade::tools {
namespace {

struct ErrorName {
    PF_Err code;
    const char* name;
};
constexpr ErrorName kErrorNames[] = {
    {PF_Err_OUT_OF_MEMORY, "out of memory"},
    {PF_Err_INTERNAL_STRUCT_DAMAGED, "internal structure damaged"},
    {PF_Err_INVALID_INDEX, "invalid index"},
    {PF_Err_UNRECOGNIZED_PARAM_TYPE, "unrecognised parameter type"},
    {PF_Err_INVALID_CALLBACK, "invalid callback"},
    {PF_Err_BAD_CALLBACK_PARAM, "bad callback parameter"},
    {PF_Interrupt_CANCEL, "cancelled"},
};

}  // namespace

void CheckModule(host::Host& host, PF_Err err, const std::string& what) {
    if (err == PF_Err_NONE) return;
    std::string message = what + " failed with error " + std::to_string(err);
    for (const ErrorName& e : kErrorNames) {
        if (e.code == err) message += std::string(" (") + e.name + ")";
    }
    const PF_OutData& out = host.OutData();
    const std::string text(out.return_msg, strnlen(out.return_msg, sizeof out.return_msg));
    if (!text.empty()) message += ": " + text;
    throw ModuleFailure(message);
}

}  // namespace lumeshade::tools
