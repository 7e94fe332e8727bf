// The choices of the Normals group's channel popups and of the Depth
// group's channel popup, and the smallest Depth Gamma the depth read
// divides by.
#pragma once

#include <cstdint>

namespace lumeshade {

// Channel popup "Red|Green|Blue|Full|None".
enum NormalChannel : int32_t {
    CHANNEL_RED = 1,
    CHANNEL_GREEN,
    CHANNEL_BLUE,
    CHANNEL_FULL,
    CHANNEL_NONE,
};

// Depth channel popup "None|-|Red|Green|Blue|-|Luminance".
enum DepthChannel : int32_t {
    DEPTH_RED = 3,
    DEPTH_GREEN = 4,
    DEPTH_BLUE = 5,
    DEPTH_LUMINANCE = 7,
};

// The smallest step of a fixed-point control: a Depth Gamma of 0 divides by
// it, which keeps the depth finite where an unguarded division would give
// infinity (or NaN for a black pixel).
inline constexpr float kSmallestFixedStep = 1.0f / 65536.0f;

}  // namespace lumeshade
