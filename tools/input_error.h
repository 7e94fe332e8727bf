// Errors in what the user handed the program: the scene, the options, the
// image files and the output path. Each is reported as one line naming where
// the fault is and what was expected, and the program exits with status 2.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lumeshade::tools {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRenderFailed = 1;
inline constexpr int kExitBadInput = 2;

class InputError : public std::runtime_error {
public:
    // Control characters in the text (a key holding a line break, say) are
    // written as escapes ("\n", "\x01"), so that every message is one line.
    explicit InputError(const std::string& what);
};

// Where a value came from: a source (a scene file, "--set", the built-in demo)
// and the key path inside it, as in "lights[1].position".
struct Location {
    std::string source;
    std::string path;

    Location Key(std::string_view key) const;
    Location Item(std::size_t index) const;
    // "scene.json: lights[1].position", or the source alone at the top.
    std::string Describe() const;
};

[[noreturn]] void Fail(const Location& where, const std::string& what);

// The shortest decimal text that reads back as the same double ("0.5", "10").
std::string FormatNumber(double value);

}  // namespace lumeshade::tools
