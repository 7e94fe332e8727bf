#include "tools/control_driver.h"

#include <string>

#include "tools/module_failure.h"

namespace lumeshade::tools {

ControlDriver::ControlDriver(const ControlSchema& schema, std::vector<ControlTrack> tracks,
                             const CompositionLayout& layout)
    : tracks_(std::move(tracks)), layout_(layout) {
    for (const ControlInfo& info : schema.Controls()) {
        previous_[info.index] = RegisteredDefault(info);
    }
}

void ControlDriver::Apply(host::Host& host, double frame) {
    std::vector<A_long> changed;
    for (const ControlTrack& t : tracks_) {
        const ControlInfo& info = *t.info;
        const ControlValue value = ValueAt(info, t.track, frame);
        if (info.kind == ControlKind::kLayer) {
            const std::string& layer = std::get<LayerValue>(value).layer;
            host.BindLayerParam(info.index, layer.empty() ? -1 : layout_.footage.at(layer));
        } else {
            PF_ParamDefUnion record = info.registered.u;
            StoreValue(info, value, record);
            host.SetParam(info.index, record);
        }
        ControlValue& before = previous_[info.index];
        if (info.Supervised() && !(before == value)) changed.push_back(info.index);
        before = value;
    }
    for (A_long index : changed) {
        CheckModule(host, host.UserChangedParam(index),
                    "the module's answer to a change of control " + std::to_string(index));
    }
}

}  // namespace lumeshade::tools
