// The map reads of maps/map_read.h, maps/tile_index.h and the stretch of
// shading/pixel_pass.cpp (MapPositionOf) for every lane of a vector. Indices
// are worked out in lanes; the pixels are then fetched one lane at a time,
// directly from the map or, where the lookup filters, through the host's
// area sampler: a call per lane, in lane order, for exactly the lanes whose
// pixel the per-pixel function would sample.
//
// Templates over an instruction set; see common/fmath_lanes.h.
#pragma once

#include <cstdint>
#include <limits>

#include "AE_Effect.h"
#include "common/pixel_traits.h"
#include "maps/map_read.h"
#include "maps/sample_area.h"
#include "maps/tile_index.h"
#include "shading/blend_lanes.h"

namespace lumeshade::lanes {

// Four channels of W pixels as floats of their stored values (not scaled).
template <class V>
struct PixelLanes {
    typename V::F alpha, red, green, blue;
};

template <class V>
inline typename V::I MaxZero(typename V::I v) {
    using I = typename V::I;
    return Select(v > I(0), v, I(0));
}

// a - b, saturated to the 32-bit range, for a >= 0 (SaturatingSub).
template <class V>
inline typename V::I SaturatingSub(int32_t a, typename V::I b) {
    using I = typename V::I;
    const int32_t lowest = int32_t(int64_t(a) - std::numeric_limits<int32_t>::max());
    return Select(b < I(lowest), I(std::numeric_limits<int32_t>::max()), I(a) - b);
}

// a - b for every lane, saturated to the 32-bit range (SaturatingSub).
template <class V>
inline typename V::I SaturatingSub(typename V::I a, int32_t b) {
    using I = typename V::I;
    using Limits = std::numeric_limits<int32_t>;
    if (b >= 0) return Select(a < I(Limits::min() + b), I(Limits::min()), a - I(b));
    return Select(a > I(Limits::max() + b), I(Limits::max()), a - I(b));
}

// a % n as C++ computes it (the sign of the dividend) for whole numbers a
// held exactly in doubles, |a| <= 2^31, and n >= 1: the quotient of two
// doubles below 2^31 never rounds across a whole number, so its truncation
// is the integer quotient.
template <class V>
inline typename V::I Remainder(typename V::D a, int32_t n) {
    using D = typename V::D;
    if (n == 1) return typename V::I(0);
    const D quotient = ToDouble(TruncToInt(a / D(double(n))));
    return TruncToInt(a - quotient * D(double(n)));
}

// TileIndex(mode, n, c) in every lane.
template <class V>
inline typename V::I TileIndex(int32_t mode, int32_t n, typename V::I c) {
    using I = typename V::I;
    if (n < 1) return I(NO_PIXEL);
    const I size(n), last(n - 1), zero(0);
    switch (mode) {
        case TILE_NONE:
            return Select((c >= zero) & (c < size), c, I(NO_PIXEL));
        case TILE_EDGE:
            return Select(c >= size, last, Select(c <= zero, zero, c));
        case TILE_REPEAT: {
            const auto above = c >= size;
            const auto below = c <= zero;
            if (!Any(above | below)) return c;
            const I r = Remainder<V>(ToDouble(c), n);
            // Above: r + 1 in 1..n, n itself pulled back to n - 1. At or
            // below 0: r + n - 1 in 0..n - 1.
            const I up = r + I(1);
            return Select(above, Select(up < size, up, last), Select(below, r + I(n - 1), c));
        }
        case TILE_MIRROR: {
            const auto above = c >= size;
            const auto below = c < zero;
            if (!Any(above | below)) return c;
            // Above: n - (c % n) + 1, which is n or more (and so n - 1)
            // while the remainder is at most 1. Below: (-c) % n - 1, at
            // least -1, raised to 0.
            const I ra = Remainder<V>(ToDouble(c), n);
            const I rb = Remainder<V>(typename V::D(0.0) - ToDouble(c), n);
            return Select(above, Select(ra <= I(1), last, size - ra + I(1)),
                          Select(below, MaxZero<V>(rb - I(1)), c));
        }
        default:
            return Select(c == I(NO_PIXEL), I(NO_PIXEL), Select(c < size, MaxZero<V>(c), last));
    }
}

// v limited to 0..last.
template <class V>
inline typename V::I Limited(typename V::I v, int32_t last) {
    using I = typename V::I;
    return Select(v < I(0), I(0), Select(v > I(last), I(last), v));
}

// MapPositionOf: the stretch of a map over the layer, for the positions
// `x` (columns) or `y` (rows). `ratio` is (size - 1) / (layer size - 1) as
// the per-pixel function computes it, worked out once per frame.
template <class V>
inline typename V::I StretchedIndex(float ratio, typename V::I position, int32_t last) {
    using F = typename V::F;
    using I = typename V::I;
    const F v = F(ratio) * ToFloat(position);
    const I i = Select((v >= F(0.0f)) & (v < F(2147483648.0f)), TruncToInt(v), I(0));
    return Select(i > I(last), I(last), i);
}

// The pixels of `map` at (columns, rows) in the lanes of `lanes`; the other
// lanes hold zeros. Every index must lie inside the map.
template <class V, class Pixel>
inline PixelLanes<V> Fetch(const PF_EffectWorld& map, typename V::I columns, typename V::I rows,
                           typename V::M lanes) {
    alignas(64) int32_t cs[V::kLanes], rs[V::kLanes];
    alignas(64) float a[V::kLanes] = {}, r[V::kLanes] = {}, g[V::kLanes] = {}, b[V::kLanes] = {};
    Store(cs, columns);
    Store(rs, rows);
    for (int bits = Bits(lanes); bits != 0; bits &= bits - 1) {
        const int i = __builtin_ctz(unsigned(bits));
        const Pixel& p = PixelAt<Pixel>(map, cs[i], rs[i]);
        a[i] = float(p.alpha);
        r[i] = float(p.red);
        g[i] = float(p.green);
        b[i] = float(p.blue);
    }
    return {V::Load(a), V::Load(r), V::Load(g), V::Load(b)};
}

// SampleArea for the lanes of `lanes`, in lane order; the other lanes hold
// zeros.
template <class V, class Pixel>
[[gnu::noinline]] PixelLanes<V> Sample(const PF_EffectWorld& map, typename V::I columns,
                                       typename V::I rows, float radius, const PF_InData* in_data,
                                       typename V::M lanes) {
    alignas(64) int32_t cs[V::kLanes], rs[V::kLanes];
    alignas(64) float a[V::kLanes] = {}, r[V::kLanes] = {}, g[V::kLanes] = {}, b[V::kLanes] = {};
    Store(cs, columns);
    Store(rs, rows);
    for (int bits = Bits(lanes); bits != 0; bits &= bits - 1) {
        const int i = __builtin_ctz(unsigned(bits));
        const Pixel p = SampleArea<Pixel>(map, cs[i], rs[i], radius, in_data);
        a[i] = float(p.alpha);
        r[i] = float(p.red);
        g[i] = float(p.green);
        b[i] = float(p.blue);
    }
    return {V::Load(a), V::Load(r), V::Load(g), V::Load(b)};
}

template <class V>
struct MapRead {
    typename V::M found;  // a pixel was read (the tile mode gave both indices)
    PixelLanes<V> pixel;
};

// ReadMap in the lanes of `active`. `samples` (decided once per frame)
// says whether the lookup filters through the host's sampler.
template <class V, class Pixel>
inline MapRead<V> ReadMap(const PF_EffectWorld& map, int32_t mode, int32_t trim, typename V::I cx,
                          typename V::I cy, bool samples, float radius, const PF_InData* in_data,
                          typename V::M active) {
    using I = typename V::I;
    const I ix = TileIndex<V>(mode, lumeshade::SaturatingSub(map.width, trim), cx);
    const I iy = TileIndex<V>(mode, lumeshade::SaturatingSub(map.height, trim), cy);
    const auto found = active & (ix != I(NO_PIXEL)) & (iy != I(NO_PIXEL));
    if (!Any(found)) return {found, {}};
    if (samples) return {found, Sample<V, Pixel>(map, ix, iy, radius, in_data, found)};
    return {found, Fetch<V, Pixel>(map, ix, iy, found)};
}

// Scaled and Signed of maps/map_read.h on stored channel values.
template <class V, class Pixel>
inline typename V::F Scaled(typename V::F stored) {
    // A float channel is used as stored (its scale is 1 and is not applied).
    if constexpr (PixelTraits<Pixel>::kIsFloat) {
        return stored;
    } else {
        return stored * typename V::F(PixelTraits<Pixel>::kScale);
    }
}

template <class V, class Pixel>
inline ColorLanes<V> ScaledColor(const PixelLanes<V>& p) {
    return {Scaled<V, Pixel>(p.red), Scaled<V, Pixel>(p.green), Scaled<V, Pixel>(p.blue)};
}

template <class V, class Pixel>
inline typename V::F Signed(typename V::F stored) {
    using F = typename V::F;
    using T = PixelTraits<Pixel>;
    if constexpr (T::kIsFloat) {
        return F(2.0f) * stored - F(1.0f);
    } else {
        // 2v - max is a whole number below 2^24: exact in a float.
        return (F(2.0f) * stored - F(float(T::kMaxInt))) * F(T::kScale);
    }
}

}  // namespace lumeshade::lanes
