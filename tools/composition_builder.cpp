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
host::ColorD ToColor(const Vec3& c) { return {1.0, c[0], c[1], c[2]}; }

}  // namespace

CompositionLayout BuildComposition(const Scene& scene, const LoadedLayers& layers,
                                   host::Composition& comp) {
    CompositionLayout layout;
    comp.layers.clear();
    comp.frameRate = scene.fps;
    comp.effectLayerOffset = 0.0;
    // The scene's frames are the composition's: its keys go over as they are.
    if (scene.camera) {
        host::CompLayer camera;
        camera.name = "Camera 1";
        camera.type = AEGP_ObjectType_CAMERA;
        camera.position = scene.camera->position.Map(ToVec);
        comp.layers.push_back(std::move(camera));
    }
    const Vec3 centre{layers.width * 0.5, layers.height * 0.5, 0.0};
    const Vec3 overCentre{centre[0], centre[1], -layers.width * 0.5};
    for (const SceneLight& light : scene.lights) {
        host::CompLayer layer;
        layer.name = light.name;
        layer.type = AEGP_ObjectType_LIGHT;
        layer.lightType = HostLightType(light.type);
        layer.videoOn = light.on;
        layer.position = light.position ? light.position->Map(ToVec) : ToVec(overCentre);
        layer.anchorPoint = light.anchor ? light.anchor->Map(ToVec) : ToVec(centre);
        layer.intensity = light.intensity;
        layer.color = light.color.Map(ToColor);
        layer.coneAngle = light.coneAngle;
        layer.coneFeather = light.coneFeather;
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

}  // namespace lumeshade::tools
