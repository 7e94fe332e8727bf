// Tile modes: how a lookup turns an integer map coordinate into a pixel
// index, or into "no pixel".
#pragma once

#include <algorithm>
#include <cstdint>

#include "params/choices.h"

namespace lumeshade {

// Stands for the absence of a pixel; a lookup that meets it has no effect.
inline constexpr int32_t NO_PIXEL = -10000;

// The index in 0 .. n - 1 that coordinate c addresses under `mode`, or
// NO_PIXEL. Repeat and Mirror keep the one-pixel shifts that saved projects
// render with (Repeat maps n to 1 and 0 to n - 1; Mirror maps n and n + 1 to
// n - 1). A size below 1 has no pixel at all, whatever the mode. Every
// coordinate is accepted, the most negative integer included.
inline int32_t TileIndex(int32_t mode, int32_t n, int32_t c) {
    // A map one pixel wide addressed with its width minus one arrives here
    // as n = 0: no index exists (and the remainders below would divide by
    // zero).
    if (n < 1) return NO_PIXEL;

    // 64-bit working values: -c and n + 1 cannot overflow.
    const int64_t size = n;
    int64_t v = c;
    switch (mode) {
        case TILE_NONE:
            if (v >= size || v < 0) return NO_PIXEL;
            break;
        case TILE_EDGE:
            if (v >= size) return n - 1;
            if (v <= 0) return 0;
            return c;
        case TILE_REPEAT:
            // The remainder takes the sign of the dividend, as C++'s % does.
            if (v >= size) {
                v = v % size + 1;
            } else if (v <= 0) {
                v = v % size + size - 1;
            }
            break;
        case TILE_MIRROR:
            if (v >= size) {
                v = size - v % size + 1;
            } else if (v < 0) {
                v = (-v) % size - 1;
            }
            break;
        default:  // no popup value; the final clamp keeps it inside the map
            break;
    }
    if (v == NO_PIXEL) return NO_PIXEL;
    if (v < size) return static_cast<int32_t>(std::max<int64_t>(v, 0));
    return n - 1;
}

}  // namespace lumeshade
