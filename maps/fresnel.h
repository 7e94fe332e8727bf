// How the reflection and the refraction shape the colour they read: a
// Fresnel factor from the normal map's blue channel, then tint, amount and
// gamma.
#pragma once

#include <cmath>
#include <limits>

#include "common/color.h"
#include "common/safe_pow.h"

namespace lumeshade {

// x / y with the quotient IEEE arithmetic gives, but without dividing by
// zero: several divisors are controls that may be set to 0 (Gamma, Fresnel
// Depth), and their infinite quotients are meant.
inline float Quotient(float x, float y) {
    if (y != 0.0f) return x / y;
    if (x == 0.0f || std::isnan(x)) return std::numeric_limits<float>::quiet_NaN();
    return std::copysign(std::numeric_limits<float>::infinity(), x) * std::copysign(1.0f, y);
}

// The Fresnel factor k for amount `fresnel` and depth `depth`, from b, the
// normal map's blue channel scaled to 0..1. Without Fresnel k is `unity`.
// A positive depth makes surfaces facing away from the viewer (low b)
// brighter through 1.001 - b; any other depth uses b itself with the
// magnitude of the exponent. A depth of 0 makes the exponent infinite, so
// every b below 1 gives 0.
struct FresnelShape {
    float exponentNumerator;  // 5 for the reflection, 1 for the refraction
    float unity;              // k without Fresnel: 2 and 1
    bool doubled;             // the reflection's k carries a further factor 2
};

inline float FresnelFactor(float fresnel, float depth, float b, const FresnelShape& shape) {
    if (fresnel == 0.0f) return shape.unity;
    float base;
    float exponent;
    if (depth > 0.0f) {
        base = static_cast<float>(1.001 - static_cast<double>(b));
        exponent = Quotient(shape.exponentNumerator, depth);
    } else {
        base = b;
        exponent = std::fabs(Quotient(shape.exponentNumerator, depth));
    }
    float k = SafePowf(base, exponent) * fresnel * 10.0f;
    if (shape.doubled) k = k * 2.0f;
    return k;
}

// Each channel becomes (k x texel x amount x tint)^(1/gamma), every power in
// single precision. A Gamma of 0 makes 1/gamma infinite; the power then
// steps between 0 and 1 instead of overflowing.
inline Color ShapedColor(float k, const Color& texel, float amount, const Color& tint,
                         float inverseGamma) {
    return {SafePowf(k * texel.red * amount * tint.red, inverseGamma),
            SafePowf(k * texel.green * amount * tint.green, inverseGamma),
            SafePowf(k * texel.blue * amount * tint.blue, inverseGamma), 0.0f};
}

}  // namespace lumeshade
