// The scenes the benchmarks render, built in code: a procedural sphere of
// normals as the effect's own layer, procedural map layers and point lights
// in the emulated host's composition. The same scenes, at a reduced size,
// pin their output bytes in the scene test, so that every optimisation is
// checked on the pictures it is measured on.
#pragma once

#include <memory>
#include <string>

#include "host/world.h"
#include "tests/support/module_host.h"

namespace lumeshade::bench {

enum class Scene {
    kDefaults,    // the controls as registered, one point light
    kTypical,     // three lights; shading, specular, rim light and matcap on
    kEverything,  // every group on, every map layer bound, four lights
    kManyLights,  // everything with 64 lights
};

inline constexpr Scene kScenes[] = {Scene::kDefaults, Scene::kTypical, Scene::kEverything,
                                    Scene::kManyLights};
inline constexpr host::Depth kDepths[] = {host::Depth::k8, host::Depth::k16, host::Depth::kFloat};

// The layer's size and the side of every square map layer.
struct SceneSize {
    A_long width = 0;
    A_long height = 0;
    A_long mapSide = 0;
};

inline constexpr SceneSize kFullFrame{1920, 1080, 1024};
inline constexpr SceneSize kReducedFrame{192, 108, 64};

// "defaults", "typical", "everything", "many_lights".
const char* SceneName(Scene scene);
// "8", "16", "float".
const char* DepthName(host::Depth depth);

// A host with the module loaded and the scene set up in `depth`, ready for
// RenderFrame(). The host's call log is off: it would lock and allocate on
// every counted host call.
std::unique_ptr<testing::ModuleHost> MakeScene(Scene scene, host::Depth depth, SceneSize size);

}  // namespace lumeshade::bench
