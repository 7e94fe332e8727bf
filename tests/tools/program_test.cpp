// Runs of the built lumeshade-render, as a person runs it: renders and
// probes, sequences, control listings, and the exit status and message of
// every kind of bad input.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "AE_Effect.h"
#include "tool_test_support.h"
#include "tools/frame_summary.h"
#include "tools/image_io.h"
#include "tools/json_read.h"
#include "tools/procedural.h"
#include "tools/world_images.h"

namespace lumeshade::tools {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::WriteText;

fs::path Program() {
    if (const char* dir = std::getenv("LUMESHADE_BUILD_DIR"))
        return fs::path(dir) / "lumeshade-render";
    // Run directly: the test sits in <build>/tests/tools.
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path().parent_path() /
           "lumeshade-render";
}

std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct Result {
    int status = -1;
    std::string out, err;
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
};

// Runs the program in `dir` with `args`; its output goes to files outside
// that folder so that the folder holds only what the program wrote.
Result RunProgram(const TempDir& dir, const std::vector<std::string>& args) {
    static TempDir logs;
    // A run that would hang (reading a named pipe, say) fails instead.
    std::string command =
        "cd " + Quote(dir.Path().string()) + " && timeout 120 " + Quote(Program().string());
    for (const std::string& a : args) command += " " + Quote(a);
    command += " >" + Quote((logs / "out").string()) + " 2>" + Quote((logs / "err").string());
    const int raw = std::system(command.c_str());
    Result r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = testing::ReadText(logs / "out");
    r.err = testing::ReadText(logs / "err");
    return r;
}

// A 64 x 64 sphere lit from the upper left.
const char* kSmallScene = R"({
    "width": 64, "height": 64, "depth": 8,
    "layers": {"normals": {"generate": "sphere", "radius": 0.8}},
    "input": "normals",
    "lights": [{"name": "Light 1", "position": [8, 8, -40]}]
})";

TEST(ProgramTest, RendersASceneAndProbesTheWrittenPixels) {
    TempDir dir;
    WriteText(dir / "s.json", kSmallScene);
    const Result r = RunProgram(dir, {"s.json", "-o", "lit.png", "--probe", "32,32", "--probe",
                                      "0,0", "--probe", "20,20", "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const Image written = ReadImage(dir / "lit.png", BitDepth::k8, {"test", ""});
    const auto lines = r.Lines();
    ASSERT_EQ(lines.size(), 3u) << r.out;
    for (const std::string& line : lines) {
        const Json probe = Json::parse(line);
        ASSERT_EQ(probe.size(), 7u) << line;
        EXPECT_EQ(probe["frame"], 0);
        const float* p = written.Pixel(probe["x"].get<int>(), probe["y"].get<int>());
        EXPECT_EQ(probe["r"], p[0]) << line;
        EXPECT_EQ(probe["g"], p[1]);
        EXPECT_EQ(probe["b"], p[2]);
        EXPECT_EQ(probe["a"], p[3]);
    }
    EXPECT_EQ(Json::parse(lines[1])["a"], 0) << "off the sphere";
    EXPECT_EQ(Json::parse(lines[0])["a"], 255);
    EXPECT_GT(Json::parse(lines[0])["r"].get<int>(), 0) << "the light reaches the sphere";
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"lit.png", "s.json"}));
}

// --region writes an image of the region's size that holds the whole
// output's pixels at their places, here at half resolution and with Pre Blur
// reading each pixel's neighbours; probes address the image written.
TEST(ProgramTest, ARegionWritesWhatTheWholeOutputHoldsThere) {
    TempDir dir;
    WriteText(dir / "s.json", kSmallScene);
    const std::vector<std::string> common = {"s.json", "--downsample",         "2",
                                             "--set",  "normals_pre_blur=1.5", "--quiet"};
    std::vector<std::string> whole = common, part = common;
    whole.insert(whole.end(), {"-o", "whole.png"});
    part.insert(part.end(), {"-o", "part.png", "--region", "5,9,17,4", "--probe", "16,3"});
    ASSERT_EQ(RunProgram(dir, whole).status, 0);
    const Result r = RunProgram(dir, part);
    ASSERT_EQ(r.status, 0) << r.err;
    const Image all = ReadImage(dir / "whole.png", BitDepth::k8, {"test", ""});
    const Image region = ReadImage(dir / "part.png", BitDepth::k8, {"test", ""});
    ASSERT_EQ(region.width, 17);
    ASSERT_EQ(region.height, 4);
    int differing = 0;
    for (int y = 0; y < region.height; ++y) {
        for (int x = 0; x < region.width; ++x) {
            for (int c = 0; c < 4; ++c) {
                differing += region.Pixel(x, y)[c] != all.Pixel(5 + x, 9 + y)[c];
            }
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(Json::parse(r.Lines().at(0))["r"], region.Pixel(16, 3)[0]);
}

TEST(ProgramTest, FloatProbesPrintValuesThatReadBackExactly) {
    TempDir dir;
    WriteText(dir / "s.json", kSmallScene);
    const Result r = RunProgram(
        dir, {"s.json", "--depth", "float", "-o", "lit.exr", "--probe", "21,27", "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Image written = ReadImage(dir / "lit.exr", BitDepth::kFloat, {"test", ""});
    const std::string line = r.Lines().at(0);
    for (const auto& [key, channel] : {std::pair{"\"r\":", 0}, {"\"g\":", 1}, {"\"b\":", 2}}) {
        const std::size_t at = line.find(key) + std::strlen(key);
        const float printed = std::strtof(line.c_str() + at, nullptr);
        EXPECT_EQ(printed, written.Pixel(21, 27)[channel]) << line;
    }
}

TEST(ProgramTest, AnAnimatedLightWritesOneFilePerFrame) {
    TempDir dir;
    WriteText(dir / "s.json", R"({
        "width": 48, "height": 48, "depth": 16, "frames": {"start": 0, "end": 2},
        "layers": {"normals": {"generate": "sphere"}},
        "lights": [{"position": {"keys": [[0, [0, 24, -30]], [2, [48, 24, -30]]]}}]
    })");
    fs::create_directory(dir / "seq");
    const Result r =
        RunProgram(dir, {"s.json", "-o", "seq/f_##.png", "--probe", "10,24", "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(dir / "seq")) files.push_back(e.path().filename());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"f_00.png", "f_01.png", "f_02.png"}));
    const auto lines = r.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Json::parse(lines[2])["frame"], 2);
    EXPECT_NE(Json::parse(lines[0])["r"], Json::parse(lines[2])["r"]) << "the light moved";

    fs::remove_all(dir / "seq");
    fs::create_directory(dir / "seq");
    ASSERT_EQ(RunProgram(dir, {"s.json", "-o", "seq/f_##.png", "--frames", "1", "--quiet"}).status,
              0);
    EXPECT_TRUE(fs::exists(dir / "seq/f_01.png"));
    EXPECT_FALSE(fs::exists(dir / "seq/f_00.png"));
}

TEST(ProgramTest, ListsTheControlsAndWhichTheSceneLeavesShown) {
    TempDir dir;
    WriteText(dir / "plain.json", R"({"layers": {"n": {"generate": "sphere"}},
                                      "controls": {"display": "Diffuse"}})");
    WriteText(dir / "specular.json", R"({"layers": {"n": {"generate": "sphere"}},
                                     "controls": {"specular_enable": true}})");
    const Result plain = RunProgram(dir, {"plain.json", "--list-controls", "--json"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    const Json all = Json::parse(plain.out);
    ASSERT_EQ(all.size(), 142u);
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i]["index"], i + 1);
        EXPECT_TRUE(all[i]["visible"]) << "no supervised control changed: nothing is hidden yet";
    }
    EXPECT_EQ(all[0]["key"], "display");
    EXPECT_EQ(all[0]["type"], "popup");
    EXPECT_EQ(all[0]["default"], "All");

    const Result specular = RunProgram(dir, {"specular.json", "--list-controls", "--json"});
    ASSERT_EQ(specular.status, 0) << specular.err;
    std::map<std::string, Json> byKey;
    for (const Json& c : Json::parse(specular.out)) byKey[c["key"].get<std::string>()] = c;
    EXPECT_TRUE(byKey["specular_spread"]["visible"]);
    EXPECT_TRUE(byKey["shading_diffuse"]["visible"]);
    EXPECT_FALSE(byKey["toon_amount"]["visible"]);
    EXPECT_FALSE(byKey["depth_gamma"]["visible"]) << "no depth map chosen";
    EXPECT_TRUE(byKey["toon_enable"]["visible"]) << "switches never hide";
    EXPECT_EQ(byKey["specular_spread"]["group"], "Specular");
    EXPECT_EQ(byKey["specular_spread"]["valid_max"], 10);
    EXPECT_EQ(byKey["incidence_falloff"]["default"], 0.4);
    EXPECT_EQ(byKey["specular_enable"]["flags"], int(PF_ParamFlag_SUPERVISE));
    EXPECT_TRUE(byKey["specular_spread"]["choices"].is_null()) << "popups only";

    const Result text = RunProgram(dir, {"specular.json", "--list-controls"});
    ASSERT_EQ(text.status, 0);
    EXPECT_EQ(text.Lines().size(), 143u) << "a heading and a line per control";
}

TEST(ProgramTest, BadInputIsReportedWithStatusTwoAndLeavesNoFile) {
    struct Case {
        std::string scene;  // written to s.json when not empty
        std::vector<std::string> args;
        std::string expected;
    };
    const std::string sphere =
        R"("layers": {"n": {"generate": "sphere", "width": 16, "height": 16}})";
    const Case cases[] = {
        {R"({"width": 16,})", {"s.json"}, "s.json: malformed JSON at line 1"},
        {"{" + sphere + R"(, "lihgts": []})",
         {"s.json"},
         "s.json: lihgts: unknown key (did you mean \"lights\"?)"},
        {"{" + sphere + R"(, "fps": "fast"})", {"s.json"}, "s.json: fps: expected a number"},
        {"{" + sphere + R"(, "controls": {"toon_smoothing": 2}})",
         {"s.json"},
         "s.json: controls.toon_smoothing: expected a number from 0 to 1, got 2"},
        {R"({"layers": {"n": "nope.png"}})",
         {"s.json"},
         "s.json: layers.n: the image \"nope.png\" does not exist"},
        {R"({"layers": {"n": "../in/x.png"}})",
         {"s.json"},
         "layers.n: the image \"../in/x.png\" does not exist"},
        // Files no read of may ever end, refused at once.
        {R"({"layers": {"n": "/dev/zero"}})",
         {"s.json"},
         "s.json: layers.n: the image \"/dev/zero\" is a device"},
        {R"({"layers": {"n": "pipe.png"}})",
         {"s.json"},
         "layers.n: the image \"pipe.png\" is a named pipe"},
        {R"({"layers": {"n": "link.png"}})", {"s.json"}, "\"link.png\" is a named pipe"},
        {"", {"pipe.png"}, "pipe.png: the scene file is a named pipe"},
        {"", {"--input", "/dev/zero"}, "--input: the image \"/dev/zero\" is a device"},
        {"", {"--layer", "n=pipe.png"}, "--layer: n: the image \"pipe.png\" is a named pipe"},
        // Beyond single precision, the composition's.
        {"{" + sphere + R"(, "lights": [{"position": [1e39, 0, 0]}]})",
         {"s.json"},
         "s.json: lights[0].position[0]: expected a number from -3.4028234663852886e+38 to "
         "3.4028234663852886e+38 (finite in single precision), got 1e+39"},
        {"{" + sphere + "}",
         {"s.json", "--light", R"({"intensity": -1e39})"},
         "--light: intensity: expected a number from"},
        {"", {"--input", "n.png", "--layer", "n"}, "--layer: expected NAME=PATH or NAME={...}"},
        {R"({"layers": {"n": "zero.png"}})", {"s.json"}, "is an empty file"},
        {R"({"layers": {"n": "junk.png"}})", {"s.json"}, "cannot read the image"},
        {R"({"width": 100000, )" + sphere + "}",
         {"s.json"},
         "width: expected a whole number from 1 to 30000"},
        {"{" + sphere + "}",
         {"s.json", "-o", "missing/x.png"},
         "the folder \"missing\" does not exist"},
        {"{" + sphere + "}",
         {"s.json", "-o", "locked/x.png"},
         "the folder \"locked\" is read-only"},
        {"{" + sphere + "}",
         {"s.json", "--frames", "3-1"},
         "--frames: the last frame 1 comes before the first 3"},
        {"{" + sphere + "}",
         {"s.json", "--probe", "16,0"},
         "--probe: 16,0 lies outside the 16 x 16 output"},
        {"{" + sphere + "}",
         {"s.json", "--set", "bump_scale=-1"},
         "--set: bump_scale: expected a number from 0 to 10"},
        {"{" + sphere + "}", {"s.json", "--depth", "32"}, "--depth: expected 8, 16 or float"},
        {"{" + sphere + "}",
         {"s.json", "--downsample", "0"},
         "--downsample: expected a whole number from 1"},
        {"{" + sphere + "}",
         {"s.json", "--module", "/no/such.so"},
         "module \"/no/such.so\": no such file"},
        {"{" + sphere + "}", {"s.json", "--module", "junk.png"}, "cannot load module"},
        {"{" + sphere + "}", {"s.json", "--module", "pipe.png"}, "the file is a named pipe"},
        {"", {"nothing.json"}, "nothing.json: the scene file does not exist"},
        {"", {"--bogus"}, "--bogus"},
        // Outputs that cannot be written, each refused before anything renders.
        {"{" + sphere + "}", {"s.json", "-o", "kept.png"}, "\"kept.png\" is read-only"},
        {"{" + sphere + "}", {"s.json", "-o", "folder.png"}, "\"folder.png\" is a folder"},
        {"{" + sphere + "}", {"s.json", "-o", "zero.png/x.png"}, "\"zero.png\" is not a folder"},
        // Images that are no image, or too large for the host.
        {R"({"layers": {"n": "folder.png"}})", {"s.json"}, "the image \"folder.png\" is a folder"},
        {R"({"layers": {"n": "wide.png"}})",
         {"s.json"},
         "30001 x 1 pixels is too large: at most 30000 pixels a side"},
        {R"({"layers": {"n": {"generate": "checker", "width": 10000, "height": 10000}}})",
         {"s.json"},
         "at most 67108864 pixels in one image"},
        // A frame rate the host's time grid cannot hold: it made a time scale
        // of 0 from it, and the frame failed with status 1 as if the module had.
        {"{" + sphere + R"(, "fps": 0.0001})",
         {"s.json"},
         "fps: expected a number from 0.001 to 1000, got 0.0001"},
        // Nesting that overflowed the stack when the value was copied.
        {"{" + sphere + R"(, "controls": {"display": )" + std::string(100000, '[') + "1" +
             std::string(100000, ']') + "}}",
         {"s.json"},
         "s.json: values nested more than 64 arrays or objects deep"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteText(dir / "zero.png", "");
        WriteText(dir / "junk.png", "\x89PNG\r\n\x1a\n but then nothing a PNG should hold");
        fs::create_directory(dir / "locked");
        ::chmod((dir / "locked").c_str(), 0555);
        fs::create_directory(dir / "folder.png");
        WriteText(dir / "kept.png", "an earlier render");
        ::chmod((dir / "kept.png").c_str(), 0444);
        WriteImage(dir / "wide.png", MakeImage(30001, 1, BitDepth::k8));
        ::mkfifo((dir / "pipe.png").c_str(), 0644);
        fs::create_symlink("pipe.png", dir / "link.png");
        if (!c.scene.empty()) WriteText(dir / "s.json", c.scene);
        const auto before = dir.Entries();
        const Result r = RunProgram(dir, c.args);
        EXPECT_EQ(r.status, 2) << c.expected << "\n" << r.err;
        EXPECT_EQ(r.err.rfind("lumeshade-render: error: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.expected), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(dir.Entries(), before) << c.expected;
        EXPECT_TRUE(fs::is_empty(dir / "locked"));
    }
}

// A sphere's normals, encoded as the effect reads them, and the same as a
// renderer's -1..1 pass with y down.
void WriteNormalPasses(const TempDir& dir) {
    MapParams sphere;
    sphere.width = sphere.height = 40;
    const Image encoded = GenerateMap(sphere);
    Image raw = encoded;
    for (std::size_t i = 0; i < raw.rgba.size(); i += 4) {
        for (int c = 0; c < 3; ++c) raw.rgba[i + c] = raw.rgba[i + c] * 2 - 1;
        raw.rgba[i + 1] = -raw.rgba[i + 1];
    }
    WriteImage(dir / "encoded.exr", encoded);
    WriteImage(dir / "raw.exr", raw);
}

TEST(ProgramTest, ASceneFromTheCommandLinePrintsAsAFileThatRendersTheSameBytes) {
    TempDir dir;
    WriteNormalPasses(dir);
    const std::vector<std::string> options = {
        "--input",  "encoded.exr",
        "--layer",  R"(m={"generate": "matcap", "width": 32})",
        "--light",  R"({"type": "spot", "position": [5, 8, -30], "color": "#ffcc88"})",
        "--light",  R"({"position": {"keys": [[0, [30, 30, -20]], [2, [0, 0, -20]]]}})",
        "--set",    "matcap_enable=true",
        "--set",    "matcap_map=m",
        "--frames", "1",
        "--depth",  "16"};
    std::vector<std::string> render = options;
    render.insert(render.end(), {"-o", "direct.tif", "--quiet"});
    const Result direct = RunProgram(dir, render);
    ASSERT_EQ(direct.status, 0) << direct.err;
    std::vector<std::string> print = options;
    print.push_back("--print-scene");
    const Result printed = RunProgram(dir, print);
    ASSERT_EQ(printed.status, 0) << printed.err;
    const Json scene = Json::parse(printed.out);
    EXPECT_EQ(scene["input"], "encoded.exr");
    EXPECT_EQ(scene["lights"][1]["name"], "Light 2");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"direct.tif", "encoded.exr", "raw.exr"}))
        << "printing renders nothing";
    WriteText(dir / "saved.json", printed.out);
    const Result saved = RunProgram(dir, {"saved.json", "-o", "saved.tif", "--quiet"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    const Image a = ReadImage(dir / "direct.tif", BitDepth::k16, {"test", ""});
    const Image b = ReadImage(dir / "saved.tif", BitDepth::k16, {"test", ""});
    EXPECT_TRUE(a.rgba == b.rgba) << "the saved scene renders other pixels";
}

TEST(ProgramTest, ASignedNormalPassRendersAsItsEncodedTwinAndWarnsWithoutItsConversion) {
    TempDir dir;
    WriteNormalPasses(dir);
    const auto probe = [&](const std::string& layer, Result* result = nullptr) {
        WriteText(dir / "s.json", R"({"layers": {"n": )" + layer + R"(}, "lights": [
            {"position": [4, 4, -30]}, {"type": "parallel", "position": [40, 20, -5]}]})");
        const Result r = RunProgram(
            dir, {"s.json", "-o", "x.exr", "--probe", "12,9", "--probe", "30,25", "--quiet"});
        EXPECT_EQ(r.status, 0) << r.err;
        if (result != nullptr) *result = r;
        std::vector<Json> probes;
        for (const std::string& line : r.Lines()) probes.push_back(Json::parse(line));
        return probes;
    };
    const auto encoded = probe(R"("encoded.exr")");
    Result converted, plain;
    const auto fromRaw =
        probe(R"({"path": "raw.exr", "normals": "signed", "flip_y": true})", &converted);
    ASSERT_EQ(fromRaw.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        for (const char* c : {"r", "g", "b", "a"}) {
            EXPECT_NEAR(fromRaw[i][c].get<double>(), encoded[i][c].get<double>(), 1e-5) << c;
        }
    }
    EXPECT_EQ(converted.err, "") << "a converted pass raises no doubt";
    probe(R"("raw.exr")", &plain);
    EXPECT_EQ(plain.err,
              "lumeshade-render: warning: s.json: layers.n: the normal map \"raw.exr\" has many "
              "negative values (75% of its pixels): the effect reads normals encoded as (n + 1) / "
              "2; a -1..1 pass needs \"normals\": \"signed\"\n");
}

TEST(ProgramTest, TheHelpListsTheOptionsOfTheDocumentationWithTheirDefaults) {
    TempDir dir;
    const Result help = RunProgram(dir, {"--help"});
    ASSERT_EQ(help.status, 0);
    std::ifstream in(std::string(LUMESHADE_SOURCE_DIR) + "/docs/renderer.md");
    std::vector<std::string> documented;
    for (std::string line; std::getline(in, line);) {
        // Rows of the options table: | `-o, --output PATH` | meaning |
        if (line.rfind("| `-", 0) != 0) continue;
        std::string option = line.substr(3, line.find('`', 3) - 3);
        std::erase(option, '\\');  // "8\|16" in a table cell
        if (const std::size_t comma = option.find(", "); comma != std::string::npos) {
            option.erase(comma + 1, 1);  // the help writes "-o,--output"
        }
        documented.push_back(option);
    }
    std::vector<std::string> shown;
    for (const std::string& line : help.Lines()) {
        if (line.rfind("  -", 0) != 0) continue;
        std::string option = line.substr(2, line.find("  ", 2) - 2);
        shown.push_back(option);
    }
    EXPECT_EQ(shown, documented);
    for (const char* text : {"one KEY=VALUE per --set", ".tiff", "(default 1)", "(default high)",
                             "(default: the scene's, else float)"}) {
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
    }
}

TEST(ProgramTest, AFailingModuleIsReportedWithStatusOneAndItsErrorCode) {
    TempDir dir;
    WriteText(dir / "s.json", kSmallScene);
    const Result render =
        RunProgram(dir, {"s.json", "--module", LUMESHADE_FAILING_RENDER_MODULE, "--quiet"});
    EXPECT_EQ(render.status, 1);
    EXPECT_EQ(render.err,
              "lumeshade-render: error: frame 0: the module's render failed with error 4 (out of "
              "memory): No pixels today.\n");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"s.json"})) << "nothing written";

    const Result mismatch =
        RunProgram(dir, {"s.json", "--module", LUMESHADE_NO_CONTROLS_MODULE, "--list-controls"});
    EXPECT_EQ(mismatch.status, 1);
    EXPECT_NE(mismatch.err.find("the module registered 0 controls where 142 were expected"),
              std::string::npos)
        << mismatch.err;
    EXPECT_EQ(mismatch.out, "");
}

TEST(ProgramTest, WithoutASceneItRendersTheDemo) {
    TempDir dir;
    const Result r = RunProgram(dir, {"--quiet", "--probe", "256,256", "--probe", "2,2"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Image demo = ReadImage(dir / "demo.png", BitDepth::kFloat, {"test", ""});
    EXPECT_EQ(demo.width, 512);
    EXPECT_EQ(demo.height, 512);
    const float* centre = demo.Pixel(256, 256);
    EXPECT_EQ(centre[3], 1.0f);
    EXPECT_GT(centre[0] + centre[1] + centre[2], 0.3f) << "the demo's lights reach the centre";
    EXPECT_EQ(demo.Pixel(2, 2)[3], 1.0f) << "the sphere stands on a lit wall";
    EXPECT_EQ(r.Lines().size(), 2u);
}

// Every scene under examples/ renders, at a size of about 128 pixels a
// side, every one of its frames into a file of the right size whose pixels
// have sane ranges and the checksum --hash prints.
class ExampleTest : public ::testing::TestWithParam<std::string> {};

std::vector<std::string> ExampleScenes() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::path(LUMESHADE_SOURCE_DIR) / "examples")) {
        if (entry.path().extension() == ".json") names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST_P(ExampleTest, RendersEveryFrameWithSaneChannels) {
    const fs::path scene = fs::path(LUMESHADE_SOURCE_DIR) / "examples" / (GetParam() + ".json");
    const Json json = Json::parse(testing::ReadText(scene));
    const int width = json.at("width"), height = json.at("height");
    const Json named = json.value("depth", Json("float"));
    const BitDepth depth =
        ParseBitDepth(named.is_string() ? named.get<std::string>() : named.dump()).value();
    const Json frames = json.value("frames", Json::object());
    const int start = frames.value("start", 0), end = frames.value("end", start);
    const int factor = (std::max(width, height) + 127) / 128;

    TempDir dir;
    const Result r = RunProgram(dir, {scene.string(), "-o", "f_####.exr", "--downsample",
                                      std::to_string(factor), "--hash", "--stats", "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = r.Lines();
    ASSERT_EQ(lines.size(), std::size_t(2 * (end - start + 1))) << r.out;
    for (int frame = start; frame <= end; ++frame) {
        char file[16];
        std::snprintf(file, sizeof file, "f_%04d.exr", frame);
        const Image written = ReadImage(dir / file, depth, {"test", ""});
        EXPECT_EQ(written.width, (width + factor - 1) / factor) << file;
        EXPECT_EQ(written.height, (height + factor - 1) / factor) << file;

        const Json hash = Json::parse(lines[std::size_t(2 * (frame - start))]);
        EXPECT_EQ(hash["frame"], frame);
        EXPECT_EQ(hash["file"], file);
        char sum[17];
        std::snprintf(sum, sizeof sum, "%016llx",
                      static_cast<unsigned long long>(PixelChecksum(ToWorld(written))));
        EXPECT_EQ(hash["fnv1a64"], sum) << "the sum of the pixels in " << file;

        const Json stats = Json::parse(lines[std::size_t(2 * (frame - start) + 1)]);
        EXPECT_EQ(stats["frame"], frame);
        for (const char* c : {"a", "r", "g", "b"}) {
            const Json& s = stats.at(c);
            ASSERT_TRUE(s["min"].is_number() && s["max"].is_number() && s["mean"].is_number())
                << "finite: " << stats;
            // Extremes print as floats, the mean as a double.
            const double min = s["min"].get<float>(), max = s["max"].get<float>();
            EXPECT_GE(min, 0) << stats;
            EXPECT_LE(min, s["mean"].get<double>()) << stats;
            EXPECT_LE(s["mean"].get<double>(), max) << stats;
            if (depth != BitDepth::kFloat) {
                EXPECT_LE(max, ChannelMax(depth)) << stats;
            }
        }
        EXPECT_GT(stats["a"]["max"].get<double>(), 0) << "something covers the frame";
        EXPECT_GT(stats["r"]["max"].get<double>() + stats["g"]["max"].get<double>() +
                      stats["b"]["max"].get<double>(),
                  0)
            << "the frame is not black";
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleTest, ::testing::ValuesIn(ExampleScenes()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace lumeshade::tools
