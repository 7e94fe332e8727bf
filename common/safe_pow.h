// Single-precision power that stays finite when a control at 0 makes the
// exponent infinite: several exponents are reciprocals of controls that may be
// set to 0 (a gamma, a width, a falloff).
//
// An infinite exponent gives the limit of the power: 0 for a base of
// magnitude below 1 and 1 at magnitude 1. Above 1 there is no finite limit
// and the power steps to 1, so what is fully lit stays fully lit instead of
// becoming infinite (for an exponent of minus infinity the roles swap). A
// power that is not a number (a negative base under a fractional exponent)
// becomes 0, so that one such term cannot turn a whole pixel into NaN. Every
// other power is PowF (common/fmath.h).
#pragma once

#include <cmath>

#include "common/fmath.h"

namespace lumeshade {

// NaN becomes 0, any other value stays: SafePowf(v, 1), with no power to take.
inline float NotANumberToZero(float v) { return std::isnan(v) ? 0.0f : v; }

inline float SafePowf(float base, float exponent) {
    float p;
    if (exponent == 1.0f) {
        p = base;  // exact, and the default of every control concerned
    } else if (std::isinf(exponent)) {
        const bool atLeastOne = std::fabs(base) >= 1.0f;
        p = exponent > 0.0f ? (atLeastOne ? 1.0f : 0.0f) : (std::fabs(base) > 1.0f ? 0.0f : 1.0f);
    } else {
        p = PowF(base, exponent);
    }
    return std::isnan(p) ? 0.0f : p;
}

}  // namespace lumeshade
