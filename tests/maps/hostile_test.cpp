// Zero settings and hostile values: whatever the controls, normals,
// positions and map sizes, no lookup reads outside its map. Each case runs
// twice, on a map whose row padding holds a sentinel and on the same map
// with the padding holding map colours; a read of the padding makes the two
// results differ, and a read past the rows is caught by AddressSanitizer
// (the buffers end at the last row).
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "tests/maps/lookup_fixture.h"

namespace lumeshade {
namespace {

using test::Lookup;
using test::Observed;
using test::TestWorld;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

struct Setting {
    const char* what;
    std::function<void(RenderContext&, PF_InData&)> apply;
};

// Settings that hold a control at 0 or at an extreme, per lookup.
std::vector<Setting> SettingsFor(Lookup l) {
    std::vector<Setting> s = {
        {"defaults", [](RenderContext&, PF_InData&) {}},
        {"low quality", [](RenderContext&, PF_InData& in) { in.quality = PF_Quality_LO; }},
    };
    switch (l) {
        case Lookup::kMatcap:
            s.push_back({"largest offsets", [](RenderContext& c, PF_InData&) {
                             c.matcapOffsetX = kMax;
                             c.matcapOffsetY = kMin;
                         }});
            s.push_back({"smallest offsets", [](RenderContext& c, PF_InData&) {
                             c.matcapOffsetX = kMin;
                             c.matcapOffsetY = kMax;
                         }});
            break;
        case Lookup::kReflection:
            s.push_back({"Seam 0", [](RenderContext& c, PF_InData&) { c.reflectionSeam = kInf; }});
            s.push_back({"Gamma 0", [](RenderContext& c, PF_InData&) { c.reflectionGamma = 0; }});
            s.push_back({"Fresnel Depth 0", [](RenderContext& c, PF_InData&) {
                             c.reflectionFresnel = 1;
                             c.reflectionFresnelDepth = 0;
                         }});
            s.push_back({"huge angles", [](RenderContext& c, PF_InData&) {
                             c.reflectionAzimuth = 1e30f;
                             c.reflectionInclination = -1e30f;
                         }});
            s.push_back({"NaN angles", [](RenderContext& c, PF_InData&) {
                             c.reflectionAzimuth = kNaN;
                             c.reflectionInclination = kNaN;
                         }});
            s.push_back({"Panorama, Seam 0", [](RenderContext& c, PF_InData&) {
                             c.reflectionEnvironmentMode = ENVIRONMENT_PANORAMA;
                             c.reflectionSeam = kInf;
                         }});
            s.push_back({"Panorama, huge eta", [](RenderContext& c, PF_InData&) {
                             c.reflectionEnvironmentMode = ENVIRONMENT_PANORAMA;
                             c.reflectionIndexOfRefraction = 1e30f;
                         }});
            s.push_back({"Panorama, no downsample factor", [](RenderContext& c, PF_InData& in) {
                             c.reflectionEnvironmentMode = ENVIRONMENT_PANORAMA;
                             c.reflectionIndexOfRefraction = 1.5f;
                             in.downsample_x = {1, 0};
                             in.downsample_y = {0, 0};
                         }});
            s.push_back({"unknown environment mode", [](RenderContext& c, PF_InData& in) {
                             c.reflectionEnvironmentMode = 7;
                             in.downsample_x = {1, std::numeric_limits<A_u_long>::max()};
                         }});
            break;
        case Lookup::kRefraction:
            s.push_back(
                {"Scale 0", [](RenderContext& c, PF_InData&) { c.refractionScale = kInf; }});
            s.push_back({"Gamma 0", [](RenderContext& c, PF_InData&) { c.refractionGamma = 0; }});
            s.push_back({"Fresnel Depth 0", [](RenderContext& c, PF_InData&) {
                             c.refractionFresnel = 1;
                             c.refractionFresnelDepth = 0;
                         }});
            s.push_back({"extreme offsets", [](RenderContext& c, PF_InData&) {
                             c.refractionOffsetX = kMax;
                             c.refractionOffsetY = kMin;
                         }});
            s.push_back({"NaN eta, no downsample factor", [](RenderContext& c, PF_InData& in) {
                             c.refractionIndexOfRefraction = kNaN;
                             in.downsample_x = {0, 0};
                         }});
            break;
        case Lookup::kTexture:
            s.push_back({"largest offsets", [](RenderContext& c, PF_InData&) {
                             c.textureOffsetX = kMax;
                             c.textureOffsetY = kMin;
                         }});
            s.push_back({"smallest offsets, both mirrored", [](RenderContext& c, PF_InData&) {
                             c.textureOffsetX = kMin;
                             c.textureOffsetY = kMax;
                             c.textureUvMirror = UV_MIRROR_BOTH;
                         }});
            s.push_back(
                {"unknown mirror", [](RenderContext& c, PF_InData&) { c.textureUvMirror = 9; }});
            break;
        case Lookup::kBump:
            s.push_back({"Scale 0", [](RenderContext& c, PF_InData&) { c.bumpScale = kInf; }});
            s.push_back({"tiny and huge scale", [](RenderContext& c, PF_InData&) {
                             c.bumpScale = 1e-30f;
                             c.bumpOffsetX = kMax;
                         }});
            s.push_back({"huge scale", [](RenderContext& c, PF_InData&) { c.bumpScale = 1e30f; }});
            s.push_back({"extreme offsets", [](RenderContext& c, PF_InData&) {
                             c.bumpOffsetX = kMax;
                             c.bumpOffsetY = kMin;
                         }});
            s.push_back(
                {"huge intensity", [](RenderContext& c, PF_InData&) { c.bumpIntensity = -1e30f; }});
            break;
    }
    return s;
}

struct Probe {
    Vector3 n;
    float depth;
};
const Probe kProbes[] = {
    {{0.5f, 0.5f, 1.0f}, 1.0f},       {{kNaN, kNaN, kNaN}, 1.0f},   {{kInf, -kInf, kInf}, 0.0f},
    {{1e30f, -1e30f, 1e30f}, -1e30f}, {{-3.0f, 4.0f, -5.0f}, kNaN}, {{0.0f, 0.0f, 0.0f}, kInf},
};
const std::pair<A_long, A_long> kPositions[] = {
    {0, 0}, {1, 1}, {kMax, kMin}, {kMin, kMax}, {-5, 7}, {100000, -100000},
};

template <class Pixel>
class HostileTest : public test::LookupFixture<Pixel> {};
TYPED_TEST_SUITE(HostileTest, test::PixelTypes);

TYPED_TEST(HostileTest, NoSettingReadsOutsideTheMap) {
    using Pixel = TypeParam;
    const Pixel fill = test::Rgb<Pixel>(0.25, 0.5, 0.75);
    const Pixel sentinel = test::Grey<Pixel>(1.0);
    // UV pixels that point at the texture's corners and beyond.
    TestWorld<Pixel> uv(2, 2);
    uv.At(0, 0) = test::Rgb<Pixel>(0.0, 0.0, 0.0);
    uv.At(1, 0) = test::Rgb<Pixel>(1.0, 1.0, 0.0);
    uv.At(0, 1) = test::Grey<Pixel>(0.5);
    uv.At(1, 1) = test::Rgb<Pixel>(1.0, 0.0, 0.0);
    if constexpr (PixelTraits<Pixel>::kIsFloat) {
        // Float maps may hold anything.
        uv.At(0, 1) = Pixel{1, kNaN, kInf, 0};
        uv.At(1, 1) = Pixel{1, -1e30f, 1e30f, 0};
        this->m_.blue = kNaN;
    }
    this->ctx_.uvMap = uv.World();

    const std::pair<A_long, A_long> sizes[] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {3, 5}, {5, 3}};
    int failures = 0;
    for (Lookup l : test::kLookups) {
        int acted = 0;
        for (const Setting& setting : SettingsFor(l)) {
            const auto savedContext = std::make_unique<RenderContext>(this->ctx_);
            const PF_InData savedInData = this->host_.InData();
            setting.apply(this->ctx_, this->host_.InData());
            for (auto [w, h] : sizes) {
                TestWorld<Pixel> guarded(w, h, fill, sentinel);
                TestWorld<Pixel> plain(w, h, fill, fill);
                for (int32_t mode = 0; mode <= 5; ++mode) {
                    for (bool filtered : {false, true}) {
                        this->SetTileMode(l, mode);
                        this->SetRadius(l, filtered ? 6 : 1);
                        for (const Probe& p : kProbes) {
                            for (auto [x, y] : kPositions) {
                                this->SetMap(l, guarded.World());
                                const Observed a = this->Run(l, x, y, p.n, p.depth);
                                this->SetMap(l, plain.World());
                                const Observed b = this->Run(l, x, y, p.n, p.depth);
                                if (!test::SameBits(a, test::Untouched(p.n))) ++acted;
                                if (!test::SameBits(a, b) && ++failures <= 10) {
                                    ADD_FAILURE()
                                        << test::NameOf(l) << " read outside a " << w << " x " << h
                                        << " map: " << setting.what << ", mode " << mode
                                        << ", filtered " << filtered << ", pixel (" << x << ", "
                                        << y << "), normal (" << p.n.x << ", " << p.n.y << ", "
                                        << p.n.z << "), depth " << p.depth;
                                }
                            }
                        }
                    }
                }
            }
            this->ctx_ = *savedContext;
            this->host_.InData() = savedInData;
        }
        EXPECT_GT(acted, 0) << test::NameOf(l) << " never read its map";
    }
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(this->host_.SuitesHeld(), 0);
}

}  // namespace
}  // namespace lumeshade
