// The module's own translation unit. The entry point and everything it calls
// come from the module libraries, linked in whole; this file checks that the
// export has exactly the host's entry-point signature.
#include <type_traits>

#include "shell/entry.h"

static_assert(std::is_same_v<decltype(&EntryPointFunc), PF_FilterProc>,
              "EntryPointFunc must have the host's entry-point signature");
