// Normal passes as renderers write them, made into the effect's encoding as
// they load, and the signs that a map chosen as normal map is not in that
// encoding.
//
// The effect reads a unit normal n (x right, y up, z toward the viewer) stored
// as (n + 1) / 2 per colour channel. Renderers often write n itself (-1..1),
// and some write y down.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lumeshade::tools {

struct PassConversion {
    bool signedNormals = false;  // stored as -1..1: (n + 1) / 2 on load
    bool flipY = false;          // y down: y negated, before the encoding
    bool operator==(const PassConversion&) const = default;
};

// The colour channels (red, green, blue, in 0..1 units, alpha apart) of one
// pixel as the effect will read them.
void ConvertPass(const PassConversion& conversion, double rgb[3]);

// What loading a map showed of its colours, counted over the pixels with
// some coverage (alpha above 0).
struct NormalEvidence {
    std::int64_t covered = 0;
    std::int64_t negative = 0;  // a colour channel below 0
    // The colour c is a unit normal in the effect's encoding: |2c - 1| is 1.
    std::int64_t encoded = 0;
    // Otherwise, c is a unit normal as it stands: |c| is 1.
    std::int64_t unencoded = 0;

    void Add(const double rgb[3], double alpha);
};

// A warning for a map chosen as normal map that looks like a -1..1 pass, or
// nothing: "has many negative values (N% of its pixels)" or "looks
// unencoded (...)", followed by the remedy.
std::optional<std::string> NormalMapDoubt(const NormalEvidence& evidence);

}  // namespace lumeshade::tools
