#include "maps/tile_index.h"

#include <algorithm>

namespace lumeshade {

int32_t TileIndex(int32_t mode, int32_t n, int32_t c) {
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
