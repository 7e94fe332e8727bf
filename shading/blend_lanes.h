// BlendColor (shading/blend.h) for every lane of a vector: each mode's
// formula with the same operations in the same order, the conditions of
// the modes that keep the base turned into selections. The Hue,
// Saturation, Color and Luminosity modes go lane by lane through the
// scalar BlendHsl.
//
// Templates over an instruction set; see common/fmath_lanes.h.
#pragma once

#include <cstdint>

#include "common/fmath_lanes.h"
#include "shading/blend.h"

namespace lumeshade::lanes {

// Red, green and blue of W pixels. The fourth value of the scalar colour is
// never read by anything that reaches a pixel, so the lanes do not carry it.
template <class V>
struct ColorLanes {
    typename V::F red, green, blue;
};

template <class V>
inline ColorLanes<V> Select(typename V::M m, const ColorLanes<V>& a, const ColorLanes<V>& b) {
    return {Select(m, a.red, b.red), Select(m, a.green, b.green), Select(m, a.blue, b.blue)};
}

// Integer pixels cannot hold values outside 0..1; NaN becomes 0.
template <class V>
inline typename V::F LimitChannel(typename V::F v) {
    using F = typename V::F;
    return Select(v >= F(0.0f), Select(v > F(1.0f), F(1.0f), v), F(0.0f));
}

template <class V>
inline void Limit(ColorLanes<V>& c) {
    c.red = LimitChannel<V>(c.red);
    c.green = LimitChannel<V>(c.green);
    c.blue = LimitChannel<V>(c.blue);
}

template <class V, class Channel>
inline void ForEachChannel(ColorLanes<V>& a, const ColorLanes<V>& b, Channel channel) {
    a.red = channel(a.red, b.red);
    a.green = channel(a.green, b.green);
    a.blue = channel(a.blue, b.blue);
}

// The scalar HSL blend in each lane of `active`.
template <class V>
[[gnu::noinline]] void BlendHslLanes(ColorLanes<V>& a, int32_t mode, float t,
                                     const ColorLanes<V>& b, typename V::M active) {
    alignas(64) float ar[V::kLanes], ag[V::kLanes], ab[V::kLanes];
    alignas(64) float br[V::kLanes], bg[V::kLanes], bb[V::kLanes];
    Store(ar, a.red);
    Store(ag, a.green);
    Store(ab, a.blue);
    Store(br, b.red);
    Store(bg, b.green);
    Store(bb, b.blue);
    for (int bits = Bits(active); bits != 0; bits &= bits - 1) {
        const int i = __builtin_ctz(unsigned(bits));
        Color base{ar[i], ag[i], ab[i], 0.0f};
        Color blend{br[i], bg[i], bb[i], 0.0f};
        BlendHsl(base, mode, t, blend);
        ar[i] = base.red;
        ag[i] = base.green;
        ab[i] = base.blue;
    }
    a.red = V::Load(ar);
    a.green = V::Load(ag);
    a.blue = V::Load(ab);
}

// BlendColor(base, mode, opacity, blend, maxValue) in every lane of
// `active`; `limit` is maxValue > 1.
template <class V>
inline void BlendColor(ColorLanes<V>& base, int32_t mode, float opacity, const ColorLanes<V>& blend,
                       bool limit, typename V::M active) {
    using F = typename V::F;
    const F t(opacity);
    const F keep(1.0f - opacity);
    const auto mix = [&](F a, F f) { return a * keep + f * t; };
    const auto mixEach = [&](auto formula) {
        ForEachChannel<V>(base, blend, [&](F a, F b) { return mix(a, formula(a, b)); });
    };
    const F one(1.0f), two(2.0f), half(0.5f), zero(0.0f);
    switch (mode) {
        case BLEND_NORMAL:
            mixEach([](F, F b) { return b; });
            break;
        case BLEND_AVERAGE:
            mixEach([&](F a, F b) { return (a + b) * half; });
            break;
        case BLEND_DARKEN:
            mixEach([](F a, F b) { return Min(a, b); });
            break;
        case BLEND_MULTIPLY:
            mixEach([](F a, F b) { return a * b; });
            break;
        case BLEND_COLOR_BURN:
            ForEachChannel<V>(base, blend, [&](F a, F b) {
                return Select(b == zero, a, mix(a, one - (one - a) / b));
            });
            break;
        case BLEND_INVERSE_COLOR_BURN:
            ForEachChannel<V>(base, blend, [&](F a, F b) {
                return Select(a == zero, a, mix(a, one - (one - b) / a));
            });
            break;
        case BLEND_SUBTRACT:
            mixEach([&](F a, F b) { return a + b - one; });
            break;
        case BLEND_DARKER:
            ForEachChannel<V>(base, blend, [&](F a, F b) { return Select(b < a, mix(a, b), a); });
            break;
        case BLEND_LIGHTEN:
            mixEach([](F a, F b) { return Max(a, b); });
            break;
        case BLEND_ADD:
            mixEach([](F a, F b) { return a + b; });
            break;
        case BLEND_SCREEN:
            mixEach([&](F a, F b) { return one - (one - b) * (one - a); });
            break;
        case BLEND_COLOR_DODGE:
            mixEach([&](F a, F b) { return a / (one - b); });
            break;
        case BLEND_INVERSE_COLOR_DODGE:
            mixEach([&](F a, F b) { return b / (one - a); });
            break;
        case BLEND_LIGHTER:
            ForEachChannel<V>(base, blend, [&](F a, F b) { return Select(b > a, mix(a, b), a); });
            break;
        case BLEND_DIVIDE:
            ForEachChannel<V>(base, blend,
                              [&](F a, F b) { return Select(b == zero, one, mix(a, a / b)); });
            break;
        case BLEND_OVERLAY:
            mixEach([&](F a, F b) {
                return Select(a >= half, one - two * (one - a) * (one - b), a * b);
            });
            break;
        case BLEND_SOFT_LIGHT:
            mixEach([&](F a, F b) {
                return Select(b < half, SquareF<V>(a) * (one - two * b) + two * a * b,
                              Sqrt(a) * (two * b - one) + two * a * (one - b));
            });
            break;
        case BLEND_HARD_LIGHT:
            mixEach([&](F a, F b) {
                return Select(b < half, two * a * b, one - two * (one - a) * (one - b));
            });
            break;
        case BLEND_REFLECT:
            mixEach([&](F a, F b) { return Select(b == one, one, SquareF<V>(a) / (one - b)); });
            break;
        case BLEND_GLOW:
            mixEach([&](F a, F b) { return Select(a == one, one, SquareF<V>(b) / (one - a)); });
            break;
        case BLEND_DIFFERENCE:
            mixEach([](F a, F b) { return Abs(a - b); });
            break;
        case BLEND_EXCLUSION:
            mixEach([&](F a, F b) { return a + b - two * a * b; });
            break;
        case BLEND_GRAIN_MERGE:
            mixEach([&](F a, F b) { return a + b - half; });
            break;
        case BLEND_EXPONENTIAL_A_B:
            mixEach([&](F a, F b) { return PowF<V>(a, one / b, active); });
            break;
        case BLEND_EXPONENTIAL_B_A:
            mixEach([&](F a, F b) { return PowF<V>(b, one / a, active); });
            break;
        case BLEND_HUE:
        case BLEND_SATURATION:
        case BLEND_COLOR:
        case BLEND_LUMINOSITY:
            BlendHslLanes<V>(base, mode, opacity, blend, active);
            break;
        case BLEND_PHOENIX:
            mixEach([&](F a, F b) { return Min(a, b) - Max(a, b) + one; });
            break;
        default:  // not a blend mode: the base stays as it is
            break;
    }
    if (limit) Limit<V>(base);
}

}  // namespace lumeshade::lanes
