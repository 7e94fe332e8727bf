#include "tools/normal_pass.h"

#include <cmath>

namespace lumeshade::tools {
namespace {

// How far from 1 a length may be and still count as a unit normal: 8-bit
// quantisation moves |2c - 1| by about 0.014.
constexpr double kUnitTolerance = 0.05;

bool NearUnit(double x, double y, double z) {
    return std::abs(std::sqrt(x * x + y * y + z * z) - 1.0) < kUnitTolerance;
}

std::string Percent(std::int64_t part, std::int64_t whole) {
    return std::to_string(part * 100 / whole) + "%";
}

}  // namespace

void ConvertPass(const PassConversion& conversion, double rgb[3]) {
    if (conversion.flipY) rgb[1] = conversion.signedNormals ? -rgb[1] : 1.0 - rgb[1];
    if (conversion.signedNormals) {
        for (int c = 0; c < 3; ++c) rgb[c] = (rgb[c] + 1.0) * 0.5;
    }
}

void NormalEvidence::Add(const double rgb[3], double alpha) {
    if (!(alpha > 0.0)) return;
    ++covered;
    if (rgb[0] < 0.0 || rgb[1] < 0.0 || rgb[2] < 0.0) ++negative;
    if (NearUnit(2 * rgb[0] - 1, 2 * rgb[1] - 1, 2 * rgb[2] - 1)) {
        ++encoded;
    } else if (NearUnit(rgb[0], rgb[1], rgb[2])) {
        ++unencoded;
    }
}

std::optional<std::string> NormalMapDoubt(const NormalEvidence& e) {
    const std::string remedy =
        ": the effect reads normals encoded as (n + 1) / 2; a -1..1 pass needs \"normals\": "
        "\"signed\"";
    if (e.covered == 0) return std::nullopt;
    // A few negative values can come from filtering; a -1..1 pass has them
    // wherever the surface turns left, down or away.
    if (e.negative * 100 > e.covered) {
        return "has many negative values (" + Percent(e.negative, e.covered) + " of its pixels)" +
               remedy;
    }
    // Stored in a format without negative values, such a pass still holds
    // unit vectors as they are where the normal points right and up.
    if (e.unencoded * 10 >= e.covered && e.unencoded > 2 * e.encoded) {
        return "looks unencoded (" + Percent(e.unencoded, e.covered) +
               " of its pixels hold unit vectors as they stand, " + Percent(e.encoded, e.covered) +
               " encoded ones)" + remedy;
    }
    return std::nullopt;
}

}  // namespace lumeshade::tools
