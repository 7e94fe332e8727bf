#include "tools/input_error.h"

#include <charconv>
#include <cmath>

namespace lumeshade::tools {
namespace {

std::string OneLine(const std::string& text) {
    std::string line;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f) {
            line += c;
        } else if (c == '\n') {
            line += "\\n";
        } else if (c == '\t') {
            line += "\\t";
        } else if (c == '\r') {
            line += "\\r";
        } else {
            const char* digits = "0123456789abcdef";
            line += "\\x";
            line += digits[byte >> 4];
            line += digits[byte & 15];
        }
    }
    return line;
}

}  // namespace

InputError::InputError(const std::string& what) : std::runtime_error(OneLine(what)) {}

Location Location::Key(std::string_view key) const {
    Location next = *this;
    if (!next.path.empty()) next.path += '.';
    next.path += key;
    return next;
}

Location Location::Item(std::size_t index) const {
    Location next = *this;
    next.path += '[' + std::to_string(index) + ']';
    return next;
}

std::string Location::Describe() const { return path.empty() ? source : source + ": " + path; }

void Fail(const Location& where, const std::string& what) {
    throw InputError(where.Describe() + ": " + what);
}

std::string FormatNumber(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

}  // namespace lumeshade::tools
