#include "tool_test_support.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "host/host.h"
#include "shell/entry.h"
#include "tools/input_error.h"

namespace lumeshade::tools::testing {
namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "lumeshade-tools-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Read-only folders made by a test must be writable again to be removed.
    // Links are left alone: the permissions would be those of their target.
    for (const auto& entry : fs::recursive_directory_iterator(path_, ec)) {
        if (entry.is_symlink(ec)) continue;
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(path_, ec);
}

std::vector<std::string> TempDir::Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<SpecialFile> MakeSpecialFiles(const TempDir& dir) {
    if (::mkfifo((dir / "pipe").c_str(), 0644) != 0) throw std::runtime_error("mkfifo failed");
    fs::create_directory(dir / "folder");
    fs::create_symlink("/dev/zero", dir / "link-to-zero");
    fs::create_symlink(dir / "pipe", dir / "link-to-pipe");
    fs::create_symlink(dir / "folder", dir / "link-to-folder");
    fs::create_symlink(dir / "nothing", dir / "link-to-nothing");
    return {{"/dev/zero", "is a device"},
            {dir / "pipe", "is a named pipe"},
            {dir / "folder", "is a folder"},
            {dir / "link-to-zero", "is a device"},
            {dir / "link-to-pipe", "is a named pipe"},
            {dir / "link-to-folder", "is a folder"},
            {dir / "link-to-nothing", "does not exist"}};
}

const ControlSchema& RegisteredSchema() {
    static const ControlSchema schema = [] {
        host::Host host(EntryPointFunc);
        if (host.GlobalSetup() != PF_Err_NONE || host.ParamsSetup() != PF_Err_NONE) {
            throw std::runtime_error("the module's set-up failed");
        }
        return ControlSchema::FromRegistration(host.Registered());
    }();
    return schema;
}

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const InputError& e) {
        return e.what();
    }
    return "(no error)";
}

::testing::AssertionResult FailsWith(const std::function<void()>& action,
                                     const std::vector<std::string>& parts) {
    const std::string message = ErrorOf(action);
    for (const std::string& part : parts) {
        if (message.find(part) == std::string::npos) {
            return ::testing::AssertionFailure()
                   << "message \"" << message << "\" lacks \"" << part << "\"";
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace lumeshade::tools::testing
