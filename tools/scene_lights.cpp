// The scene's "lights" and "camera".
#include "tools/nearest_name.h"
#include "tools/scene.h"

namespace lumeshade::tools {
namespace {

const std::vector<std::string> kLightKeys = {
    "name", "type", "on", "position", "anchor", "intensity", "color", "cone_angle", "cone_feather"};
const std::vector<std::string> kLightTypes = {"ambient", "point", "parallel", "spot"};

LightKind ReadLightKind(const Json& value, const Location& where) {
    const char* expected = "\"ambient\", \"point\", \"parallel\" or \"spot\"";
    if (!value.is_string()) FailExpected(where, expected, value);
    const std::string text = value.get<std::string>();
    for (std::size_t i = 0; i < kLightTypes.size(); ++i) {
        if (text == kLightTypes[i]) return LightKind(i);
    }
    Fail(where, std::string("expected ") + expected + ", got " + DescribeValue(value) +
                    DidYouMean(text, kLightTypes));
}

host::Keyed<Vec3> ReadPosition(const Json& value, const Location& where) {
    return ReadTrack<Vec3>(value, where, [](const Json& v, const Location& at) {
        return ReadSingleTriple(v, at, "[x, y, z]");
    });
}

host::Keyed<double> ReadScalar(const Json& value, const Location& where, double lo, double hi) {
    return ReadTrack<double>(value, where, [lo, hi](const Json& v, const Location& at) {
        return ReadNumberIn(v, at, lo, hi);
    });
}

}  // namespace

SceneLight ReadLight(const Json& value, const Location& where, std::size_t position) {
    CheckObject(value, where, kLightKeys);
    SceneLight light;
    // New lights are named as a timeline names them, which is what the
    // Lights group's "Light 1" .. "Light 5" choices select by.
    light.name = "Light " + std::to_string(position + 1);
    if (value.contains("name")) light.name = ReadString(value["name"], where.Key("name"));
    if (value.contains("type")) light.type = ReadLightKind(value["type"], where.Key("type"));
    if (value.contains("on")) {
        light.on = ReadTrack<bool>(value["on"], where.Key("on"), ReadBool);
    }
    if (value.contains("position")) {
        light.position = ReadPosition(value["position"], where.Key("position"));
    }
    if (value.contains("anchor")) light.anchor = ReadPosition(value["anchor"], where.Key("anchor"));
    if (value.contains("intensity")) {
        light.intensity = ReadTrack<double>(value["intensity"], where.Key("intensity"), ReadSingle);
    }
    if (value.contains("color")) {
        light.color = ReadTrack<Vec3>(value["color"], where.Key("color"), ReadUnitColor);
    }
    if (value.contains("cone_angle")) {
        light.coneAngle = ReadScalar(value["cone_angle"], where.Key("cone_angle"), 0.0, 180.0);
    }
    if (value.contains("cone_feather")) {
        light.coneFeather =
            ReadScalar(value["cone_feather"], where.Key("cone_feather"), 0.0, 100.0);
    }
    return light;
}

SceneCamera ReadCamera(const Json& value, const Location& where) {
    CheckObject(value, where, {"position"});
    if (!value.contains("position")) {
        Fail(where, "expected null or {\"position\": [x, y, z]}");
    }
    return {ReadPosition(value["position"], where.Key("position"))};
}

}  // namespace lumeshade::tools
