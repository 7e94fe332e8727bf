#include "tools/scene.h"

#include <cctype>
#include <charconv>
#include <system_error>

#include "tools/input_file.h"
#include "tools/limits.h"

namespace lumeshade::tools {
namespace fs = std::filesystem;
namespace {

const std::vector<std::string> kSceneKeys = {"width",  "height", "depth",    "frames", "fps",
                                             "layers", "input",  "controls", "camera", "lights"};

// Scene files larger than this are refused unread.
constexpr std::uintmax_t kMaxSceneBytes = 64u << 20;

BitDepth ReadDepth(const Json& value, const Location& where) {
    const char* expected = "8, 16 or \"float\"";
    if (value.is_number()) {
        const double v = value.get<double>();
        if (v == 8.0) return BitDepth::k8;
        if (v == 16.0) return BitDepth::k16;
        FailExpected(where, expected, value);
    }
    if (!value.is_string()) FailExpected(where, expected, value);
    const auto depth = ParseBitDepth(value.get<std::string>());
    if (!depth) FailExpected(where, expected, value);
    return *depth;
}

FrameRange ReadFrames(const Json& value, const Location& where) {
    CheckObject(value, where, {"start", "end"});
    if (!value.contains("start")) Fail(where, "expected {\"start\": A, \"end\": B}");
    FrameRange range;
    range.start = ReadWholeNumber(value["start"], where.Key("start"), 0, kMaxFrame);
    range.end = range.start;
    if (value.contains("end")) {
        range.end = ReadWholeNumber(value["end"], where.Key("end"), range.start, kMaxFrame);
    }
    return range;
}

void ReadControls(const Json& value, const Location& where, Scene& scene) {
    if (!value.is_object()) FailExpected(where, "an object of control settings", value);
    for (const auto& item : value.items()) {
        scene.controls.push_back({item.key(), item.value(), where.Key(item.key())});
    }
}

}  // namespace

const LayerSource* Scene::FindLayer(std::string_view name) const {
    for (const LayerSource& layer : layers) {
        if (layer.name == name) return &layer;
    }
    return nullptr;
}

std::vector<std::string> Scene::LayerNames() const {
    std::vector<std::string> names;
    for (const LayerSource& layer : layers) names.push_back(layer.name);
    return names;
}

Scene ReadSceneObject(const Json& root, const std::string& source, const fs::path& folder) {
    const Location top{source, ""};
    CheckObject(root, top, kSceneKeys);

    Scene scene;
    scene.source = source;
    scene.folder = folder;
    if (root.contains("width")) {
        scene.width = ReadWholeNumber(root["width"], top.Key("width"), 1, int(kMaxImageSide));
    }
    if (root.contains("height")) {
        scene.height = ReadWholeNumber(root["height"], top.Key("height"), 1, int(kMaxImageSide));
    }
    if (scene.width && scene.height) CheckImageSize(*scene.width, *scene.height, top.Key("width"));
    if (root.contains("depth")) scene.depth = ReadDepth(root["depth"], top.Key("depth"));
    if (root.contains("frames")) scene.frames = ReadFrames(root["frames"], top.Key("frames"));
    if (root.contains("fps")) {
        // The host keeps frame rates in thousandths of a frame per second.
        scene.fps = ReadNumberIn(root["fps"], top.Key("fps"), 0.001, 1000.0);
    }
    if (root.contains("layers")) ReadLayers(root["layers"], top.Key("layers"), scene);
    if (root.contains("input")) ReadInput(root["input"], top.Key("input"), scene, folder);
    if (root.contains("controls")) ReadControls(root["controls"], top.Key("controls"), scene);
    if (root.contains("camera") && !root["camera"].is_null()) {
        scene.camera = ReadCamera(root["camera"], top.Key("camera"));
    }
    if (root.contains("lights")) {
        const Json& lights = root["lights"];
        const Location at = top.Key("lights");
        if (!lights.is_array()) FailExpected(at, "an array of lights", lights);
        for (std::size_t i = 0; i < lights.size(); ++i) {
            scene.lights.push_back(ReadLight(lights[i], at.Item(i), i));
        }
    }
    return scene;
}

void SettleInput(Scene& scene, const Location& where) {
    if (!scene.input.empty()) return;
    if (scene.layers.size() == 1) {
        scene.input = scene.layers.front().name;
        return;
    }
    Fail(where, scene.layers.empty()
                    ? "missing: expected the image or layer the effect is applied to"
                    : "missing: expected the name of the layer the effect is applied to");
}

Scene ParseScene(std::string_view text, const std::string& source, const fs::path& folder) {
    Scene scene = ReadSceneObject(ParseJson(text, source), source, folder);
    SettleInput(scene, Location{source, "input"});
    return scene;
}

std::string ReadSceneText(const fs::path& file) {
    return ReadInputFile(file, Location{file.string(), ""}, "the scene file", kMaxSceneBytes);
}

Scene LoadScene(const fs::path& file) {
    return ParseScene(ReadSceneText(file), file.string(), file.parent_path());
}

void ApplySetting(Scene& scene, std::string_view assignment) {
    const std::size_t equals = assignment.find('=');
    const Location option{"--set", ""};
    if (equals == std::string_view::npos || equals == 0) {
        Fail(option, "expected KEY=VALUE, got \"" + std::string(assignment) + "\"");
    }
    CheckUtf8(assignment, option);
    std::string key(assignment.substr(0, equals));
    while (!key.empty() && std::isspace(static_cast<unsigned char>(key.back()))) key.pop_back();
    const std::string text(assignment.substr(equals + 1));
    Json value;
    try {
        value = ParseJson(text, "--set");
    } catch (const InputError&) {
        value = text;  // plain text: a choice's name or a "#rrggbb" colour
    }
    std::erase_if(scene.controls, [&](const ControlSetting& s) { return s.key == key; });
    scene.controls.push_back({key, value, option.Key(key)});
}

FrameRange ParseFrameRange(std::string_view text, const Location& where) {
    const auto number = [&](std::string_view part) {
        int v = -1;
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), v);
        if (part.empty() || ec != std::errc() || end != part.data() + part.size() || v < 0 ||
            v > kMaxFrame) {
            Fail(where, "expected A or A-B with whole frame numbers from 0 to " +
                            std::to_string(kMaxFrame) + ", got \"" + std::string(text) + "\"");
        }
        return v;
    };
    const std::size_t dash = text.find('-');
    FrameRange range;
    range.start = number(text.substr(0, dash));
    range.end = dash == std::string_view::npos ? range.start : number(text.substr(dash + 1));
    if (range.end < range.start) {
        Fail(where, "the last frame " + std::to_string(range.end) + " comes before the first " +
                        std::to_string(range.start));
    }
    return range;
}

}  // namespace lumeshade::tools
