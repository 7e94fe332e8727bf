#include "tools/probe.h"

#include <charconv>
#include <cmath>

#include "common/convert.h"
#include "tools/input_error.h"

namespace lumeshade::tools {

ProbePoint ParseProbe(std::string_view text) {
    const auto fail = [&] {
        Fail({"--probe", ""},
             "expected X,Y with whole pixel numbers, got \"" + std::string(text) + "\"");
    };
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) fail();
    ProbePoint p;
    const auto read = [&](std::string_view part, int& v) {
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), v);
        if (part.empty() || ec != std::errc() || end != part.data() + part.size() || v < 0) fail();
    };
    read(text.substr(0, comma), p.x);
    read(text.substr(comma + 1), p.y);
    return p;
}

std::string FormatChannel(float value, BitDepth depth) {
    if (std::isnan(value)) return "\"NaN\"";
    if (std::isinf(value)) return value > 0 ? "\"Infinity\"" : "\"-Infinity\"";
    if (depth != BitDepth::kFloat) return std::to_string(RoundToInt(value));
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string ProbeLine(int frame, const ProbePoint& point, const Image& image) {
    const float* p = image.Pixel(point.x, point.y);
    const auto channel = [&](int c) { return FormatChannel(p[c], image.depth); };
    return "{\"frame\":" + std::to_string(frame) + ",\"x\":" + std::to_string(point.x) +
           ",\"y\":" + std::to_string(point.y) + ",\"a\":" + channel(3) + ",\"r\":" + channel(0) +
           ",\"g\":" + channel(1) + ",\"b\":" + channel(2) + "}";
}

}  // namespace lumeshade::tools
