// Tile modes: how a lookup turns an integer map coordinate into a pixel
// index, or into "no pixel".
#pragma once

#include <cstdint>

namespace lumeshade {

// The values of the tile-mode popups.
enum TileMode : int32_t {
    TILE_NONE = 1,
    TILE_EDGE = 2,
    TILE_REPEAT = 3,
    TILE_MIRROR = 4,
};

// Stands for the absence of a pixel; a lookup that meets it has no effect.
inline constexpr int32_t NO_PIXEL = -10000;

// The index in 0 .. n - 1 that coordinate c addresses under `mode`, or
// NO_PIXEL. Repeat and Mirror keep the one-pixel shifts that saved projects
// render with (Repeat maps n to 1 and 0 to n - 1; Mirror maps n and n + 1 to
// n - 1). A size below 1 has no pixel at all, whatever the mode. Every
// coordinate is accepted, the most negative integer included.
int32_t TileIndex(int32_t mode, int32_t n, int32_t c);

}  // namespace lumeshade
