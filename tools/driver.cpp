#include "tools/driver.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <thread>

#include "host/effect_streams.h"
#include "host/host.h"
#include "tools/command_scene.h"
#include "tools/composition_builder.h"
#include "tools/control_driver.h"
#include "tools/control_values.h"
#include "tools/frame_summary.h"
#include "tools/image_io.h"
#include "tools/input_error.h"
#include "tools/layer_loading.h"
#include "tools/list_controls.h"
#include "tools/module_failure.h"
#include "tools/module_library.h"
#include "tools/output_file.h"
#include "tools/probe.h"
#include "tools/progress.h"
#include "tools/region.h"
#include "tools/scene.h"
#include "tools/scene_json.h"
#include "tools/world_images.h"

namespace lumeshade::tools {
namespace {

constexpr const char* kProgram = "lumeshade-render";
constexpr int kMaxDownsample = 64;
constexpr int kMaxThreads = 1024;

// Redraws the bar from the host's progress while a frame renders. Reports
// left from the frame before are not this frame's and are skipped.
class ProgressWatch {
public:
    ProgressWatch(host::Host& host, Progress& progress, bool enabled) {
        if (!enabled) return;
        const int before = host.ProgressReports();
        thread_ = std::thread([&host, &progress, before, this] {
            while (!stop_.load()) {
                if (host.ProgressReports() != before) {
                    progress.Rows(host.LastProgressCurrent(), host.LastProgressTotal());
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        });
    }
    ~ProgressWatch() {
        stop_.store(true);
        if (thread_.joinable()) thread_.join();
    }
    ProgressWatch(const ProgressWatch&) = delete;
    ProgressWatch& operator=(const ProgressWatch&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The options that are not part of the scene, checked, and the scene's
// frames and depth.
struct Settings {
    FrameRange frames;
    BitDepth depth = BitDepth::kFloat;
    std::vector<ProbePoint> probes;
    std::string output;
};

Settings ReadSettings(const RunOptions& options, const Scene& scene) {
    Settings settings;
    settings.frames = scene.frames.value_or(FrameRange{});
    settings.depth = scene.depth.value_or(BitDepth::kFloat);
    if (options.quality != "high" && options.quality != "low") {
        Fail({"--quality", ""}, "expected high or low, got \"" + options.quality + "\"");
    }
    if (options.downsample < 1 || options.downsample > kMaxDownsample) {
        Fail({"--downsample", ""}, "expected a whole number from 1 to " +
                                       std::to_string(kMaxDownsample) + ", got " +
                                       std::to_string(options.downsample));
    }
    if (options.threads < 0 || options.threads > kMaxThreads) {
        Fail({"--threads", ""}, "expected a whole number from 0 (all cores) to " +
                                    std::to_string(kMaxThreads) + ", got " +
                                    std::to_string(options.threads));
    }
    for (const std::string& p : options.probes) settings.probes.push_back(ParseProbe(p));
    const bool demo = !options.scene && !BuildsScene(options);
    settings.output = options.output.value_or(demo ? "demo.png" : "lumeshade.png");
    return settings;
}

// The part of the output each frame renders and writes: all of it, or the
// --region asked for. Probes are pixels of what is written; a downsampled
// output is the full size divided by the factor, rounded up.
std::optional<PF_LRect> CheckRegionAndProbes(const RunOptions& options, const Settings& settings,
                                             const LoadedLayers& layers) {
    int width = (layers.width + options.downsample - 1) / options.downsample;
    int height = (layers.height + options.downsample - 1) / options.downsample;
    std::optional<PF_LRect> region;
    if (options.region) {
        region = ParseRegion(*options.region, width, height);
        width = region->right - region->left;
        height = region->bottom - region->top;
    }
    for (std::size_t i = 0; i < settings.probes.size(); ++i) {
        if (settings.probes[i].x >= width || settings.probes[i].y >= height) {
            Fail({"--probe", ""}, options.probes[i] + " lies outside the " + std::to_string(width) +
                                      " x " + std::to_string(height) +
                                      (region ? " region" : " output"));
        }
    }
    return region;
}

void ListControls(host::Host& host, const ControlSchema& schema, bool json, std::ostream& out) {
    std::vector<bool> visible;
    for (const ControlInfo& info : schema.Controls()) {
        const AEGP_DynStreamFlags flags = host::StreamFlags(host, info.index);
        visible.push_back((flags & AEGP_DynStreamFlag_HIDDEN) == 0);
    }
    if (json) {
        out << ControlsToJson(schema, visible).dump(2) << '\n';
    } else {
        out << ControlsToText(schema, visible);
    }
}

// The layers the Normal Map control chooses at any of its keys; the input
// when it chooses none.
std::set<std::string> NormalMapLayers(const Scene& scene, const std::vector<ControlTrack>& tracks) {
    std::set<std::string> names;
    bool none = true;
    for (const ControlTrack& t : tracks) {
        if (t.info->key != "normal_map") continue;
        none = false;
        for (const ControlValue& value : t.track.Values()) {
            const std::string& layer = std::get<LayerValue>(value).layer;
            names.insert(layer.empty() ? scene.input : layer);
        }
    }
    if (none) names.insert(scene.input);
    return names;
}

void Warn(std::ostream& err, const std::vector<std::string>& warnings) {
    for (const std::string& w : warnings) err << kProgram << ": warning: " << w << '\n';
}

int Render(const RunOptions& options, std::ostream& out, std::ostream& err) {
    const Scene scene = SceneOfRun(options);
    const Settings settings = ReadSettings(options, scene);
    const FrameRange& frames = settings.frames;
    const bool renders = !options.listControls && !options.printScene;
    if (renders) CheckOutputPath(settings.output, frames.start, frames.Count());

    const auto module = LoadModule(options.module.empty() ? DefaultModulePath() : options.module);
    host::Host host(module->Entry());
    CheckModule(host, host.GlobalSetup(), "the module's global set-up");
    CheckModule(host, host.ParamsSetup(), "the module's parameter set-up");
    const ControlSchema schema = ControlSchema::FromRegistration(host.Registered());
    std::vector<std::string> warnings;
    std::vector<ControlTrack> tracks = ResolveControls(scene, schema, &warnings);
    if (options.printScene) {
        // Checked as far as it can be without reading images.
        Warn(err, warnings);
        out << SceneToJson(scene, "").dump(2) << '\n';
        return kExitOk;
    }
    LoadedLayers layers = LoadLayers(scene, settings.depth, NormalMapLayers(scene, tracks));
    const std::optional<PF_LRect> region = CheckRegionAndProbes(options, settings, layers);
    warnings.insert(warnings.end(), layers.warnings.begin(), layers.warnings.end());
    Warn(err, warnings);

    const CompositionLayout layout = BuildComposition(scene, layers, host.Comp());
    host.SetInput(host.Comp().layers[host.Comp().effectLayer].footage);
    host.SetRenderDepth(ToHostDepth(settings.depth));
    host.SetDownsample(options.downsample);
    host.SetRegion(region);
    host.SetQuality(options.quality == "high" ? PF_Quality_HI : PF_Quality_LO);
    host.SetThreads(options.threads);
    ControlDriver controls(host, tracks);
    HandControls(host, tracks, layout);
    const auto setFrame = [&](int frame) {
        host.SetTime(frame / scene.fps);
        controls.Apply(host, frame);
    };

    if (options.listControls) {
        setFrame(frames.start);
        ListControls(host, schema, options.json, out);
        return kExitOk;
    }
    Progress progress(options.progress, err, frames.Count());
    for (int frame = frames.start; frame <= frames.end; ++frame) {
        progress.StartFrame(frame - frames.start, frame);
        setFrame(frame);
        PF_Err result;
        {
            const ProgressWatch watch(host, progress, options.progress);
            result = host.RenderFrame();
        }
        CheckModule(host, result, "frame " + std::to_string(frame) + ": the module's render");
        progress.Rows(1, 1);
        const Image image = FromWorld(host.Output());
        if (!settings.probes.empty() || options.hash || options.stats) progress.Clear();
        for (const ProbePoint& p : settings.probes) out << ProbeLine(frame, p, image) << '\n';
        out << std::flush;
        const std::string file = FrameFileName(settings.output, frame);
        WriteImage(file, image);
        // Printed only for frames whose file was written.
        if (options.hash) out << HashLine(frame, file, host.Output()) << '\n';
        if (options.stats) out << StatsLine(frame, image) << '\n';
        out << std::flush;
    }
    progress.Finish();
    return kExitOk;
}

}  // namespace

int Run(const RunOptions& options, std::ostream& out, std::ostream& err) {
    try {
        return Render(options, out, err);
    } catch (const InputError& e) {
        err << kProgram << ": error: " << e.what() << '\n';
        return kExitBadInput;
    } catch (const ModuleFailure& e) {
        err << kProgram << ": error: " << e.what() << '\n';
        return kExitRenderFailed;
    } catch (const ModuleMismatch& e) {
        err << kProgram << ": error: " << e.what() << '\n';
        return kExitRenderFailed;
    } catch (const std::bad_alloc&) {
        err << kProgram << ": error: out of memory\n";
        return kExitRenderFailed;
    } catch (const std::exception& e) {
        err << kProgram << ": internal error: " << e.what() << '\n';
        return kExitRenderFailed;
    }
}

}  // namespace lumeshade::tools
