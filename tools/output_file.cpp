#include "tools/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <vector>

#include "tools/input_error.h"

namespace lumeshade::tools {
namespace fs = std::filesystem;
namespace {

// The pending file's name, kept where a signal handler can reach it without
// allocating; only one output is written at a time.
char g_pendingPath[4096];
std::atomic<bool> g_pending{false};

void RemovePendingAndRaise(int signal) {
    if (g_pending.load()) ::unlink(g_pendingPath);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void InstallCleanupHandlers() {
    static const bool installed = [] {
        for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, RemovePendingAndRaise);
        return true;
    }();
    (void)installed;
}

bool NoWriteBits(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0;
}

std::string Quoted(const fs::path& path) { return "\"" + path.string() + "\""; }

}  // namespace

std::optional<FileFormat> FormatFromPath(const fs::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == ".png") return FileFormat::kPng;
    if (ext == ".tif" || ext == ".tiff") return FileFormat::kTiff;
    if (ext == ".exr") return FileFormat::kExr;
    return std::nullopt;
}

bool HasFrameNumber(const std::string& pattern) {
    return fs::path(pattern).filename().string().find('#') != std::string::npos;
}

std::string FrameFileName(const std::string& pattern, int frame) {
    const fs::path path(pattern);
    const std::string name = path.filename().string();
    const std::string number = std::to_string(frame);
    std::string out;
    for (std::size_t i = 0; i < name.size();) {
        if (name[i] != '#') {
            out += name[i++];
            continue;
        }
        std::size_t run = 0;
        while (i + run < name.size() && name[i + run] == '#') ++run;
        if (number.size() < run) out.append(run - number.size(), '0');
        out += number;
        i += run;
    }
    return (path.parent_path() / out).string();
}

void CheckOutputPath(const std::string& pattern, int firstFrame, int frameCount) {
    const Location where{"output " + Quoted(pattern), ""};
    const fs::path first(FrameFileName(pattern, firstFrame));
    if (first.filename().empty()) Fail(where, "expected a file name, not a folder");
    if (!FormatFromPath(first)) {
        Fail(where, "expected a file name ending in .png, .tif, .tiff or .exr");
    }
    if (frameCount > 1 && !HasFrameNumber(pattern)) {
        Fail(where, "renders " + std::to_string(frameCount) +
                        " frames, so the name needs a run of '#' for the frame number");
    }
    const fs::path folder = first.has_parent_path() ? first.parent_path() : fs::path(".");
    std::error_code ec;
    if (!fs::exists(folder, ec)) Fail(where, "the folder " + Quoted(folder) + " does not exist");
    if (!fs::is_directory(folder, ec)) Fail(where, Quoted(folder) + " is not a folder");
    if (::access(folder.c_str(), W_OK) != 0 || NoWriteBits(folder)) {
        Fail(where, "the folder " + Quoted(folder) + " is read-only");
    }
    for (int i = 0; i < frameCount; ++i) {
        const fs::path target(FrameFileName(pattern, firstFrame + i));
        if (fs::is_directory(target, ec)) Fail(where, Quoted(target) + " is a folder");
        if (fs::exists(target, ec) &&
            (::access(target.c_str(), W_OK) != 0 || NoWriteBits(target))) {
            Fail(where, Quoted(target) + " is read-only");
        }
        if (!HasFrameNumber(pattern)) break;
    }
}

PendingFile::PendingFile(const fs::path& target) : target_(target) {
    InstallCleanupHandlers();
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string name = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    if (buffer.size() > sizeof g_pendingPath) {
        throw InputError("output " + Quoted(target) + ": the path is too long");
    }
    const int fd = ::mkstemp(buffer.data());
    if (fd < 0) {
        throw InputError("output " + Quoted(target) + ": cannot create a file in " +
                         Quoted(folder) + ": " + std::strerror(errno));
    }
    // mkstemp makes the file private; give it the mode a plain new file gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    path_ = buffer.data();
    std::memcpy(g_pendingPath, buffer.data(), buffer.size());
    g_pending.store(true);
}

PendingFile::~PendingFile() {
    g_pending.store(false);
    if (!committed_) {
        std::error_code ec;
        fs::remove(path_, ec);
    }
}

void PendingFile::Commit() {
    std::error_code ec;
    fs::rename(path_, target_, ec);
    if (ec) {
        throw InputError("output " + Quoted(target_) + ": cannot write: " + ec.message());
    }
    committed_ = true;
    g_pending.store(false);
}

}  // namespace lumeshade::tools
