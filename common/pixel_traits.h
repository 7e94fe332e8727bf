// What the shading and the map reads need to know about a pixel type: its
// channel type, its channel maximum and the factor that normalises a channel
// to 0..1. One algorithm is written against these traits and instantiated for
// the host's three pixel formats.
#pragma once

#include <cstdint>

#include "AE_Effect.h"
#include "AE_EffectPixelFormat.h"

namespace lumeshade {

template <class Pixel>
struct PixelTraits;

template <>
struct PixelTraits<PF_Pixel8> {
    using Channel = A_u_char;
    static constexpr bool kIsFloat = false;
    static constexpr float kMax = 255.0f;
    static constexpr int32_t kMaxInt = 255;
    static constexpr float kScale = 0.003921569f;  // 1/255 as the host's float constant
    static constexpr PF_PixelFormat kFormat = PF_PixelFormat_ARGB32;
};

template <>
struct PixelTraits<PF_Pixel16> {
    using Channel = A_u_short;
    static constexpr bool kIsFloat = false;
    static constexpr float kMax = 32768.0f;
    static constexpr int32_t kMaxInt = 32768;
    static constexpr float kScale = 1.0f / 32768.0f;  // exact: 2^-15
    static constexpr PF_PixelFormat kFormat = PF_PixelFormat_ARGB64;
};

template <>
struct PixelTraits<PF_PixelFloat> {
    using Channel = PF_FpShort;
    static constexpr bool kIsFloat = true;
    static constexpr float kMax = 1.0f;
    static constexpr int32_t kMaxInt = 1;
    static constexpr float kScale = 1.0f;
    static constexpr PF_PixelFormat kFormat = PF_PixelFormat_ARGB128;
};

// The pixel at (column, row) of a world; the caller guarantees both lie
// inside it.
template <class Pixel>
inline const Pixel& PixelAt(const PF_EffectWorld& world, int32_t column, int32_t row) {
    const char* base = reinterpret_cast<const char*>(world.data);
    return *reinterpret_cast<const Pixel*>(base + static_cast<intptr_t>(row) * world.rowbytes +
                                           static_cast<intptr_t>(column) *
                                               static_cast<intptr_t>(sizeof(Pixel)));
}

}  // namespace lumeshade
