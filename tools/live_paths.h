// The folders the live page may read and write. A page names files by paths
// relative to one of its folders: no absolute path, no "..", and once links
// are followed the file must still lie inside that folder, so that a page
// (or anything that can reach the server) sees no other file of the machine.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/input_error.h"

namespace lumeshade::tools {

// Fails with an InputError unless `given` is a relative path without ".."
// (and not empty).
void CheckPagePath(const std::string& given, const Location& where);

// The file `given` names under the first of `roots` that holds it, checked
// as above and as an input file (a regular file once links are followed).
std::filesystem::path ReadablePath(const std::string& given,
                                   const std::vector<std::filesystem::path>& roots,
                                   const Location& where);

// The file `given` names under `root`, to be written: its folder must exist
// and lie inside `root` once links are followed.
std::filesystem::path WritablePath(const std::string& given, const std::filesystem::path& root,
                                   const Location& where);

// The image files under `root` (by extension, at most `limit` of them, at
// most a few folders deep, links to folders not followed), relative to it,
// sorted.
std::vector<std::string> ImageFilesUnder(const std::filesystem::path& root, std::size_t limit);

}  // namespace lumeshade::tools
