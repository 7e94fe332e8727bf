// Files the program reads: scenes and images, and whatever else names a
// path (an option, a page's request). Every path is checked before anything
// reads from it: after following links it must be a regular file. A device
// (/dev/zero reads without end), a named pipe (a read waits for a writer that
// may never come), a socket or a folder is refused, saying which it is, and
// no open or read can wait for ever.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "tools/input_error.h"

namespace lumeshade::tools {

// A regular file open for reading, closed when the object goes.
struct InputFile {
    struct Close {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Close> file;
    std::uintmax_t size = 0;  // in bytes, when it was opened
};

// Opens `path` for reading or fails with an InputError, "WHERE: SUBJECT
// does not exist" (is a folder, is a device, is a named pipe, is a socket,
// cannot be read: REASON). `subject` names the file in the message, as in
// "the image \"maps/n.png\"".
InputFile OpenInputFile(const std::filesystem::path& path, const Location& where,
                        const std::string& subject);

// The whole content of a file opened as above; a file of more than
// `maxBytes` is refused unread.
std::string ReadInputFile(const std::filesystem::path& path, const Location& where,
                          const std::string& subject, std::uintmax_t maxBytes);

}  // namespace lumeshade::tools
