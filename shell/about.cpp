#include "resources/pipl_values.h"
#include "shell/handlers.h"
#include "shell/host_suites.h"

namespace lumeshade {
namespace {

constexpr char kAboutTitle[] = "Lumeshade Labs: Lumeshade 3.2";
constexpr char kAboutDescription[] =
    "Simulates light effects via normal passes.\n"
    "Expects a normal map as input.\n"
    "Lit by the composition's lights and camera.\n"
    "Copyright 2026 Lumeshade Labs.";

// "<title>, v3.0\r<description>" must fit the 255 characters of the
// return message.
static_assert(sizeof(kAboutTitle) - 1 + sizeof(", v3.0\r") - 1 + sizeof(kAboutDescription) - 1 <=
              PF_MAX_EFFECT_MSG_LEN);
static_assert(PF_Version_VERS(pipl::kEffectVersion) == 3 &&
              PF_Version_SUBVERS(pipl::kEffectVersion) == 0);

}  // namespace

PF_Err About(PF_InData* in_data, PF_OutData* out_data) {
    HostSuites suites(in_data);
    suites.Ansi().sprintf(out_data->return_msg, "%s, v%d.%d\r%s", kAboutTitle,
                          int(PF_Version_VERS(pipl::kEffectVersion)),
                          int(PF_Version_SUBVERS(pipl::kEffectVersion)), kAboutDescription);
    return PF_Err_NONE;
}

}  // namespace lumeshade
