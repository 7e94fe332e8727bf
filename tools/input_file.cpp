#include "tools/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace lumeshade::tools {
namespace {

// What a file that is not a regular file is, for the message; "" for a
// regular file.
std::string Kind(const struct stat& info) {
    if (S_ISREG(info.st_mode)) return "";
    if (S_ISDIR(info.st_mode)) return "is a folder";
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return "is a device";
    if (S_ISFIFO(info.st_mode)) return "is a named pipe";
    if (S_ISSOCK(info.st_mode)) return "is a socket";
    return "is not a regular file";
}

[[noreturn]] void FailOpen(int error, const Location& where, const std::string& subject) {
    if (error == ENOENT) Fail(where, subject + " does not exist");
    Fail(where, subject + " cannot be read: " + std::strerror(error));
}

}  // namespace

InputFile OpenInputFile(const std::filesystem::path& path, const Location& where,
                        const std::string& subject) {
    // Looked at before it is opened: opening a device can itself act (a tape
    // rewinds), and opening a named pipe waits for a writer.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) FailOpen(errno, where, subject);
    if (const std::string kind = Kind(info); !kind.empty()) Fail(where, subject + " " + kind);
    // Looked at again once open, in case the name was changed to something
    // else in between; without O_NONBLOCK that open could still wait.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) FailOpen(errno, where, subject);
    if (::fstat(fd, &info) != 0 || !Kind(info).empty()) {
        const std::string kind = Kind(info);
        ::close(fd);
        Fail(where, subject + " " + (kind.empty() ? "cannot be read" : kind));
    }
    // Reads of a regular file never wait; the flag is cleared all the same.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    InputFile opened;
    opened.file.reset(::fdopen(fd, "rb"));
    if (!opened.file) {
        const int error = errno;
        ::close(fd);
        FailOpen(error, where, subject);
    }
    opened.size = std::uintmax_t(info.st_size);
    return opened;
}

std::string ReadInputFile(const std::filesystem::path& path, const Location& where,
                          const std::string& subject, std::uintmax_t maxBytes) {
    const InputFile in = OpenInputFile(path, where, subject);
    const auto tooLarge = [&] {
        Fail(where, subject + " is larger than " + std::to_string(maxBytes >> 20) + " MiB");
    };
    if (in.size > maxBytes) tooLarge();
    // The size may have changed since; read to the end, never past the limit.
    std::string text;
    char buffer[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, in.file.get());
        if (got == 0) break;
        if (text.size() + got > maxBytes) tooLarge();
        text.append(buffer, got);
    }
    if (std::ferror(in.file.get())) Fail(where, subject + " cannot be read");
    return text;
}

}  // namespace lumeshade::tools
