// A part of the layer renders exactly what the whole layer renders there.
// The host asks for parts (a region of interest, a zoomed view, a layer
// reaching past the composition) and hands out buffers that hold only the
// part, placed in the layer by their origins. Every benchmark scene and
// every regression frame, with Pre Blur added to two of them, in each pixel
// format and at full and half resolution, is rendered whole and then as
// tiles, among them tiles one pixel wide or high, tiles at every edge of
// the layer and tiles of odd and even sizes; every tile must hold the whole
// render's bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/scenes.h"
#include "tests/support/showcase.h"

namespace lumeshade::bench {
namespace {

using host::Depth;
using testing::ModuleHost;

// Small and odd-sized, so that halving rounds.
constexpr SceneSize kTileFrame{37, 23, 16};
constexpr A_long kShowcaseSize = 31;

struct TiledScene {
    std::string name;
    std::function<std::unique_ptr<ModuleHost>(Depth)> make;
};

std::vector<TiledScene> Scenes() {
    std::vector<TiledScene> scenes;
    for (Scene scene : kScenes) {
        scenes.push_back(
            {SceneName(scene), [scene](Depth d) { return MakeScene(scene, d, kTileFrame); }});
    }
    const auto frame = [](const testing::RegressionFrame& f) {
        return [&f](Depth d) {
            auto m = std::make_unique<ModuleHost>(kShowcaseSize, kShowcaseSize, d);
            m->Host().EnableCallLog(false);
            testing::SetUpFrame(*m, d, f);
            return m;
        };
    };
    for (const testing::RegressionFrame& f : testing::RegressionFrames()) {
        scenes.push_back({f.name, frame(f)});
    }
    // The input is the normal map in both, so Pre Blur samples the input's
    // neighbours (its input is then larger than the part asked for); the
    // input's colour is blended in, so that the input pixel handed over with
    // each output pixel shows too. The environment of the first is read by
    // the pixel's position (Panorama).
    const auto preBlurred = [](std::function<std::unique_ptr<ModuleHost>(Depth)> make,
                               double radius, A_long environmentMode) {
        return [make, radius, environmentMode](Depth d) {
            auto m = make(d);
            m->SetFixed(PARAM_NORMALS_PRE_BLUR, radius);
            m->SetFixed(PARAM_BLEND_AMOUNT, 0.4);
            m->SetChoice(PARAM_REFLECTION_ENVIRONMENT_MODE, environmentMode);
            return m;
        };
    };
    scenes.push_back({"everything, pre-blurred, panorama",
                      preBlurred(frame(testing::RegressionFrames()[0]), 1.6, 2)});
    scenes.push_back({"defaults, pre-blurred", preBlurred(scenes[0].make, 2.5, 1)});
    return scenes;
}

// Where a side of n pixels is cut: bands one pixel wide at both edges and
// in the middle, and the rest between them.
std::vector<A_long> Cuts(A_long n, A_long first) {
    std::vector<A_long> cuts = {0, first, n / 2, n / 2 + 1, n - 1, n};
    cuts.erase(std::remove_if(cuts.begin(), cuts.end(), [n](A_long c) { return c < 0 || c > n; }),
               cuts.end());
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    return cuts;
}

// The first pixel of `part` that differs from the whole render at its place
// in the layer, as text; empty when there is none.
std::string FirstDifference(const host::World& whole, const host::World& part,
                            const PF_LRect& tile) {
    if (part.Width() != tile.right - tile.left || part.Height() != tile.bottom - tile.top ||
        part.Def().origin_x != tile.left || part.Def().origin_y != tile.top) {
        return "the output is not the tile";
    }
    const std::size_t px = std::size_t(host::PixelBytes(part.GetDepth()));
    for (A_long y = 0; y < part.Height(); ++y) {
        for (A_long x = 0; x < part.Width(); ++x) {
            const unsigned char* a = part.Row(y) + std::size_t(x) * px;
            const unsigned char* b = whole.Row(tile.top + y) + std::size_t(tile.left + x) * px;
            if (std::memcmp(a, b, px) != 0) {
                return "layer pixel (" + std::to_string(tile.left + x) + ", " +
                       std::to_string(tile.top + y) + ") differs";
            }
        }
    }
    return "";
}

TEST(RegionTest, TilesRenderWhatTheWholeLayerRendersThere) {
    for (const TiledScene& scene : Scenes()) {
        for (Depth depth : kDepths) {
            for (A_long factor : {1, 2}) {
                const auto m = scene.make(depth);
                host::Host& h = m->Host();
                h.SetDownsample(factor);
                ASSERT_EQ(h.RenderFrame(), PF_Err_NONE) << scene.name;
                const host::World whole = h.Output();
                const std::string where =
                    scene.name + ", " + DepthName(depth) + "-bit, 1/" + std::to_string(factor);
                int failures = 0;
                const std::vector<A_long> columns = Cuts(whole.Width(), 1);
                const std::vector<A_long> rows = Cuts(whole.Height(), 2);
                for (std::size_t j = 0; j + 1 < rows.size(); ++j) {
                    for (std::size_t i = 0; i + 1 < columns.size(); ++i) {
                        const PF_LRect tile{columns[i], rows[j], columns[i + 1], rows[j + 1]};
                        h.SetRegion(tile);
                        ASSERT_EQ(h.RenderFrame(), PF_Err_NONE) << where;
                        const std::string difference = FirstDifference(whole, h.Output(), tile);
                        if (!difference.empty() && ++failures <= 3) {
                            ADD_FAILURE()
                                << where << ", tile (" << tile.left << ", " << tile.top << ")-("
                                << tile.right << ", " << tile.bottom << "): " << difference;
                        }
                    }
                }
                EXPECT_TRUE(h.Violations().empty()) << where;
            }
        }
    }
}

}  // namespace
}  // namespace lumeshade::bench
