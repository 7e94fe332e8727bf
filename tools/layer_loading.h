// The scene's footage layers made ready for the host: image files read and
// maps generated in the render's bit depth, each handed to a world of the
// host's as soon as it is made (so that the program holds one picture of its
// own at a time, not one per layer), and the render's size settled.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/world.h"
#include "tools/image.h"
#include "tools/scene.h"

namespace lumeshade::tools {

struct LoadedLayer {
    std::string name;
    std::shared_ptr<const host::World> footage;
};

struct LoadedLayers {
    int width = 0;  // the layer the effect is applied to, and so the render
    int height = 0;
    std::vector<LoadedLayer> layers;  // in the scene's order
    std::size_t input = 0;            // index of the input layer
    // One line for each image chosen as normal map that does not look
    // encoded as the effect reads normals ("WHERE: the normal map ...").
    std::vector<std::string> warnings;
};

// The render's size is the scene's width and height, or the input's own for
// either that is not given; the input is stretched to it when they differ.
// Generated maps without a size of their own take the render's size, and a
// generated input without any size is 512 x 512. Fails with an InputError on
// unreadable images and sizes over the limits (limits.h). Images named in
// `normalMaps` are looked at for the signs of a -1..1 normal pass.
LoadedLayers LoadLayers(const Scene& scene, BitDepth depth,
                        const std::set<std::string>& normalMaps = {});

}  // namespace lumeshade::tools
