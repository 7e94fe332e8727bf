// Every Display choice on a scene where every term is visible, and the
// regression frames that pin every output bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/shading/frame_report.h"
#include "tests/support/module_host.h"
#include "tests/support/pixels.h"
#include "tests/support/showcase.h"

namespace lumeshade {
namespace {

using host::Depth;
using host::World;
using testing::kAllSwitches;
using testing::ModuleHost;
using testing::Rgba;
using testing::Showcase;

constexpr A_long kSize = 32;

std::vector<Rgba> Render(Depth d, const std::vector<ParamId>& on, int display) {
    ModuleHost m(kSize, kSize, d);
    Showcase(m, d, on, display);
    EXPECT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
    std::vector<Rgba> pixels;
    for (A_long y = 0; y < kSize; ++y) {
        for (A_long x = 0; x < kSize; ++x) pixels.push_back(testing::Raw(m.Host().Output(), x, y));
    }
    return pixels;
}

bool AllBlack(const std::vector<Rgba>& p) {
    for (const Rgba& c : p) {
        if (c.red != 0 || c.green != 0 || c.blue != 0) return false;
    }
    return true;
}

void ExpectSame(const std::vector<Rgba>& a, const std::vector<Rgba>& b, const std::string& what) {
    ASSERT_EQ(a.size(), b.size());
    int differing = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        differing += a[i].red != b[i].red || a[i].green != b[i].green || a[i].blue != b[i].blue ||
                     a[i].alpha != b[i].alpha;
    }
    EXPECT_EQ(differing, 0) << what;
}

// Showing one term with everything switched on renders what All renders
// with only that term's switches on: the Display choice lets exactly that
// term through.
TEST(DisplayTest, EachChoiceShowsExactlyItsTerm) {
    const std::vector<ParamId> all(std::begin(kAllSwitches), std::end(kAllSwitches));
    struct Choice {
        const char* name;
        int display;
        std::vector<ParamId> alone;
    };
    const Choice choices[] = {
        {"Diffuse", DISPLAY_CHOICE_DIFFUSE, {PARAM_SHADING_ENABLE}},
        {"Specular", DISPLAY_CHOICE_SPECULAR, {PARAM_SPECULAR_ENABLE}},
        {"Incidence", DISPLAY_CHOICE_INCIDENCE, {PARAM_INCIDENCE_ENABLE}},
        {"Rim", DISPLAY_CHOICE_RIM, {PARAM_RIM_LIGHT_ENABLE}},
        {"Toon", DISPLAY_CHOICE_TOON, {PARAM_TOON_ENABLE}},
        {"Gradient", DISPLAY_CHOICE_GRADIENT, {PARAM_GRADIENT_ENABLE}},
        {"Matcap", DISPLAY_CHOICE_MATCAP, {PARAM_MATCAP_ENABLE}},
        {"Reflection", DISPLAY_CHOICE_REFLECTION, {PARAM_REFLECTION_ENABLE}},
        {"Refraction", DISPLAY_CHOICE_REFRACTION, {PARAM_REFRACTION_ENABLE}},
        {"Texture", DISPLAY_CHOICE_TEXTURE, {PARAM_TEXTURE_ENABLE}},
        {"Bump", DISPLAY_CHOICE_BUMP, {PARAM_SHADING_ENABLE, PARAM_BUMP_ENABLE}},
    };
    for (Depth d : {Depth::k8, Depth::k16, Depth::kFloat}) {
        const std::vector<Rgba> everything = Render(d, all, DISPLAY_CHOICE_ALL);
        EXPECT_FALSE(AllBlack(everything));
        for (const Choice& c : choices) {
            const std::vector<Rgba> shown = Render(d, all, c.display);
            EXPECT_FALSE(AllBlack(shown)) << c.name << ": the term must be visible";
            ExpectSame(shown, Render(d, c.alone, DISPLAY_CHOICE_ALL), c.name);
        }
        // The bump changes what the diffuse term shows.
        const auto diffuse = Render(d, {PARAM_SHADING_ENABLE}, DISPLAY_CHOICE_ALL);
        const auto bumped =
            Render(d, {PARAM_SHADING_ENABLE, PARAM_BUMP_ENABLE}, DISPLAY_CHOICE_ALL);
        bool differs = false;
        for (size_t i = 0; i < diffuse.size(); ++i) differs |= diffuse[i].red != bumped[i].red;
        EXPECT_TRUE(differs);
        EXPECT_TRUE(AllBlack(Render(d, all, DISPLAY_CHOICE_OFF))) << "Off";
    }
}

// Adjusted Normals shows the decoded normal, bumped only under All and Bump.
TEST(DisplayTest, AdjustedNormalsShowTheDecodedNormal) {
    for (Depth d : {Depth::k8, Depth::k16, Depth::kFloat}) {
        ModuleHost m(kSize, kSize, d);
        Showcase(m, d, {PARAM_BUMP_ENABLE}, DISPLAY_CHOICE_ADJUSTED_NORMALS);
        m.SetSwitch(PARAM_NORMALS_INVERT_Y, true);
        ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
        const Rgba in = testing::Unit(m.Input(), 16, 10),
                   out = testing::Unit(m.Host().Output(), 16, 10);
        const float step = d == Depth::k8 ? 1.0f / 255 : d == Depth::k16 ? 1.0f / 32768 : 1e-6f;
        EXPECT_NEAR(out.red, in.red, step);
        EXPECT_NEAR(out.green, 1 - in.green, step);
        EXPECT_NEAR(out.blue, in.blue, step);
    }
}

// Frames at 64 x 64 whose every byte is pinned: a change to any output bit
// of the pass shows here. A failure says where the frame changed, leaves it
// beside the build as an image, and prints the new sum for when the change
// is intended.
TEST(RegressionTest, FramesAreUnchanged) {
    for (const testing::RegressionFrame& f : testing::RegressionFrames()) {
        for (int i = 0; i < 3; ++i) {
            const Depth d = testing::kFrameDepths[i];
            ModuleHost m(testing::kFrameSize, testing::kFrameSize, d);
            testing::SetUpFrame(m, d, f);
            ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
            std::string name = std::string(f.name) + "_" + testing::kFrameDepthNames[i];
            std::replace(name.begin(), name.end(), ' ', '_');
            const uint64_t sum = testing::Checksum(m.Host().Output());
            if (sum == f.sums[i]) {
                testing::KeepPinnedFrame(name, m.Host().Output());
            } else {
                ADD_FAILURE() << testing::ReportChangedFrame(name, m.Host().Output(), f.sums[i])
                              << "; its sum is 0x" << std::hex << sum;
            }
        }
    }
}

TEST(RegressionTest, OneThreadAndManyGiveTheSameBytes) {
    const std::vector<ParamId> all(std::begin(kAllSwitches), std::end(kAllSwitches));
    for (Depth d : {Depth::k8, Depth::k16, Depth::kFloat}) {
        uint64_t sums[2];
        for (int t = 0; t < 2; ++t) {
            ModuleHost m(kSize, kSize, d);
            Showcase(m, d, all, DISPLAY_CHOICE_ALL);
            m.SetFixed(PARAM_NORMALS_PRE_BLUR, 1.5);  // through the host's sampler too
            m.SetInteger(PARAM_MATCAP_BLUR, 2);
            m.Host().SetThreads(t == 0 ? 1 : 7);
            ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
            sums[t] = testing::Checksum(m.Host().Output());
        }
        EXPECT_EQ(sums[0], sums[1]) << int(d);
    }
}

}  // namespace
}  // namespace lumeshade
