// The built module, loaded through the host's module loader, with failures
// reported as bad input.
#pragma once

#include <memory>
#include <string>

#include "AE_Effect.h"
#include "host/module_loader.h"

namespace lumeshade::tools {

// Fails with an InputError when the file does not exist, is no regular file
// (input_file.h), cannot be loaded or exports no EntryPointFunc.
std::unique_ptr<host::LoadedModule> LoadModule(const std::string& path);

// lumeshade.so in the folder of the running program.
std::string DefaultModulePath();

}  // namespace lumeshade::tools
