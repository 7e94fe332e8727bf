// The pixel paths a test can take on this processor, and a guard that takes
// one for the guard's lifetime: the path is the module's one piece of state,
// chosen here through the static libraries the tests link.
#pragma once

#include <vector>

#include "shading/pixel_path.h"

namespace lumeshade::testing {

// kPixel, kSse2, and kAvx2 where the processor has it.
inline std::vector<PixelPath> AvailablePaths() {
    std::vector<PixelPath> paths;
    for (PixelPath p : {PixelPath::kPixel, PixelPath::kSse2, PixelPath::kAvx2}) {
        if (ProcessorHas(p)) paths.push_back(p);
    }
    return paths;
}

// The row-kernel paths alone.
inline std::vector<PixelPath> VectorPaths() {
    std::vector<PixelPath> paths = AvailablePaths();
    paths.erase(paths.begin());
    return paths;
}

class PathChoice {
public:
    explicit PathChoice(PixelPath path) : previous_(CurrentPixelPath()) { UsePixelPath(path); }
    ~PathChoice() { UsePixelPath(previous_); }
    PathChoice(const PathChoice&) = delete;
    PathChoice& operator=(const PathChoice&) = delete;

private:
    PixelPath previous_;
};

}  // namespace lumeshade::testing
