// Images as the program holds them between files, generators and the host's
// worlds: four channels (red, green, blue, alpha), rows top first, each
// channel a float in the units of the image's bit depth (0..255, 0..32768 or
// free floats). Floats hold every 8-bit and 16-bit value exactly.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/bit_depth.h"

namespace lumeshade::tools {

struct Image {
    int width = 0;
    int height = 0;
    BitDepth depth = BitDepth::kFloat;
    std::vector<float> rgba;

    float* Pixel(int x, int y) { return rgba.data() + (std::size_t(y) * width + x) * 4; }
    const float* Pixel(int x, int y) const {
        return rgba.data() + (std::size_t(y) * width + x) * 4;
    }
};

// A transparent black image.
Image MakeImage(int width, int height, BitDepth depth);

// The same picture in another bit depth: integer depths round to the nearest
// value and clamp to their range (a value that is not a number becomes 0);
// float keeps values outside 0..1.
Image ConvertDepth(const Image& image, BitDepth depth);

// The picture stretched to another size, sampled bilinearly at pixel
// centres.
Image Resample(const Image& image, int width, int height);

// The 16-bit render range 0..32768 against a file's 0..65535, rounding to the
// nearest value. FromFile16(ToFile16(v)) == v for every v in 0..32768.
std::uint16_t ToFile16(float render16);
float FromFile16(std::uint16_t file16);

}  // namespace lumeshade::tools
