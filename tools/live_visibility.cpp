#include "tools/live_visibility.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "host/effect_streams.h"
#include "host/host.h"
#include "tools/composition_builder.h"
#include "tools/control_driver.h"
#include "tools/layer_loading.h"
#include "tools/list_controls.h"
#include "tools/module_failure.h"
#include "tools/module_library.h"

namespace lumeshade::tools {
namespace {

// Every control with a value, in the module's order: the scene's setting,
// or the registered default for a control the scene leaves alone.
std::vector<ControlTrack> EveryControl(const Scene& scene, const ControlSchema& schema) {
    const std::vector<ControlTrack> set = ResolveControls(scene, schema);
    std::vector<ControlTrack> every;
    for (const ControlInfo& info : schema.Controls()) {
        if (info.kind == ControlKind::kGroupStart || info.kind == ControlKind::kGroupEnd) continue;
        // The last setting of a control counts, as it does when rendering.
        const auto it = std::find_if(set.rbegin(), set.rend(),
                                     [&info](const ControlTrack& t) { return t.info == &info; });
        every.push_back(it != set.rend() ? *it
                                         : ControlTrack{&info, host::Keyed<ControlValue>(
                                                                   RegisteredDefault(info))});
    }
    return every;
}

}  // namespace

Json ControlVisibility::Edit(const Scene& scene, int frame) {
    const auto module = LoadModule(module_.empty() ? DefaultModulePath() : module_);
    host::Host host(module->Entry());
    CheckModule(host, host.GlobalSetup(), "the module's global set-up");
    CheckModule(host, host.ParamsSetup(), "the module's parameter set-up");
    const ControlSchema schema = ControlSchema::FromRegistration(host.Registered());
    const std::vector<ControlTrack> controls = EveryControl(scene, schema);

    // Layer controls bind to the composition's layers; which picture they
    // hold does not matter to visibility, so each layer is a single pixel.
    LoadedLayers placeholders{1, 1, {}, 0, {}};
    for (const LayerSource& layer : scene.layers) {
        if (layer.name == scene.input) placeholders.input = placeholders.layers.size();
        placeholders.layers.push_back(
            {layer.name, std::make_shared<host::World>(1, 1, host::Depth::k8)});
    }
    const CompositionLayout layout = BuildComposition(scene, placeholders, host.Comp());
    host.SetInput(host.Comp().layers[host.Comp().effectLayer].footage);

    // The edit before, from the registered defaults, then this one. A layer
    // the edit before chose that this scene lacks chooses none.
    ControlDriver driver(host, controls);
    if (previous_) {
        HandControls(host, EveryControl(previous_->scene, schema), layout);
        host.SetTime(previous_->frame / scene.fps);
        driver.Apply(host, previous_->frame);
    }
    HandControls(host, controls, layout);
    host.SetTime(frame / scene.fps);
    driver.Apply(host, frame);
    previous_ = Edited{scene, frame};

    std::vector<bool> visible;
    for (const ControlInfo& info : schema.Controls()) {
        visible.push_back((host::StreamFlags(host, info.index) & AEGP_DynStreamFlag_HIDDEN) == 0);
    }
    return ControlsToJson(schema, visible);
}

}  // namespace lumeshade::tools
