// What the lookups make of the texel they read: the Fresnel factor, tint,
// amount and gamma of the reflection and the refraction, the scaling of
// integer texels, and the bump's tilts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/maps/lookup_fixture.h"

namespace lumeshade {
namespace {

using test::Lookup;
using test::Observed;
using test::TestWorld;

template <class Pixel>
class ShapingTest : public test::LookupFixture<Pixel> {
protected:
    using Traits = PixelTraits<Pixel>;
    using LookupFixture = test::LookupFixture<Pixel>;

    ShapingTest() {
        this->ctx_.environmentMap = texels_.World();
        this->ctx_.refractionMap = texels_.World();
    }

    // The colour of a uniform mid-grey map (channel 0.5 of the maximum) as
    // the map read scales it.
    static double Texel() { return LookupFixture::ScaledChannel(test::ChannelOf<Pixel>(0.5)); }
    // b, the normal-map pixel's blue channel, scaled likewise.
    double B() const { return LookupFixture::ScaledChannel(this->m_.blue); }
    // What a blend leaves: integer formats limit it to 0..1.
    static double Limited(double v) {
        return Traits::kIsFloat ? v : std::fmin(1.0, std::fmax(0.0, v));
    }
    float Red(Lookup l) { return this->Run(l, 8, 8, {0.5f, 0.5f, 1.0f}).s.red; }

    TestWorld<Pixel> texels_{16, 16, test::Grey<Pixel>(0.5)};
};
TYPED_TEST_SUITE(ShapingTest, test::PixelTypes);

TYPED_TEST(ShapingTest, ReflectionFresnel) {
    using Pixel = TypeParam;
    auto& ctx = this->ctx_;
    const double r = this->Texel();
    ctx.reflectionColor = {0.498039f, 0.498039f, 0.498039f, 0.0f};  // the default 127 grey
    struct Case {
        float fresnel, depth, blue;
        double k;  // expected Fresnel factor, from b as scaled
    };
    const double b = this->ScaledChannel(test::ChannelOf<Pixel>(0.5));
    const Case cases[] = {
        {0.0f, 3.0f, 0.5f, 2.0},                       // no Fresnel: k = 2
        {1.0f, 0.0f, 0.5f, 0.0},                       // depth 0: b^inf = 0
        {1.0f, 0.0f, 1.0f, 20.0},                      // ... and 1^inf = 1
        {0.05f, -5.0f, 0.5f, b * 0.05 * 20},           // negative depth: b^|5/D|
        {0.05f, 5.0f, 0.5f, (1.001 - b) * 0.05 * 20},  // positive depth: (1.001 - b)^(5/D)
        {0.05f, 2.5f, 0.5f, std::pow(1.001 - b, 2) * 0.05 * 20},
    };
    for (const Case& c : cases) {
        ctx.reflectionFresnel = c.fresnel;
        ctx.reflectionFresnelDepth = c.depth;
        this->m_ = test::Rgb<Pixel>(0.5, 0.5, c.blue);
        EXPECT_NEAR(this->Red(Lookup::kReflection), this->Limited(c.k * r * 0.498039), 2e-6)
            << "Fresnel " << c.fresnel << ", depth " << c.depth << ", blue " << c.blue;
    }
}

TYPED_TEST(ShapingTest, RefractionFresnel) {
    using Pixel = TypeParam;
    auto& ctx = this->ctx_;
    const double r = this->Texel();
    const double b = this->ScaledChannel(test::ChannelOf<Pixel>(0.5));
    struct Case {
        float fresnel, depth, blue;
        double k;
    };
    const Case cases[] = {
        {0.0f, 1.0f, 0.5f, 1.0},  // no Fresnel: k = 1
        {1.0f, 0.0f, 0.5f, 0.0},
        {1.0f, 0.0f, 1.0f, 10.0},
        {0.1f, -1.0f, 0.5f, b * 0.1 * 10},  // b^|1/D|
        {0.1f, 1.0f, 0.5f, (1.001 - b) * 0.1 * 10},
        {0.1f, 0.5f, 0.5f, std::pow(1.001 - b, 2) * 0.1 * 10},
    };
    for (const Case& c : cases) {
        ctx.refractionFresnel = c.fresnel;
        ctx.refractionFresnelDepth = c.depth;
        this->m_ = test::Rgb<Pixel>(0.5, 0.5, c.blue);
        EXPECT_NEAR(this->Red(Lookup::kRefraction), this->Limited(c.k * r), 2e-6)
            << "Fresnel " << c.fresnel << ", depth " << c.depth << ", blue " << c.blue;
    }
}

// The amount scales the colour and is the blend's opacity as well; the
// gamma is applied last, and a Gamma of 0 turns the power into a step.
TYPED_TEST(ShapingTest, AmountTintAndGamma) {
    auto& ctx = this->ctx_;
    const double r = this->Texel();
    const Color s0 = Observed{}.s;

    ctx.reflectionAmount = 0.5f;
    EXPECT_NEAR(this->Red(Lookup::kReflection), s0.red * 0.5 + r * 0.5 * 0.5, 2e-6);
    ctx.reflectionAmount = 1.0f;
    ctx.reflectionColor = {0.25f, 0.5f, 0.5f, 0.0f};
    ctx.reflectionGamma = 0.5f;
    EXPECT_NEAR(this->Red(Lookup::kReflection), std::pow(2 * r * 0.25, 2.0), 2e-6);
    ctx.reflectionGamma = 0.0f;
    EXPECT_EQ(this->Red(Lookup::kReflection), 0.0f);
    ctx.reflectionColor = {1.0f, 0.5f, 0.5f, 0.0f};  // 2 x texel x tint reaches 1
    EXPECT_EQ(this->Red(Lookup::kReflection), 1.0f);

    ctx.refractionColor = {0.5f, 1.0f, 1.0f, 0.0f};
    ctx.refractionGamma = 2.0f;
    EXPECT_NEAR(this->Red(Lookup::kRefraction), std::sqrt(r * 0.5), 2e-6);
    ctx.refractionGamma = 0.0f;
    EXPECT_EQ(this->Red(Lookup::kRefraction), 0.0f);
    ctx.refractionAmount = 0.0f;
    EXPECT_EQ(this->Red(Lookup::kRefraction), s0.red);  // no amount: no effect
    ctx.reflectionAmount = -1.0f;
    EXPECT_EQ(this->Red(Lookup::kReflection), s0.red);
}

// A pixel's channel as the signed tilt the bump makes of it.
template <class Pixel>
double Tilt(typename PixelTraits<Pixel>::Channel v) {
    using Traits = PixelTraits<Pixel>;
    return (2.0 * v - Traits::kMax) / Traits::kMax;
}

TYPED_TEST(ShapingTest, BumpTiltsByTheSignedChannelsAndGreyByTheIntensity) {
    using Pixel = TypeParam;
    using Traits = PixelTraits<Pixel>;
    TestWorld<Pixel> map(4, 4);
    this->ctx_.bumpMap = map.World();
    this->ctx_.bumpIntensity = 0.2f;
    // The flat tangent-space normal; 8-bit has no exact half and uses 128.
    const Pixel flat = std::is_same_v<Pixel, PF_Pixel8> ? Pixel{255, 128, 128, 255}
                                                        : test::Rgb<Pixel>(0.5, 0.5, 1.0);
    const Pixel grey = test::Grey<Pixel>(0.5);
    Pixel nearGrey = grey;
    if constexpr (Traits::kIsFloat) {
        nearGrey.blue = std::nextafter(nearGrey.blue, 1.0f);
    } else {
        nearGrey.blue += 1;
    }
    struct Case {
        const char* what;
        Pixel p;
        double dx, dy, dz;
    };
    const Case cases[] = {
        {"flat", flat, Tilt<Pixel>(flat.red), Tilt<Pixel>(flat.green), Tilt<Pixel>(flat.blue)},
        {"grey", grey, 1.0, 1.0, Tilt<Pixel>(grey.blue)},
        {"nearly grey", nearGrey, Tilt<Pixel>(grey.red), Tilt<Pixel>(grey.green),
         Tilt<Pixel>(nearGrey.blue)},
    };
    const Vector3 start{0.5f, 0.5f, 1.0f};
    for (const Case& c : cases) {
        map.Fill([&](A_long, A_long) { return c.p; });
        const Observed o = this->Run(Lookup::kBump, 1, 1, start);
        EXPECT_NEAR(o.n.x - start.x, 0.2 * c.dx, 1e-6) << c.what;
        EXPECT_NEAR(o.n.y - start.y, 0.2 * c.dy, 1e-6) << c.what;
        EXPECT_NEAR(o.n.z - start.z, 0.2 * c.dz, 1e-6) << c.what;
        // The reflection normal moves by intensity^2 / 3 of the tilt.
        EXPECT_NEAR(o.n2.x - start.x, 0.2 * c.dx * 0.2 / 3, 1e-6) << c.what;
        EXPECT_NEAR(o.n2.z - start.z, 0.2 * c.dz * 0.2 / 3, 1e-6) << c.what;
    }
    // Exact values for the flat pixel.
    map.Fill([&](A_long, A_long) { return flat; });
    const Observed o = this->Run(Lookup::kBump, 1, 1, {});
    if constexpr (std::is_same_v<Pixel, PF_Pixel8>) {
        EXPECT_FLOAT_EQ(o.n.x, 0.2f * 0.003921569f);  // 1/255 of the intensity
    } else {
        EXPECT_EQ(o.n.x, 0.0f);
        EXPECT_EQ(o.n.y, 0.0f);
        EXPECT_FLOAT_EQ(o.n2.z, 0.2f * static_cast<float>(0.2 / 3.0));
    }
    EXPECT_NEAR(o.n.z, 0.2f, 1e-6);
}

TYPED_TEST(ShapingTest, BumpNeedsIntensityAPositiveScaleAndAMap) {
    TestWorld<TypeParam> map(4, 4, test::Rgb<TypeParam>(0.25, 0.5, 0.75));
    auto& ctx = this->ctx_;
    ctx.bumpMap = map.World();
    const Observed untouched;
    ctx.bumpIntensity = 0.0f;
    EXPECT_TRUE(test::SameBits(this->Run(Lookup::kBump, 1, 1, {}), untouched));
    ctx.bumpIntensity = -0.5f;  // a negative intensity tilts the other way
    EXPECT_NEAR(this->Run(Lookup::kBump, 1, 1, {}).n.x, 0.25, 0.005);
    for (float q : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
        ctx.bumpScale = q;
        EXPECT_TRUE(test::SameBits(this->Run(Lookup::kBump, 1, 1, {}), untouched)) << q;
    }
    ctx.bumpScale = 1.0f;
    TestWorld<TypeParam> oneRow(4, 1, test::Rgb<TypeParam>(0.25, 0.5, 0.75));
    ctx.bumpMap = oneRow.World();
    EXPECT_FALSE(test::SameBits(this->Run(Lookup::kBump, 1, 1, {}), untouched));
    TestWorld<TypeParam> noRows(4, 0);
    ctx.bumpMap = noRows.World();
    EXPECT_TRUE(test::SameBits(this->Run(Lookup::kBump, 1, 1, {}), untouched));
}

// Integer texels are scaled like every map colour (8-bit by 0.003921569,
// 16-bit by 2^-15), and the read does not clamp: a 16-bit channel above
// 32768 tilts the bump by more than one.
class EightBitTexelTest : public test::LookupFixture<PF_Pixel8> {};
class SixteenBitTexelTest : public test::LookupFixture<PF_Pixel16> {};

TEST_F(EightBitTexelTest, TextureColourIsTheScaledTexel) {
    TestWorld<PF_Pixel8> texture(8, 8, PF_Pixel8{255, 128, 64, 0});
    TestWorld<PF_Pixel8> uv(2, 2, PF_Pixel8{255, 128, 128, 0});
    ctx_.textureMap = texture.World();
    ctx_.uvMap = uv.World();
    const Observed o = Run(Lookup::kTexture, 0, 0, {});
    EXPECT_NEAR(o.t.red, 0.50196, 1e-5);
    EXPECT_NEAR(o.t.green, 0.25098, 1e-5);
    EXPECT_EQ(o.t.blue, 0.0f);
    EXPECT_EQ(o.t.red, 128 * 0.003921569f);
}

TEST_F(SixteenBitTexelTest, ChannelsAboveTheMaximumAreNotClamped) {
    TestWorld<PF_Pixel16> map(4, 4, PF_Pixel16{32768, 16384, 16384, 40000});
    ctx_.bumpMap = map.World();
    const Observed o = Run(Lookup::kBump, 1, 1, {});
    EXPECT_FLOAT_EQ(o.n.z, (80000.0f - 32768.0f) / 32768.0f);
}

}  // namespace
}  // namespace lumeshade
