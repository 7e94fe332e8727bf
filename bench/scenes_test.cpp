// The benchmark scenes at a tenth of their size, their every output byte
// pinned in each pixel format: the per-pixel path is optimised on these
// scenes, and no optimisation may change a bit of what they render.
#include "bench/scenes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ios>

#include "tests/support/pixel_paths.h"
#include "tests/support/pixels.h"

namespace lumeshade::bench {
namespace {

using host::Depth;

struct Pinned {
    Scene scene;
    uint64_t sums[3];  // 8-bit, 16-bit, float
};

constexpr Pinned kPinned[] = {
    {Scene::kDefaults, {0x02f7bd983fc4d35dull, 0x95c8b7ea92a1755full, 0xf9f9f0479a77b758ull}},
    {Scene::kTypical, {0xe22a2f4fb08351f9ull, 0x17a7d3c3f575fd77ull, 0xfbe3390246bd219full}},
    {Scene::kEverything, {0xca6bbdbfc97cdc71ull, 0xf0330248b875503eull, 0xec9a1eaa0f892c4eull}},
    {Scene::kManyLights, {0x0c34d671ee8807d1ull, 0x53b3e1b5de1d3b62ull, 0x9810cb7f37874fbfull}},
};

uint64_t Rendered(Scene scene, Depth depth, int threads) {
    const auto m = MakeScene(scene, depth, kReducedFrame);
    m->Host().SetThreads(threads);
    EXPECT_EQ(m->Host().RenderFrame(), PF_Err_NONE);
    return testing::Checksum(m->Host().Output());
}

// When a change of output is intended, the failure prints the new sum.
TEST(BenchSceneTest, FramesAreUnchanged) {
    for (const Pinned& p : kPinned) {
        for (int i = 0; i < 3; ++i) {
            const uint64_t sum = Rendered(p.scene, kDepths[i], 1);
            EXPECT_EQ(sum, p.sums[i])
                << SceneName(p.scene) << "/" << DepthName(kDepths[i]) << ": 0x" << std::hex << sum;
        }
    }
}

// Every path writes the bytes of the per-pixel functions, on every scene and
// in every format.
TEST(BenchSceneTest, EveryPathWritesThePerPixelBytes) {
    for (Scene scene : kScenes) {
        for (Depth depth : kDepths) {
            const auto render = [&](PixelPath path) {
                testing::PathChoice choice(path);
                const auto m = MakeScene(scene, depth, kReducedFrame);
                m->Host().SetThreads(2);
                EXPECT_EQ(m->Host().RenderFrame(), PF_Err_NONE);
                return m->Host().Output();
            };
            const host::World reference = render(PixelPath::kPixel);
            for (PixelPath path : testing::VectorPaths()) {
                EXPECT_EQ(testing::FirstDifference(render(path), reference), "")
                    << SceneName(scene) << "/" << DepthName(depth) << ", " << PixelPathName(path);
            }
        }
    }
}

// The rows are shared out differently with more threads; no pixel may notice.
TEST(BenchSceneTest, ThreadCountDoesNotChangeTheBytes) {
    for (Scene scene : kScenes) {
        for (Depth depth : kDepths) {
            EXPECT_EQ(Rendered(scene, depth, 1), Rendered(scene, depth, 3))
                << SceneName(scene) << "/" << DepthName(depth);
        }
    }
}

// A pinned sum covers only the terms that reach the picture: in every
// scene the lights must show, and in "everything" every group must.
TEST(BenchSceneTest, EveryTermOfTheScenesReachesThePicture) {
    const auto changed = [](Scene scene, Depth depth, auto change) {
        const auto m = MakeScene(scene, depth, kReducedFrame);
        change(*m);
        EXPECT_EQ(m->Host().RenderFrame(), PF_Err_NONE);
        return testing::Checksum(m->Host().Output());
    };
    for (Depth depth : kDepths) {
        for (Scene scene : kScenes) {
            const auto noLights = [](testing::ModuleHost& m) {
                m.SetChoice(PARAM_LIGHTS_RENDER, 1);  // None
            };
            EXPECT_NE(Rendered(scene, depth, 1), changed(scene, depth, noLights))
                << SceneName(scene) << "/" << DepthName(depth) << ": the lights do not show";
        }
        EXPECT_NE(Rendered(Scene::kEverything, depth, 1), Rendered(Scene::kManyLights, depth, 1))
            << DepthName(depth);
    }
    const ParamId groups[] = {
        PARAM_SHADING_ENABLE,   PARAM_SPECULAR_ENABLE,   PARAM_INCIDENCE_ENABLE,
        PARAM_RIM_LIGHT_ENABLE, PARAM_TOON_ENABLE,       PARAM_GRADIENT_ENABLE,
        PARAM_MATCAP_ENABLE,    PARAM_REFLECTION_ENABLE, PARAM_REFRACTION_ENABLE,
        PARAM_TEXTURE_ENABLE,   PARAM_BUMP_ENABLE};
    const uint64_t all = Rendered(Scene::kEverything, Depth::kFloat, 1);
    for (ParamId group : groups) {
        const auto off = [group](testing::ModuleHost& m) { m.SetSwitch(group, false); };
        EXPECT_NE(all, changed(Scene::kEverything, Depth::kFloat, off))
            << "switch " << group << " changes nothing";
    }
}

}  // namespace
}  // namespace lumeshade::bench
