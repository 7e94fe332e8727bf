// A scene written back as a scene file: what --print-scene prints and what a
// scene is saved as. Reading the text back gives a scene that renders the
// same frames, byte for byte.
#pragma once

#include <filesystem>

#include "tools/json_read.h"
#include "tools/scene.h"

namespace lumeshade::tools {

// Every part of the scene, explicitly (light names, positions, generated
// maps' parameters, the frame rate), with image paths relative to `folder`,
// where the file is to go ("": the current folder). Control values are kept
// as they were written.
Json SceneToJson(const Scene& scene, const std::filesystem::path& folder);

}  // namespace lumeshade::tools
