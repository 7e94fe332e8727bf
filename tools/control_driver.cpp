#include "tools/control_driver.h"

#include <cstring>
#include <string>

#include "tools/module_failure.h"

namespace lumeshade::tools {

void HandControls(host::Host& host, const std::vector<ControlTrack>& tracks,
                  const CompositionLayout& layout) {
    for (const ControlTrack& t : tracks) {
        const ControlInfo& info = *t.info;
        if (info.kind == ControlKind::kLayer) {
            host.BindLayerParamTrack(info.index, t.track.Map([&layout](const ControlValue& v) {
                const auto bound = layout.footage.find(std::get<LayerValue>(v).layer);
                return bound == layout.footage.end() ? -1 : bound->second;
            }));
        } else {
            host.SetParamTrack(info.index, t.track.Map([&info](const ControlValue& v) {
                PF_ParamDefUnion record = info.registered.u;
                StoreValue(info, v, record);
                return record;
            }));
        }
    }
}

ControlDriver::ControlDriver(host::Host& host, const std::vector<ControlTrack>& tracks) {
    for (const ControlTrack& t : tracks) {
        if (t.info->Supervised())
            watched_.emplace_back(t.info->index, host.ParamAt(t.info->index, 0).u);
    }
}

void ControlDriver::Apply(host::Host& host, double frame) {
    std::vector<A_long> changed;
    for (auto& [index, before] : watched_) {
        const PF_ParamDefUnion now = host.ParamAt(index, frame).u;
        // The records differ only in their value fields: everything else is
        // the registration's, copied whole.
        if (std::memcmp(&now, &before, sizeof now) != 0) changed.push_back(index);
        before = now;
    }
    for (A_long index : changed) {
        CheckModule(host, host.UserChangedParam(index),
                    "the module's answer to a change of control " + std::to_string(index));
    }
}

}  // namespace lumeshade::tools
