// Builds the PiPL resource bytes, and the Windows resource script that
// embeds exactly those bytes, from the values in pipl_values.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumeshade::pipl {

// The resource: int16 1, int32 list version 0, int32 property count, then the
// properties (vendor, key, int32 id 0, int32 length, data padded to 4 bytes),
// all little-endian, four-character codes as little-endian integers.
std::vector<uint8_t> BuildPiplBytes();

// A resource script declaring the bytes as type PIPL, id 16000, language
// 1031, written out as 16-bit words so the compiled resource is the same
// byte for byte.
std::string BuildResourceScript(const std::vector<uint8_t>& bytes);

}  // namespace lumeshade::pipl
