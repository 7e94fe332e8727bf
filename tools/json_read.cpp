#include "tools/json_read.h"

#include <cmath>
#include <limits>
#include <set>

#include "common/convert.h"
#include "tools/limits.h"
#include "tools/nearest_name.h"

namespace lumeshade::tools {
namespace {

// Line and column (1-based) of a byte offset.
std::string Position(std::string_view text, std::size_t offset) {
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n')
            ++line, column = 1;
        else
            ++column;
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace

Json ParseJson(std::string_view text, const std::string& source) {
    // A repeated key would silently drop the first value; keep track of the
    // keys of every open object to refuse it.
    std::vector<std::set<std::string>> open;
    std::string repeated;
    const Json::parser_callback_t watch = [&](int depth, Json::parse_event_t event, Json& parsed) {
        // `depth` counts the arrays and objects around the one that starts.
        const bool opens =
            event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start;
        if (opens && depth >= kMaxJsonDepth) {
            throw InputError(source + ": values nested more than " + std::to_string(kMaxJsonDepth) +
                             " arrays or objects deep");
        }
        if (event == Json::parse_event_t::object_start) {
            open.emplace_back();
        } else if (event == Json::parse_event_t::object_end) {
            if (!open.empty()) open.pop_back();
        } else if (event == Json::parse_event_t::key && !open.empty() && repeated.empty()) {
            const std::string key = parsed.get<std::string>();
            if (!open.back().insert(key).second) repeated = key;
        }
        return true;
    };
    Json result;
    try {
        result = Json::parse(text.begin(), text.end(), watch);
    } catch (const Json::parse_error& e) {
        std::string what = e.what();
        // The library's own text starts with its error id and position; keep
        // the part after them, which says what it found.
        if (const std::size_t colon = what.find(": "); colon != std::string::npos) {
            what = what.substr(colon + 2);
        }
        throw InputError(source + ": malformed JSON at " +
                         Position(text, e.byte > 0 ? e.byte - 1 : 0) + ": " + what);
    } catch (const Json::exception& e) {
        // A number too large for a double, for one.
        std::string what = e.what();
        if (const std::size_t bracket = what.find("] "); bracket != std::string::npos) {
            what = what.substr(bracket + 2);
        }
        throw InputError(source + ": malformed JSON: " + what);
    }
    if (!repeated.empty()) {
        throw InputError(source + ": the key \"" + repeated + "\" appears twice in one object");
    }
    return result;
}

bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        // The sequence's length and the range of its second byte, which rules
        // out overlong forms, surrogates and code points above U+10FFFF.
        int length = 1;
        unsigned char lo = 0x80, hi = 0xbf;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            if (lead == 0xe0) lo = 0xa0;
            if (lead == 0xed) hi = 0x9f;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            if (lead == 0xf0) lo = 0x90;
            if (lead == 0xf4) hi = 0x8f;
        } else {
            return false;
        }
        if (text.size() - i < std::size_t(length)) return false;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next < (k == 1 ? lo : 0x80) || next > (k == 1 ? hi : 0xbf)) return false;
        }
        i += std::size_t(length);
    }
    return true;
}

void CheckUtf8(std::string_view text, const Location& where) {
    if (!IsUtf8(text)) Fail(where, "expected UTF-8 text, which is all a scene can hold");
}

std::string DescribeValue(const Json& value) {
    switch (value.type()) {
        case Json::value_t::object:
            return "an object";
        case Json::value_t::array:
            return "an array of " + std::to_string(value.size());
        case Json::value_t::null:
            return "null";
        default:
            break;
    }
    std::string text = value.dump(-1, ' ', false, Json::error_handler_t::replace);
    if (text.size() > 40) {
        // Cut between characters, not inside one.
        std::size_t cut = 37;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xc0) == 0x80) --cut;
        text = text.substr(0, cut) + "...";
    }
    return text;
}

void FailExpected(const Location& where, const std::string& expected, const Json& got) {
    Fail(where, "expected " + expected + ", got " + DescribeValue(got));
}

void CheckObject(const Json& value, const Location& where, const std::vector<std::string>& known) {
    if (!value.is_object()) FailExpected(where, "an object", value);
    for (const auto& item : value.items()) {
        const std::string& key = item.key();
        bool found = false;
        for (const std::string& k : known) found = found || k == key;
        if (!found) Fail(where.Key(key), "unknown key" + DidYouMean(key, known));
    }
}

double ReadNumber(const Json& value, const Location& where) {
    if (!value.is_number()) FailExpected(where, "a number", value);
    const double v = value.get<double>();
    if (!std::isfinite(v)) FailExpected(where, "a finite number", value);
    return v;
}

double ReadNumberIn(const Json& value, const Location& where, double lo, double hi) {
    const std::string expected = "a number from " + FormatNumber(lo) + " to " + FormatNumber(hi);
    if (!value.is_number()) FailExpected(where, expected, value);
    const double v = value.get<double>();
    if (!(v >= lo && v <= hi)) FailExpected(where, expected, value);
    return v;
}

int ReadWholeNumber(const Json& value, const Location& where, int lo, int hi) {
    const std::string expected =
        "a whole number from " + std::to_string(lo) + " to " + std::to_string(hi);
    if (!value.is_number()) FailExpected(where, expected, value);
    const double v = value.get<double>();
    if (!(v >= lo && v <= hi) || v != std::floor(v)) FailExpected(where, expected, value);
    return TruncToInt(v);
}

bool ReadBool(const Json& value, const Location& where) {
    if (!value.is_boolean()) FailExpected(where, "true or false", value);
    return value.get<bool>();
}

std::string ReadString(const Json& value, const Location& where) {
    if (!value.is_string()) FailExpected(where, "a string", value);
    return value.get<std::string>();
}

std::array<double, 3> ReadTriple(const Json& value, const Location& where, const char* expected) {
    if (!value.is_array() || value.size() != 3) FailExpected(where, expected, value);
    std::array<double, 3> v{};
    for (std::size_t i = 0; i < 3; ++i) {
        if (!value[i].is_number() || !std::isfinite(value[i].get<double>())) {
            FailExpected(where.Item(i), "a number", value[i]);
        }
        v[i] = value[i].get<double>();
    }
    return v;
}

double ReadSingle(const Json& value, const Location& where) {
    constexpr double kMax = std::numeric_limits<float>::max();
    const double v = value.is_number() ? value.get<double>() : 0.0;
    if (!value.is_number() || !(std::abs(v) <= kMax)) {
        FailExpected(where,
                     "a number from " + FormatNumber(-kMax) + " to " + FormatNumber(kMax) +
                         " (finite in single precision)",
                     value);
    }
    return v;
}

std::array<double, 3> ReadSingleTriple(const Json& value, const Location& where,
                                       const char* expected) {
    if (!value.is_array() || value.size() != 3) FailExpected(where, expected, value);
    return {ReadSingle(value[0], where.Item(0)), ReadSingle(value[1], where.Item(1)),
            ReadSingle(value[2], where.Item(2))};
}

std::optional<std::array<int, 3>> ParseHexColor(std::string_view text) {
    if (text.size() != 7 || text[0] != '#') return std::nullopt;
    const auto digit = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::array<int, 3> bytes{};
    for (std::size_t i = 0; i < 3; ++i) {
        const int high = digit(text[1 + 2 * i]), low = digit(text[2 + 2 * i]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes[i] = high * 16 + low;
    }
    return bytes;
}

std::array<double, 3> ReadUnitColor(const Json& value, const Location& where) {
    const char* expected = "[r, g, b] with each number from 0 to 1, or \"#rrggbb\"";
    if (value.is_string()) {
        const auto bytes = ParseHexColor(value.get<std::string>());
        if (!bytes) FailExpected(where, expected, value);
        return {(*bytes)[0] / 255.0, (*bytes)[1] / 255.0, (*bytes)[2] / 255.0};
    }
    const std::array<double, 3> c = ReadTriple(value, where, expected);
    for (std::size_t i = 0; i < 3; ++i) {
        if (!(c[i] >= 0.0 && c[i] <= 1.0))
            FailExpected(where.Item(i), "a number from 0 to 1", value[i]);
    }
    return c;
}

}  // namespace lumeshade::tools
