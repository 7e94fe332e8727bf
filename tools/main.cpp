// lumeshade-render [SCENE.json] [options]: relights images and image
// sequences with the Lumeshade module (docs/renderer.md).
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>

#include "tools/driver.h"
#include "tools/input_error.h"

int main(int argc, char** argv) {
    using lumeshade::tools::RunOptions;
    RunOptions options;
    bool quiet = false;
    std::string scene;

    CLI::App app{
        "Relights normal maps with the Lumeshade module, through the emulated host. "
        "With no SCENE it renders the built-in demo scene.",
        "lumeshade-render"};
    app.add_option("scene", scene, "Scene file (JSON); see docs/renderer.md");
    app.add_option("-o,--output", options.output,
                   "Image to write: .png (8/16 bit), .tif (8/16/32-bit float), .exr (32-bit "
                   "float); a run of # becomes the frame number")
        ->allow_extra_args(false);
    app.add_option("--frames", options.frames, "Frames to render: A or A-B")
        ->allow_extra_args(false);
    app.add_option("--depth", options.depth, "Rendering bit depth: 8, 16 or float")
        ->allow_extra_args(false);
    app.add_option("--threads", options.threads, "Threads for the pixel iteration (0: all cores)")
        ->allow_extra_args(false);
    app.add_option("--quality", options.quality, "Render quality: high or low")
        ->allow_extra_args(false);
    app.add_option("--downsample", options.downsample, "Render at 1/N resolution")
        ->allow_extra_args(false);
    app.add_option("--set", options.settings,
                   "Set a control, KEY=VALUE, as in the scene's \"controls\" (repeatable)")
        ->allow_extra_args(false);
    app.add_option("--region", options.region,
                   "Render only the rectangle X,Y,W,H of the output (in its pixels) and write an "
                   "image of that size")
        ->allow_extra_args(false);
    app.add_option("--probe", options.probes,
                   "Print the output pixel at X,Y of every frame as a JSON line (repeatable)")
        ->allow_extra_args(false);
    auto* list = app.add_flag("--list-controls", options.listControls,
                              "List the controls and which ones are shown, then stop");
    app.add_flag("--json", options.json, "With --list-controls: one JSON array")->needs(list);
    app.add_flag("--quiet", quiet, "No progress display");
    app.add_option("--module", options.module,
                   "The module to load (default: lumeshade.so beside this program)")
        ->allow_extra_args(false);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "lumeshade-render: error: " << e.what() << "\n"
                  << "Run with --help for the options.\n";
        return lumeshade::tools::kExitBadInput;
    }
    if (!scene.empty()) options.scene = scene;
    options.progress = !quiet && ::isatty(::fileno(stderr)) == 1;
    return lumeshade::tools::Run(options, std::cout, std::cerr);
}
