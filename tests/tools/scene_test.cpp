// Reading scenes: what a valid scene turns into, and the message each kind
// of bad scene gets (the file, the key, what was expected).
#include "tools/scene.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tool_test_support.h"
#include "tools/demo_scene.h"
#include "tools/scene_json.h"

namespace lumeshade::tools {
namespace {

using testing::FailsWith;
using testing::TempDir;

Scene Parse(const std::string& text) { return ParseScene(text, "scene.json", "/scenes"); }

TEST(SceneTest, ReadsEveryPartOfAScene) {
    const Scene scene = Parse(R"({
        "width": 320, "height": 200, "depth": 16, "frames": {"start": 2, "end": 11}, "fps": 30,
        "layers": {
            "photo": "images/photo.png",
            "ring": {"generate": "torus", "width": 64, "ring_radius": 0.5, "tube_radius": 0.2},
            "tiles": {"generate": "checker", "square_size": 8, "color1": [1, 0, 0]},
            "pass": {"path": "pass.exr", "normals": "signed", "flip_y": true}
        },
        "input": "ring",
        "controls": {"specular_enable": true, "display": "Specular"},
        "camera": {"position": {"keys": [[2, [0, 0, -100]], [11, [0, 0, -400]]]}},
        "lights": [
            {"name": "Key", "type": "spot", "on": false,
             "intensity": {"keys": [[2, 50], [4, 150]]}, "color": "#ff8000"},
            {"type": "ambient", "color": [0.5, 0.25, 1]}
        ]
    })");
    EXPECT_EQ(scene.width, 320);
    EXPECT_EQ(scene.height, 200);
    EXPECT_EQ(scene.depth, BitDepth::k16);
    ASSERT_TRUE(scene.frames);
    EXPECT_EQ(scene.frames->Count(), 10);
    EXPECT_DOUBLE_EQ(scene.fps, 30.0);

    ASSERT_EQ(scene.layers.size(), 4u);
    EXPECT_EQ(scene.layers[0].path, std::filesystem::path("/scenes/images/photo.png"));
    EXPECT_EQ(scene.layers[0].given, "images/photo.png");
    EXPECT_EQ(scene.layers[0].conversion, PassConversion{});
    EXPECT_FALSE(scene.layers[0].generate);
    EXPECT_EQ(scene.layers[3].path, std::filesystem::path("/scenes/pass.exr"));
    EXPECT_EQ(scene.layers[3].conversion, (PassConversion{true, true}));
    const LayerSource& ring = scene.layers[1];
    ASSERT_TRUE(ring.generate);
    EXPECT_EQ(ring.generate->kind, MapKind::kTorus);
    EXPECT_EQ(ring.width, 64);
    EXPECT_FALSE(ring.height) << "a missing side comes from the scene later";
    EXPECT_DOUBLE_EQ(ring.generate->tubeRadius, 0.2);
    EXPECT_EQ(scene.layers[2].generate->squareSize, 8);
    EXPECT_EQ(scene.layers[2].generate->color1, (Rgb{1, 0, 0}));
    EXPECT_EQ(scene.input, "ring");

    // Controls keep the file's order and are checked against the module later.
    ASSERT_EQ(scene.controls.size(), 2u);
    EXPECT_EQ(scene.controls[0].key, "specular_enable");
    EXPECT_EQ(scene.controls[1].value, "Specular");
    EXPECT_EQ(scene.controls[1].where.Describe(), "scene.json: controls.display");

    ASSERT_TRUE(scene.camera);
    EXPECT_EQ(scene.camera->position.At(6.5), (Vec3{0, 0, -250}));
    ASSERT_EQ(scene.lights.size(), 2u);
    EXPECT_EQ(scene.lights[0].type, LightKind::kSpot);
    EXPECT_FALSE(scene.lights[0].on.Held(5));
    EXPECT_DOUBLE_EQ(scene.lights[0].intensity.At(3), 100.0);
    EXPECT_EQ(scene.lights[0].color.At(0), (Vec3{1, 128 / 255.0, 0}));
    EXPECT_EQ(scene.lights[1].name, "Light 2") << "unnamed lights are named by their place";
    EXPECT_TRUE(scene.lights[1].on.Held(0));
    EXPECT_EQ(scene.lights[1].color.At(0), (Vec3{0.5, 0.25, 1}));
    EXPECT_FALSE(scene.lights[1].position) << "placed over the layer once its size is known";
}

TEST(SceneTest, ASingleLayerIsTheInputAndANullCameraIsNone) {
    const Scene scene = Parse(R"({"layers": {"n": {"generate": "sphere"}}, "camera": null})");
    EXPECT_EQ(scene.input, "n");
    EXPECT_FALSE(scene.camera);
    EXPECT_FALSE(scene.frames);
    EXPECT_FALSE(scene.depth);
}

struct BadScene {
    std::string text;
    std::vector<std::string> message;
};

TEST(SceneTest, BadScenesNameTheKeyAndWhatWasExpected) {
    // A scene with one layer and `rest` after it.
    const auto lit = [](const std::string& rest) {
        return R"({"layers": {"normals": {"generate": "sphere"}})" + rest;
    };
    const BadScene cases[] = {
        {R"({"widht": 10})", {"scene.json: widht: unknown key (did you mean \"width\"?)"}},
        // Every message is one line, whatever a key holds.
        {R"({"wid\nth\u0001": 10})", {"scene.json: wid\\nth\\x01: unknown key"}},
        {R"({"width": "big"})", {"width: expected a whole number from 1 to 30000, got \"big\""}},
        {R"({"width": 40000})", {"width: expected a whole number from 1 to 30000, got 40000"}},
        {R"({"width": 12.5})", {"width: expected a whole number"}},
        {R"({"width": 30000, "height": 30000})", {"too large", "67108864 pixels in one image"}},
        {R"({"depth": 12})", {"depth: expected 8, 16 or \"float\", got 12"}},
        {R"({"frames": {"start": 5, "end": 2}})", {"frames.end: expected a whole number from 5"}},
        {R"({"frames": {"first": 0}})", {"frames.first: unknown key"}},
        {R"({"fps": 0})", {"fps: expected a number from 0.001 to 1000, got 0"}},
        {R"({"fps": 0.0001})", {"fps: expected a number from 0.001 to 1000, got 0.0001"}},
        {R"({"width": 5,, })", {"scene.json: malformed JSON at line 1, column 13"}},
        {"{\n  \"width\": 1,\n  \"width\": 2\n}", {"\"width\" appears twice"}},
        {"[1, 2]", {"scene.json: expected an object, got an array of 2"}},
        {R"({"layers": {"n": {"generate": "sphear"}}})",
         {"layers.n.generate: expected one of sphere, torus", "(did you mean \"sphere\"?)"}},
        {R"({"layers": {"n": {"generate": "sphere", "radius": 2}}})",
         {"layers.n.radius: expected a number from 0 to 1, got 2"}},
        {R"({"layers": {"n": {"generate": "sphere", "ring_radius": 0.5}}})",
         {"layers.n.ring_radius: unknown key"}},
        {R"({"layers": {"n": {"generate": "torus", "ring_radius": 0.3, "tube_radius": 0.4}}})",
         {"layers.n.tube_radius: expected a tube radius below the ring radius 0.3"}},
        {R"({"layers": {"n": {"generate": "checker", "colour1": [1, 1, 1]}}})",
         {"layers.n.colour1: unknown key (did you mean \"color1\"?)"}},
        {R"({"layers": {"n": {"generate": "matcap", "color": [1, 1.5, 0]}}})",
         {"layers.n.color[1]: expected a number from 0 to 1, got 1.5"}},
        {R"({"layers": {"n": 5}})",
         {"layers.n: expected an image path, {\"path\": PATH, ...} or {\"generate\""}},
        {R"({"layers": {"n": {"path": ""}}})", {"layers.n.path: expected an image path, got \"\""}},
        {R"({"layers": {"n": {"path": "n.exr", "normals": "signd"}}})",
         {"layers.n.normals: expected \"encoded\"", "(did you mean \"signed\"?)"}},
        {R"({"layers": {"n": {"path": "n.exr", "flip_y": 1}}})",
         {"layers.n.flip_y: expected true or false, got 1"}},
        {R"({"layers": {"n": {"path": "n.exr", "generate": "uv"}}})",
         {"layers.n.generate: unknown key"}},
        {R"({"layers": {"a": "a.png", "b": "b.png"}})", {"input: missing"}},
        {R"({"layers": {"normals": "n.png"}, "input": "normls"})",
         {"input: expected a layer name (normals) or an image file", "did you mean \"normals\""}},
        {lit(R"(, "controls": [1]})"), {"controls: expected an object of control settings"}},
        {lit(R"(, "lights": {}})"), {"lights: expected an array"}},
        {lit(R"(, "lights": [{"type": "spto"}]})"),
         {"lights[0].type: expected \"ambient\", \"point\", \"parallel\" or \"spot\", got \"spto\"",
          "(did you mean \"spot\"?)"}},
        {lit(R"(, "lights": [{}, {"colour": [1, 1, 1]}]})"),
         {"lights[1].colour: unknown key (did you mean \"color\"?)"}},
        {lit(R"(, "lights": [{"color": [1, 2, 0]}]})"),
         {"lights[0].color[1]: expected a number from 0 to 1, got 2"}},
        {lit(R"(, "lights": [{"position": [1, 2]}]})"),
         {"lights[0].position: expected [x, y, z], got an array of 2"}},
        {lit(R"(, "lights": [{"color": "#ff80zz"}]})"),
         {"lights[0].color: expected [r, g, b] with each number from 0 to 1, or \"#rrggbb\""}},
        // Beyond single precision, which the composition holds them in.
        {lit(R"(, "lights": [{"position": [1e39, 0, 0]}]})"),
         {"lights[0].position[0]: expected a number from -3.4028234663852886e+38 to "
          "3.4028234663852886e+38 (finite in single precision), got 1e+39"}},
        {lit(R"(, "lights": [{"anchor": {"keys": [[0, [0, 0, 0]], [9, [0, -4e38, 0]]]}}]})"),
         {"lights[0].anchor.keys[1][1][1]: expected a number from -3.40"}},
        {lit(R"(, "lights": [{"intensity": 3.5e38}]})"),
         {"lights[0].intensity: expected a number from", "got 3.5e+38"}},
        {lit(R"(, "camera": {"position": [0, 0, -1e300]}})"),
         {"camera.position[2]: expected a number from"}},
        {lit(R"(, "lights": [{"cone_angle": 200}]})"),
         {"lights[0].cone_angle: expected a number from 0 to 180, got 200"}},
        {lit(R"(, "lights": [{"intensity": {"keys": [[5, 1], [3, 2]]}}]})"),
         {"lights[0].intensity.keys[1][0]: expected a frame after 5", "got 3"}},
        {lit(R"(, "lights": [{"intensity": {"key": []}}]})"),
         {"lights[0].intensity.key: unknown key (did you mean \"keys\"?)"}},
        {lit(R"(, "lights": [{"intensity": {"keys": []}}]})"),
         {"lights[0].intensity.keys: expected a non-empty array"}},
        {lit(R"(, "lights": [{"on": {"keys": [[0, 1]]}}]})"),
         {"lights[0].on.keys[0][1]: expected true or false, got 1"}},
        {lit(R"(, "camera": {}})"), {"camera: expected null or {\"position\": [x, y, z]}"}},
        {lit(R"(, "camera": {"position": [0, 0, 1e999]}})"),
         {"scene.json: malformed JSON: number overflow parsing '1e999'"}},
    };
    for (const BadScene& c : cases) {
        const std::string message = testing::ErrorOf([&] { Parse(c.text); });
        EXPECT_EQ(message.rfind("scene.json", 0), 0u) << c.text << "\n" << message;
        EXPECT_TRUE(FailsWith([&] { Parse(c.text); }, c.message)) << c.text;
    }
}

TEST(SceneTest, ValuesNestedWithoutBoundAreRefusedBeforeAnythingCopiesThem) {
    // `levels` arrays around a light's intensity: with the scene, the list of
    // lights and the light, three levels more.
    const auto nested = [](int levels) {
        return R"({"layers": {"n": {"generate": "sphere"}}, "lights": [{"intensity": )" +
               std::string(std::size_t(levels), '[') + "1" + std::string(std::size_t(levels), ']') +
               "}]}";
    };
    EXPECT_TRUE(FailsWith([&] { Parse(nested(61)); }, {"lights[0].intensity: expected"}));
    EXPECT_TRUE(FailsWith([&] { Parse(nested(62)); },
                          {"scene.json: values nested more than 64 arrays or objects deep"}));
    // Deep enough to overflow the stack of whatever copied it.
    EXPECT_TRUE(FailsWith([&] { Parse(nested(1000000)); }, {"nested more than 64"}));
    std::string deepObjects;
    for (int i = 0; i < 300000; ++i) deepObjects += R"({"a":)";
    deepObjects += "1" + std::string(300000, '}');
    EXPECT_TRUE(FailsWith([&] { Parse(deepObjects); }, {"nested more than 64"}));
}

TEST(SceneTest, SceneFilesThatCannotBeReadAreRefused) {
    TempDir dir;
    testing::WriteText(dir / "empty.json", "");
    std::filesystem::create_directory(dir / "folder.json");
    EXPECT_TRUE(FailsWith([&] { LoadScene(dir / "missing.json"); },
                          {"missing.json: the scene file does not exist"}));
    EXPECT_TRUE(FailsWith([&] { LoadScene(dir / "empty.json"); },
                          {"empty.json: malformed JSON at line 1, column 1"}));
    EXPECT_TRUE(FailsWith([&] { LoadScene(dir / "folder.json"); }, {"is a folder"}));
    for (const testing::SpecialFile& f : testing::MakeSpecialFiles(dir)) {
        EXPECT_TRUE(FailsWith([&] { LoadScene(f.path); },
                              {f.path.string() + ": the scene file " + f.refusal}));
    }
}

TEST(SceneTest, RelativeImagePathsStartInTheScenesFolder) {
    TempDir dir;
    std::filesystem::create_directory(dir / "maps");
    testing::WriteText(dir / "maps" / "n.png", "x");
    testing::WriteText(dir / "s.json", R"({"input": "maps/n.png"})");
    const Scene scene = LoadScene(dir / "s.json");
    ASSERT_EQ(scene.layers.size(), 1u);
    EXPECT_EQ(scene.layers[0].path, dir / "maps/n.png");
    EXPECT_EQ(scene.input, "maps/n.png") << "an input path becomes a layer of its own";
}

TEST(SceneTest, AWrittenSceneNamesItsImagesFromWhereItIsSaved) {
    // Reading it back gives the same scene: the fuzzer's seeds check that for
    // every example and test scene. Here: where the paths lead.
    const Scene scene = Parse(R"({"layers": {"a": "images/a.png", "b": "/maps/b.exr",
        "c": {"path": "../c.exr", "normals": "signed"}}, "input": "a"})");
    const auto paths = [&](const std::filesystem::path& folder) {
        const Json layers = SceneToJson(scene, folder)["layers"];
        return std::vector<Json>{layers["a"], layers["b"], layers["c"]["path"]};
    };
    EXPECT_EQ(paths("/scenes"), (std::vector<Json>{"images/a.png", "/maps/b.exr", "../c.exr"}));
    EXPECT_EQ(paths("/scenes/shots"),
              (std::vector<Json>{"../images/a.png", "/maps/b.exr", "../../c.exr"}));
    EXPECT_EQ(paths("/"), (std::vector<Json>{"scenes/images/a.png", "/maps/b.exr", "c.exr"}));
    EXPECT_EQ(SceneToJson(scene, "/scenes")["layers"]["c"]["normals"], "signed");
}

TEST(SceneTest, SettingsTakeJsonOrTextAndTheLastOneWins) {
    Scene scene = Parse(R"({"layers": {"n": {"generate": "sphere"}},
                            "controls": {"specular_spread": 0.2}})");
    ApplySetting(scene, "specular_spread=0.7");
    ApplySetting(scene, "display=All");
    ApplySetting(scene, "shading_color=#ff8000");
    ApplySetting(scene, "normal_map=null");
    ApplySetting(scene, R"(toon_amount={"keys": [[0, 0], [9, 1]]})");
    ASSERT_EQ(scene.controls.size(), 5u);
    EXPECT_EQ(scene.controls[0].key, "specular_spread");
    EXPECT_EQ(scene.controls[0].value, 0.7);
    EXPECT_EQ(scene.controls[0].where.Describe(), "--set: specular_spread");
    EXPECT_EQ(scene.controls[1].value, "All");
    EXPECT_EQ(scene.controls[2].value, "#ff8000");
    EXPECT_TRUE(scene.controls[3].value.is_null());
    EXPECT_TRUE(scene.controls[4].value.is_object());
    EXPECT_TRUE(FailsWith([&] { ApplySetting(scene, "=1"); }, {"--set: expected KEY=VALUE"}));
    EXPECT_TRUE(FailsWith([&] { ApplySetting(scene, "display"); }, {"expected KEY=VALUE"}));
    EXPECT_TRUE(FailsWith([&] { ApplySetting(scene, "display=\xff"); }, {"--set: expected UTF-8"}));
    EXPECT_TRUE(IsUtf8("a\u00e9\u20ac\U0001F600"));
    for (const char* bad : {"\xc0\x80", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xe2\x82"}) {
        EXPECT_FALSE(IsUtf8(bad)) << "overlong, surrogate, above U+10FFFF, cut short";
    }
}

TEST(SceneTest, FrameRangesOfTheCommandLine) {
    const Location where{"--frames", ""};
    EXPECT_EQ(ParseFrameRange("7", where).Count(), 1);
    const FrameRange range = ParseFrameRange("2-11", where);
    EXPECT_EQ(range.start, 2);
    EXPECT_EQ(range.end, 11);
    for (const char* bad : {"", "a", "-1", "1-", "3-2", "1-2-3", "1.5", "99999999999"}) {
        EXPECT_TRUE(FailsWith([&] { ParseFrameRange(bad, where); }, {"--frames: "})) << bad;
    }
}

TEST(SceneTest, TheBuiltInDemoIsTheExampleFile) {
    std::ifstream in(std::string(LUMESHADE_SOURCE_DIR) + "/examples/demo.json", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_EQ(kDemoSceneText, text.str());
    const Scene demo = DemoScene();
    EXPECT_FALSE(demo.lights.empty());
    EXPECT_TRUE(demo.FindLayer(demo.input)->generate) << "the demo needs no image file";
}

}  // namespace
}  // namespace lumeshade::tools
