#include "host/module_loader.h"

#include <stdexcept>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace lumeshade::host {
namespace {

constexpr const char* kEntryName = "EntryPointFunc";

#ifdef _WIN32
std::string LastError() {
    const DWORD code = GetLastError();
    char* text = nullptr;
    FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message = text ? text : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message;
}
#else
std::string LastError() {
    const char* text = dlerror();
    return text ? text : "unknown error";
}
#endif

}  // namespace

LoadedModule::LoadedModule(const std::string& path) : path_(path) {
#ifdef _WIN32
    library_ = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
#else
    dlerror();  // forget any earlier message
    library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
    if (library_ == nullptr) {
        throw std::runtime_error("cannot load module " + path + ": " + LastError());
    }
#ifdef _WIN32
    // Through void*, as dlsym hands it back: FARPROC's own signature says nothing.
    void* symbol =
        reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library_), kEntryName));
#else
    void* symbol = dlsym(library_, kEntryName);
#endif
    if (symbol == nullptr) {
        const std::string message = LastError();
        Unload();
        throw std::runtime_error("module " + path + " has no " + kEntryName + ": " + message);
    }
    entry_ = reinterpret_cast<PF_FilterProc>(symbol);
}

LoadedModule::~LoadedModule() { Unload(); }

LoadedModule::LoadedModule(LoadedModule&& other) noexcept
    : path_(std::move(other.path_)),
      library_(std::exchange(other.library_, nullptr)),
      entry_(std::exchange(other.entry_, nullptr)) {}

LoadedModule& LoadedModule::operator=(LoadedModule&& other) noexcept {
    if (this != &other) {
        Unload();
        path_ = std::move(other.path_);
        library_ = std::exchange(other.library_, nullptr);
        entry_ = std::exchange(other.entry_, nullptr);
    }
    return *this;
}

void LoadedModule::Unload() {
    if (library_ == nullptr) return;
#ifdef _WIN32
    FreeLibrary(reinterpret_cast<HMODULE>(library_));
#else
    dlclose(library_);
#endif
    library_ = nullptr;
    entry_ = nullptr;
}

}  // namespace lumeshade::host
