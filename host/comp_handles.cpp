// Handles of the composition and its layers, shared by the PF Interface,
// Layer, Stream and Light suites. A layer's handle is stable (one slot per
// layer index) and is checked on every use: a handle the host did not hand
// out, or one whose layer has been removed, is an error, never a crash.
#include "host/host_state.h"

namespace lumeshade::host {

AEGP_LayerH LayerHandleLocked(HostState& s, int index) {
    RenderState& r = s.render;
    while (int(r.layerSlots.size()) <= index) {
        r.layerSlots.push_back(nullptr);
        r.layerHandles[&r.layerSlots.back()] = int(r.layerSlots.size()) - 1;
    }
    return reinterpret_cast<AEGP_LayerH>(&r.layerSlots[size_t(index)]);
}

int LayerIndexLocked(const HostState& s, AEGP_LayerH layer) {
    auto it = s.render.layerHandles.find(reinterpret_cast<void**>(layer));
    if (it == s.render.layerHandles.end()) return -1;
    return it->second < int(s.render.comp.layers.size()) ? it->second : -1;
}

AEGP_CompH CompHandleLocked(HostState& s) {
    return reinterpret_cast<AEGP_CompH>(&s.render.compSlot);
}

std::optional<double> CompFrame(const HostState& s, int index, AEGP_LTimeMode mode,
                                const A_Time* time) {
    if (time == nullptr || time->scale == 0) return std::nullopt;
    const Composition& comp = s.render.comp;
    const double frame = comp.FrameAt(double(time->value), double(time->scale));
    if (mode == AEGP_LTimeMode_CompTime) return frame;
    if (mode == AEGP_LTimeMode_LayerTime) return frame + comp.LayerOffset(index) * comp.frameRate;
    return std::nullopt;
}

double CurrentLayerFrame(const HostState& s) {
    const PF_InData& in = s.inData;
    return in.time_scale == 0
               ? 0.0
               : s.render.comp.FrameAt(double(in.current_time), double(in.time_scale));
}

double CurrentCompFrame(const HostState& s) {
    const Composition& comp = s.render.comp;
    return CurrentLayerFrame(s) + comp.LayerOffset(comp.effectLayer) * comp.frameRate;
}

void RegisterCompSuites(HostState& s) {
    s.suites[{kAEGPPFInterfaceSuite, kAEGPPFInterfaceSuiteVersion1}].table = &kPFInterfaceSuite;
    s.suites[{kAEGPLayerSuite, kAEGPLayerSuiteVersion1}].table = &kLayerSuite;
    s.suites[{kAEGPStreamSuite, kAEGPStreamSuiteVersion2}].table = &kStreamSuite;
    s.suites[{kAEGPLightSuite, kAEGPLightSuiteVersion2}].table = &kLightSuite;
}

}  // namespace lumeshade::host
