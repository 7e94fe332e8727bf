// The options of a run of lumeshade-render, as the command line gives them
// (docs/renderer.md lists them).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumeshade::tools {

struct RunOptions {
    std::optional<std::string> scene;   // none: the demo, or the scene the options build
    std::optional<std::string> output;  // none: lumeshade.png, or demo.png for the demo
    std::optional<std::string> frames;  // "A" or "A-B"
    std::optional<std::string> depth;   // "8", "16" or "float"
    int threads = 0;                    // 0: all cores
    std::string quality = "high";
    int downsample = 1;
    // The scene from the command line: the input (a layer's name or an
    // image path), layers as NAME=PATH or NAME={...}, lights as JSON objects.
    std::optional<std::string> input;
    std::vector<std::string> layers;
    std::vector<std::string> lights;
    std::vector<std::string> settings;  // --set KEY=VALUE
    std::vector<std::string> probes;    // --probe X,Y
    bool hash = false;                  // --hash: a checksum line per written frame
    bool stats = false;                 // --stats: a channel-range line per written frame
    std::optional<std::string> region;  // --region X,Y,W,H; none: the whole output
    bool printScene = false;
    bool listControls = false;
    bool json = false;
    bool progress = false;  // draw the progress bar
    std::string module;     // empty: lumeshade.so beside the program
    // --serve: the live page instead of a render (docs/renderer.md).
    bool serve = false;
    int port = 8080;
    std::string bind = "127.0.0.1";
    std::vector<std::string> folders;  // --folder: more folders the page may read images from
    std::string outputFolder = ".";    // --output-folder: where the page may write
};

}  // namespace lumeshade::tools
