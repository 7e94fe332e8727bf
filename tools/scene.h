// A scene: what to render, as read from a JSON file (docs/renderer.md has
// the format). Reading checks everything that does not need the module:
// structure, types, ranges of the scene's own values and references between
// its parts. Control values are kept as written and checked against the
// module's registered controls later (control_values.h).
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/keyframes.h"
#include "tools/bit_depth.h"
#include "tools/input_error.h"
#include "tools/json_read.h"
#include "tools/normal_pass.h"
#include "tools/procedural.h"

namespace lumeshade::tools {

using Vec3 = std::array<double, 3>;

// A footage layer: an image file or a generated map.
struct LayerSource {
    std::string name;
    Location where;
    // An image file: the path as written, and as opened (from the folder it
    // is relative to; messages show this one).
    std::string given;
    std::filesystem::path path;
    PassConversion conversion;          // how a normal pass is stored
    std::optional<MapParams> generate;  // when made by the program
    // A generated map's size, when given; otherwise the scene's size.
    std::optional<int> width, height;
};

enum class LightKind { kAmbient, kPoint, kParallel, kSpot };

struct SceneLight {
    std::string name;
    LightKind type = LightKind::kPoint;
    host::Keyed<bool> on{true};
    // Without a position the light sits over the layer's centre, half the
    // layer's width toward the viewer; without an anchor it points at the
    // centre.
    std::optional<host::Keyed<Vec3>> position, anchor;
    host::Keyed<double> intensity{100.0};  // percent
    host::Keyed<Vec3> color{Vec3{1.0, 1.0, 1.0}};
    host::Keyed<double> coneAngle{90.0};    // degrees
    host::Keyed<double> coneFeather{50.0};  // percent
};

struct SceneCamera {
    host::Keyed<Vec3> position;
};

// One entry of "controls" (or one --set), checked once the module's
// controls are known.
struct ControlSetting {
    std::string key;
    Json value;
    Location where;
};

struct FrameRange {
    int start = 0;
    int end = 0;
    int Count() const { return end - start + 1; }
};

struct Scene {
    std::string source;
    std::filesystem::path folder;  // image paths are relative to it ("": the current one)
    std::optional<int> width, height;
    std::optional<BitDepth> depth;
    std::optional<FrameRange> frames;
    double fps = 24.0;
    std::vector<LayerSource> layers;
    std::string input;  // always the name of one of `layers`
    std::vector<ControlSetting> controls;
    std::optional<SceneCamera> camera;
    std::vector<SceneLight> lights;

    const LayerSource* FindLayer(std::string_view name) const;
    std::vector<std::string> LayerNames() const;
};

// `source` names the scene in messages; relative paths start in `folder`.
Scene ParseScene(std::string_view text, const std::string& source,
                 const std::filesystem::path& folder);
Scene LoadScene(const std::filesystem::path& file);
// The text of a scene file, through the checks of every input file
// (input_file.h) and the size limit.
std::string ReadSceneText(const std::filesystem::path& file);
// A scene read without settling its input, for options to add to.
Scene ReadSceneObject(const Json& root, const std::string& source,
                      const std::filesystem::path& folder);
// With a single layer and no input, that layer is the input; otherwise a
// missing input fails, blamed on `where`.
void SettleInput(Scene& scene, const Location& where);
// The built-in demo (examples/demo.json, compiled in).
Scene DemoScene();

// --set KEY=VALUE. VALUE is JSON ("0.7", "true", "[255, 0, 0]", "null"),
// or else taken as text ("Add", "#ff8000"). A later setting of a key
// replaces an earlier one.
void ApplySetting(Scene& scene, std::string_view assignment);

// "--frames A" or "A-B".
FrameRange ParseFrameRange(std::string_view text, const Location& where);

// Parts of the reader, in their own files.
void ReadLayers(const Json& value, const Location& where, Scene& scene);
// One layer: an image path, {"path": ..., "normals": ..., "flip_y": ...} or
// {"generate": KIND, ...}; paths relative to `folder`.
LayerSource ReadLayer(const std::string& name, const Json& value, const Location& where,
                      const std::filesystem::path& folder);
// A layer's name, or a path (relative to `folder`) to an image that becomes
// a layer of that name.
void ReadInput(const Json& value, const Location& where, Scene& scene,
               const std::filesystem::path& folder);
SceneLight ReadLight(const Json& value, const Location& where, std::size_t position);
SceneCamera ReadCamera(const Json& value, const Location& where);

}  // namespace lumeshade::tools
