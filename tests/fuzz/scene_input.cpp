#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

#include "host/host.h"
#include "shell/entry.h"
#include "tests/fuzz/input_checks.h"
#include "tools/command_line.h"
#include "tools/command_scene.h"
#include "tools/composition_builder.h"
#include "tools/control_values.h"
#include "tools/limits.h"
#include "tools/probe.h"
#include "tools/scene_json.h"

namespace lumeshade::fuzz {
namespace {

using namespace lumeshade::tools;

// Frames a check looks at: the run's first, middle and last, and each key.
constexpr std::size_t kMaxFramesLooked = 64;
// Generated maps are made this small: their parameters are what is tested.
constexpr int kMapSide = 6;

const ControlSchema& Schema() {
    static const ControlSchema schema = [] {
        host::Host host(EntryPointFunc);
        host.GlobalSetup();
        host.ParamsSetup();
        return ControlSchema::FromRegistration(host.Registered());
    }();
    return schema;
}

// A refusal that is not one line, or says nothing.
void CheckMessage(const std::string& message, std::vector<std::string>& findings) {
    if (message.empty()) findings.push_back("a refusal without a message");
    for (const char c : message) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            findings.push_back("a refusal that is not one line: " + message);
            return;
        }
    }
}

template <class T>
void AddKeyFrames(const host::Keyed<T>& track, std::vector<double>& frames) {
    for (const auto& key : track.Keys()) {
        frames.push_back(key.first);
        frames.push_back(key.first + 0.5);
    }
}

std::vector<double> FramesOf(const Scene& scene, const std::vector<ControlTrack>& tracks) {
    const FrameRange range = scene.frames.value_or(FrameRange{});
    std::vector<double> frames = {double(range.start), double(range.end),
                                  double(range.start + (range.end - range.start) / 2)};
    for (const SceneLight& light : scene.lights) {
        if (light.position) AddKeyFrames(*light.position, frames);
        if (light.anchor) AddKeyFrames(*light.anchor, frames);
        AddKeyFrames(light.intensity, frames);
        AddKeyFrames(light.color, frames);
    }
    if (scene.camera) AddKeyFrames(scene.camera->position, frames);
    for (const ControlTrack& t : tracks) AddKeyFrames(t.track, frames);
    // Frames are whole numbers from 0 in a run; keys may lie anywhere.
    for (double& f : frames) f = std::clamp(std::floor(f), 0.0, double(kMaxFrame));
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    if (frames.size() > kMaxFramesLooked) frames.resize(kMaxFramesLooked);
    return frames;
}

bool FiniteFloat(double v) { return std::abs(v) <= std::numeric_limits<float>::max(); }

// Every number of the composition's lights and camera at `frame`.
void CheckComposition(const host::Composition& comp, double frame,
                      std::vector<std::string>& findings) {
    for (const host::CompLayer& layer : comp.layers) {
        const host::Vec3d p = layer.position.At(frame), a = layer.anchorPoint.At(frame);
        const host::ColorD c = layer.color.At(frame);
        for (const double v :
             {p.x, p.y, p.z, a.x, a.y, a.z, layer.intensity.At(frame), layer.coneAngle.At(frame),
              layer.coneFeather.At(frame), c.red, c.green, c.blue}) {
            if (!FiniteFloat(v)) {
                findings.push_back("layer \"" + layer.name +
                                   "\" holds a number that is not finite in single precision");
                return;
            }
        }
    }
}

void Exercise(const Scene& scene, const std::vector<ControlTrack>& tracks,
              std::vector<std::string>& findings) {
    // Sizes as the loader settles them for generated maps; each map made
    // small, which must not fail for parameters the reader accepted.
    LoadedLayers layers;
    layers.width = scene.width.value_or(64);
    layers.height = scene.height.value_or(64);
    for (const LayerSource& source : scene.layers) {
        if (source.generate) {
            CheckImageSize(source.width.value_or(layers.width),
                           source.height.value_or(layers.height), source.where);
            MapParams small = *source.generate;
            small.width = std::min(source.width.value_or(kMapSide), kMapSide);
            small.height = std::min(source.height.value_or(kMapSide), kMapSide);
            try {
                GenerateMap(small);
            } catch (const std::invalid_argument& e) {
                findings.push_back("layer \"" + source.name +
                                   "\" was read but not made: " + e.what());
            }
        }
        if (source.name == scene.input) layers.input = layers.layers.size();
        layers.layers.push_back(
            {source.name, std::make_shared<const host::World>(1, 1, host::Depth::kFloat)});
    }

    host::Composition comp;
    BuildComposition(scene, layers, comp);
    for (const double frame : FramesOf(scene, tracks)) CheckComposition(comp, frame, findings);
    // Values between keys are the host's blends of these.
    for (const ControlTrack& t : tracks) {
        for (const ControlValue& value : t.track.Values()) {
            PF_ParamDefUnion record = t.info->registered.u;
            StoreValue(*t.info, value, record);
            ValueToJson(*t.info, value);
        }
    }

    // Written back as a file, it reads back as the same scene.
    const std::string written = SceneToJson(scene, "").dump(2);
    try {
        const Scene back = ParseScene(written, "printed.json", "");
        if (SceneToJson(back, "").dump(2) != written) {
            findings.push_back("the written scene reads back as another:\n" + written);
        }
    } catch (const InputError& e) {
        findings.push_back(std::string("the written scene is refused: ") + e.what() + "\n" +
                           written);
    }
}

}  // namespace

std::vector<std::string> CheckSceneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            parts.emplace_back();
        } else {
            parts.back() += char(data[i]);
        }
    }
    std::vector<const char*> argv = {"lumeshade-render"};
    for (std::size_t i = 1; i < parts.size(); ++i) argv.push_back(parts[i].c_str());
    if (!parts[0].empty()) argv.push_back("fuzz.json");

    std::vector<std::string> findings;
    std::ostringstream out, err;
    int status = 0;
    const auto options = ParseCommandLine(int(argv.size()), argv.data(), out, err, status);
    if (!options) return findings;  // --help, or a command line the parser refused
    try {
        const Scene scene = SceneOfRun(*options, parts[0]);
        for (const std::string& probe : options->probes) ParseProbe(probe);
        std::vector<std::string> warnings;
        const std::vector<ControlTrack> tracks = ResolveControls(scene, Schema(), &warnings);
        for (const std::string& w : warnings) CheckMessage(w, findings);
        Exercise(scene, tracks, findings);
    } catch (const InputError& e) {
        CheckMessage(e.what(), findings);
    } catch (const std::exception& e) {
        findings.push_back(std::string("not refused as bad input: ") + e.what());
    }
    return findings;
}

}  // namespace lumeshade::fuzz
