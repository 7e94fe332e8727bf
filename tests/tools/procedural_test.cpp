// The maps the program makes: properties of each, not pictures.
#include "tools/procedural.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lumeshade::tools {
namespace {

struct Decoded {
    double x, y, z;
    double Length() const { return std::sqrt(x * x + y * y + z * z); }
};

Decoded Normal(const Image& image, int x, int y) {
    const float* p = image.Pixel(x, y);
    return {2.0 * p[0] - 1.0, 2.0 * p[1] - 1.0, 2.0 * p[2] - 1.0};
}

MapParams Params(MapKind kind, int width, int height) {
    MapParams params;
    params.kind = kind;
    params.width = width;
    params.height = height;
    return params;
}

TEST(ProceduralTest, EveryKindHasTheRequestedSizeAndIsTheSameEachTime) {
    for (const std::string& name : MapKindNames()) {
        SCOPED_TRACE(name);
        const MapParams params = Params(*ParseMapKind(name), 37, 23);
        const Image a = GenerateMap(params);
        EXPECT_EQ(a.width, 37);
        EXPECT_EQ(a.height, 23);
        EXPECT_EQ(a.rgba.size(), 37u * 23u * 4u);
        EXPECT_EQ(a.rgba, GenerateMap(params).rgba);
        EXPECT_EQ(MapKindName(*ParseMapKind(name)), name);
    }
    EXPECT_FALSE(ParseMapKind("Sphere"));
    EXPECT_THROW(GenerateMap(Params(MapKind::kSphere, 0, 5)), std::invalid_argument);
}

TEST(ProceduralTest, NormalMapsHoldUnitNormalsTowardTheViewerAndNothingElsewhere) {
    for (MapKind kind : {MapKind::kSphere, MapKind::kTorus, MapKind::kBump}) {
        SCOPED_TRACE(MapKindName(kind));
        const Image image = GenerateMap(Params(kind, 96, 64));
        int covered = 0, empty = 0;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const float* p = image.Pixel(x, y);
                if (p[3] == 0.0f) {
                    ++empty;
                    EXPECT_EQ(p[0] + p[1] + p[2], 0.0f) << "off the surface is no surface";
                    continue;
                }
                ++covered;
                const Decoded n = Normal(image, x, y);
                EXPECT_NEAR(n.Length(), 1.0, 1e-6) << x << "," << y;
                EXPECT_GE(n.z, -1e-7);
            }
        }
        EXPECT_GT(covered, 0);
        if (kind == MapKind::kBump) {
            EXPECT_EQ(empty, 0) << "a bump map covers its whole area";
        }
    }
}

TEST(ProceduralTest, TheSphereFacesTheViewerAtItsCentreAndTiltsOutward) {
    MapParams params = Params(MapKind::kSphere, 101, 81);
    params.radius = 0.9;
    const Image image = GenerateMap(params);
    const Decoded centre = Normal(image, 50, 40);
    EXPECT_NEAR(centre.x, 0.0, 1e-9);
    EXPECT_NEAR(centre.y, 0.0, 1e-9);
    EXPECT_NEAR(centre.z, 1.0, 1e-9);
    EXPECT_FLOAT_EQ(image.Pixel(50, 40)[3], 1.0f);
    // x grows to the right and y upward (rows grow downward).
    EXPECT_GT(Normal(image, 80, 40).x, 0.5);
    EXPECT_LT(Normal(image, 20, 40).x, -0.5);
    EXPECT_GT(Normal(image, 50, 10).y, 0.5);
    EXPECT_LT(Normal(image, 50, 70).y, -0.5);
    // The radius is 0.9 of half the shorter side: 36.45 pixels.
    EXPECT_EQ(image.Pixel(50 + 38, 40)[3], 0.0f);
    EXPECT_EQ(image.Pixel(50 + 35, 40)[3], 1.0f);
    EXPECT_EQ(image.Pixel(0, 0)[3], 0.0f);
}

TEST(ProceduralTest, ABackgroundFillsTheRestWithAFlatOpaqueSurface) {
    MapParams params = Params(MapKind::kSphere, 60, 40);
    params.background = true;
    const Image image = GenerateMap(params);
    for (std::size_t i = 3; i < image.rgba.size(); i += 4) ASSERT_EQ(image.rgba[i], 1.0f);
    EXPECT_EQ(std::vector<float>(image.Pixel(0, 0), image.Pixel(0, 0) + 3),
              (std::vector<float>{0.5f, 0.5f, 1.0f}));
    params.background = false;
    const Image alone = GenerateMap(params);
    EXPECT_EQ(std::vector<float>(image.Pixel(30, 20), image.Pixel(30, 20) + 4),
              std::vector<float>(alone.Pixel(30, 20), alone.Pixel(30, 20) + 4))
        << "the sphere itself is unchanged";
}

TEST(ProceduralTest, TheTorusHasAHoleAndFacesTheViewerAlongItsRing) {
    MapParams params = Params(MapKind::kTorus, 100, 100);
    params.ringRadius = 0.6;
    params.tubeRadius = 0.2;
    const Image image = GenerateMap(params);
    EXPECT_EQ(image.Pixel(50, 50)[3], 0.0f);
    const Decoded onRing = Normal(image, 80, 50);  // 30.5 pixels out: the ring's centre line
    EXPECT_GT(onRing.z, 0.99);
    EXPECT_LT(Normal(image, 72, 50).x, -0.3) << "the inner side faces the hole";
    EXPECT_GT(Normal(image, 88, 50).x, 0.3);
    params.tubeRadius = 0.7;
    EXPECT_THROW(GenerateMap(params), std::invalid_argument);
}

TEST(ProceduralTest, TheUvMapReadsBackAsEachPixelsOwnPlace) {
    const Image image = GenerateMap(Params(MapKind::kUv, 40, 25));
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const float* p = image.Pixel(x, y);
            // The texture lookup reads u = red and v = 1 - green.
            EXPECT_NEAR(p[0], (x + 0.5) / 40.0, 1e-7);
            EXPECT_NEAR(1.0f - p[1], (y + 0.5) / 25.0, 1e-7);
            EXPECT_EQ(p[3], 1.0f);
        }
    }
}

TEST(ProceduralTest, CheckerSquaresAlternateWithTheirPeriod) {
    MapParams params = Params(MapKind::kChecker, 50, 30);
    params.squareSize = 5;
    params.color1 = {1, 0, 0};
    params.color2 = {0, 0, 1};
    const Image image = GenerateMap(params);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 50; ++x) {
            const bool first = (x / 5 + y / 5) % 2 == 0;
            EXPECT_EQ(image.Pixel(x, y)[0], first ? 1.0f : 0.0f) << x << "," << y;
            EXPECT_EQ(image.Pixel(x, y)[2], first ? 0.0f : 1.0f);
            if (x + 10 < 50) {
                EXPECT_EQ(image.Pixel(x, y)[0], image.Pixel(x + 10, y)[0]);
            }
        }
    }
    EXPECT_NE(image.Pixel(4, 0)[0], image.Pixel(5, 0)[0]);
}

TEST(ProceduralTest, TheDepthMapIsTheSpheresHeight) {
    const Image image = GenerateMap(Params(MapKind::kDepth, 64, 64));
    EXPECT_GT(image.Pixel(32, 32)[0], 0.99f);
    EXPECT_EQ(image.Pixel(0, 0)[0], 0.0f);
    for (int x = 33; x < 63; ++x) {
        EXPECT_LE(image.Pixel(x, 32)[0], image.Pixel(x - 1, 32)[0]) << x;
        EXPECT_EQ(image.Pixel(x, 32)[0], image.Pixel(x, 32)[2]) << "grey";
        EXPECT_EQ(image.Pixel(x, 32)[3], 1.0f);
    }
}

TEST(ProceduralTest, MatcapAndPanoramaAreOpaqueAndLitAsDescribed) {
    const Image matcap = GenerateMap(Params(MapKind::kMatcap, 64, 64));
    const auto luminance = [](const float* p) { return p[0] + p[1] + p[2]; };
    // Lit from the upper left.
    EXPECT_GT(luminance(matcap.Pixel(20, 20)), luminance(matcap.Pixel(44, 44)) + 0.3f);
    const Image pano = GenerateMap(Params(MapKind::kEnvironment, 128, 64));
    for (std::size_t i = 3; i < pano.rgba.size(); i += 4) ASSERT_EQ(pano.rgba[i], 1.0f);
    for (std::size_t i = 3; i < matcap.rgba.size(); i += 4) ASSERT_EQ(matcap.rgba[i], 1.0f);
    EXPECT_GT(pano.Pixel(10, 0)[2], pano.Pixel(10, 0)[0]) << "the sky is blue";
    EXPECT_LT(pano.Pixel(10, 63)[2], pano.Pixel(10, 63)[0]) << "the ground is not";
    // The sky wraps around without a seam.
    for (int y = 0; y < 30; y += 7) {
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(pano.Pixel(0, y)[c], pano.Pixel(127, y)[c], 0.06);
    }
}

}  // namespace
}  // namespace lumeshade::tools
