// The shortcuts the pixel path takes for speed, each against what it stands
// for: the map position without a library floor, the host's row split and
// its box average with column weights worked out once, and the light loop's
// full-resolution position.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "AE_EffectCBSuites.h"
#include "common/convert.h"
#include "host/host.h"
#include "host/world.h"
#include "shading/pixel_pass.h"
#include "shading/shade_pixel.h"

namespace lumeshade {
namespace {

using host::Depth;
using host::Host;
using host::World;

PF_Err NoEffect(PF_Cmd, PF_InData*, PF_OutData*, PF_ParamList, PF_LayerDef*, void*) {
    return PF_Err_NONE;
}

template <class Suite>
const Suite& Acquired(Host& h, const char* name, int version) {
    const void* table = nullptr;
    EXPECT_EQ(h.InData().pica_basicP->AcquireSuite(name, version, &table), kSPNoError);
    return *static_cast<const Suite*>(table);
}

// --- Map positions ------------------------------------------------------------

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// The index FloorToInt gives once limited to 0..last: the definition the
// shortcut must reproduce.
int32_t FlooredAndLimited(float v, int32_t last) {
    int32_t i = FloorToInt(v);
    if (i < 0) i = 0;
    if (i > last) i = last;
    return i;
}

TEST(FloorToIndexTest, AgreesWithTheLimitedFloor) {
    const float values[] = {0.0f,   -0.0f,       0.25f,         0.999f,         1.0f,
                            3.999f, 4.0f,        100.5f,        -0.25f,         -1.0f,
                            -7.5f,  1e9f,        2147483520.0f, 2147483648.0f,  3e9f,
                            kInf,   -kInf,       kNaN,          -2147483648.0f, -3e9f,
                            1e-30f, 16777217.0f, 0.5f,          1023.9999f,     1024.0f};
    const int32_t lasts[] = {-1, 0, 3, 1023, std::numeric_limits<int32_t>::max()};
    for (int32_t last : lasts) {
        for (float v : values) {
            EXPECT_EQ(FloorToIndex(v, last), FlooredAndLimited(v, last))
                << "v " << v << " last " << last;
        }
    }
}

TEST(MapPositionTest, StretchesAndPullsBackToTheEdge) {
    struct Case {
        float layerWidth, layerHeight;
        A_long mapWidth, mapHeight;
    };
    // Equal sizes, a smaller and a larger map, and layers one pixel wide or
    // high, whose stretch factor divides by zero.
    const Case cases[] = {{1920, 1080, 1920, 1080},
                          {1920, 1080, 1024, 1024},
                          {7, 3, 20, 9},
                          {1, 5, 4, 4},
                          {5, 1, 4, 4},
                          {1, 1, 1, 1}};
    const A_long xs[] = {0, 1, 2, 3, 6, 100, 1919, 1920, 5000, -1, -40};
    for (const Case& c : cases) {
        RenderContext ctx;
        ctx.layerWidth = c.layerWidth;
        ctx.layerHeight = c.layerHeight;
        PF_EffectWorld map{};
        map.width = c.mapWidth;
        map.height = c.mapHeight;
        for (A_long x : xs) {
            for (A_long y : {A_long(0), A_long(1), A_long(2), x}) {
                const float fx = float(map.width - 1) / (ctx.layerWidth - 1.0f) * float(x);
                const float fy = float(map.height - 1) / (ctx.layerHeight - 1.0f) * float(y);
                const MapPosition p = MapPositionOf(map, x, y, ctx);
                EXPECT_EQ(p.column, FlooredAndLimited(fx, map.width - 1))
                    << c.layerWidth << " -> " << map.width << " at " << x;
                EXPECT_EQ(p.row, FlooredAndLimited(fy, map.height - 1))
                    << c.layerHeight << " -> " << map.height << " at " << y;
            }
        }
    }
}

// --- The host's row split -------------------------------------------------------

// Hands back what it was given, then scribbles on it: a pixel outside the
// source must still see transparent black after its neighbour's scribble.
PF_Err EchoAndScribble(void*, A_long, A_long, PF_Pixel8* in, PF_Pixel8* out) {
    *out = *in;
    *in = {77, 77, 77, 77};
    return PF_Err_NONE;
}

TEST(IterateRowTest, EachPixelSeesItsSourcePixelOrTransparentBlack) {
    constexpr A_long kW = 13, kH = 7;
    const PF_Point origins[] = {{0, 0}, {-3, -2}, {4, 3}, {-20, 0}, {0, 9}, {12, -6}};
    for (int threads : {1, 3}) {
        for (const PF_Point& origin : origins) {
            Host h(NoEffect);
            h.SetThreads(threads);
            World src(kW, kH, Depth::k8), dst(kW, kH, Depth::k8);
            for (A_long y = 0; y < kH; ++y) {
                for (A_long x = 0; x < kW; ++x) {
                    src.At<PF_Pixel8>(x, y) = {200, A_u_char(x + 1), A_u_char(y + 1), 9};
                }
            }
            const World original = src;
            const auto& iterate =
                Acquired<PF_Iterate8Suite1>(h, kPFIterate8Suite, kPFIterate8SuiteVersion1);
            ASSERT_EQ(
                iterate.iterate_origin_non_clip_src(&h.InData(), 0, 0, &src.Def(), nullptr, &origin,
                                                    nullptr, EchoAndScribble, &dst.Def()),
                PF_Err_NONE);
            for (A_long y = 0; y < kH; ++y) {
                for (A_long x = 0; x < kW; ++x) {
                    const A_long sx = x + origin.h, sy = y + origin.v;
                    const bool inside = sx >= 0 && sx < kW && sy >= 0 && sy < kH;
                    const PF_Pixel8 want =
                        inside ? original.At<PF_Pixel8>(sx, sy) : PF_Pixel8{0, 0, 0, 0};
                    const PF_Pixel8 got = dst.At<PF_Pixel8>(x, y);
                    EXPECT_TRUE(got.alpha == want.alpha && got.red == want.red &&
                                got.green == want.green && got.blue == want.blue)
                        << "origin (" << origin.h << ", " << origin.v << "), " << threads
                        << " threads, pixel (" << x << ", " << y << ")";
                }
            }
        }
    }
}

// --- The host's box average -------------------------------------------------------

// A box of radius r (a whole number of pixels, at least 2) centred on pixel
// c covers the pixels c - r + 1 .. c + r - 1 fully and its two end pixels
// by half; what lies outside the world counts as black, and the sum is over
// the box's full length 2r. `value(i)` is pixel i's channel.
template <class Value>
double BoxMean(A_long c, A_long r, A_long size, Value value) {
    double sum = 0.0;
    for (A_long i = c - r; i <= c + r; ++i) {
        if (i < 0 || i >= size) continue;
        sum += (i == c - r || i == c + r ? 0.5 : 1.0) * value(i);
    }
    return sum / (2.0 * double(r));
}

TEST(BoxAverageTest, NarrowAndWideBoxesAverageWhatTheyCover) {
    constexpr A_long kW = 400, kH = 3;
    Host h(NoEffect);
    World ramp(kW, kH, Depth::kFloat);
    for (A_long y = 0; y < kH; ++y) {
        for (A_long x = 0; x < kW; ++x) ramp.At<PF_PixelFloat>(x, y) = {1.0f, float(x), 0.5f, 0};
    }
    const auto& sampling =
        Acquired<PF_SamplingFloatSuite1>(h, kPFSamplingFloatSuite, kPFSamplingFloatSuiteVersion1);
    struct Case {
        A_long column, radius;
    };
    // Radii on both sides of the widest box whose column weights are kept
    // (63 and 64 give 127 and 129 columns), inside and across either edge.
    const Case cases[] = {{200, 2}, {200, 63}, {200, 64}, {200, 150}, {10, 63},
                          {10, 64}, {390, 70}, {0, 2},    {399, 100}, {200, 199}};
    for (const Case& c : cases) {
        PF_SampPB params{};
        params.x_radius = params.y_radius = c.radius * 65536;
        params.src = &ramp.Def();
        params.samp_behave = PF_SampleEdgeBehav_ZERO;
        PF_PixelFloat got{};
        ASSERT_EQ(sampling.area_sample_float(h.InData().effect_ref, c.column * 65536, 65536,
                                             &params, &got),
                  PF_Err_NONE);
        // Rows: all three lie inside a box centred on row 1 (r >= 2).
        const double rows = BoxMean(1, c.radius, kH, [](A_long) { return 1.0; });
        const double column = BoxMean(c.column, c.radius, kW, [](A_long i) { return double(i); });
        const double covered = BoxMean(c.column, c.radius, kW, [](A_long) { return 1.0; });
        EXPECT_NEAR(got.red, column * rows, 1e-3) << c.column << " radius " << c.radius;
        EXPECT_NEAR(got.green, 0.5 * covered * rows, 1e-6) << c.column << " radius " << c.radius;
        EXPECT_NEAR(got.alpha, covered * rows, 1e-6) << c.column << " radius " << c.radius;
    }
}

// --- The light loop's position ---------------------------------------------------

// At a downsample factor the light loop works in full-resolution pixels, so
// a pixel of a reduced render shades as the pixel that many times further
// out does at full resolution (one normal everywhere, so that no map read
// tells the two apart).
TEST(DownsampledPositionTest, AReducedPixelShadesAsTheFullResolutionOne) {
    static SPBasicSuite basic{};  // no suite is needed: nothing is filtered
    World normal(1, 1, Depth::kFloat);
    normal.At<PF_PixelFloat>(0, 0) = {1.0f, 0.5f, 0.5f, 1.0f};
    World empty(0, 0, Depth::kFloat);

    RenderContext ctx;
    ctx.normalMap = &normal.Def();
    for (PF_EffectWorld** map : {&ctx.alphaMap, &ctx.depthMap, &ctx.bumpMap, &ctx.environmentMap,
                                 &ctx.refractionMap, &ctx.matcapMap, &ctx.uvMap, &ctx.textureMap}) {
        *map = &empty.Def();
    }
    ctx.layerWidth = ctx.layerHeight = 64.0f;
    ctx.shadingEnabled = true;
    ctx.shadingColor = {1.0f, 1.0f, 1.0f, 0.0f};
    ctx.shadingAmbient = {0.5f, 0.5f, 0.5f, 0.0f};
    ctx.lightFalloff = 0.5f;  // Linear falloff: the distance matters
    ctx.lightCount = 1;
    ctx.lightType[0] = LIGHT_POINT;
    ctx.lightPosition[0] = {40.0f, 25.0f, 30.0f};
    ctx.lightColor[0] = {1.0f, 0.8f, 0.6f, 0.0f};
    ctx.lightIntensity[0] = 100.0f;

    const struct { A_long num, den; } factors[] = {{1, 2}, {1, 3}, {2, 4}};
    for (const auto& factor : factors) {
        PF_InData full{}, reduced{};
        full.pica_basicP = reduced.pica_basicP = &basic;
        full.downsample_x = full.downsample_y = {1, 1};
        reduced.downsample_x =
            reduced.downsample_y = {factor.num, static_cast<A_u_long>(factor.den)};
        const A_long scale = factor.num * factor.den;
        std::vector<float> reds;
        for (A_long x : {0, 1, 5, 9}) {
            for (A_long y : {0, 3, 7}) {
                PF_PixelFloat in{1.0f, 0.2f, 0.2f, 0.2f}, atFull{}, atReduced{};
                ctx.inData = &full;
                PrepareFrame(ctx);
                ASSERT_EQ(ShadePixelFloat(&ctx, x * scale, y * scale, &in, &atFull), PF_Err_NONE);
                ctx.inData = &reduced;
                PrepareFrame(ctx);
                ASSERT_EQ(ShadePixelFloat(&ctx, x, y, &in, &atReduced), PF_Err_NONE);
                EXPECT_EQ(atReduced.red, atFull.red) << scale << " at " << x << ", " << y;
                EXPECT_EQ(atReduced.green, atFull.green);
                EXPECT_EQ(atReduced.blue, atFull.blue);
                reds.push_back(atFull.red);
            }
        }
        // The positions must matter, or the comparison proves nothing.
        EXPECT_NE(*std::min_element(reds.begin(), reds.end()),
                  *std::max_element(reds.begin(), reds.end()))
            << scale;
    }
}

// --- Values prepared once per frame ------------------------------------------

// Smart render prepares the frame's constants once; the pixel functions
// refuse a context whose constants were never prepared, and a prepared one
// shows every setting the constants cover (here the rim light's angle).
TEST(PreparedFrameTest, OnlyAPreparedContextIsShadedAndItFollowsTheSettings) {
    static SPBasicSuite basic{};
    World normals(16, 16, Depth::kFloat);
    for (A_long y = 0; y < 16; ++y) {
        for (A_long x = 0; x < 16; ++x) {
            normals.At<PF_PixelFloat>(x, y) = {1.0f, x / 15.0f, y / 15.0f, 0.3f + x / 40.0f};
        }
    }
    World empty(0, 0, Depth::kFloat);
    PF_InData inData{};
    inData.pica_basicP = &basic;
    inData.downsample_x = {1, 2};
    inData.downsample_y = {1, 3};

    RenderContext ctx;
    ctx.inData = &inData;
    ctx.normalMap = &normals.Def();
    for (PF_EffectWorld** map : {&ctx.alphaMap, &ctx.depthMap, &ctx.bumpMap, &ctx.environmentMap,
                                 &ctx.refractionMap, &ctx.matcapMap, &ctx.uvMap, &ctx.textureMap}) {
        *map = &empty.Def();
    }
    ctx.layerWidth = ctx.layerHeight = 16.0f;
    ctx.channelMax = 1.0f;
    ctx.shadingEnabled = true;
    ctx.shadingColor = {1.0f, 1.0f, 1.0f, 0.0f};
    ctx.shadingDiffuse = 1.5f;
    ctx.shadingBlend = BLEND_MULTIPLY;
    ctx.lightFalloff = 0.5f;
    ctx.lightGamma = 0.8f;
    ctx.lightExposure = 1.25f;
    ctx.specularEnabled = true;
    ctx.specularAmount = 0.7f;
    ctx.toonEnabled = true;
    ctx.toonAmount = 0.5f;
    ctx.rimLightEnabled = true;
    ctx.rimLightAmount = 0.8f;
    ctx.rimLightSize = 0.5f;
    ctx.rimLightWidth = 2.0f;
    ctx.rimLightColor = {1.0f, 0.5f, 0.25f, 0.0f};
    ctx.lightCount = 2;
    ctx.lightType[0] = LIGHT_POINT;
    ctx.lightType[1] = LIGHT_PARALLEL;
    for (int i = 0; i < 2; ++i) {
        ctx.lightPosition[i] = {10.0f + 20.0f * i, 5.0f, 30.0f};
        ctx.lightColor[i] = {1.0f, 0.8f, 0.6f, 0.0f};
        ctx.lightIntensity[i] = 100.0f;
    }

    // The frame's pixels, or nothing when a pixel is refused.
    const auto frame = [&] {
        std::vector<PF_PixelFloat> out(16 * 16);
        for (A_long y = 0; y < 16; ++y) {
            for (A_long x = 0; x < 16; ++x) {
                PF_PixelFloat in{1.0f, 0.2f, 0.4f, 0.6f};
                if (ShadePixelFloat(&ctx, x, y, &in, &out[std::size_t(y * 16 + x)]) !=
                    PF_Err_NONE) {
                    return std::vector<PF_PixelFloat>{};
                }
            }
        }
        return out;
    };
    const auto same = [](const std::vector<PF_PixelFloat>& a, const std::vector<PF_PixelFloat>& b) {
        return a.size() == b.size() &&
               std::memcmp(a.data(), b.data(), a.size() * sizeof(PF_PixelFloat)) == 0;
    };
    PrepareFrame(ctx);
    const std::vector<PF_PixelFloat> atZero = frame();
    ASSERT_EQ(atZero.size(), 256u);
    for (int32_t angle : {30, 135, 250}) {
        ctx.rimLightAngle = angle;
        ctx.frame = {};
        EXPECT_TRUE(frame().empty()) << "an unprepared context is refused";
        PrepareFrame(ctx);
        ASSERT_TRUE(ctx.frame.prepared);
        const std::vector<PF_PixelFloat> turned = frame();
        EXPECT_EQ(turned.size(), 256u);
        EXPECT_FALSE(same(turned, atZero)) << "angle " << angle;
    }
}

}  // namespace
}  // namespace lumeshade
