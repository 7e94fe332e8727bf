#include "tools/scene_json.h"

#include <system_error>

namespace lumeshade::tools {
namespace fs = std::filesystem;
namespace {

const char* kLightTypeNames[] = {"ambient", "point", "parallel", "spot"};

Json ToJson(double v) { return v; }
Json ToJson(bool v) { return v; }
Json ToJson(const Vec3& v) { return Json::array({v[0], v[1], v[2]}); }

template <class T>
Json TrackToJson(const host::Keyed<T>& track) {
    // One key holds its value at every frame, as a constant does.
    if (track.KeyCount() <= 1) return ToJson(track.Values().front());
    Json keys = Json::array();
    for (const auto& [frame, value] : track.Keys())
        keys.push_back(Json::array({frame, ToJson(value)}));
    return Json{{"keys", keys}};
}

fs::path Absolute(const fs::path& path) {
    std::error_code ec;
    const fs::path absolute = path.empty() ? fs::current_path(ec) : fs::absolute(path, ec);
    return absolute.lexically_normal();
}

// The path as written when the file goes where it came from; otherwise the
// same file seen from `folder`.
std::string SavedPath(const LayerSource& layer, const fs::path& folder) {
    if (fs::path(layer.given).is_absolute() || layer.path == folder / layer.given) {
        return layer.given;
    }
    const fs::path target = Absolute(layer.path);
    const fs::path relative = target.lexically_relative(Absolute(folder));
    return relative.empty() ? target.string() : relative.string();
}

Json MapParameter(const MapParams& p, const std::string& key) {
    const auto rgb = [](const Rgb& c) { return Json::array({c[0], c[1], c[2]}); };
    if (key == "radius") return p.radius;
    if (key == "background") return p.background;
    if (key == "ring_radius") return p.ringRadius;
    if (key == "tube_radius") return p.tubeRadius;
    if (key == "square_size") return p.squareSize;
    if (key == "color") return rgb(p.color);
    if (key == "color1") return rgb(p.color1);
    if (key == "color2") return rgb(p.color2);
    if (key == "period") return p.period;
    return p.strength;  // "strength", the last of MapParameterKeys
}

Json LayerToJson(const LayerSource& layer, const fs::path& folder) {
    if (layer.generate) {
        Json map{{"generate", MapKindName(layer.generate->kind)}};
        if (layer.width) map["width"] = *layer.width;
        if (layer.height) map["height"] = *layer.height;
        for (const std::string& key : MapParameterKeys(layer.generate->kind)) {
            map[key] = MapParameter(*layer.generate, key);
        }
        return map;
    }
    const std::string path = SavedPath(layer, folder);
    if (layer.conversion == PassConversion{}) return path;
    Json image{{"path", path}};
    if (layer.conversion.signedNormals) image["normals"] = "signed";
    if (layer.conversion.flipY) image["flip_y"] = true;
    return image;
}

Json LightToJson(const SceneLight& light) {
    Json json{{"name", light.name},
              {"type", kLightTypeNames[int(light.type)]},
              {"on", TrackToJson(light.on)}};
    if (light.position) json["position"] = TrackToJson(*light.position);
    if (light.anchor) json["anchor"] = TrackToJson(*light.anchor);
    json["intensity"] = TrackToJson(light.intensity);
    json["color"] = TrackToJson(light.color);
    json["cone_angle"] = TrackToJson(light.coneAngle);
    json["cone_feather"] = TrackToJson(light.coneFeather);
    return json;
}

}  // namespace

Json SceneToJson(const Scene& scene, const fs::path& folder) {
    Json json = Json::object();
    if (scene.width) json["width"] = *scene.width;
    if (scene.height) json["height"] = *scene.height;
    if (scene.depth) json["depth"] = BitDepthName(*scene.depth);
    if (scene.frames) json["frames"] = {{"start", scene.frames->start}, {"end", scene.frames->end}};
    json["fps"] = scene.fps;
    Json layers = Json::object();
    for (const LayerSource& layer : scene.layers) layers[layer.name] = LayerToJson(layer, folder);
    json["layers"] = layers;
    json["input"] = scene.input;
    Json controls = Json::object();
    for (const ControlSetting& setting : scene.controls) controls[setting.key] = setting.value;
    json["controls"] = controls;
    json["camera"] =
        scene.camera ? Json{{"position", TrackToJson(scene.camera->position)}} : Json(nullptr);
    Json lights = Json::array();
    for (const SceneLight& light : scene.lights) lights.push_back(LightToJson(light));
    json["lights"] = lights;
    return json;
}

}  // namespace lumeshade::tools
