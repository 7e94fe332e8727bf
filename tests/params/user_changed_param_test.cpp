// The visibility rules, applied through the host's stream flags.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "host/effect_streams.h"
#include "params/visibility_rules.h"
#include "tests/support/module_host.h"

namespace lumeshade {
namespace {

using testing::ModuleHost;

constexpr ParamId kCheckboxSwitches[] = {
    PARAM_SHADING_ENABLE,    PARAM_SPECULAR_ENABLE,   PARAM_INCIDENCE_ENABLE,
    PARAM_RIM_LIGHT_ENABLE,  PARAM_TOON_ENABLE,       PARAM_GRADIENT_ENABLE,
    PARAM_MATCAP_ENABLE,     PARAM_REFLECTION_ENABLE, PARAM_REFRACTION_ENABLE,
    PARAM_TEXTURE_ENABLE,    PARAM_BUMP_ENABLE};

bool Hidden(const host::Host& h, A_long index) {
    return (host::StreamFlags(h, index) & AEGP_DynStreamFlag_HIDDEN) != 0;
}

std::set<A_long> HiddenControls(const host::Host& h) {
    std::set<A_long> hidden;
    for (A_long i = 0; i < PARAM_COUNT; ++i) {
        if (Hidden(h, i)) hidden.insert(i);
    }
    return hidden;
}

// The controls of the group that starts at `group`, without its switch.
std::set<A_long> GroupMembers(ParamId group, ParamId switchControl) {
    std::set<A_long> members;
    for (A_long i = group + 1; Control(ParamId(i)).type != PF_Param_GROUP_END; ++i) {
        if (i != switchControl) members.insert(i);
    }
    return members;
}

void ExpectNothingLeft(const host::Host& h) {
    EXPECT_EQ(host::LiveStreamRefs(h), 0);
    EXPECT_EQ(host::LiveEffectRefs(h), 0);
    EXPECT_EQ(h.SuitesHeld(), 0);
    EXPECT_TRUE(h.Violations().empty());
}

TEST(VisibilityTest, EverySwitchOffHidesAllEightyTwoGovernedControls) {
    ModuleHost m;
    m.SetSwitch(PARAM_SHADING_ENABLE, false);
    ASSERT_EQ(m.Host().UserChangedParam(PARAM_SHADING_ENABLE), PF_Err_NONE);
    const std::set<A_long> hidden = HiddenControls(m.Host());
    EXPECT_EQ(hidden.size(), 82u);
    // Nothing outside the groups' members is ever hidden.
    for (A_long i : hidden) {
        const ControlRow& row = Control(ParamId(i));
        EXPECT_NE(row.type, PF_Param_GROUP_START) << i;
        EXPECT_NE(row.type, PF_Param_GROUP_END) << i;
        EXPECT_NE(i, PARAM_DEPTH_MAP);
        EXPECT_NE(i, PARAM_DISPLAY);
    }
    EXPECT_TRUE((m.Host().OutData().out_flags & PF_OutFlag_FORCE_RERENDER) != 0);
    ExpectNothingLeft(m.Host());
}

TEST(VisibilityTest, EverySwitchOnAndADepthMapShowsEverything) {
    ModuleHost m;
    for (ParamId sw : kCheckboxSwitches) m.SetSwitch(sw, true);
    m.Host().BindLayerParam(PARAM_DEPTH_MAP,
                            m.AddFootage("Depth", std::make_shared<host::World>(4, 4, host::Depth::kFloat)));
    ASSERT_EQ(m.Host().UserChangedParam(PARAM_BUMP_ENABLE), PF_Err_NONE);
    EXPECT_TRUE(HiddenControls(m.Host()).empty());
    // All twelve rules wrote their flags anyway.
    EXPECT_EQ(host::FlagChanges(m.Host()).size(), 82u);
    for (const auto& change : host::FlagChanges(m.Host())) {
        EXPECT_TRUE(change.undoable);
        EXPECT_EQ(change.flag, AEGP_DynStreamFlag_HIDDEN);
    }
    ExpectNothingLeft(m.Host());
}

TEST(VisibilityTest, EachSwitchGovernsExactlyItsGroup) {
    struct Group {
        ParamId start;
        ParamId switchControl;
    };
    const Group groups[] = {
        {PARAM_SHADING_GROUP, PARAM_SHADING_ENABLE},       {PARAM_SPECULAR_GROUP, PARAM_SPECULAR_ENABLE},
        {PARAM_INCIDENCE_GROUP, PARAM_INCIDENCE_ENABLE},   {PARAM_RIM_LIGHT_GROUP, PARAM_RIM_LIGHT_ENABLE},
        {PARAM_TOON_GROUP, PARAM_TOON_ENABLE},             {PARAM_GRADIENT_GROUP, PARAM_GRADIENT_ENABLE},
        {PARAM_MATCAP_GROUP, PARAM_MATCAP_ENABLE},         {PARAM_REFLECTION_GROUP, PARAM_REFLECTION_ENABLE},
        {PARAM_REFRACTION_GROUP, PARAM_REFRACTION_ENABLE}, {PARAM_TEXTURE_GROUP, PARAM_TEXTURE_ENABLE},
        {PARAM_BUMP_GROUP, PARAM_BUMP_ENABLE},
    };
    for (const Group& g : groups) {
        ModuleHost m;
        for (ParamId sw : kCheckboxSwitches) m.SetSwitch(sw, sw != g.switchControl);
        m.Host().BindLayerParam(PARAM_DEPTH_MAP, m.AddFootage("Depth", std::make_shared<host::World>(2, 2, host::Depth::kFloat)));
        ASSERT_EQ(m.Host().UserChangedParam(g.switchControl), PF_Err_NONE);
        EXPECT_EQ(HiddenControls(m.Host()), GroupMembers(g.start, g.switchControl))
            << Control(g.start).name;
        // Switched back on, the same controls show again.
        m.SetSwitch(g.switchControl, true);
        ASSERT_EQ(m.Host().UserChangedParam(g.switchControl), PF_Err_NONE);
        EXPECT_TRUE(HiddenControls(m.Host()).empty()) << Control(g.start).name;
    }
}

TEST(VisibilityTest, TheDepthMapLayerActsAsTheDepthGroupsSwitch) {
    ModuleHost m;
    ASSERT_EQ(m.Host().UserChangedParam(PARAM_DEPTH_MAP), PF_Err_NONE);
    for (ParamId id : {PARAM_DEPTH_INVERT, PARAM_DEPTH_CHANNEL, PARAM_DEPTH_MULTIPLIER,
                       PARAM_DEPTH_GAMMA}) {
        EXPECT_TRUE(Hidden(m.Host(), id)) << Control(id).name;
    }
    EXPECT_FALSE(Hidden(m.Host(), PARAM_DEPTH_MAP));
    m.Host().BindLayerParam(PARAM_DEPTH_MAP,
                            m.AddFootage("Depth", std::make_shared<host::World>(2, 2, host::Depth::k8)));
    ASSERT_EQ(m.Host().UserChangedParam(PARAM_DEPTH_MAP), PF_Err_NONE);
    EXPECT_FALSE(Hidden(m.Host(), PARAM_DEPTH_GAMMA));
    // Unticking Matcap and Texture hides their map layers as well.
    EXPECT_TRUE(Hidden(m.Host(), PARAM_MATCAP_MAP));
    EXPECT_TRUE(Hidden(m.Host(), PARAM_TEXTURE_UV_MAP));
    EXPECT_TRUE(Hidden(m.Host(), PARAM_TEXTURE_MAP));
    EXPECT_FALSE(Hidden(m.Host(), PARAM_SHADING_BLEND));
}

TEST(VisibilityTest, RenderIsSupervisedAndDisplayIsNot) {
    ModuleHost m;
    m.Host().OutData().out_flags = PF_OutFlag_PIX_INDEPENDENT;
    ASSERT_EQ(m.Host().UserChangedParam(PARAM_LIGHTS_RENDER), PF_Err_NONE);
    EXPECT_EQ(host::FlagChanges(m.Host()).size(), 82u) << "all twelve rules";
    EXPECT_EQ(m.Host().OutData().out_flags,
              PF_OutFlag_PIX_INDEPENDENT | PF_OutFlag_FORCE_RERENDER)
        << "force-rerender is added, the other bits stay";

    const size_t before = host::FlagChanges(m.Host()).size();
    const int sent = m.Host().Calls("AEGP_GetNewEffectForEffect");
    EXPECT_EQ(m.Host().UserChangedParam(PARAM_DISPLAY), PF_Err_NONE);
    EXPECT_EQ(m.Host().Calls("AEGP_GetNewEffectForEffect"), sent) << "the host never sends it";
    EXPECT_EQ(host::FlagChanges(m.Host()).size(), before);
}

TEST(VisibilityTest, ForceRerenderEvenWhenNothingChanged) {
    ModuleHost m;
    ASSERT_EQ(m.Host().UserChangedParam(PARAM_SHADING_ENABLE), PF_Err_NONE);
    const auto hidden = HiddenControls(m.Host());
    m.Host().OutData().out_flags = 0;
    ASSERT_EQ(m.Host().Send(PF_Cmd_USER_CHANGED_PARAM), PF_Err_NONE);
    EXPECT_EQ(HiddenControls(m.Host()), hidden);
    EXPECT_TRUE((m.Host().OutData().out_flags & PF_OutFlag_FORCE_RERENDER) != 0);
}

// A failing host call stops the update there: the flags set before it stay,
// none after it is touched, its code is returned, and every reference
// obtained is released.
TEST(VisibilityTest, AFailingHostCallStopsTheUpdateAndLeaksNothing) {
    struct Case {
        const char* function;
        int nth;
        size_t flagsBefore;  // flag changes made before the failure
    };
    const Case cases[] = {
        {"AEGP_GetNewEffectForEffect", 1, 0},
        {"AEGP_GetNewEffectStreamByIndex", 1, 0},
        {"AEGP_GetNewEffectStreamByIndex", 6, 4},  // first stream of rule 2
        {"AEGP_SetDynamicStreamFlag", 1, 0},
        {"AEGP_SetDynamicStreamFlag", 10, 9},
        {"AEGP_DisposeStream", 1, 4},
        {"AEGP_DisposeEffect", 1, 82},
    };
    for (const Case& c : cases) {
        ModuleHost m;
        m.SetSwitch(PARAM_SHADING_ENABLE, false);
        m.Host().OutData().out_flags = 0;
        m.Host().FailCall(c.function, c.nth, A_Err_GENERIC + 40);
        EXPECT_EQ(m.Host().UserChangedParam(PARAM_SHADING_ENABLE), A_Err_GENERIC + 40) << c.function;
        EXPECT_EQ(host::FlagChanges(m.Host()).size(), c.flagsBefore) << c.function << " " << c.nth;
        EXPECT_EQ(m.Host().OutData().out_flags & PF_OutFlag_FORCE_RERENDER, 0) << c.function;
        // A reference whose disposal failed is the host's to keep.
        const std::string function = c.function;
        EXPECT_EQ(host::LiveStreamRefs(m.Host()), function == "AEGP_DisposeStream" ? 1 : 0)
            << c.function << " " << c.nth;
        EXPECT_EQ(host::LiveEffectRefs(m.Host()), function == "AEGP_DisposeEffect" ? 1 : 0)
            << c.function;
        EXPECT_EQ(m.Host().SuitesHeld(), 0);
    }
}

// Each suite is taken at the first call that needs it: a host without one
// sees every call before that point, and the update ends there with 516.
TEST(VisibilityTest, MissingSuiteIsBadCallbackParam) {
    struct Case {
        const char* suite;
        int version;
        int streamsObtained;
        size_t flagsSet;
    };
    const Case cases[] = {
        {"AEGP Stream Suite", 7, 0, 0},
        {"AEGP Dynamic Stream Suite", 2, 4, 0},  // rule 1's streams, then no flag
        {"AEGP Effect Suite", 3, 82, 82},        // wanted only to dispose of the effect
    };
    for (const Case& c : cases) {
        ModuleHost m;
        m.Host().WithdrawSuite(c.suite, c.version);
        EXPECT_EQ(m.Host().UserChangedParam(PARAM_SHADING_ENABLE), PF_Err_BAD_CALLBACK_PARAM)
            << c.suite;
        EXPECT_EQ(m.Host().Calls("AEGP_GetNewEffectForEffect"), 1) << c.suite;
        EXPECT_EQ(m.Host().Calls("AEGP_GetNewEffectStreamByIndex"), c.streamsObtained) << c.suite;
        EXPECT_EQ(host::FlagChanges(m.Host()).size(), c.flagsSet) << c.suite;
        EXPECT_EQ(host::LiveStreamRefs(m.Host()), 0) << c.suite;
        // Without the Effect suite nothing can give the effect reference back.
        const bool noEffectSuite = std::string(c.suite) == "AEGP Effect Suite";
        EXPECT_EQ(host::LiveEffectRefs(m.Host()), noEffectSuite ? 1 : 0) << c.suite;
        EXPECT_EQ(m.Host().SuitesHeld(), 0) << c.suite;
        EXPECT_TRUE(m.Host().Violations().empty()) << c.suite;
    }
}

TEST(VisibilityTest, RulesCoverEachGroupOnceAndNothingTwice) {
    std::set<A_long> seen;
    size_t total = 0;
    for (const VisibilityRule& rule : VisibilityRules()) {
        for (ParamId id : rule.governed) {
            EXPECT_TRUE(seen.insert(id).second) << "governed twice: " << id;
            ++total;
        }
    }
    EXPECT_EQ(total, 82u);
    EXPECT_EQ(VisibilityRules().size(), 12u);
}

}  // namespace
}  // namespace lumeshade
