// The scene a run renders: the scene file, or the scene that --input,
// --layer and --light build on the command line (or add to a file's), or
// the built-in demo; with --set, --frames and --depth applied, so that it
// holds everything that decides the frames (--print-scene writes it).
#pragma once

#include <string_view>

#include "tools/run_options.h"
#include "tools/scene.h"

namespace lumeshade::tools {

// The options --input, --layer or --light are given.
bool BuildsScene(const RunOptions& options);

// Fails with an InputError naming the option or the scene's key at fault.
// Paths given in options are relative to the current folder.
Scene SceneOfRun(const RunOptions& options);
// The same with the text of the scene file named by `options.scene` given.
Scene SceneOfRun(const RunOptions& options, std::string_view sceneText);

}  // namespace lumeshade::tools
