/// Rounding of the host's own doubles (times, sizes, channel values) to
/// 32-bit integers, defined for every input: a value that is not a number or
/// does not fit 32 bits gives the most negative integer, as the x86
/// conversion does.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace lumeshade::host {

/// `v`, already a whole number, as a 32-bit integer.
inline int32_t WholeToInt32(double v) {
    if (!(v > -2147483649.0 && v < 2147483648.0)) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

/// The nearest integer, halves away from zero.
inline int32_t RoundedInt(double v) { return WholeToInt32(std::round(v)); }

/// The integer part, toward zero.
inline int32_t TruncatedInt(double v) { return WholeToInt32(std::trunc(v)); }

}  // namespace lumeshade::host
