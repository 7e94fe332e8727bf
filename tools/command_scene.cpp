#include "tools/command_scene.h"

#include <algorithm>
#include <filesystem>

#include "tools/demo_scene.h"

namespace lumeshade::tools {
namespace {

// --layer NAME=PATH or NAME={"path": ...} / {"generate": ...}; a layer of
// the same name is replaced where it stands.
void AddLayer(Scene& scene, const std::string& option) {
    const std::size_t equals = option.find('=');
    CheckUtf8(option, {"--layer", ""});
    if (equals == std::string::npos || equals == 0) {
        Fail({"--layer", ""}, "expected NAME=PATH or NAME={...}, got \"" + option + "\"");
    }
    const std::string name = option.substr(0, equals);
    const std::string text = option.substr(equals + 1);
    const Location where = Location{"--layer", ""}.Key(name);
    const Json value =
        !text.empty() && text.front() == '{' ? ParseJson(text, "--layer " + name) : Json(text);
    LayerSource layer = ReadLayer(name, value, where, "");
    const auto same = std::find_if(scene.layers.begin(), scene.layers.end(),
                                   [&](const LayerSource& l) { return l.name == name; });
    if (same != scene.layers.end()) {
        *same = std::move(layer);
    } else {
        scene.layers.push_back(std::move(layer));
    }
}

}  // namespace

bool BuildsScene(const RunOptions& options) {
    return options.input || !options.layers.empty() || !options.lights.empty();
}

Scene SceneOfRun(const RunOptions& options) {
    return SceneOfRun(options, options.scene ? ReadSceneText(*options.scene) : std::string());
}

Scene SceneOfRun(const RunOptions& options, std::string_view sceneText) {
    Scene scene;
    Location inputAt{"--input", ""};
    if (options.scene) {
        const std::filesystem::path file = *options.scene;
        scene = ReadSceneObject(ParseJson(sceneText, *options.scene), *options.scene,
                                file.parent_path());
        inputAt = {*options.scene, "input"};
    } else if (BuildsScene(options)) {
        scene.source = "the command line";
    } else {
        scene = DemoScene();
    }
    for (const std::string& layer : options.layers) AddLayer(scene, layer);
    for (std::size_t i = 0; i < options.lights.size(); ++i) {
        const std::string source =
            options.lights.size() == 1 ? "--light" : "--light " + std::to_string(i + 1);
        scene.lights.push_back(ReadLight(ParseJson(options.lights[i], source), Location{source, ""},
                                         scene.lights.size()));
    }
    if (options.input) {
        CheckUtf8(*options.input, {"--input", ""});
        ReadInput(Json(*options.input), {"--input", ""}, scene, "");
        inputAt = {"--input", ""};
    }
    SettleInput(scene, inputAt);
    for (const std::string& setting : options.settings) ApplySetting(scene, setting);
    if (options.frames) scene.frames = ParseFrameRange(*options.frames, {"--frames", ""});
    if (options.depth) {
        scene.depth = ParseBitDepth(*options.depth);
        if (!scene.depth) {
            Fail({"--depth", ""}, "expected 8, 16 or float, got \"" + *options.depth + "\"");
        }
    }
    return scene;
}

}  // namespace lumeshade::tools
