// The host's composition made from a scene: the camera, the lights in the
// scene's order (the first on top, as in a timeline) and the footage layers.
#pragma once

#include <map>
#include <string>

#include "host/composition.h"
#include "tools/layer_loading.h"
#include "tools/scene.h"

namespace lumeshade::tools {

struct CompositionLayout {
    std::map<std::string, int> footage;  // layer name -> composition index
    int firstLight = 0;
    int camera = -1;
    int width = 0, height = 0;  // the render's full size, for light defaults
};

// Fills `comp` with every layer of the scene; the effect sits on the input
// layer. Light and camera streams are set by SetFrame.
CompositionLayout BuildComposition(const Scene& scene, const LoadedLayers& layers,
                                   host::Composition& comp);

// Sets every light and camera stream to its value at `frame`.
void SetFrame(const Scene& scene, const CompositionLayout& layout, double frame,
              host::Composition& comp);

}  // namespace lumeshade::tools
