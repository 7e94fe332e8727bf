// --probe X,Y: one output pixel of each frame printed as a JSON line.
#pragma once

#include <string>
#include <string_view>

#include "tools/image.h"

namespace lumeshade::tools {

struct ProbePoint {
    int x = 0;
    int y = 0;
};

// "X,Y" with whole, non-negative numbers; fails with an InputError.
ProbePoint ParseProbe(std::string_view text);

// A channel in the render's own units: whole numbers for 8 and 16 bits, and
// for float the shortest text that reads back as the same float. JSON has no
// infinities or NaN; they print as the strings "Infinity", "-Infinity" and
// "NaN".
std::string FormatChannel(float value, BitDepth depth);

// {"frame":F,"x":X,"y":Y,"a":..,"r":..,"g":..,"b":..}; the point must lie in
// the image.
std::string ProbeLine(int frame, const ProbePoint& point, const Image& image);

}  // namespace lumeshade::tools
