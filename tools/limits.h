// Sizes the program refuses, so that a hostile or mistaken scene cannot make
// it allocate without bound.
#pragma once

#include <cstdint>

#include "tools/input_error.h"

namespace lumeshade::tools {

// The host's own largest world is 30000 pixels a side.
inline constexpr std::int64_t kMaxImageSide = 30000;
// One image (8192 x 8192 pixels), and all images of a scene together (two
// such images' worth).
inline constexpr std::int64_t kMaxImagePixels = std::int64_t(1) << 26;
inline constexpr std::int64_t kMaxScenePixels = std::int64_t(1) << 27;
// Frames of one run.
inline constexpr int kMaxFrame = 999999;
// Arrays and objects inside one another in a scene file. A scene needs
// fewer than ten; copying or printing a value recurses once per level, so
// a file nested without bound would overflow the stack.
inline constexpr int kMaxJsonDepth = 64;

// Fails unless width x height is a size the program renders.
inline void CheckImageSize(std::int64_t width, std::int64_t height, const Location& where) {
    if (width < 1 || height < 1) {
        Fail(where, "the image is empty (" + std::to_string(width) + " x " +
                        std::to_string(height) + " pixels)");
    }
    if (width > kMaxImageSide || height > kMaxImageSide) {
        Fail(where, std::to_string(width) + " x " + std::to_string(height) +
                        " pixels is too large: at most " + std::to_string(kMaxImageSide) +
                        " pixels a side");
    }
    if (width * height > kMaxImagePixels) {
        Fail(where, std::to_string(width) + " x " + std::to_string(height) +
                        " pixels is too large: at most " + std::to_string(kMaxImagePixels) +
                        " pixels in one image");
    }
}

}  // namespace lumeshade::tools
