// What the renderer's tests share: scratch folders, files, the controls the
// module registers, and checks of the one-line error messages.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "tools/control_schema.h"

namespace lumeshade::tools::testing {

// A fresh folder under the system's temporary folder, removed with its
// contents at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    // Names of the entries in the folder, hidden ones included, sorted.
    std::vector<std::string> Entries() const;

private:
    std::filesystem::path path_;
};

void WriteText(const std::filesystem::path& path, const std::string& text);
std::string ReadText(const std::filesystem::path& path);

// Paths in `dir` that are no regular file, made there, each with the words
// the program refuses it with: /dev/zero, a named pipe, a folder, a link to
// each and a link to nothing.
struct SpecialFile {
    std::filesystem::path path;
    std::string refusal;  // "is a device", ...
};
std::vector<SpecialFile> MakeSpecialFiles(const TempDir& dir);

// The controls as the module registers them (by the module linked into the
// test, through the emulated host).
const ControlSchema& RegisteredSchema();

// The message of the InputError that `action` throws, or "(no error)".
std::string ErrorOf(const std::function<void()>& action);

// Runs `action`, expects an InputError, and checks that its message holds
// every one of `parts`.
::testing::AssertionResult FailsWith(const std::function<void()>& action,
                                     const std::vector<std::string>& parts);

}  // namespace lumeshade::tools::testing
