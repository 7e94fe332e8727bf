#include "tools/live_paths.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <system_error>

#include "tools/input_file.h"
#include "tools/json_read.h"

namespace lumeshade::tools {
namespace fs = std::filesystem;
namespace {

constexpr int kMaxListDepth = 4;

// `path` lies in `root` (both canonical).
bool Inside(const fs::path& path, const fs::path& root) {
    const auto [end, _] = std::mismatch(root.begin(), root.end(), path.begin(), path.end());
    return end == root.end();
}

fs::path Canonical(const fs::path& path) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(fs::absolute(path, ec), ec);
    return ec ? fs::path() : canonical;
}

bool IsImageName(const fs::path& path) {
    static constexpr std::array<const char*, 7> kExtensions = {".png", ".tif",  ".tiff", ".exr",
                                                               ".jpg", ".jpeg", ".hdr"};
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return std::find(kExtensions.begin(), kExtensions.end(), ext) != kExtensions.end();
}

}  // namespace

void CheckPagePath(const std::string& given, const Location& where) {
    CheckUtf8(given, where);
    const fs::path path(given);
    if (given.empty()) Fail(where, "expected a file name, got \"\"");
    if (path.is_absolute() || path.has_root_name() || path.has_root_directory()) {
        Fail(where, "\"" + given +
                        "\" is an absolute path: the page names files by paths "
                        "relative to its folders");
    }
    for (const fs::path& part : path) {
        if (part == "..") Fail(where, "\"" + given + "\" leads out of the page's folders (\"..\")");
    }
}

fs::path ReadablePath(const std::string& given, const std::vector<fs::path>& roots,
                      const Location& where) {
    CheckPagePath(given, where);
    for (const fs::path& root : roots) {
        const fs::path candidate = root / given;
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(candidate, ec))) continue;
        if (!Inside(Canonical(candidate), Canonical(root))) {
            Fail(where, "\"" + given + "\" leads out of the page's folders (a link)");
        }
        OpenInputFile(candidate, where, "the image \"" + given + "\"");
        return candidate;
    }
    Fail(where, "the image \"" + given + "\" does not exist in the page's folders");
}

fs::path WritablePath(const std::string& given, const fs::path& root, const Location& where) {
    CheckPagePath(given, where);
    const fs::path target = root / given;
    std::error_code ec;
    if (!fs::is_directory(target.parent_path().empty() ? "." : target.parent_path(), ec)) {
        Fail(where, "the folder of \"" + given + "\" does not exist in the output folder");
    }
    const fs::path parent = Canonical(target.parent_path().empty() ? "." : target.parent_path());
    if (!Inside(parent, Canonical(root)) || fs::is_symlink(target, ec)) {
        Fail(where, "\"" + given + "\" leads out of the output folder (a link)");
    }
    return target;
}

std::vector<std::string> ImageFilesUnder(const fs::path& root, std::size_t limit) {
    std::vector<std::string> files;
    std::error_code ec;
    fs::recursive_directory_iterator it(root.empty() ? "." : root,
                                        fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator() && files.size() < limit;
         it.increment(ec)) {
        if (it.depth() >= kMaxListDepth) it.disable_recursion_pending();
        if (it->path().filename().string().starts_with(".")) {
            it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file(ec) && !it->is_symlink(ec) && IsImageName(it->path())) {
            files.push_back(it->path().lexically_relative(root.empty() ? "." : root).string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace lumeshade::tools
