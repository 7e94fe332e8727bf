#include "tools/live_visibility.h"

#include <memory>
#include <vector>

#include "host/effect_streams.h"
#include "host/host.h"
#include "tools/composition_builder.h"
#include "tools/layer_loading.h"
#include "tools/list_controls.h"
#include "tools/module_failure.h"
#include "tools/module_library.h"

namespace lumeshade::tools {
namespace {

using Values = std::map<A_long, ControlValue>;

bool IsGroupMark(const ControlInfo& info) {
    return info.kind == ControlKind::kGroupStart || info.kind == ControlKind::kGroupEnd;
}

// Sets every control to its value in `values` and tells the module of the
// supervised ones that differ from `before`, as the host does after an edit.
void SetValues(host::Host& host, const ControlSchema& schema, const CompositionLayout& layout,
               const Values& values, const Values& before) {
    std::vector<A_long> changed;
    for (const ControlInfo& info : schema.Controls()) {
        if (IsGroupMark(info)) continue;
        const ControlValue& value = values.at(info.index);
        if (info.kind == ControlKind::kLayer) {
            const auto bound = layout.footage.find(std::get<LayerValue>(value).layer);
            host.BindLayerParam(info.index, bound == layout.footage.end() ? -1 : bound->second);
        } else {
            PF_ParamDefUnion record = info.registered.u;
            StoreValue(info, value, record);
            host.SetParam(info.index, record);
        }
        if (info.Supervised() && !(before.at(info.index) == value)) changed.push_back(info.index);
    }
    for (A_long index : changed) {
        CheckModule(host, host.UserChangedParam(index),
                    "the module's answer to a change of control " + std::to_string(index));
    }
}

}  // namespace

Json ControlVisibility::Edit(const Scene& scene, int frame) {
    const auto module = LoadModule(module_.empty() ? DefaultModulePath() : module_);
    host::Host host(module->Entry());
    CheckModule(host, host.GlobalSetup(), "the module's global set-up");
    CheckModule(host, host.ParamsSetup(), "the module's parameter set-up");
    const ControlSchema schema = ControlSchema::FromRegistration(host.Registered());

    Values defaults, values;
    for (const ControlInfo& info : schema.Controls()) {
        defaults[info.index] = values[info.index] = RegisteredDefault(info);
    }
    for (const ControlTrack& t : ResolveControls(scene, schema)) {
        values[t.info->index] = ValueAt(*t.info, t.track, frame);
    }
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
    host.SetTime(frame / scene.fps);

    if (!previous_.empty()) SetValues(host, schema, layout, previous_, defaults);
    SetValues(host, schema, layout, values, previous_.empty() ? defaults : previous_);
    previous_ = values;

    std::vector<bool> visible;
    for (const ControlInfo& info : schema.Controls()) {
        visible.push_back((host::StreamFlags(host, info.index) & AEGP_DynStreamFlag_HIDDEN) == 0);
    }
    return ControlsToJson(schema, visible);
}

}  // namespace lumeshade::tools
