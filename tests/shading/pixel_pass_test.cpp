// The per-pixel pass through whole frames in the three pixel formats.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "tests/support/module_host.h"
#include "tests/support/pixels.h"

namespace lumeshade {
namespace {

using host::Depth;
using host::World;
using testing::ModuleHost;
using testing::Rgba;

const Depth kDepths[] = {Depth::k8, Depth::k16, Depth::kFloat};

std::string Name(Depth d) {
    return d == Depth::k8 ? "8-bit" : d == Depth::k16 ? "16-bit" : "float";
}

std::shared_ptr<World> Made(A_long w, A_long h, Depth d,
                            const std::function<Rgba(A_long, A_long)>& f) {
    auto world = std::make_shared<World>(w, h, d);
    testing::Fill(*world, f);
    return world;
}

// A lit sphere filling the layer.
void SphereInput(ModuleHost& m) {
    World& in = m.Input();
    testing::Fill(in, [&](A_long x, A_long y) {
        return testing::SphereNormal(x, y, in.Width(), in.Height());
    });
}

TEST(PixelPassTest, NoCoverageKeepsTheInputColourWithAlphaZero) {
    for (Depth d : kDepths) {
        ModuleHost m(4, 2, d);
        testing::Fill(m.Input(), [](A_long x, A_long) {
            return Rgba{x < 2 ? 0.0f : 1.0f, 0.25f, 0.5f, 0.75f};
        });
        m.SetChoice(PARAM_BLEND_TRANSFER_MODE, BLEND_ADD);
        m.SetFixed(PARAM_BLEND_AMOUNT, 1.0);
        ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
        const Rgba in = testing::Raw(m.Input(), 0, 0), out = testing::Raw(m.Host().Output(), 0, 0);
        EXPECT_EQ(out.alpha, 0) << Name(d);
        EXPECT_EQ(out.red, in.red) << Name(d);
        EXPECT_EQ(out.blue, in.blue) << Name(d);

        // An alpha map's zero alpha does the same, and its alpha is the output's.
        auto alpha = Made(4, 2, d, [](A_long x, A_long) {
            return Rgba{x == 3 ? 0.5f : 0.0f, 1, 1, 1};
        });
        m.Host().BindLayerParam(PARAM_ALPHA_MAP, m.AddFootage("Alpha", alpha));
        ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
        EXPECT_EQ(testing::Raw(m.Host().Output(), 2, 0).alpha, 0) << Name(d);
        EXPECT_EQ(testing::Raw(m.Host().Output(), 2, 0).green, testing::Raw(m.Input(), 2, 0).green);
        EXPECT_EQ(testing::Raw(m.Host().Output(), 3, 1).alpha, testing::Raw(*alpha, 3, 1).alpha)
            << Name(d);
    }
}

TEST(PixelPassTest, BlackNormalsGiveNoShading) {
    for (Depth d : kDepths) {
        for (int display :
             {DISPLAY_CHOICE_ALL, DISPLAY_CHOICE_ADJUSTED_NORMALS, DISPLAY_CHOICE_DEPTH}) {
            ModuleHost m(4, 2, d);
            testing::Fill(m.Input(), [](A_long, A_long) { return Rgba{1, 0, 0, 0}; });
            m.AddLight("Light", AEGP_LightType_POINT, {2, 1, 50});
            m.SetSwitch(PARAM_INCIDENCE_ENABLE, true);
            m.SetChoice(PARAM_DISPLAY, display);
            m.Host().BindLayerParam(PARAM_DEPTH_MAP,
                                    m.AddFootage("Depth", Made(4, 2, d, [](A_long, A_long) {
                                                     return Rgba{1, 0.5f, 0.5f, 0.5f};
                                                 })));
            ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
            const Rgba out = testing::Raw(m.Host().Output(), 1, 1);
            EXPECT_EQ(out.red, 0) << Name(d) << " display " << display;
            EXPECT_EQ(out.green, 0);
            EXPECT_EQ(out.blue, 0);
            EXPECT_EQ(out.alpha, testing::Raw(m.Input(), 1, 1).alpha);
        }
    }
}

TEST(PixelPassTest, MapsAreStretchedAndReadAtTheNearestPixelBelow) {
    for (Depth d : kDepths) {
        ModuleHost m(8, 4, d);
        testing::Fill(m.Input(), [](A_long, A_long) { return Rgba{1, 0, 0, 0}; });
        m.SetChoice(PARAM_DISPLAY, DISPLAY_CHOICE_ORIGINAL_NORMALS);  // shows the map's pixels
        // Each map pixel encodes its position.
        auto small = Made(3, 2, d, [](A_long x, A_long y) {
            return Rgba{1, (x + 1) / 8.0f, (y + 1) / 8.0f, 0.5f};
        });
        auto large = Made(20, 9, d, [](A_long x, A_long y) {
            return Rgba{1, (x + 1) / 32.0f, (y + 1) / 16.0f, 0.5f};
        });
        for (const auto& map : {small, large}) {
            m.Host().BindLayerParam(PARAM_NORMAL_MAP, m.AddFootage("Normals", map));
            ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
            for (A_long y = 0; y < 4; ++y) {
                for (A_long x = 0; x < 8; ++x) {
                    const A_long mx = A_long(std::floor(float(map->Width() - 1) / 7.0f * float(x)));
                    const A_long my =
                        A_long(std::floor(float(map->Height() - 1) / 3.0f * float(y)));
                    const Rgba want = testing::Raw(*map, mx, my),
                               got = testing::Raw(m.Host().Output(), x, y);
                    EXPECT_EQ(got.red, want.red) << Name(d) << " at " << x << "," << y;
                    EXPECT_EQ(got.green, want.green) << Name(d) << " at " << x << "," << y;
                }
            }
            EXPECT_EQ(testing::Raw(m.Host().Output(), 0, 0).red, testing::Raw(*map, 0, 0).red);
            EXPECT_EQ(testing::Raw(m.Host().Output(), 7, 3).green,
                      testing::Raw(*map, map->Width() - 1, map->Height() - 1).green);
        }
    }
}

TEST(PixelPassTest, DisplayOffIsBlackAndBlendOneGivesTheInputBack) {
    for (Depth d : kDepths) {
        ModuleHost m(4, 2, d);
        SphereInput(m);
        m.AddLight("Light", AEGP_LightType_POINT, {2, 1, 50});
        m.SetChoice(PARAM_DISPLAY, DISPLAY_CHOICE_OFF);
        ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
        EXPECT_EQ(testing::Raw(m.Host().Output(), 1, 1).red, 0) << Name(d);
        EXPECT_EQ(testing::Raw(m.Host().Output(), 1, 1).blue, 0) << Name(d);
        m.SetFixed(PARAM_BLEND_AMOUNT, 1.0);
        ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
        for (A_long x = 0; x < 4; ++x) {
            const Rgba in = testing::Raw(m.Input(), x, 1),
                       out = testing::Raw(m.Host().Output(), x, 1);
            if (in.alpha == 0) continue;
            // Integer formats go through 0..1 and back, truncating: within one step.
            const float tolerance = d == Depth::kFloat ? 0.0f : 1.0f;
            EXPECT_NEAR(out.red, in.red, tolerance) << Name(d);
            EXPECT_NEAR(out.green, in.green, tolerance) << Name(d);
            EXPECT_NEAR(out.blue, in.blue, tolerance) << Name(d);
        }
    }
}

TEST(PixelPassTest, OriginalNormalsIgnoreTheTransferBlend) {
    for (Depth d : kDepths) {
        ModuleHost m(6, 3, d);
        SphereInput(m);
        m.SetChoice(PARAM_DISPLAY, DISPLAY_CHOICE_ORIGINAL_NORMALS);
        m.SetChoice(PARAM_BLEND_TRANSFER_MODE, BLEND_MULTIPLY);
        m.SetFixed(PARAM_BLEND_AMOUNT, 0.5);
        ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
        for (A_long x = 0; x < 6; ++x) {
            const Rgba in = testing::Raw(m.Input(), x, 1),
                       out = testing::Raw(m.Host().Output(), x, 1);
            if (in.alpha == 0) continue;
            EXPECT_EQ(out.red, in.red) << Name(d);
            EXPECT_EQ(out.green, in.green) << Name(d);
            EXPECT_EQ(out.blue, in.blue) << Name(d);
        }
    }
}

TEST(PixelPassTest, DepthShowsOnlyWithAMapOfMoreThanOneRow) {
    for (Depth d : kDepths) {
        ModuleHost m(4, 4, d);
        SphereInput(m);
        m.SetChoice(PARAM_DISPLAY, DISPLAY_CHOICE_DEPTH);
        ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
        EXPECT_EQ(testing::Raw(m.Host().Output(), 1, 1).green, 0)
            << "no depth map: as Off, " << Name(d);

        m.Host().BindLayerParam(PARAM_DEPTH_MAP,
                                m.AddFootage("Row", Made(4, 1, d, [](A_long, A_long) {
                                                 return Rgba{1, 0.5f, 0.5f, 0.5f};
                                             })));
        ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
        EXPECT_EQ(testing::Raw(m.Host().Output(), 1, 1).green, 0) << "one row: as Off, " << Name(d);

        // Luminance 0.25, not inverted: depth 0.75.
        m.Host().BindLayerParam(PARAM_DEPTH_MAP,
                                m.AddFootage("Depth", Made(4, 4, d, [](A_long, A_long) {
                                                 return Rgba{1, 0.25f, 0.25f, 0.25f};
                                             })));
        ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
        const float expected = d == Depth::k8    ? std::trunc((1 - 64 / 255.0f) * 255)
                               : d == Depth::k16 ? 24576
                                                 : 0.75f;
        EXPECT_NEAR(testing::Raw(m.Host().Output(), 1, 1).green, expected,
                    d == Depth::k8 ? 1.0f : 1e-6f)
            << Name(d);
    }
}

TEST(PixelPassTest, DepthOutsideTheChannelRangeIsLimitedNotWrapped) {
    for (Depth d : {Depth::k8, Depth::k16}) {
        ModuleHost m(4, 4, d);
        SphereInput(m);
        m.SetChoice(PARAM_DISPLAY, DISPLAY_CHOICE_DEPTH);
        m.SetSwitch(PARAM_DEPTH_INVERT, true);
        m.SetFixed(PARAM_DEPTH_GAMMA, 0.0);  // the control allows it
        m.Host().BindLayerParam(PARAM_DEPTH_MAP,
                                m.AddFootage("Depth", Made(4, 4, d, [](A_long x, A_long) {
                                                 return Rgba{1, x / 3.0f, x / 3.0f, x / 3.0f};
                                             })));
        ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
        const float top = d == Depth::k8 ? 255 : 32768;
        EXPECT_EQ(testing::Raw(m.Host().Output(), 0, 1).red, 0) << Name(d);
        EXPECT_EQ(testing::Raw(m.Host().Output(), 3, 1).red, top)
            << Name(d) << ": huge depth saturates";
    }
}

TEST(PixelPassTest, IntegerOutputTruncatesAndFloatKeepsValuesAboveOne) {
    {
        ModuleHost m(2, 1, Depth::k8);
        testing::Fill(m.Input(), [](A_long, A_long) { return Rgba{1, 1, 1, 1}; });
        m.SetChoice(PARAM_DISPLAY, DISPLAY_CHOICE_OFF);
        m.SetFixed(PARAM_BLEND_AMOUNT, 0.9999);
        ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
        EXPECT_EQ(testing::Raw(m.Host().Output(), 0, 0).red, 254);
    }
    for (Depth d : kDepths) {
        ModuleHost m(2, 1, d);
        SphereInput(m);
        m.AddLight("Light", AEGP_LightType_POINT, {1, 0, 40});
        m.SetSwitch(PARAM_SHADING_ENABLE, false);
        m.SetSwitch(PARAM_SPECULAR_ENABLE, true);  // keeps the light loop's lights
        m.SetFixed(PARAM_SPECULAR_AMOUNT, 0.0);
        m.SetFixed(PARAM_LIGHTS_EXPOSURE, 2.0);  // adds 3 per light
        ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
        const Rgba out = testing::Unit(m.Host().Output(), 0, 0);
        EXPECT_FLOAT_EQ(out.red, d == Depth::kFloat ? 3.0f : 1.0f) << Name(d);
    }
}

TEST(PixelPassTest, InvertXWithChannelFullIsZero) {
    for (Depth d : kDepths) {
        ModuleHost m(2, 1, d);
        SphereInput(m);
        m.SetChoice(PARAM_DISPLAY, DISPLAY_CHOICE_ADJUSTED_NORMALS);
        m.SetChoice(PARAM_NORMALS_X_CHANNEL, CHANNEL_FULL);
        m.SetSwitch(PARAM_NORMALS_INVERT_X, true);
        m.SetChoice(PARAM_NORMALS_Y_CHANNEL, CHANNEL_FULL);
        ASSERT_EQ(m.Host().RenderFrame(), PF_Err_NONE);
        EXPECT_EQ(testing::Raw(m.Host().Output(), 0, 0).red, 0) << Name(d);
        EXPECT_EQ(testing::Unit(m.Host().Output(), 0, 0).green, 1.0f) << Name(d);
    }
}

}  // namespace
}  // namespace lumeshade
