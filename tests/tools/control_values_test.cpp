// Control values against the controls the module registers: user units to
// host records, the ranges and choices that are refused, keys handed to the
// host, and the
// check of the registration against the program's table.
#include "tools/control_values.h"

#include <gtest/gtest.h>

#include "common/convert.h"
#include "host/host.h"
#include "params/choices.h"
#include "params/param_ids.h"
#include "shell/entry.h"
#include "tool_test_support.h"
#include "tools/control_driver.h"
#include "tools/scene.h"

namespace lumeshade::tools {
namespace {

using testing::FailsWith;
using testing::RegisteredSchema;

const ControlInfo& Info(const std::string& key) {
    const ControlInfo* info = RegisteredSchema().Find(key);
    if (info == nullptr) throw std::invalid_argument("no control " + key);
    return *info;
}

// The host record the value of `json` for control `key` becomes.
PF_ParamDefUnion Stored(const std::string& key, const Json& json) {
    const ControlInfo& info = Info(key);
    PF_ParamDefUnion record = info.registered.u;
    StoreValue(info, ReadControlValue(info, json, {"scene.json", key}, {"normals", "env"}), record);
    return record;
}

TEST(ControlSchemaTest, KeysAndGroupsComeFromTheTableEverythingElseFromTheModule) {
    const ControlSchema& schema = RegisteredSchema();
    ASSERT_EQ(schema.Controls().size(), 142u);
    const ControlInfo& spread = Info("specular_spread");
    EXPECT_EQ(spread.index, PARAM_SPECULAR_SPREAD);
    EXPECT_EQ(spread.group, "Specular");
    EXPECT_EQ(spread.name, "Spread");
    EXPECT_EQ(spread.kind, ControlKind::kFixedSlider);
    EXPECT_DOUBLE_EQ(spread.validMax, 10.0);
    EXPECT_DOUBLE_EQ(spread.sliderMax, 1.0);
    EXPECT_EQ(Info("display").group, "");
    EXPECT_EQ(Info("specular_group").group, "") << "a group's marks lie outside it";
    EXPECT_EQ(Info("specular_group_end").name, "");
    EXPECT_EQ(Info("blend_amount").group, "Blend");
    EXPECT_EQ(Info("display").choices.size(), 19u);
    EXPECT_EQ(Info("display").choices[1], "-");
    int supervised = 0;
    for (const ControlInfo& info : schema.Controls()) supervised += info.Supervised();
    EXPECT_EQ(supervised, 13);
}

TEST(ControlSchemaTest, RefusesAModuleWhoseControlsDifferFromTheTable) {
    host::Host host(EntryPointFunc);
    ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
    const std::vector<PF_ParamDef> good = host.Registered();
    EXPECT_NO_THROW(ControlSchema::FromRegistration(good));

    std::vector<std::vector<PF_ParamDef>> bad(4, good);
    bad[0].pop_back();                                               // a control missing
    bad[1][PARAM_SPECULAR_SPREAD - 1].param_type = PF_Param_SLIDER;  // another type
    bad[2][PARAM_SPECULAR_SPREAD - 1].name[0] = 'X';                 // another name
    bad[3][PARAM_DISPLAY - 1].u.pd.num_choices = 18;                 // other choices
    for (const auto& registered : bad) {
        EXPECT_THROW(ControlSchema::FromRegistration(registered), ModuleMismatch);
    }
}

TEST(ControlValuesTest, UserUnitsBecomeTheHostsRecords) {
    EXPECT_EQ(Stored("specular_spread", 0.7).fd.value, TruncToInt(0.7 * 65536));
    // 0.4 registers as 26214 with its fraction dropped; the same value in a
    // scene gives the same record.
    EXPECT_EQ(Stored("incidence_falloff", 0.4).fd.value, 26214);
    EXPECT_EQ(Stored("incidence_falloff", 0.4).fd.value,
              Info("incidence_falloff").registered.u.fd.dephault);
    EXPECT_EQ(Stored("depth_multiplier", 100).fd.value, 100 * 65536) << "the bound itself is valid";
    EXPECT_EQ(Stored("matcap_blur", 3).sd.value, 3);
    EXPECT_EQ(Stored("rim_light_angle", -45.5).ad.value, -45 * 65536 - 32768);
    EXPECT_EQ(Stored("specular_enable", true).bd.value, 1);
    EXPECT_EQ(Stored("shading_enable", false).bd.value, 0);

    const PF_Pixel hex = Stored("shading_color", "#Ff8001").cd.value;
    EXPECT_EQ((std::array<int, 4>{hex.alpha, hex.red, hex.green, hex.blue}),
              (std::array<int, 4>{255, 255, 128, 1}));
    const PF_Pixel bytes = Stored("toon_color", Json::array({10, 20, 30})).cd.value;
    EXPECT_EQ((std::array<int, 3>{bytes.red, bytes.green, bytes.blue}),
              (std::array<int, 3>{10, 20, 30}));

    const PF_PointDef point = Stored("bump_offset", Json::array({-2.5, 3})).td;
    EXPECT_EQ(point.x_value, -163840);
    EXPECT_EQ(point.y_value, 3 * 65536);

    EXPECT_EQ(Stored("display", "All").pd.value, DISPLAY_CHOICE_ALL);
    EXPECT_EQ(Stored("display", 7).pd.value, DISPLAY_CHOICE_DIFFUSE);
    EXPECT_EQ(Stored("specular_blend", "Multiply").pd.value, BLEND_MULTIPLY);
    EXPECT_EQ(Stored("specular_blend", "color dodge").pd.value, BLEND_COLOR_DODGE)
        << "case does not matter";
    EXPECT_EQ(Stored("lights_render", "Light *").pd.value, LIGHTS_RENDER_ANY_LIGHT);
}

TEST(ControlValuesTest, ValuesTheControlRefusesNameItsRange) {
    struct Bad {
        std::string key;
        Json value;
        std::string expected;
    };
    const Bad cases[] = {
        {"specular_spread", 12, "expected a number from 0 to 10, got 12"},
        {"specular_spread", -0.1, "from 0 to 10, got -0.1"},
        {"specular_spread", "0.5", "a number from 0 to 10, got \"0.5\""},
        {"reflection_index_of_refraction", 51, "from -50 to 50"},
        {"refraction_index_of_refraction", -10.5, "from -10 to 10"},
        {"bump_intensity", 1.5, "from -1 to 1, got 1.5"},
        {"matcap_blur", 2.5, "a whole number from 0 to 20, got 2.5"},
        {"refraction_blur", 51, "a whole number from 0 to 50"},
        {"rim_light_angle", 1e6, "a number of degrees from -32767 to 32767"},
        {"specular_enable", "yes", "expected true or false, got \"yes\""},
        {"specular_enable", 1, "expected true or false, got 1"},
        {"shading_color", Json::array({256, 0, 0}),
         "shading_color[0]: expected a whole number "
         "from 0 to 255, got 256"},
        {"shading_color", "#12345", "[r, g, b] with whole numbers from 0 to 255, or \"#rrggbb\""},
        {"shading_color", "#12345g", "or \"#rrggbb\""},
        {"shading_color", "#-1ff00", "or \"#rrggbb\""},
        // A light's 0..1 colour given to a colour control.
        {"shading_color", Json::parse("[1, 0.5, 0]"),
         "shading_color[1]: expected a whole number from 0 to 255, got 0.5: colour controls are "
         "0..255 bytes; did you mean [255, 128, 0]?"},
        {"matcap_offset", Json::array({1}), "[x, y] with numbers"},
        {"matcap_offset", Json::array({1, 40000}),
         "matcap_offset[1]: expected a number from "
         "-32767 to 32767"},
        {"display", 2, "choice 2 is a separator"},
        {"display", 20, "or a choice number from 1 to 19, got 20"},
        {"display", "Allx", "(did you mean \"All\"?)"},
        {"specular_blend", "Multiplyy", "expected one of \"Normal\", \"Average\""},
        {"specular_blend", true, "a choice number from 1 to 30"},
        {"matcap_map", "normls", "expected null or a layer of the scene (\"normals\", \"env\")"},
        {"matcap_map", "normls", "(did you mean \"normals\"?)"},
        {"matcap_map", 3, "null or a layer"},
        {"specular_group", 1, "is a group mark and takes no value"},
    };
    for (const Bad& c : cases) {
        const ControlInfo& info = Info(c.key);
        EXPECT_TRUE(FailsWith(
            [&] {
                ReadControlValue(info, c.value, {"scene.json", c.key}, {"normals", "env"});
            },
            {"scene.json: " + c.key, c.expected}))
            << c.key << " = " << c.value.dump();
    }
}

TEST(ControlValuesTest, ScenesAreCheckedAgainstTheModulesControls) {
    const auto resolve = [](const std::string& controls) {
        const Scene scene = ParseScene(
            R"({"layers": {"normals": {"generate": "sphere"}}, "controls": )" + controls + "}",
            "scene.json", ".");
        return ResolveControls(scene, RegisteredSchema());
    };
    EXPECT_TRUE(FailsWith([&] { resolve(R"({"specular_sprad": 1})"); },
                          {"scene.json: controls.specular_sprad: unknown control (did you mean "
                           "\"specular_spread\"?)"}));
    EXPECT_TRUE(FailsWith([&] { resolve(R"({"toon_amount": {"keys": [[0, 1], [5, 11]]}})"); },
                          {"controls.toon_amount.keys[1][1]: expected a number from 0 to 10"}));
    EXPECT_TRUE(
        FailsWith([&] { resolve(R"({"normal_map": "normal"})"); }, {"did you mean \"normals\""}));
    const auto tracks = resolve(R"({"normal_map": "normals", "display": "Diffuse"})");
    ASSERT_EQ(tracks.size(), 2u);

    // Colours from 0 to 1 are taken as the bytes they are, with a warning
    // once per control; black and real bytes pass without one.
    const Scene scene = ParseScene(R"({"layers": {"n": {"generate": "sphere"}}, "controls": {
        "rim_light_color": {"keys": [[0, [1, 1, 1]], [5, [0, 1, 0]]]},
        "shading_color": [0, 0, 0], "toon_color": [1, 2, 255]}})",
                                   "scene.json", "");
    std::vector<std::string> warnings;
    const auto colours = ResolveControls(scene, RegisteredSchema(), &warnings);
    EXPECT_EQ(std::get<ColorValue>(colours[0].track.Held(0)).rgb, (std::array<double, 3>{1, 1, 1}));
    EXPECT_EQ(warnings, (std::vector<std::string>{
                            "scene.json: controls.rim_light_color.keys[0][1]: colour controls are "
                            "0..255 bytes; did you mean [255, 255, 255]?"}));
    EXPECT_EQ(tracks[0].info->index, PARAM_NORMAL_MAP);
    EXPECT_EQ(std::get<LayerValue>(tracks[0].track.Held(0)).layer, "normals");
}

// Control `key` set to `json` in a scene with the layers "a" and "b".
ControlTrack Setting(const std::string& key, const char* json) {
    const ControlInfo& info = Info(key);
    return ControlTrack{
        &info, ReadTrack<ControlValue>(Json::parse(json), {"scene.json", key},
                                       [&](const Json& v, const Location& at) {
                                           return ReadControlValue(info, v, at, {"a", "b"});
                                       })};
}

// A scene's keys reach the host as they are written; the host moves numbers
// and colours linearly between them and holds switches, choices and layers.
TEST(ControlValuesTest, KeyedControlsReachTheHostWhichMovesOrHoldsThem) {
    const std::vector<ControlTrack> tracks = {
        Setting("specular_spread", R"({"keys": [[0, 0.25], [10, 0.75]]})"),
        Setting("matcap_blur", R"({"keys": [[0, 0], [2, 3]]})"),
        Setting("toon_color", R"({"keys": [[0, [0, 100, 255]], [4, "#ff0000"]]})"),
        Setting("specular_blend", R"({"keys": [[0, "Add"], [5, "Multiply"]]})"),
        Setting("toon_enable", R"({"keys": [[0, true], [3, false]]})"),
        Setting("matcap_map", R"({"keys": [[0, "a"], [2, null], [4, "b"]]})")};
    // Made after the schema, whose own host must be gone first.
    host::Host host(EntryPointFunc);
    ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
    host.Comp().layers.resize(2);  // footage layers "a" and "b"
    CompositionLayout layout;
    layout.footage = {{"a", 0}, {"b", 1}};
    HandControls(host, tracks, layout);
    const auto at = [&host](const std::string& key, double frame) {
        return host.ParamAt(Info(key).index, frame).u;
    };
    EXPECT_EQ(at("specular_spread", -3).fd.value, 16384);
    EXPECT_EQ(at("specular_spread", 5).fd.value, 32768);
    EXPECT_EQ(at("specular_spread", 12).fd.value, 49152);
    EXPECT_EQ(at("matcap_blur", 1).sd.value, 2) << "1.5, rounded";
    const PF_Pixel colour = at("toon_color", 1).cd.value;
    EXPECT_EQ((std::array<int, 3>{colour.red, colour.green, colour.blue}),
              (std::array<int, 3>{64, 75, 191}));
    EXPECT_EQ(at("specular_blend", 4.9).pd.value, BLEND_ADD);
    EXPECT_EQ(at("specular_blend", 5).pd.value, BLEND_MULTIPLY);
    EXPECT_EQ(at("toon_enable", 2.9).bd.value, 1);
    EXPECT_EQ(at("toon_enable", 3).bd.value, 0);
    EXPECT_EQ(at("matcap_map", 3).ld.reserved0, nullptr);
    EXPECT_EQ(at("matcap_map", 4).ld.reserved0, reinterpret_cast<void*>(2)) << "layer id 2: \"b\"";
}

// The module hears of a supervised control at the frames where its value
// changes (the first frame included, where it leaves its default), and the
// host is not called at the others.
TEST(ControlValuesTest, TheModuleIsToldOfASupervisedControlOnlyWhenItChanges) {
    const std::vector<ControlTrack> tracks = {
        Setting("toon_enable", R"({"keys": [[0, true], [3, false], [5, false]]})"),
        Setting("specular_enable", "true"),
        Setting("specular_spread", R"({"keys": [[0, 0], [9, 1]]})")};
    host::Host host(EntryPointFunc);
    ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
    ControlDriver driver(host, tracks);
    HandControls(host, tracks, {});
    host.EnableCallLog(true);
    std::vector<bool> told;
    for (int frame = 0; frame < 7; ++frame) {
        const std::size_t before = host.CallLog().size();
        host.SetTime(frame / 24.0);
        driver.Apply(host, frame);
        told.push_back(host.CallLog().size() > before);
    }
    EXPECT_EQ(told, (std::vector<bool>{true, false, false, true, false, false, false}));
}

TEST(ControlValuesTest, EveryListedDefaultIsAValidSceneValueThatRegistersAsTheDefault) {
    for (const ControlInfo& info : RegisteredSchema().Controls()) {
        if (info.kind == ControlKind::kGroupStart || info.kind == ControlKind::kGroupEnd) continue;
        SCOPED_TRACE(info.key);
        const Json listed = ValueToJson(info, RegisteredDefault(info));
        PF_ParamDefUnion fromScene = info.registered.u;
        StoreValue(info, ReadControlValue(info, listed, {"listing", info.key}, {}), fromScene);
        EXPECT_EQ(ValueToJson(info, ReadControlValue(info, listed, {"listing", info.key}, {})),
                  listed);
        switch (info.kind) {
            case ControlKind::kFixedSlider:
                EXPECT_EQ(fromScene.fd.value, info.registered.u.fd.dephault);
                break;
            case ControlKind::kSlider:
                EXPECT_EQ(fromScene.sd.value, info.registered.u.sd.dephault);
                break;
            case ControlKind::kPopup:
                EXPECT_EQ(fromScene.pd.value, info.registered.u.pd.dephault);
                break;
            case ControlKind::kColor:
                EXPECT_EQ(fromScene.cd.value.green, info.registered.u.cd.dephault.green);
                break;
            default:
                break;
        }
    }
}

}  // namespace
}  // namespace lumeshade::tools
