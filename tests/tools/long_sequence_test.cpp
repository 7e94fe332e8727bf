// A long sequence renders in the memory of one frame: after many frames the
// emulated host holds no more than it did after the first few, and records
// no call unless a test asks it to.
#include <gtest/gtest.h>

#include "host/host.h"
#include "host/host_state.h"
#include "shell/entry.h"
#include "tools/composition_builder.h"
#include "tools/control_driver.h"
#include "tools/layer_loading.h"
#include "tools/module_failure.h"
#include "tools/scene.h"

namespace lumeshade::tools {
namespace {

// Every group on and every map bound, with lights that move and a depth map
// that comes and goes, so that supervised controls change from frame to
// frame.
const char* kEveryMap = R"({
    "width": 24, "height": 16, "depth": 16,
    "layers": {
        "n": {"generate": "sphere", "background": true}, "a": {"generate": "depth"},
        "d": {"generate": "depth"}, "m": {"generate": "matcap"},
        "e": {"generate": "environment"}, "c": {"generate": "checker"},
        "u": {"generate": "uv"}, "b": {"generate": "bump"}
    },
    "input": "n",
    "controls": {
        "normal_map": "n", "alpha_map": "a", "matcap_map": "m",
        "depth_map": {"keys": [[0, "d"], [20, null], [40, "d"]]},
        "reflection_environment_map": "e", "refraction_map": "c", "texture_uv_map": "u",
        "texture_map": "c", "bump_map": "b",
        "shading_enable": true, "matcap_enable": true, "specular_enable": true,
        "incidence_enable": true, "rim_light_enable": true, "gradient_enable": true,
        "reflection_enable": true, "refraction_enable": true, "texture_enable": true,
        "bump_enable": true, "normals_pre_blur": 2,
        "toon_enable": {"keys": [[0, true], [10, false], [30, true], [50, false]]}
    },
    "camera": {"position": [12, 8, -50]},
    "lights": [
        {"position": {"keys": [[0, [0, 0, -30]], [60, [24, 16, -30]]]}},
        {"type": "spot", "intensity": {"keys": [[0, 10], [60, 200]]}}, {"type": "ambient"}
    ]
})";

// What the host holds between frames: the call log, and everything the
// module has been handed and not given back. (The slots behind handles and
// stream references are never reused, so that a stale one can never name a
// new object; they and the record of flag changes grow by a pointer or two
// per handle or changed control, not by anything the size of a frame.)
struct Held {
    std::size_t log, handles, newWorlds, handedOut, checkouts, layerStreams, controlStreams,
        effectRefs, violations;
    bool operator==(const Held&) const = default;
};

Held Take(host::Host& host) {
    const host::HostState& s = host.State();
    const host::RenderState& r = s.render;
    return {host.CallLog().size(),   s.handles.size(),        r.newWorlds.size(),
            r.handedOut.size(),      r.pixelCheckouts.size(), r.layerStreams.size(),
            s.controlStreams.size(), s.effectRefs.size(),     s.violations.size()};
}

TEST(LongSequenceTest, TheHostHoldsNoMoreAfterManyFramesThanAfterTheFirst) {
    const Scene scene = ParseScene(kEveryMap, "every.json", "");
    host::Host host(EntryPointFunc);
    ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
    const ControlSchema schema = ControlSchema::FromRegistration(host.Registered());
    const LoadedLayers layers = LoadLayers(scene, BitDepth::k16);
    const CompositionLayout layout = BuildComposition(scene, layers, host.Comp());
    host.SetInput(host.Comp().layers[host.Comp().effectLayer].footage);
    host.SetRenderDepth(host::Depth::k16);
    const std::vector<ControlTrack> tracks = ResolveControls(scene, schema);
    ControlDriver controls(host, tracks);
    HandControls(host, tracks, layout);
    const auto render = [&](int frame) {
        host.SetTime(frame / scene.fps);
        controls.Apply(host, frame);
        CheckModule(host, host.RenderFrame(), "frame " + std::to_string(frame));
    };
    // The first frames make what the host keeps for good (the global data,
    // a check-out record per layer); from then on a frame gives back all it
    // takes.
    for (int frame = 0; frame < 3; ++frame) render(frame);
    const Held settled = Take(host);
    EXPECT_EQ(settled.log, 0u) << "the call log is off unless a test turns it on";
    EXPECT_EQ(settled.newWorlds + settled.layerStreams + settled.controlStreams +
                  settled.effectRefs + settled.violations,
              0u);
    for (int frame = 3; frame < 60; ++frame) render(frame);
    EXPECT_EQ(Take(host), settled);

    // The log still records when a test turns it on.
    host.EnableCallLog(true);
    render(60);
    EXPECT_GT(host.CallLog().size(), 0u);
}

}  // namespace
}  // namespace lumeshade::tools
