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
};

// Fills `comp` with every layer of the scene, lights and camera with their
// streams' values or keys; the effect sits on the input layer.
CompositionLayout BuildComposition(const Scene& scene, const LoadedLayers& layers,
                                   host::Composition& comp);

}  // namespace lumeshade::tools
