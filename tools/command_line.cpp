#include "tools/command_line.h"

#include <CLI/CLI.hpp>

#include "tools/input_error.h"

namespace lumeshade::tools {

std::optional<RunOptions> ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                                           std::ostream& err, int& status) {
    RunOptions options;
    bool quiet = false;
    std::string scene;

    CLI::App app{
        "Relights normal maps with the Lumeshade module, through the emulated host. With no "
        "SCENE and no --input it renders the built-in demo scene. Documentation: "
        "docs/renderer.md.",
        "lumeshade-render"};
    app.get_formatter()->column_width(32);
    // Every option takes one value per flag: "--set a=1 --set b=2"; the
    // repeatable ones collect the values of all their flags.
    const auto one = [](CLI::Option* option) { return option->allow_extra_args(false); };
    const auto each = [](CLI::Option* option) {
        return option->expected(1)->allow_extra_args(false)->multi_option_policy(
            CLI::MultiOptionPolicy::TakeAll);
    };
    app.add_option("scene", scene, "Scene file (JSON) to render")->type_name("SCENE");
    one(app.add_option("-o,--output", options.output,
                       "Image to write: .png, .tif, .tiff or .exr; a run of # becomes the frame "
                       "number (default: lumeshade.png, demo.png for the demo)"))
        ->type_name("PATH");
    one(app.add_option("--input", options.input,
                       "The layer the effect is applied to: a layer's name or an image path; "
                       "builds a scene without a SCENE file"))
        ->type_name("NAME|PATH");
    each(app.add_option("--layer", options.layers,
                        "Add a layer: NAME=PATH, or NAME={\"path\": ..., \"normals\": \"signed\"} "
                        "or NAME={\"generate\": ...} (one per --layer)"))
        ->type_name("NAME=PATH");
    each(app.add_option("--light", options.lights,
                        "Add a light, a JSON object as in a scene's \"lights\" (one per --light)"))
        ->type_name("JSON");
    each(app.add_option("--set", options.settings,
                        "Set a control: one KEY=VALUE per --set, VALUE as in a scene's "
                        "\"controls\" (JSON, or else text)"))
        ->type_name("KEY=VALUE");
    one(app.add_option("--frames", options.frames,
                       "Frames to render, from 0 to 999999 (default: the scene's, else 0)"))
        ->type_name("A[-B]");
    one(app.add_option("--depth", options.depth,
                       "Rendering bit depth (default: the scene's, else float)"))
        ->type_name("8|16|float");
    one(app.add_option("--threads", options.threads,
                       "Threads for the pixel iteration (default 0: all cores)"))
        ->type_name("N");
    one(app.add_option("--quality", options.quality, "Render quality (default high)"))
        ->type_name("high|low");
    one(app.add_option("--downsample", options.downsample,
                       "Render at 1/N resolution, N from 1 to 64 (default 1)"))
        ->type_name("N");
    one(app.add_option("--region", options.region,
                       "Render only the rectangle X,Y,W,H of the output (in its pixels) and "
                       "write an image of that size (default: the whole output)"))
        ->type_name("X,Y,W,H");
    each(app.add_option("--probe", options.probes,
                        "Print the output pixel at X,Y of every frame as a JSON line (one per "
                        "--probe)"))
        ->type_name("X,Y");
    app.add_flag("--hash", options.hash,
                 "Print a checksum of the pixels of every written frame as a JSON line");
    app.add_flag("--stats", options.stats,
                 "Print the minimum, maximum and mean of each channel of every written frame "
                 "as a JSON line");
    app.add_flag("--print-scene", options.printScene,
                 "Print the scene these options make, as a scene file, then stop");
    app.add_flag("--list-controls", options.listControls,
                 "List the controls and which ones are shown, then stop");
    app.add_flag("--json", options.json, "With --list-controls: one JSON array");
    app.add_flag("--quiet", quiet, "No progress bar (drawn only on a terminal)");
    one(app.add_option("--module", options.module,
                       "The module to load (default: lumeshade.so beside this program)"))
        ->type_name("PATH");
    app.add_flag("--serve", options.serve,
                 "Serve the live page for this scene instead of rendering (docs/renderer.md)");
    one(app.add_option("--port", options.port, "With --serve: the port (default 8080; 0: any)"))
        ->type_name("N");
    one(app.add_option("--bind", options.bind,
                       "With --serve: the address to listen on (default 127.0.0.1, this "
                       "machine only)"))
        ->type_name("ADDRESS");
    each(app.add_option("--folder", options.folders,
                        "With --serve: a folder the page may read images from, besides the "
                        "scene's (one per --folder)"))
        ->type_name("PATH");
    one(app.add_option("--output-folder", options.outputFolder,
                       "With --serve: the folder the page writes scenes and renders into "
                       "(default: the current folder)"))
        ->type_name("PATH");
    app.set_help_flag("-h,--help", "Print these options and stop");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        status = app.exit(e, out, err);
        return std::nullopt;
    } catch (const CLI::CallForAllHelp& e) {
        status = app.exit(e, out, err);
        return std::nullopt;
    } catch (const CLI::ParseError& e) {
        err << "lumeshade-render: error: " << e.what() << "\n"
            << "Run with --help for the options.\n";
        status = kExitBadInput;
        return std::nullopt;
    }
    if (options.json && !options.listControls) {
        err << "lumeshade-render: error: --json: only with --list-controls\n";
        status = kExitBadInput;
        return std::nullopt;
    }
    // The page's options need --serve, and what only a render does excludes
    // it.
    const auto given = [&app](std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (app.count(name) > 0) return std::string(name);
        }
        return std::string();
    };
    const std::string pageOption = given({"--port", "--bind", "--folder", "--output-folder"});
    const std::string renderOption = given({"--output", "--probe", "--hash", "--stats", "--region",
                                            "--print-scene", "--list-controls"});
    if (!options.serve && !pageOption.empty()) {
        err << "lumeshade-render: error: " << pageOption << ": only with --serve\n";
        status = kExitBadInput;
        return std::nullopt;
    }
    if (options.serve && !renderOption.empty()) {
        err << "lumeshade-render: error: " << renderOption << ": not with --serve\n";
        status = kExitBadInput;
        return std::nullopt;
    }
    if (options.port < 0 || options.port > 65535) {
        err << "lumeshade-render: error: --port: expected a whole number from 0 to 65535, got "
            << options.port << "\n";
        status = kExitBadInput;
        return std::nullopt;
    }
    if (!scene.empty()) options.scene = scene;
    options.progress = !quiet;
    status = kExitOk;
    return options;
}

}  // namespace lumeshade::tools
