// The scene's "layers" and "input".
#include <system_error>

#include "tools/limits.h"
#include "tools/nearest_name.h"
#include "tools/scene.h"

namespace lumeshade::tools {
namespace fs = std::filesystem;
namespace {

// A fraction above 0 and at most `max`.
double ReadFraction(const Json& value, const Location& where, double max) {
    const double v = ReadNumberIn(value, where, 0.0, max);
    if (v == 0.0) FailExpected(where, "a number above 0 and at most " + FormatNumber(max), value);
    return v;
}

LayerSource ReadGenerated(const std::string& name, const Json& value, const Location& where) {
    const Location kindAt = where.Key("generate");
    const Json& kindValue = value["generate"];
    const std::vector<std::string> kinds = MapKindNames();
    std::string kinds_list;
    for (const std::string& k : kinds) kinds_list += (kinds_list.empty() ? "" : ", ") + k;
    if (!kindValue.is_string()) FailExpected(kindAt, "one of " + kinds_list, kindValue);
    const auto kind = ParseMapKind(kindValue.get<std::string>());
    if (!kind) {
        Fail(kindAt, "expected one of " + kinds_list + ", got " + DescribeValue(kindValue) +
                         DidYouMean(kindValue.get<std::string>(), kinds));
    }
    std::vector<std::string> keys = {"generate", "width", "height"};
    for (std::string& k : MapParameterKeys(*kind)) keys.push_back(std::move(k));
    CheckObject(value, where, keys);

    LayerSource layer;
    layer.name = name;
    layer.where = where;
    MapParams params;
    params.kind = *kind;
    if (value.contains("width")) {
        layer.width = ReadWholeNumber(value["width"], where.Key("width"), 1, int(kMaxImageSide));
    }
    if (value.contains("height")) {
        layer.height = ReadWholeNumber(value["height"], where.Key("height"), 1, int(kMaxImageSide));
    }
    if (layer.width && layer.height) CheckImageSize(*layer.width, *layer.height, where);
    const auto has = [&](const char* key) { return value.contains(key); };
    if (has("background"))
        params.background = ReadBool(value["background"], where.Key("background"));
    if (has("radius")) params.radius = ReadFraction(value["radius"], where.Key("radius"), 1.0);
    if (has("ring_radius")) {
        params.ringRadius = ReadFraction(value["ring_radius"], where.Key("ring_radius"), 1.0);
    }
    if (has("tube_radius")) {
        params.tubeRadius = ReadFraction(value["tube_radius"], where.Key("tube_radius"), 1.0);
    }
    if (!(params.tubeRadius < params.ringRadius)) {
        Fail(where.Key("tube_radius"), "expected a tube radius below the ring radius " +
                                           FormatNumber(params.ringRadius) + ", got " +
                                           FormatNumber(params.tubeRadius));
    }
    if (has("color")) params.color = ReadUnitColor(value["color"], where.Key("color"));
    if (has("color1")) params.color1 = ReadUnitColor(value["color1"], where.Key("color1"));
    if (has("color2")) params.color2 = ReadUnitColor(value["color2"], where.Key("color2"));
    if (has("square_size")) {
        params.squareSize =
            ReadWholeNumber(value["square_size"], where.Key("square_size"), 1, int(kMaxImageSide));
    }
    if (has("period")) {
        params.period = ReadFraction(value["period"], where.Key("period"), double(kMaxImageSide));
    }
    if (has("strength"))
        params.strength = ReadNumberIn(value["strength"], where.Key("strength"), 0, 10);
    layer.generate = params;
    return layer;
}

// {"path": "pass.exr", "normals": "signed", "flip_y": true}
LayerSource ReadImageLayer(const std::string& name, const Json& value, const Location& where,
                           const fs::path& folder) {
    CheckObject(value, where, {"path", "normals", "flip_y"});
    LayerSource layer;
    layer.name = name;
    layer.where = where;
    const Json& path = value["path"];
    if (!path.is_string() || path.get<std::string>().empty()) {
        FailExpected(where.Key("path"), "an image path", path);
    }
    layer.given = path.get<std::string>();
    layer.path = folder / layer.given;
    if (value.contains("normals")) {
        const Json& normals = value["normals"];
        const Location at = where.Key("normals");
        const char* expected = "\"encoded\" (0..1, as the effect reads them) or \"signed\" (-1..1)";
        if (!normals.is_string()) FailExpected(at, expected, normals);
        const std::string text = normals.get<std::string>();
        if (text != "encoded" && text != "signed") {
            Fail(at, std::string("expected ") + expected + ", got " + DescribeValue(normals) +
                         DidYouMean(text, {"encoded", "signed"}));
        }
        layer.conversion.signedNormals = text == "signed";
    }
    if (value.contains("flip_y"))
        layer.conversion.flipY = ReadBool(value["flip_y"], where.Key("flip_y"));
    return layer;
}

}  // namespace

LayerSource ReadLayer(const std::string& name, const Json& value, const Location& where,
                      const fs::path& folder) {
    if (name.empty()) Fail(where, "a layer needs a name");
    if (value.is_string()) {
        const std::string path = value.get<std::string>();
        if (path.empty()) FailExpected(where, "an image path", value);
        LayerSource layer;
        layer.name = name;
        layer.where = where;
        layer.given = path;
        layer.path = folder / path;
        return layer;
    }
    if (value.is_object() && value.contains("path")) {
        return ReadImageLayer(name, value, where, folder);
    }
    if (value.is_object() && value.contains("generate")) return ReadGenerated(name, value, where);
    FailExpected(where, "an image path, {\"path\": PATH, ...} or {\"generate\": KIND, ...}", value);
}

void ReadLayers(const Json& value, const Location& where, Scene& scene) {
    if (!value.is_object()) FailExpected(where, "an object of named layers", value);
    for (const auto& item : value.items()) {
        scene.layers.push_back(
            ReadLayer(item.key(), item.value(), where.Key(item.key()), scene.folder));
    }
}

void ReadInput(const Json& value, const Location& where, Scene& scene, const fs::path& folder) {
    const std::string name = ReadString(value, where);
    if (scene.FindLayer(name)) {
        scene.input = name;
        return;
    }
    // Not a layer: an image file, which becomes a layer of its own.
    const fs::path path = folder / name;
    std::error_code ec;
    if (name.empty() || !fs::exists(path, ec)) {
        std::string known;
        for (const std::string& n : scene.LayerNames()) known += (known.empty() ? "" : ", ") + n;
        Fail(where, "expected a layer name" + (known.empty() ? "" : " (" + known + ")") +
                        " or an image file, got \"" + name + "\", which is neither" +
                        DidYouMean(name, scene.LayerNames()));
    }
    LayerSource layer;
    layer.name = name;
    layer.where = where;
    layer.given = name;
    layer.path = path;
    scene.layers.push_back(std::move(layer));
    scene.input = name;
}

}  // namespace lumeshade::tools
