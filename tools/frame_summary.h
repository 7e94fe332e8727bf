// --hash and --stats: a checksum and the channel ranges of each written
// frame, printed as JSON lines (docs/renderer.md).
#pragma once

#include <cstdint>
#include <string>

#include "host/world.h"
#include "tools/image.h"

namespace lumeshade::tools {

// FNV-1a 64 over the frame's pixels as the host rendered them: rows top
// first, each pixel's alpha, red, green and blue in the world's own channel
// type (1 byte, 2 bytes holding 0..32768, or a 4-byte float) and byte order,
// row padding left out. It does not depend on the file format.
std::uint64_t PixelChecksum(const host::World& world);

// {"frame":F,"file":"...","fnv1a64":"<16 hex digits>"}
std::string HashLine(int frame, const std::string& file, const host::World& world);

// {"frame":F,"a":{"min":..,"max":..,"mean":..},"r":{..},"g":{..},"b":{..}}
// in the render's units. A channel holding a NaN prints "NaN" for all three;
// an infinity shows in the min or max and the mean.
std::string StatsLine(int frame, const Image& image);

}  // namespace lumeshade::tools
