// Typed reads from a parsed scene, each failing with the value's location
// and what was expected.
#pragma once

#include <array>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/keyframes.h"
#include "tools/input_error.h"

namespace lumeshade::tools {

// Objects keep the order of the file, so errors come in the order a reader
// meets them.
using Json = nlohmann::ordered_json;

// Parses JSON text; malformed text and repeated keys fail with the line and
// column, values nested more than kMaxJsonDepth deep fail as well.
Json ParseJson(std::string_view text, const std::string& source);

// Text that is well-formed UTF-8, as every string of a JSON scene is; text
// from the command line need not be.
bool IsUtf8(std::string_view text);
void CheckUtf8(std::string_view text, const Location& where);

// A short rendering of a value for messages: 12, "abc", an object, ...
std::string DescribeValue(const Json& value);

[[noreturn]] void FailExpected(const Location& where, const std::string& expected, const Json& got);

// Checks that `value` is an object whose keys are all among `known`; an
// unknown key fails with the nearest known one.
void CheckObject(const Json& value, const Location& where, const std::vector<std::string>& known);

double ReadNumber(const Json& value, const Location& where);
double ReadNumberIn(const Json& value, const Location& where, double lo, double hi);
// A whole number from lo to hi.
int ReadWholeNumber(const Json& value, const Location& where, int lo, int hi);
bool ReadBool(const Json& value, const Location& where);
std::string ReadString(const Json& value, const Location& where);
std::array<double, 3> ReadTriple(const Json& value, const Location& where,
                                 const char* expected = "an array of three numbers");
// A number the composition holds in single precision (a light's position,
// intensity, ...): finite as a float, from -3.4028234663852886e+38 to
// 3.4028234663852886e+38.
double ReadSingle(const Json& value, const Location& where);
// [x, y, z], each number as ReadSingle.
std::array<double, 3> ReadSingleTriple(const Json& value, const Location& where,
                                       const char* expected);
// [r, g, b] with each number from 0 to 1, or "#rrggbb".
std::array<double, 3> ReadUnitColor(const Json& value, const Location& where);
// "#rrggbb" as three bytes, or nothing.
std::optional<std::array<int, 3>> ParseHexColor(std::string_view text);

// A value, or {"keys": [[frame, value], ...]} with frames in increasing
// order; `read(json, location)` reads one value.
template <class T, class Read>
host::Keyed<T> ReadTrack(const Json& value, const Location& where, Read read) {
    if (!value.is_object()) return host::Keyed<T>(read(value, where));
    CheckObject(value, where, {"keys"});
    const Location keysAt = where.Key("keys");
    const auto keys = value.find("keys");
    if (keys == value.end()) Fail(where, "expected {\"keys\": [[frame, value], ...]}");
    if (!keys->is_array() || keys->empty()) {
        FailExpected(keysAt, "a non-empty array of [frame, value] pairs", *keys);
    }
    // A keyed track's constant is its first key's value, so that every
    // value it holds is one `read` accepted.
    std::optional<host::Keyed<T>> track;
    for (std::size_t i = 0; i < keys->size(); ++i) {
        const Json& key = (*keys)[i];
        const Location keyAt = keysAt.Item(i);
        if (!key.is_array() || key.size() != 2) FailExpected(keyAt, "a [frame, value] pair", key);
        const double frame = ReadNumber(key[0], keyAt.Item(0));
        if (track && !(frame > track->Keys().rbegin()->first)) {
            Fail(keyAt.Item(0),
                 "expected a frame after " + FormatNumber(track->Keys().rbegin()->first) +
                     " (keys come in increasing frame order), got " + FormatNumber(frame));
        }
        T keyValue = read(key[1], keyAt.Item(1));
        if (!track) track.emplace(keyValue);
        track->SetKey(frame, std::move(keyValue));
    }
    return *track;
}

}  // namespace lumeshade::tools
