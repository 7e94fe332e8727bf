// Filtered map pixels from the host's area samplers.
#pragma once

#include "AE_Effect.h"

namespace lumeshade {

// One pixel of `map`'s format, averaged by the host over a box of `radius`
// pixels around the whole-pixel position (x, y). 8-bit and 16-bit maps go
// through in_data's utility callbacks; float maps through the float sampling
// suite, acquired and released around this one call. Throws
// PF_Err_BAD_CALLBACK_PARAM when the host offers no sampler for the format.
// A failure the sampler reports is not examined: the pixel is what the host
// left in it, transparent black if it wrote nothing.
template <class Pixel>
Pixel SampleArea(const PF_EffectWorld& map, A_long x, A_long y, float radius,
                 const PF_InData* in_data);

// The radius as the sampler is given it: 16.16, rounded to the nearest
// step, halves away from zero.
PF_Fixed SamplingRadius(float radius);

// How many whole pixels beyond its centre a sample of `radius` may read:
// every pixel whose square the box touches, whether the host centres its
// pixels on whole positions or on halves, worked out from the radius the
// sampler is given. The host counts what lies outside the map as
// transparent black (edge behaviour ZERO), so a map that holds only part of
// a layer needs this much more around the part for its samples to see what
// they see in the whole layer. 0 for a radius of 0 or less.
A_long SampleReach(float radius);

}  // namespace lumeshade
