// Map coordinates of a pixel's own position displaced by its normal: the
// Panorama environment and the refraction read their maps this way.
#pragma once

#include "AE_Effect.h"
#include "common/convert.h"
#include "common/math3d.h"

namespace lumeshade {

struct MapCoordinates {
    int32_t x = 0;
    int32_t y = 0;
};

// The denominator of a downsample factor as a float (1 at full resolution,
// 2 at half). A zero denominator is no factor at all and counts as 1, as it
// does for the layer size.
inline float DownsampleDenominator(const PF_RationalScale& factor) {
    return factor.den == 0 ? 1.0f : static_cast<float>(factor.den);
}

// gx = trunc((x - W/2 - shiftX + floor(W/2) - dispX) x scale) and
// gy = trunc((dispY + y - H/2 - shiftY + floor(H/2)) x scale), where
// disp = (2 d N2.z N2.xy - 1) x eta x 50 / downsample in single precision and
// the sums in double. At full resolution, with no displacement, an even
// width maps column x to x. A value that does not fit 32 bits (an infinite
// scale, a huge shift, a non-finite normal) becomes the most negative
// integer.
inline MapCoordinates DisplacedCoordinates(A_long x, A_long y, A_long width, A_long height,
                                           float depth, Vector3 n2, float eta, double shiftX,
                                           double shiftY, float scale, const PF_InData* in_data) {
    const float dsx = in_data != nullptr ? DownsampleDenominator(in_data->downsample_x) : 1.0f;
    const float dsy = in_data != nullptr ? DownsampleDenominator(in_data->downsample_y) : 1.0f;
    const float dispX = (2.0f * depth * n2.z * n2.x - 1.0f) * eta * 50.0f / dsx;
    const float dispY = (2.0f * depth * n2.z * n2.y - 1.0f) * eta * 50.0f / dsy;
    const double sumX = static_cast<double>(x) - static_cast<double>(width) * 0.5 - shiftX +
                        static_cast<double>(width / 2) - static_cast<double>(dispX);
    const double sumY = static_cast<double>(dispY) + static_cast<double>(y) -
                        static_cast<double>(height) * 0.5 - shiftY +
                        static_cast<double>(height / 2);
    return {TruncToInt(sumX * static_cast<double>(scale)),
            TruncToInt(sumY * static_cast<double>(scale))};
}

}  // namespace lumeshade
