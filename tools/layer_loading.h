// The scene's footage layers made ready for the host: image files read and
// maps generated in the render's bit depth, and the render's size settled.
#pragma once

#include <string>
#include <vector>

#include "tools/image.h"
#include "tools/scene.h"

namespace lumeshade::tools {

struct LoadedLayer {
    std::string name;
    Image image;
};

struct LoadedLayers {
    int width = 0;  // the layer the effect is applied to, and so the render
    int height = 0;
    std::vector<LoadedLayer> layers;  // in the scene's order
    std::size_t input = 0;            // index of the input layer
};

// The render's size is the scene's width and height, or the input's own for
// either that is not given; the input is stretched to it when they differ.
// Generated maps without a size of their own take the render's size, and a
// generated input without any size is 512 x 512. Fails with an InputError on
// unreadable images and sizes over the limits (limits.h).
LoadedLayers LoadLayers(const Scene& scene, BitDepth depth);

}  // namespace lumeshade::tools
