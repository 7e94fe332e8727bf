// A host with the real module loaded: global set-up and parameter set-up
// done, an input layer, and a composition holding the effect's layer. Shared
// by the tests that drive whole commands. The module is the one linked in,
// or the entry point of one loaded from a file.
#pragma once

#include <memory>

#include "host/composition.h"
#include "host/host.h"
#include "host/world.h"
#include "params/param_ids.h"
#include "params/param_table.h"
#include "shell/entry.h"

namespace lumeshade::testing {

class ModuleHost {
public:
    explicit ModuleHost(A_long width = 8, A_long height = 4,
                        host::Depth depth = host::Depth::kFloat,
                        PF_FilterProc entry = EntryPointFunc)
        : host_(entry) {
        host::CompLayer layer;
        layer.name = "Normals";
        host_.Comp().layers.push_back(layer);
        host_.Comp().effectLayer = 0;
        input_ = std::make_shared<host::World>(width, height, depth);
        host_.SetInput(input_);
        host_.GlobalSetup();
        host_.ParamsSetup();
    }

    host::Host& Host() { return host_; }
    host::World& Input() { return *input_; }

    void Set(ParamId id, const PF_ParamDefUnion& u) { host_.SetParam(id, u); }
    void SetFixed(ParamId id, double v) {
        PF_ParamDefUnion u{};
        u.fd.value = ToFixed(v);
        Set(id, u);
    }
    void SetChoice(ParamId id, A_long choice) {
        PF_ParamDefUnion u{};
        u.pd.value = choice;
        Set(id, u);
    }
    void SetSwitch(ParamId id, bool on) {
        PF_ParamDefUnion u{};
        u.bd.value = on ? 1 : 0;
        Set(id, u);
    }
    void SetInteger(ParamId id, A_long v) {
        PF_ParamDefUnion u{};
        u.sd.value = v;
        Set(id, u);
    }
    void SetColor(ParamId id, A_u_char red, A_u_char green, A_u_char blue) {
        PF_ParamDefUnion u{};
        u.cd.value = {255, red, green, blue};
        Set(id, u);
    }
    void SetPoint(ParamId id, double x, double y) {
        PF_ParamDefUnion u{};
        u.td.x_value = ToFixed(x);
        u.td.y_value = ToFixed(y);
        Set(id, u);
    }
    void SetAngle(ParamId id, double degrees) {
        PF_ParamDefUnion u{};
        u.ad.value = ToFixed(degrees);
        Set(id, u);
    }

    // Adds a light layer at the top of the stack (index 0), above the rest.
    host::CompLayer& AddLight(const char* name, AEGP_LightType type, host::Vec3d position) {
        host::CompLayer light;
        light.name = name;
        light.type = AEGP_ObjectType_LIGHT;
        light.lightType = type;
        light.position = host::Keyed<host::Vec3d>(position);
        auto& layers = host_.Comp().layers;
        layers.insert(layers.begin(), light);
        ++host_.Comp().effectLayer;
        return layers.front();
    }

    // Adds a footage layer at the bottom of the stack and returns its index.
    int AddFootage(const char* name, std::shared_ptr<const host::World> footage) {
        host::CompLayer layer;
        layer.name = name;
        layer.footage = std::move(footage);
        host_.Comp().layers.push_back(layer);
        return int(host_.Comp().layers.size()) - 1;
    }

private:
    host::Host host_;
    std::shared_ptr<host::World> input_;
};

}  // namespace lumeshade::testing
