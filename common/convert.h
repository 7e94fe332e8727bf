// Float-to-integer conversions that cannot invoke undefined behaviour.
//
// A value that is not a number, infinite, or outside the 32-bit range becomes
// the most negative 32-bit integer, which is what the x86 truncating
// conversion yields for such inputs; the map lookups rely on that value to
// fall outside every map. Every float-to-integer conversion in the module goes
// through these helpers.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace lumeshade {

inline constexpr int32_t kIntegerIndefinite = std::numeric_limits<int32_t>::min();

// Truncation toward zero.
inline int32_t TruncToInt(double v) {
    // Written as a negated range test so that NaN fails it.
    if (!(v > -2147483649.0 && v < 2147483648.0)) return kIntegerIndefinite;
    return static_cast<int32_t>(v);
}

// Rounding toward minus infinity.
inline int32_t FloorToInt(double v) { return TruncToInt(std::floor(v)); }

// floor(v) limited to 0..last, for positions that address a map. A negative
// value, one that is not a number and one that does not fit 32 bits all give
// 0, as FloorToInt's most negative integer does once limited; for the rest
// the floor is the truncation, with no library call.
inline int32_t FloorToIndex(float v, int32_t last) {
    int32_t i = v >= 0.0f && v < 2147483648.0f ? static_cast<int32_t>(v) : 0;
    if (i > last) i = last;
    return i;
}

// Rounding to the nearest integer, halves away from zero.
inline int32_t RoundToInt(double v) { return TruncToInt(std::round(v)); }

// A 64-bit integer limited to the 32-bit range.
inline int32_t Saturated(int64_t v) {
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

// a - b and a + b without 32-bit overflow: the exact result, saturated to
// the 32-bit range.
inline int32_t SaturatingSub(int32_t a, int32_t b) {
    return Saturated(static_cast<int64_t>(a) - static_cast<int64_t>(b));
}
inline int32_t SaturatingAdd(int32_t a, int32_t b) {
    return Saturated(static_cast<int64_t>(a) + static_cast<int64_t>(b));
}

}  // namespace lumeshade
