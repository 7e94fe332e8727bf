// Which texel each lookup reads, proved with maps whose pixels encode their
// own position, in the three pixel formats; and what the lookups make of it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/maps/lookup_fixture.h"

namespace lumeshade {
namespace {

using test::Lookup;
using test::Observed;
using test::PositionOf;
using test::TestWorld;

constexpr float kInf = std::numeric_limits<float>::infinity();

template <class Pixel>
class LookupTest : public test::LookupFixture<Pixel> {
protected:
    // The texel behind a colour lookup's result, or (-1, -1) when the
    // lookup left its colour unchanged.
    std::pair<long, long> Read(Lookup l, A_long x, A_long y, Vector3 n, float depth = 1.0f) {
        const Observed o = this->Run(l, x, y, n, depth);
        if (test::SameBits(o, test::Untouched(n))) return {-1, -1};
        return PositionOf<Pixel>(this->ColourOf(l, o));
    }
};
TYPED_TEST_SUITE(LookupTest, test::PixelTypes);

using Texel = std::pair<long, long>;
constexpr Texel kNothing{-1, -1};

TYPED_TEST(LookupTest, MatcapReadsOneRightAndDownOfTheNormalsPosition) {
    TestWorld<TypeParam> map(256, 256);
    test::FillWithPositions(map);
    this->ctx_.matcapMap = map.World();
    struct Case {
        float nx, ny;
        int32_t ox, oy, mode;
        Texel texel;
    };
    const Case cases[] = {
        {0.5f, 0.5f, 0, 0, TILE_EDGE, {129, 129}},
        {1.0f, 0.5f, 0, 0, TILE_EDGE, {254, 129}},  // cx = 257, clamped to W - 2
        {0.0f, 0.5f, 0, 0, TILE_EDGE, {1, 129}},
        {0.5f, 1.0f, 0, 0, TILE_EDGE, {129, 1}},  // Y flipped: up is the top row
        {0.5f, 0.0f, 0, 0, TILE_EDGE, {129, 254}},
        {0.5f, 0.5f, -10, 20, TILE_EDGE, {119, 149}},
        {0.5f, 0.5f, 126, 0, TILE_REPEAT, {1, 129}},  // cx = 255 = W - 1 repeats to 1
        {0.5f, 0.5f, 126, 0, TILE_NONE, kNothing},
        {1.0f, 0.5f, 0, 0, TILE_MIRROR, {254, 129}},
    };
    for (const Case& c : cases) {
        this->ctx_.matcapOffsetX = c.ox;
        this->ctx_.matcapOffsetY = c.oy;
        this->ctx_.matcapMode = c.mode;
        EXPECT_EQ(this->Read(Lookup::kMatcap, 0, 0, {c.nx, c.ny, 1.0f}), c.texel)
            << "normal (" << c.nx << ", " << c.ny << "), offset (" << c.ox << ", " << c.oy
            << "), mode " << c.mode;
    }
}

TYPED_TEST(LookupTest, SphericalReflectionReadsFromTheFarEdges) {
    TestWorld<TypeParam> map(512, 512);
    test::FillWithPositions(map);
    this->ctx_.environmentMap = map.World();
    struct Case {
        float azimuth, inclination, seam, depth;
        int32_t mode;
        Texel texel;
    };
    const Case cases[] = {
        {0, 0, 1, 1, TILE_REPEAT, {257, 257}},   // gx = gy = 255
        {90, 0, 1, 1, TILE_REPEAT, {129, 257}},  // gx = trunc(255.5 + 127.75)
        {0, 90, 1, 1, TILE_REPEAT, {257, 129}},
        {0, 0, 1, 0, TILE_REPEAT, {1, 1}},  // gx = 511, gy = 0: row 512 repeats to 1
        {0, 0, 1, 0, TILE_EDGE, {1, 511}},
        {0, 0, 1, 0, TILE_NONE, kNothing},
        {0, 0, 0.5f, 1, TILE_EDGE, {385, 385}},  // Seam 2: gx = gy = 127
    };
    for (const Case& c : cases) {
        this->ctx_.reflectionAzimuth = c.azimuth;
        this->ctx_.reflectionInclination = c.inclination;
        this->ctx_.reflectionSeam = c.seam;
        this->ctx_.reflectionTileMode = c.mode;
        EXPECT_EQ(this->Read(Lookup::kReflection, 0, 0, {0.5f, 0.5f, 1.0f}, c.depth), c.texel)
            << "azimuth " << c.azimuth << ", inclination " << c.inclination << ", 1/seam " << c.seam
            << ", depth " << c.depth << ", mode " << c.mode;
    }
}

TYPED_TEST(LookupTest, PanoramaReflectionFollowsThePixelAndTheNormal) {
    TestWorld<TypeParam> map(128, 128);
    TestWorld<TypeParam> odd(65, 128);
    test::FillWithPositions(map);
    test::FillWithPositions(odd);
    this->ctx_.reflectionEnvironmentMode = ENVIRONMENT_PANORAMA;
    struct Case {
        TestWorld<TypeParam>* world;
        A_long x, y;
        Vector3 n2;
        float eta, azimuth, inclination;
        A_u_long downsample;
        int32_t mode;
        Texel texel;
    };
    const Vector3 level{0.5f, 0.5f, 1.0f};
    const Vector3 tilted{1.0f, 1.0f, 1.0f};  // 2 d N2.z N2.x - 1 = 1
    const Case cases[] = {
        {&map, 0, 0, level, 0, 0, 0, 1, TILE_REPEAT, {1, 1}},  // column W repeats to 1
        {&map, 0, 0, level, 0, 0, 0, 1, TILE_EDGE, {127, 127}},
        {&map, 1, 1, level, 0, 0, 0, 1, TILE_REPEAT, {127, 127}},
        {&map, 10, 5, level, 0, 0, 0, 1, TILE_EDGE, {118, 123}},
        {&map, 10, 5, level, 0, 4, 3, 1, TILE_EDGE, {122, 126}},
        {&map, 60, 20, tilted, 1, 0, 0, 1, TILE_EDGE, {118, 58}},  // x - 50, y + 50
        {&map, 60, 20, tilted, 1, 0, 0, 2, TILE_EDGE, {93, 83}},   // half resolution: 25
        {&odd, 10, 5, level, 0, 0, 0, 1, TILE_EDGE, {56, 123}},    // x - 0.5 truncates to 9
        {&odd, 0, 5, level, 0, 0, 0, 1, TILE_EDGE, {64, 123}},     // -0.5 truncates to 0
    };
    for (const Case& c : cases) {
        this->ctx_.environmentMap = c.world->World();
        this->ctx_.reflectionIndexOfRefraction = c.eta;
        this->ctx_.reflectionAzimuth = c.azimuth;
        this->ctx_.reflectionInclination = c.inclination;
        this->ctx_.reflectionTileMode = c.mode;
        this->host_.InData().downsample_x = {1, c.downsample};
        this->host_.InData().downsample_y = {1, c.downsample};
        EXPECT_EQ(this->Read(Lookup::kReflection, c.x, c.y, c.n2), c.texel)
            << "pixel (" << c.x << ", " << c.y << "), eta " << c.eta << ", shift (" << c.azimuth
            << ", " << c.inclination << "), 1/" << c.downsample << ", mode " << c.mode;
    }
}

TYPED_TEST(LookupTest, RefractionReadsThePixelsOwnPositionShiftedAndScaled) {
    TestWorld<TypeParam> map(64, 64);
    TestWorld<TypeParam> odd(65, 64);
    test::FillWithPositions(map);
    test::FillWithPositions(odd);
    struct Case {
        TestWorld<TypeParam>* world;
        A_long x, y;
        Vector3 n2;
        float eta, scale;
        int32_t ox, oy, mode;
        Texel texel;
    };
    const Vector3 level{0.5f, 0.5f, 1.0f};  // N2.z x N2.x = 0.5: no displacement at any eta
    const Case cases[] = {
        {&map, 7, 9, level, 1.5f, 1, 0, 0, TILE_EDGE, {7, 9}},
        {&map, 7, 9, level, 1.5f, 1, 3, -2, TILE_EDGE, {4, 11}},
        {&map, 7, 9, level, 1.5f, 0.5f, 0, 0, TILE_EDGE, {3, 4}},  // Scale 2
        {&map, 60, 5, {1, 1, 1}, 1, 1, 0, 0, TILE_EDGE, {10, 55}},
        {&odd, 7, 9, level, 1.5f, 1, 0, 0, TILE_EDGE, {6, 9}},
        {&map, 70, 9, level, 1.5f, 1, 0, 0, TILE_NONE, kNothing},
        {&map, 70, 9, level, 1.5f, 1, 0, 0, TILE_REPEAT, {7, 9}},  // 70 rem 64 + 1
    };
    for (const Case& c : cases) {
        this->ctx_.refractionMap = c.world->World();
        this->ctx_.refractionIndexOfRefraction = c.eta;
        this->ctx_.refractionScale = c.scale;
        this->ctx_.refractionOffsetX = c.ox;
        this->ctx_.refractionOffsetY = c.oy;
        this->ctx_.refractionTileMode = c.mode;
        EXPECT_EQ(this->Read(Lookup::kRefraction, c.x, c.y, c.n2), c.texel)
            << "pixel (" << c.x << ", " << c.y << "), eta " << c.eta << ", 1/scale " << c.scale
            << ", offset (" << c.ox << ", " << c.oy << "), mode " << c.mode;
    }
}

TYPED_TEST(LookupTest, TextureReadsWhereTheUvMapPoints) {
    using Pixel = TypeParam;
    TestWorld<Pixel> texture(100, 100);
    TestWorld<Pixel> uv(4, 3, test::Rgb<Pixel>(65 / 255.0, 190 / 255.0, 0.0));
    test::FillWithPositions(texture);
    this->ctx_.textureMap = texture.World();
    this->ctx_.uvMap = uv.World();
    struct Case {
        A_long x, y;
        int32_t mirror, ox, oy;
        Texel texel;
    };
    // u = v = 0.2549: 100 u + 1 = 26.49, and 75.5 mirrored.
    const Case cases[] = {
        {0, 0, UV_MIRROR_OFF, 0, 0, {26, 26}},  {3, 2, UV_MIRROR_OFF, 0, 0, {26, 26}},
        {0, 0, UV_MIRROR_X, 0, 0, {75, 26}},    {0, 0, UV_MIRROR_Y, 0, 0, {26, 75}},
        {0, 0, UV_MIRROR_BOTH, 0, 0, {75, 75}}, {0, 0, UV_MIRROR_OFF, 10, 10, {36, 16}},
        {4, 0, UV_MIRROR_OFF, 0, 0, kNothing},  {0, 3, UV_MIRROR_OFF, 0, 0, kNothing},
        {-1, 0, UV_MIRROR_OFF, 0, 0, kNothing}, {0, -1, UV_MIRROR_OFF, 0, 0, kNothing},
    };
    for (const Case& c : cases) {
        this->ctx_.textureUvMirror = c.mirror;
        this->ctx_.textureOffsetX = c.ox;
        this->ctx_.textureOffsetY = c.oy;
        EXPECT_EQ(this->Read(Lookup::kTexture, c.x, c.y, {}), c.texel)
            << "pixel (" << c.x << ", " << c.y << "), mirror " << c.mirror << ", offset (" << c.ox
            << ", " << c.oy << ")";
    }
    // The texture colour's fourth value is carried through.
    EXPECT_EQ(this->Run(Lookup::kTexture, 0, 0, {}).t.fourth, Observed{}.t.fourth);
}

TYPED_TEST(LookupTest, TextureAtExactQuarters) {
    using Pixel = TypeParam;
    if constexpr (std::is_same_v<Pixel, PF_Pixel8>) {
        GTEST_SKIP() << "0.25 and 0.75 are not 8-bit channel values";
    } else {
        TestWorld<Pixel> texture(100, 100);
        TestWorld<Pixel> uv(2, 2, test::Rgb<Pixel>(0.25, 0.75, 0.0));
        test::FillWithPositions(texture);
        this->ctx_.textureMap = texture.World();
        this->ctx_.uvMap = uv.World();
        EXPECT_EQ(this->Read(Lookup::kTexture, 1, 1, {}), Texel(26, 26));
        this->ctx_.textureUvMirror = UV_MIRROR_X;
        EXPECT_EQ(this->Read(Lookup::kTexture, 1, 1, {}), Texel(76, 26));
    }
}

// The matcap and the texture address their maps with width and height minus
// one, so a map one pixel wide or high has nothing to give.
TYPED_TEST(LookupTest, OnePixelWideOrHighMatcapAndTextureGiveNothing) {
    using Pixel = TypeParam;
    TestWorld<Pixel> uv(8, 8, test::Rgb<Pixel>(0.5, 0.5, 0.0));
    this->ctx_.uvMap = uv.World();
    for (auto [w, h] : {std::pair{1, 5}, std::pair{5, 1}, std::pair{1, 1}}) {
        TestWorld<Pixel> map(w, h);
        this->ctx_.matcapMap = map.World();
        this->ctx_.textureMap = map.World();
        for (int32_t mode : {TILE_NONE, TILE_EDGE, TILE_REPEAT, TILE_MIRROR}) {
            this->ctx_.matcapMode = mode;
            this->ctx_.textureTileMode = mode;
            for (Lookup l : {Lookup::kMatcap, Lookup::kTexture}) {
                EXPECT_TRUE(test::SameBits(this->Run(l, 2, 2, {0.5f, 0.5f, 1.0f}),
                                           test::Untouched({0.5f, 0.5f, 1.0f})))
                    << test::NameOf(l) << " on " << w << " x " << h << ", mode " << mode;
            }
        }
    }
    // Two by two is the smallest map that gives a texel: its first one.
    TestWorld<Pixel> small(2, 2);
    test::FillWithPositions(small);
    this->ctx_.matcapMap = small.World();
    this->ctx_.matcapMode = TILE_EDGE;
    EXPECT_EQ(this->Read(Lookup::kMatcap, 0, 0, {1.0f, 0.0f, 1.0f}), Texel(0, 0));
}

// Bump-map pixels that are never grey and encode their position in red and
// green as signed tilts.
template <class Pixel>
Pixel BumpPixel(A_long column, A_long row) {
    using Traits = PixelTraits<Pixel>;
    using Channel = typename Traits::Channel;
    if constexpr (Traits::kIsFloat) {
        return {1.0f, column / 64.0f, row / 64.0f, 1.0f};
    } else {
        return {Channel(Traits::kMaxInt), Channel(column), Channel(row), Channel(Traits::kMaxInt)};
    }
}

// The raw channel behind a signed tilt, and the position behind a bumped
// normal that started at zero with intensity 1.
template <class Pixel>
long BumpChannel(float tilt) {
    using Traits = PixelTraits<Pixel>;
    if constexpr (Traits::kIsFloat) {
        return std::lround((tilt + 1.0) / 2.0 * 64.0);
    } else {
        return std::lround((tilt / Traits::kScale + Traits::kMax) / 2.0);
    }
}

template <class Pixel>
Texel BumpTexel(const Vector3& n) {
    return {BumpChannel<Pixel>(n.x), BumpChannel<Pixel>(n.y)};
}

TYPED_TEST(LookupTest, BumpReadsThePositionOffsetAndScaled) {
    using Pixel = TypeParam;
    TestWorld<Pixel> map(20, 20);
    map.Fill(BumpPixel<Pixel>);
    this->ctx_.bumpMap = map.World();
    struct Case {
        A_long x, y;
        float q;
        int32_t ox, oy, mode;
        Texel texel;
    };
    const Case cases[] = {
        {3, 7, 1, 0, 0, TILE_EDGE, {3, 7}},
        {10, 7, 0.5f, 0, 0, TILE_EDGE, {5, 3}},  // Scale 2
        {11, 7, 0.5f, 0, 0, TILE_EDGE, {5, 3}},
        {12, 7, 0.5f, 0, 0, TILE_EDGE, {6, 3}},
        {3, 7, 1, 2, -3, TILE_EDGE, {5, 4}},
        {10, 7, 0.5f, 2, 0, TILE_EDGE, {6, 3}},  // the offset is in output pixels
        {25, 7, 1, 0, 0, TILE_EDGE, {19, 7}},
        {25, 7, 1, 0, 0, TILE_REPEAT, {6, 7}},
        {3, 7, kInf, 0, 0, TILE_EDGE, {0, 0}},  // Scale 0 still acts
    };
    for (const Case& c : cases) {
        this->ctx_.bumpScale = c.q;
        this->ctx_.bumpOffsetX = c.ox;
        this->ctx_.bumpOffsetY = c.oy;
        this->ctx_.bumpTileMode = c.mode;
        const Observed o = this->Run(Lookup::kBump, c.x, c.y, {});
        EXPECT_EQ(BumpTexel<Pixel>(o.n), c.texel)
            << "pixel (" << c.x << ", " << c.y << "), q " << c.q << ", offset (" << c.ox << ", "
            << c.oy << "), mode " << c.mode;
    }
    this->ctx_.bumpScale = 1.0f;
    this->ctx_.bumpTileMode = TILE_NONE;
    EXPECT_TRUE(test::SameBits(this->Run(Lookup::kBump, 25, 7, {}), Observed{}));
}

}  // namespace
}  // namespace lumeshade
