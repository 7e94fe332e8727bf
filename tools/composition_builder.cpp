#include "tools/composition_builder.h"

#include <memory>

namespace lumeshade::tools {
namespace {

AEGP_LightType HostLightType(LightKind kind) {
    switch (kind) {
        case LightKind::kAmbient:
            return AEGP_LightType_AMBIENT;
        case LightKind::kParallel:
            return AEGP_LightType_PARALLEL;
        case LightKind::kSpot:
            return AEGP_LightType_SPOT;
        case LightKind::kPoint:
            break;
    }
    return AEGP_LightType_POINT;
}

host::Vec3d ToVec(const Vec3& v) { return {v[0], v[1], v[2]}; }

}  // namespace

CompositionLayout BuildComposition(const Scene& scene, const LoadedLayers& layers,
                                   host::Composition& comp) {
    CompositionLayout layout;
    layout.width = layers.width;
    layout.height = layers.height;
    comp.layers.clear();
    comp.frameRate = scene.fps;
    comp.effectLayerOffset = 0.0;
    if (scene.camera) {
        host::CompLayer camera;
        camera.name = "Camera 1";
        camera.type = AEGP_ObjectType_CAMERA;
        layout.camera = int(comp.layers.size());
        comp.layers.push_back(std::move(camera));
    }
    layout.firstLight = int(comp.layers.size());
    for (const SceneLight& light : scene.lights) {
        host::CompLayer layer;
        layer.name = light.name;
        layer.type = AEGP_ObjectType_LIGHT;
        layer.lightType = HostLightType(light.type);
        comp.layers.push_back(std::move(layer));
    }
    for (std::size_t i = 0; i < layers.layers.size(); ++i) {
        host::CompLayer layer;
        layer.name = layers.layers[i].name;
        layer.type = AEGP_ObjectType_AV;
        layer.footage = layers.layers[i].footage;
        if (i == layers.input) comp.effectLayer = int(comp.layers.size());
        layout.footage[layer.name] = int(comp.layers.size());
        comp.layers.push_back(std::move(layer));
    }
    return layout;
}

void SetFrame(const Scene& scene, const CompositionLayout& layout, double frame,
              host::Composition& comp) {
    if (layout.camera >= 0) {
        comp.layers[layout.camera].position.SetConstant(ToVec(scene.camera->position.At(frame)));
    }
    const Vec3 centre{layout.width * 0.5, layout.height * 0.5, 0.0};
    const Vec3 overCentre{centre[0], centre[1], -layout.width * 0.5};
    for (std::size_t i = 0; i < scene.lights.size(); ++i) {
        const SceneLight& light = scene.lights[i];
        host::CompLayer& layer = comp.layers[layout.firstLight + i];
        layer.videoOn = light.on.Held(frame);
        layer.position.SetConstant(ToVec(light.position ? light.position->At(frame) : overCentre));
        layer.anchorPoint.SetConstant(ToVec(light.anchor ? light.anchor->At(frame) : centre));
        layer.intensity.SetConstant(light.intensity.At(frame));
        const Vec3 c = light.color.At(frame);
        layer.color.SetConstant({1.0, c[0], c[1], c[2]});
        layer.coneAngle.SetConstant(light.coneAngle.At(frame));
        layer.coneFeather.SetConstant(light.coneFeather.At(frame));
    }
}

}  // namespace lumeshade::tools
