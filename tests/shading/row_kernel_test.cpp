// The row kernels against the per-pixel functions they stand in for: every
// path writes the per-pixel bytes, and reports failures, aborts and
// progress as the per-pixel iteration does.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "shading/pixel_path.h"
#include "tests/support/module_host.h"
#include "tests/support/pixel_paths.h"
#include "tests/support/pixels.h"
#include "tests/support/showcase.h"

namespace lumeshade {
namespace {

using host::Depth;
using testing::ModuleHost;
using testing::PathChoice;

struct Frame {
    std::string name;
    std::function<void(ModuleHost&, Depth)> setUp;
};

// The regression frames, every Display choice over the showcase, and Pre
// Blur through the host's sampler.
std::vector<Frame> Frames() {
    std::vector<Frame> frames;
    for (const testing::RegressionFrame& f : testing::RegressionFrames()) {
        frames.push_back({f.name, [&f](ModuleHost& m, Depth d) { testing::SetUpFrame(m, d, f); }});
    }
    const std::vector<ParamId> all(std::begin(testing::kAllSwitches),
                                   std::end(testing::kAllSwitches));
    for (int display = 1; display <= 19; ++display) {
        frames.push_back({"display " + std::to_string(display), [all, display](ModuleHost& m, Depth d) {
                              testing::Showcase(m, d, all, display);
                              m.SetChoice(PARAM_BLEND_TRANSFER_MODE, 11);  // Screen
                              m.SetFixed(PARAM_BLEND_AMOUNT, 0.3);
                          }});
    }
    frames.push_back({"pre blur", [all](ModuleHost& m, Depth d) {
                          testing::Showcase(m, d, all, 19);
                          m.SetFixed(PARAM_NORMALS_PRE_BLUR, 1.5);
                      }});
    return frames;
}

host::World Rendered(const Frame& f, Depth d, A_long downsample, int threads) {
    ModuleHost m(testing::kFrameSize - 3, testing::kFrameSize, d);
    f.setUp(m, d);
    m.Host().SetDownsample(downsample);
    m.Host().SetThreads(threads);
    EXPECT_EQ(m.Host().RenderFrame(), PF_Err_NONE) << f.name;
    return m.Host().Output();
}

TEST(RowKernelTest, EveryPathWritesThePerPixelBytes) {
    ASSERT_FALSE(testing::VectorPaths().empty());
    for (const Frame& f : Frames()) {
        for (Depth d : testing::kFrameDepths) {
            for (A_long downsample : {1, 2}) {
                const int threads = downsample == 1 ? 1 : 3;
                const host::World reference = [&] {
                    PathChoice pixel(PixelPath::kPixel);
                    return Rendered(f, d, downsample, threads);
                }();
                for (PixelPath path : testing::VectorPaths()) {
                    PathChoice choice(path);
                    EXPECT_EQ(testing::FirstDifference(Rendered(f, d, downsample, threads), reference),
                              "")
                        << f.name << ", depth " << int(d) << ", downsample " << downsample << ", "
                        << PixelPathName(path);
                }
            }
        }
    }
}

// What a render returns, and that it keeps the host's rules for its
// threads, on every path.
TEST(RowKernelTest, FailuresAbortsAndProgressAreThoseOfThePerPixelIteration) {
    const auto iteration = [] {
        return CurrentPixelPath() == PixelPath::kPixel ? "iterateFloat" : "iterate_generic";
    };
    struct Case {
        const char* what;
        std::function<void(ModuleHost&)> arrange;
        PF_Err result;
    };
    const Case cases[] = {
        {"a clean frame", [](ModuleHost&) {}, PF_Err_NONE},
        {"a pixel's sampler missing",
         [](ModuleHost& m) {
             m.SetFixed(PARAM_NORMALS_PRE_BLUR, 2.0);
             m.Host().WithdrawSuite("PF SamplingFloat Suite", 1);
         },
         PF_Err_BAD_CALLBACK_PARAM},
        {"the iteration fails",
         [&](ModuleHost& m) { m.Host().FailCall(iteration(), 1, 9); }, 9},
        {"the user aborts once the frame is under way",
         [](ModuleHost& m) { m.Host().FailCall("abort", 2, PF_Interrupt_CANCEL); },
         PF_Interrupt_CANCEL},
        {"no generic iteration", [](ModuleHost& m) { m.Host().OfferNoGenericIteration(); },
         PF_Err_NONE},
    };
    for (PixelPath path : testing::AvailablePaths()) {
        PathChoice choice(path);
        for (const Case& c : cases) {
            // On several threads the host's rules for them apply; on one,
            // every band reports its progress.
            for (int threads : {4, 1}) {
                ModuleHost m(64, 48, Depth::kFloat);
                testing::Showcase(m, Depth::kFloat, {PARAM_SHADING_ENABLE, PARAM_SPECULAR_ENABLE}, 19);
                m.Host().SetThreads(threads);
                c.arrange(m);
                const std::string what = std::string(c.what) + ", " + PixelPathName(path) + ", " +
                                         std::to_string(threads) + " threads";
                EXPECT_EQ(m.Host().RenderFrame(), c.result) << what;
                EXPECT_TRUE(m.Host().Violations().empty()) << what << ": " << m.Host().Violations()[0];
                if (c.result == PF_Err_NONE && threads == 1) {
                    // 0 and 100 of 100 from the render, the rows between them.
                    EXPECT_GT(m.Host().ProgressReports(), 3) << what;
                    EXPECT_EQ(m.Host().LastProgressCurrent(), 100) << what;
                }
            }
        }
    }
}

}  // namespace
}  // namespace lumeshade
