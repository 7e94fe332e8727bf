#include "tools/demo_scene.h"

#include "tools/scene.h"

namespace lumeshade::tools {

Scene DemoScene() { return ParseScene(kDemoSceneText, "built-in demo scene", ""); }

}  // namespace lumeshade::tools
