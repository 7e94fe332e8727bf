// Maps the program makes itself, so that scenes need no image files. Each is
// deterministic, sized by its parameters, and produced in float (0..1).
//
// Normal maps use the colour encoding the effect reads: a unit normal n with
// x to the right, y up and z toward the viewer is stored as (n + 1) / 2, so a
// surface facing the viewer is (0.5, 0.5, 1.0). Pixels off the surface are
// transparent black, which the effect treats as no surface.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/image.h"

namespace lumeshade::tools {

enum class MapKind { kSphere, kTorus, kMatcap, kEnvironment, kUv, kChecker, kBump, kDepth };

using Rgb = std::array<double, 3>;

struct MapParams {
    MapKind kind = MapKind::kSphere;
    int width = 512;
    int height = 512;
    // Sphere and torus: fill the area around the shape with a flat, opaque
    // surface facing the viewer instead of leaving it empty.
    bool background = false;
    // Sphere and depth map: the sphere's radius as a fraction of half the
    // shorter side.
    double radius = 0.9;
    // Torus: the radius of the ring's centre line and of its tube, as
    // fractions of half the shorter side.
    double ringRadius = 0.6;
    double tubeRadius = 0.3;
    // Checker: the side of one square in pixels and the two colours.
    int squareSize = 32;
    Rgb color1{0.85, 0.85, 0.85};
    Rgb color2{0.15, 0.15, 0.15};
    // Matcap: the ball's colour.
    Rgb color{0.8, 0.35, 0.2};
    // Bump: the ripples' period in pixels and their steepest slope.
    double period = 32.0;
    double strength = 0.5;
};

std::optional<MapKind> ParseMapKind(std::string_view name);
const char* MapKindName(MapKind kind);
std::vector<std::string> MapKindNames();
// The scene keys of the parameters a kind of map takes ("radius", ...).
std::vector<std::string> MapParameterKeys(MapKind kind);

// Fails with std::invalid_argument on sizes or parameters that the scene
// reader would have refused.
Image GenerateMap(const MapParams& params);

}  // namespace lumeshade::tools
