// The module answered a command with an error: the program reports the
// command, the module's error code and its own message, and exits with
// status 1.
#pragma once

#include <stdexcept>
#include <string>

#include "host/host.h"

namespace lumeshade::tools {

class ModuleFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws a ModuleFailure unless `err` is 0: "WHAT failed with error 4 (out
// of memory): MESSAGE", with the return message the module left in out_data.
void CheckModule(host::Host& host, PF_Err err, const std::string& what);

}  // namespace lumeshade::tools
