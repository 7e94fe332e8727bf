/// Loads a built module (a shared library) and finds its entry point.
#pragma once

#include <string>

#include "AE_Effect.h"

namespace lumeshade::host {

class LoadedModule {
public:
    /// Loads the library at `path` and looks up `EntryPointFunc`. Throws
    /// std::runtime_error, naming the path and the loader's message, when
    /// either fails.
    explicit LoadedModule(const std::string& path);
    /// Unloads the library: the entry point is invalid from then on.
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
    LoadedModule(LoadedModule&& other) noexcept;
    LoadedModule& operator=(LoadedModule&& other) noexcept;

    PF_FilterProc Entry() const { return entry_; }
    const std::string& Path() const { return path_; }

private:
    void Unload();

    std::string path_;
    void* library_ = nullptr;
    PF_FilterProc entry_ = nullptr;
};

}  // namespace lumeshade::host
