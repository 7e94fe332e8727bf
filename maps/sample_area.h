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

}  // namespace lumeshade
