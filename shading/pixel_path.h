// Which code shades the pixels of a frame: the per-pixel functions the
// host's iterate suites call (shading/shade_pixel.h), or the row kernels
// (shading/row_kernels.h) for one instruction set, run through the host's
// generic iteration. Every path writes the same bytes; they differ only in
// speed.
//
// The processor is asked once, on first use; the path it allows (or the one
// the build forces, see LUMESHADE_PIXEL_PATH in CMakeLists.txt) is the one
// state the module keeps. Tests and benchmarks may choose another path
// through UsePixelPath; the module itself reads no environment.
#pragma once

#include <cstdint>

namespace lumeshade {

enum class PixelPath : int32_t {
    kPixel,  // one call of the per-pixel function per pixel
    kSse2,   // row kernels, 4 pixels per instruction
    kAvx2,   // row kernels, 8 pixels per instruction
};

// Whether this processor can run the path (kPixel and kSse2: always).
bool ProcessorHas(PixelPath path);

// The path smart render takes: the widest the processor has, unless the
// build forces one or UsePixelPath chose one.
PixelPath CurrentPixelPath();

// Makes smart render take `path` from now on; false (and nothing changes)
// when the processor cannot run it.
bool UsePixelPath(PixelPath path);

// "pixel", "sse2", "avx2".
const char* PixelPathName(PixelPath path);

}  // namespace lumeshade
