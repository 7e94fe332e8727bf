// Registration of the 142 controls, seen from the host's side.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "host/host.h"
#include "params/choices.h"
#include "params/param_ids.h"
#include "shell/entry.h"

namespace lumeshade {
namespace {

using host::Host;

class ParamsSetupTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(host_.ParamsSetup(), PF_Err_NONE); }
    const PF_ParamDef& Def(ParamId index) { return host_.Registered().at(size_t(index) - 1); }
    static double Fixed(PF_Fixed v) { return v / 65536.0; }

    Host host_{EntryPointFunc};
};

TEST_F(ParamsSetupTest, RegistersAllControlsInOrderAndReportsTheirCount) {
    EXPECT_EQ(host_.Calls("add_param"), 142);
    EXPECT_EQ(host_.Registered().size(), 142u);
    EXPECT_EQ(host_.OutData().num_params, 143);
    std::set<A_long> ids;
    for (size_t i = 0; i < host_.Registered().size(); ++i) {
        EXPECT_EQ(host_.Registered()[i].uu.id, A_long(i)) << "persistent id of index " << i + 1;
        ids.insert(host_.Registered()[i].uu.id);
        EXPECT_EQ(host_.Registered()[i].ui_flags, 0);
        EXPECT_EQ(host_.Registered()[i].ui_width, 0);
    }
    EXPECT_EQ(ids.size(), 142u);
    EXPECT_EQ(Def(PARAM_MATCAP_AMOUNT).uu.id, 80);
    EXPECT_EQ(Def(PARAM_MATCAP_OFFSET).uu.id, 81);
    EXPECT_TRUE(host_.Violations().empty());
}

TEST_F(ParamsSetupTest, GroupsAreBracketedAndAllButShadingStartCollapsed) {
    int open = 0, groups = 0;
    for (const PF_ParamDef& def : host_.Registered()) {
        if (def.param_type == PF_Param_GROUP_START) {
            EXPECT_EQ(open, 0) << "no group nests in another: " << def.name;
            ++open, ++groups;
            const bool shading = std::string(def.name) == "Shading";
            EXPECT_EQ((def.flags & PF_ParamFlag_START_COLLAPSED) != 0, !shading) << def.name;
        } else if (def.param_type == PF_Param_GROUP_END) {
            EXPECT_EQ(open, 1);
            EXPECT_STREQ(def.name, "");
            --open;
        }
    }
    EXPECT_EQ(open, 0);
    EXPECT_EQ(groups, 15);
}

TEST_F(ParamsSetupTest, ExactlyTheThirteenSwitchesAreSupervised) {
    const std::set<ParamId> expected = {
        PARAM_DEPTH_MAP,         PARAM_LIGHTS_RENDER,     PARAM_SHADING_ENABLE,
        PARAM_SPECULAR_ENABLE,   PARAM_INCIDENCE_ENABLE,  PARAM_RIM_LIGHT_ENABLE,
        PARAM_TOON_ENABLE,       PARAM_GRADIENT_ENABLE,   PARAM_MATCAP_ENABLE,
        PARAM_REFLECTION_ENABLE, PARAM_REFRACTION_ENABLE, PARAM_TEXTURE_ENABLE,
        PARAM_BUMP_ENABLE};
    for (A_long i = 1; i < PARAM_COUNT; ++i) {
        const PF_ParamDef& def = Def(ParamId(i));
        EXPECT_EQ((def.flags & PF_ParamFlag_SUPERVISE) != 0, expected.count(ParamId(i)) == 1)
            << "index " << i << " \"" << def.name << "\"";
        EXPECT_EQ(def.flags & ~(PF_ParamFlag_SUPERVISE | PF_ParamFlag_START_COLLAPSED), 0);
    }
}

TEST_F(ParamsSetupTest, FreshEffectShowsShadingOnAndEverythingElseOff) {
    EXPECT_EQ(Def(PARAM_SHADING_ENABLE).u.bd.value, 1);
    for (ParamId sw :
         {PARAM_SPECULAR_ENABLE, PARAM_INCIDENCE_ENABLE, PARAM_RIM_LIGHT_ENABLE, PARAM_TOON_ENABLE,
          PARAM_GRADIENT_ENABLE, PARAM_MATCAP_ENABLE, PARAM_REFLECTION_ENABLE,
          PARAM_REFRACTION_ENABLE, PARAM_TEXTURE_ENABLE, PARAM_BUMP_ENABLE}) {
        EXPECT_EQ(Def(sw).u.bd.value, 0) << Def(sw).name;
        EXPECT_EQ(Def(sw).u.bd.dephault, 0);
    }
    EXPECT_EQ(Def(PARAM_DISPLAY).u.pd.value, DISPLAY_CHOICE_ALL);
    EXPECT_EQ(Def(PARAM_NORMALS_X_CHANNEL).u.pd.value, CHANNEL_RED);
    EXPECT_EQ(Def(PARAM_NORMALS_Y_CHANNEL).u.pd.value, CHANNEL_GREEN);
    EXPECT_EQ(Def(PARAM_NORMALS_Z_CHANNEL).u.pd.value, CHANNEL_BLUE);
    int layers = 0;
    for (const PF_ParamDef& def : host_.Registered()) {
        if (def.param_type != PF_Param_LAYER) continue;
        ++layers;
        EXPECT_EQ(def.u.ld.dephault, PF_LayerDefault_NONE) << def.name;
        EXPECT_EQ(def.u.ld.data, nullptr);
    }
    EXPECT_EQ(layers, 9);  // normal, alpha, depth and the six lookup maps
}

TEST_F(ParamsSetupTest, PopupsRegisterTheirListsWithMatchingCounts) {
    EXPECT_EQ(Def(PARAM_DISPLAY).u.pd.num_choices, 19);
    EXPECT_STREQ(Def(PARAM_DISPLAY).u.pd.u.namesptr,
                 "Off|-|Adjusted Normals|Original Normals|Depth|-|Diffuse|Specular|Incidence|"
                 "Rim|Toon|Gradient|Matcap|Reflection|Refraction|Texture|Bump|-|All");
    EXPECT_EQ(Def(PARAM_REFLECTION_ENVIRONMENT_MODE).u.pd.num_choices, 2);
    EXPECT_EQ(Def(PARAM_DEPTH_CHANNEL).u.pd.num_choices, 7);
    EXPECT_EQ(Def(PARAM_DEPTH_CHANNEL).u.pd.value, DEPTH_LUMINANCE);
    EXPECT_EQ(Def(PARAM_LIGHTS_RENDER).u.pd.num_choices, 8);
    int blendPopups = 0;
    for (const PF_ParamDef& def : host_.Registered()) {
        if (def.param_type != PF_Param_POPUP) continue;
        const std::string list = def.u.pd.u.namesptr;
        if (list.rfind("Normal|Average|", 0) == 0) {
            ++blendPopups;
            EXPECT_EQ(def.u.pd.num_choices, 30) << def.name;
            EXPECT_EQ(list.substr(list.size() - 18), "Luminosity|Phoenix") << def.name;
        }
        EXPECT_EQ(def.u.pd.value, def.u.pd.dephault) << def.name;
    }
    EXPECT_EQ(blendPopups, 11);  // ten "Blend" popups and "Transfer Mode"
    // The host checked every count against its list.
    EXPECT_TRUE(host_.Violations().empty());
}

TEST_F(ParamsSetupTest, FixedSlidersRegisterTruncatedSixteenSixteenValues) {
    const PF_FixedSliderDef& smoothing = Def(PARAM_TOON_SMOOTHING).u.fd;
    EXPECT_EQ(smoothing.value, 13107);
    EXPECT_EQ(smoothing.dephault, 13107);
    EXPECT_EQ(Def(PARAM_INCIDENCE_FALLOFF).u.fd.dephault, 26214);
    EXPECT_EQ(Def(PARAM_TOON_SHADOW_WIDTH).u.fd.dephault, 19660);
    EXPECT_EQ(Def(PARAM_TOON_HIGHLIGHT_WIDTH).u.fd.dephault, 45875);
    EXPECT_EQ(Def(PARAM_RIM_LIGHT_SIZE).u.fd.dephault, 52428);

    const PF_FixedSliderDef& reflIor = Def(PARAM_REFLECTION_INDEX_OF_REFRACTION).u.fd;
    EXPECT_EQ(Fixed(reflIor.valid_min), -50);
    EXPECT_EQ(Fixed(reflIor.valid_max), 50);
    EXPECT_EQ(Fixed(reflIor.slider_min), -3);
    EXPECT_EQ(Fixed(reflIor.slider_max), 3);
    EXPECT_EQ(reflIor.dephault, 0);
    const PF_FixedSliderDef& refrIor = Def(PARAM_REFRACTION_INDEX_OF_REFRACTION).u.fd;
    EXPECT_EQ(Fixed(refrIor.valid_min), -10);
    EXPECT_EQ(Fixed(refrIor.valid_max), 10);
    EXPECT_EQ(Fixed(refrIor.slider_max), 3);
    EXPECT_EQ(Fixed(refrIor.dephault), 1.5);

    const PF_FixedSliderDef& exposure = Def(PARAM_LIGHTS_EXPOSURE).u.fd;
    EXPECT_EQ(Fixed(exposure.valid_min), -16);
    EXPECT_EQ(Fixed(exposure.slider_max), 2);

    for (A_long i = 1; i < PARAM_COUNT; ++i) {
        const PF_ParamDef& def = Def(ParamId(i));
        if (def.param_type != PF_Param_FIX_SLIDER) continue;
        const bool twoDecimals =
            i == PARAM_TEXTURE_AMOUNT || i == PARAM_BUMP_INTENSITY || i == PARAM_BUMP_SCALE;
        EXPECT_EQ(def.u.fd.precision, twoDecimals ? 2 : 4) << "index " << i;
        EXPECT_EQ(def.u.fd.display_flags, 0);
        EXPECT_STREQ(def.u.fd.value_str, "");
        EXPECT_LE(def.u.fd.valid_min, def.u.fd.slider_min) << "index " << i;
        EXPECT_GE(def.u.fd.valid_max, def.u.fd.slider_max) << "index " << i;
        EXPECT_LE(def.u.fd.valid_min, def.u.fd.dephault) << "index " << i;
        EXPECT_GE(def.u.fd.valid_max, def.u.fd.dephault) << "index " << i;
    }
}

TEST_F(ParamsSetupTest, OtherTypesCarryTheirDefaults) {
    const PF_ParamDef& blur = Def(PARAM_REFRACTION_BLUR);
    EXPECT_EQ(blur.param_type, PF_Param_SLIDER);
    EXPECT_EQ(blur.u.sd.valid_max, 50);
    EXPECT_EQ(blur.u.sd.slider_max, 50);
    EXPECT_EQ(Def(PARAM_MATCAP_BLUR).u.sd.valid_max, 20);

    const PF_ColorDef& shadow = Def(PARAM_TOON_SHADOW_COLOR).u.cd;
    EXPECT_EQ(shadow.value.alpha, 255);
    EXPECT_EQ(shadow.value.red, 88);
    EXPECT_EQ(shadow.dephault.blue, 88);
    EXPECT_EQ(Def(PARAM_TOON_HIGHLIGHT_COLOR).u.cd.value.green, 172);
    EXPECT_EQ(Def(PARAM_SHADING_INCANDESCENCE).u.cd.value.red, 0);
    EXPECT_EQ(Def(PARAM_SHADING_INCANDESCENCE).u.cd.value.alpha, 255);

    EXPECT_EQ(Def(PARAM_RIM_LIGHT_ANGLE).param_type, PF_Param_ANGLE);
    EXPECT_EQ(Def(PARAM_RIM_LIGHT_ANGLE).u.ad.value, 0);
    EXPECT_EQ(Def(PARAM_TEXTURE_OFFSET).param_type, PF_Param_POINT);
    EXPECT_EQ(Def(PARAM_TEXTURE_OFFSET).u.td.restrict_bounds, 0);

    EXPECT_STREQ(Def(PARAM_LIGHTS_ENABLE_INVISIBLE_LIGHTS).u.bd.u.nameptr,
                 "Check if invisible lights should be used in calculations.");
    for (const PF_ParamDef& def : host_.Registered()) {
        if (def.param_type == PF_Param_CHECKBOX &&
            std::string(def.name) != "Enable invisible lights") {
            EXPECT_STREQ(def.u.bd.u.nameptr, "") << def.name;
        }
    }
}

TEST_F(ParamsSetupTest, NamesAsTheUserSeesThem) {
    EXPECT_STREQ(Def(PARAM_MATCAP_ENABLE).name, "Matcap");
    EXPECT_STREQ(Def(PARAM_MATCAP_AMOUNT).name, "Matcap");
    EXPECT_STREQ(Def(PARAM_SHADING_ENABLE).name, "Enable Shading");
    EXPECT_STREQ(Def(PARAM_BUMP_MAP).name, "Bump/Normal Map");
    EXPECT_STREQ(Def(PARAM_TOON_COLOR).name, "color");
    EXPECT_STREQ(Def(PARAM_BLEND_AMOUNT).name, "Blend");
    EXPECT_STREQ(Def(PARAM_BLEND_TRANSFER_MODE).name, "Transfer Mode");
}

TEST(ParamsSetupFailureTest, RefusedRegistrationStopsWithItsCode) {
    for (int n : {1, 2, 60, 142}) {
        Host host(EntryPointFunc);
        host.OutData().num_params = -7;
        host.FailCall("add_param", n, PF_Err_OUT_OF_MEMORY);
        EXPECT_EQ(host.Send(PF_Cmd_PARAMS_SETUP), PF_Err_OUT_OF_MEMORY);
        EXPECT_EQ(host.Calls("add_param"), n);
        EXPECT_EQ(host.Registered().size(), size_t(n - 1));
        EXPECT_EQ(host.OutData().num_params, -7) << "num_params is written only on success";
    }
}

}  // namespace
}  // namespace lumeshade
