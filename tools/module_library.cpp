#include "tools/module_library.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "tools/input_error.h"
#include "tools/input_file.h"

namespace lumeshade::tools {

std::unique_ptr<host::LoadedModule> LoadModule(const std::string& path) {
    const std::string where = "module \"" + path + "\"";
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) throw InputError(where + ": no such file");
    // The loader would wait on a named pipe as any reader does.
    OpenInputFile(path, Location{where, ""}, "the file");
    // A name without a folder would make the loader search the library
    // path; the module is always the file named.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    try {
        return std::make_unique<host::LoadedModule>(file);
    } catch (const std::runtime_error& e) {
        throw InputError(where + ": " + e.what());
    }
}

std::string DefaultModulePath() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "lumeshade.so";
    return (self.parent_path() / "lumeshade.so").string();
}

}  // namespace lumeshade::tools
