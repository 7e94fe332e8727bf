// Every Display choice on a scene where every term is visible, and the
// regression frames that pin every output bit.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/module_host.h"
#include "tests/support/pixels.h"

namespace lumeshade {
namespace {

using host::Depth;
using host::World;
using testing::ModuleHost;
using testing::Rgba;

constexpr A_long kSize = 32;

constexpr ParamId kAllSwitches[] = {
    PARAM_SHADING_ENABLE,   PARAM_SPECULAR_ENABLE,  PARAM_INCIDENCE_ENABLE, PARAM_RIM_LIGHT_ENABLE,
    PARAM_TOON_ENABLE,      PARAM_GRADIENT_ENABLE,  PARAM_MATCAP_ENABLE,    PARAM_REFLECTION_ENABLE,
    PARAM_REFRACTION_ENABLE, PARAM_TEXTURE_ENABLE,  PARAM_BUMP_ENABLE};

std::shared_ptr<World> Map(A_long w, A_long h, Depth d, const std::function<Rgba(A_long, A_long)>& f) {
    auto world = std::make_shared<World>(w, h, d);
    testing::Fill(*world, f);
    return world;
}

// A sphere lit by two lights, with every map bound and every term's own
// settings chosen so that it shows. `on` lists the switches to turn on.
void Showcase(ModuleHost& m, Depth d, const std::vector<ParamId>& on, int display) {
    const A_long size = m.Input().Width();
    testing::Fill(m.Input(), [size](A_long x, A_long y) { return testing::SphereNormal(x, y, size, size); });
    // Dim lights, so that the terms do not saturate integer pixels.
    m.AddLight("Light 1", AEGP_LightType_POINT, {8, 6, 60}).intensity = host::Animated<double>(15.0);
    host::CompLayer& second = m.AddLight("Light 2", AEGP_LightType_POINT, {28, 20, 40});
    second.color = host::Animated<host::ColorD>(host::ColorD{1, 1.0, 0.6, 0.3});
    second.intensity = host::Animated<double>(10.0);
    const int matcap = m.AddFootage("Matcap", Map(16, 16, d, [](A_long x, A_long y) { return Rgba{1, x / 15.0f, y / 15.0f, 0.4f}; }));
    const int env = m.AddFootage("Environment", Map(24, 12, d, [](A_long x, A_long y) { return Rgba{1, 0.2f + x / 40.0f, 0.3f, y / 12.0f}; }));
    const int refr = m.AddFootage("Refraction", Map(20, 20, d, [](A_long x, A_long y) { return Rgba{1, ((x / 4 + y / 4) % 2) * 0.8f, 0.4f, 0.6f}; }));
    const int uv = m.AddFootage("UV", Map(size, size, d, [size](A_long x, A_long y) { return Rgba{1, x / float(size), 1 - y / float(size), 0}; }));
    const int tex = m.AddFootage("Texture", Map(8, 8, d, [](A_long x, A_long y) { return Rgba{1, (x + y) % 2 ? 0.9f : 0.1f, 0.5f, 0.2f}; }));
    const int bump = m.AddFootage("Bump", Map(8, 8, d, [](A_long x, A_long y) { return Rgba{1, 0.5f + 0.05f * (x % 3), 0.5f, 0.5f + 0.1f * (y % 2)}; }));
    m.Host().BindLayerParam(PARAM_MATCAP_MAP, matcap);
    m.Host().BindLayerParam(PARAM_REFLECTION_ENVIRONMENT_MAP, env);
    m.Host().BindLayerParam(PARAM_REFRACTION_MAP, refr);
    m.Host().BindLayerParam(PARAM_TEXTURE_UV_MAP, uv);
    m.Host().BindLayerParam(PARAM_TEXTURE_MAP, tex);
    m.Host().BindLayerParam(PARAM_BUMP_MAP, bump);
    m.SetFixed(PARAM_MATCAP_AMOUNT, 0.6);
    m.SetFixed(PARAM_REFLECTION_AMOUNT, 0.5);
    m.SetFixed(PARAM_REFRACTION_AMOUNT, 0.5);
    m.SetChoice(PARAM_GRADIENT_BLEND, 10);
    m.SetFixed(PARAM_GRADIENT_AMOUNT, 0.3);
    m.SetChoice(PARAM_TOON_BLEND, 2);
    for (ParamId sw : kAllSwitches) {
        bool enable = false;
        for (ParamId o : on) enable |= (o == sw);
        m.SetSwitch(sw, enable);
    }
    m.SetChoice(PARAM_DISPLAY, display);
}

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
        {"Diffuse", 7, {PARAM_SHADING_ENABLE}},
        {"Specular", 8, {PARAM_SPECULAR_ENABLE}},
        {"Incidence", 9, {PARAM_INCIDENCE_ENABLE}},
        {"Rim", 10, {PARAM_RIM_LIGHT_ENABLE}},
        {"Toon", 11, {PARAM_TOON_ENABLE}},
        {"Gradient", 12, {PARAM_GRADIENT_ENABLE}},
        {"Matcap", 13, {PARAM_MATCAP_ENABLE}},
        {"Reflection", 14, {PARAM_REFLECTION_ENABLE}},
        {"Refraction", 15, {PARAM_REFRACTION_ENABLE}},
        {"Texture", 16, {PARAM_TEXTURE_ENABLE}},
        {"Bump", 17, {PARAM_SHADING_ENABLE, PARAM_BUMP_ENABLE}},
    };
    for (Depth d : {Depth::k8, Depth::k16, Depth::kFloat}) {
        const std::vector<Rgba> everything = Render(d, all, 19);
        EXPECT_FALSE(AllBlack(everything));
        for (const Choice& c : choices) {
            const std::vector<Rgba> shown = Render(d, all, c.display);
            EXPECT_FALSE(AllBlack(shown)) << c.name << ": the term must be visible";
            ExpectSame(shown, Render(d, c.alone, 19), c.name);
        }
        // The bump changes what the diffuse term shows.
        const auto diffuse = Render(d, {PARAM_SHADING_ENABLE}, 19);
        const auto bumped = Render(d, {PARAM_SHADING_ENABLE, PARAM_BUMP_ENABLE}, 19);
        bool differs = false;
        for (size_t i = 0; i < diffuse.size(); ++i) differs |= diffuse[i].red != bumped[i].red;
        EXPECT_TRUE(differs);
        EXPECT_TRUE(AllBlack(Render(d, all, 1))) << "Off";
    }
}

// Adjusted Normals shows the decoded normal, bumped only under All and Bump.
TEST(DisplayTest, AdjustedNormalsShowTheDecodedNormal) {
    for (Depth d : {Depth::k8, Depth::k16, Depth::kFloat}) {
        ModuleHost m(kSize, kSize, d);
        Showcase(m, d, {PARAM_BUMP_ENABLE}, 3);
        m.SetSwitch(PARAM_NORMALS_INVERT_Y, true);
        ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
        const Rgba in = testing::Unit(m.Input(), 16, 10), out = testing::Unit(m.Host().Output(), 16, 10);
        const float step = d == Depth::k8 ? 1.0f / 255 : d == Depth::k16 ? 1.0f / 32768 : 1e-6f;
        EXPECT_NEAR(out.red, in.red, step);
        EXPECT_NEAR(out.green, 1 - in.green, step);
        EXPECT_NEAR(out.blue, in.blue, step);
    }
}

// Frames at 64 x 64 whose every byte is pinned: a change to any output bit
// of the pass shows here. When a change is intended, the new sums are
// printed by the failure.
TEST(RegressionTest, FramesAreUnchanged) {
    const std::vector<ParamId> all(std::begin(kAllSwitches), std::end(kAllSwitches));
    struct Frame {
        const char* name;
        std::vector<ParamId> on;
        int display;
        bool filtered;
        uint64_t sums[3];  // 8-bit, 16-bit, float
    };
    const Frame frames[] = {
        {"everything", all, 19, false,
         {0x965de06804b5ba0dull, 0x5dc39475769fba76ull, 0x082e70254f101610ull}},
        {"lights", {PARAM_SHADING_ENABLE, PARAM_SPECULAR_ENABLE, PARAM_TOON_ENABLE}, 19, false,
         {0x74986ddfc6ad8334ull, 0x20ce5f8320a78371ull, 0x5b354d89ee22135aull}},
        {"maps filtered", {PARAM_MATCAP_ENABLE, PARAM_REFLECTION_ENABLE, PARAM_TEXTURE_ENABLE, PARAM_BUMP_ENABLE}, 19, true,
         {0xa1ccc3f538f9e471ull, 0x5f76a7cc8ee27d6full, 0x653f4a1c7c343eb9ull}},
        {"adjusted normals", {PARAM_BUMP_ENABLE}, 3, false,
         {0x68644d0bd3a2fa6full, 0x84dba6885e9abdbfull, 0xce65282a15d532bfull}},
    };
    const Depth depths[] = {Depth::k8, Depth::k16, Depth::kFloat};
    for (const Frame& f : frames) {
        for (int i = 0; i < 3; ++i) {
            ModuleHost m(64, 64, depths[i]);
            Showcase(m, depths[i], f.on, f.display);
            if (f.filtered) {
                m.SetInteger(PARAM_MATCAP_BLUR, 2);
                m.SetInteger(PARAM_REFLECTION_BLUR, 1);
                m.SetChoice(PARAM_TEXTURE_FILTER, 2);
                m.SetChoice(PARAM_BUMP_FILTER, 3);
            }
            ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
            EXPECT_EQ(testing::Checksum(m.Host().Output()), f.sums[i])
                << f.name << ", " << (i == 0 ? "8-bit" : i == 1 ? "16-bit" : "float") << ": 0x"
                << std::hex << testing::Checksum(m.Host().Output());
        }
    }
}

TEST(RegressionTest, OneThreadAndManyGiveTheSameBytes) {
    const std::vector<ParamId> all(std::begin(kAllSwitches), std::end(kAllSwitches));
    for (Depth d : {Depth::k8, Depth::k16, Depth::kFloat}) {
        uint64_t sums[2];
        for (int t = 0; t < 2; ++t) {
            ModuleHost m(kSize, kSize, d);
            Showcase(m, d, all, 19);
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
