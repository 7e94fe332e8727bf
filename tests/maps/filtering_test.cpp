// When the lookups filter through the host's area sampler, and under which
// Display choices they act at all.
#include <gtest/gtest.h>

#include "maps/sample_area.h"
#include "tests/maps/lookup_fixture.h"

namespace lumeshade {
namespace {

using test::kLookups;
using test::Lookup;
using test::Observed;
using test::TestWorld;

// Every lookup's map is a 16 x 16 pattern that is never grey, and every
// lookup is set up so that output pixel (9, 9) with a level normal reads
// texel (9, 9).
template <class Pixel>
class FilteringTest : public test::LookupFixture<Pixel> {
protected:
    FilteringTest() {
        pattern_.Fill([](A_long column, A_long row) {
            return test::Rgb<Pixel>((column + row) % 2 ? 0.8 : 0.2, 0.1 + 0.2 * (column % 3), 0.9);
        });
        for (Lookup l : kLookups) this->SetMap(l, pattern_.World());
        this->ctx_.uvMap = uv_.World();
    }

    static constexpr Vector3 kLevel{0.5f, 0.5f, 1.0f};
    Observed RunAtNine(Lookup l) { return this->Run(l, 9, 9, kLevel); }

    // Whether the lookup's result is what `texel` gives.
    void ExpectResultOf(Lookup l, const Observed& o, const Pixel& texel, const char* what) {
        using Traits = PixelTraits<Pixel>;
        if (l == Lookup::kBump) {
            auto tilt = [](double v) { return (2.0 * v - Traits::kMax) / Traits::kMax; };
            EXPECT_NEAR(o.n.x - kLevel.x, tilt(texel.red), 1e-6) << what;
            EXPECT_NEAR(o.n.y - kLevel.y, tilt(texel.green), 1e-6) << what;
            EXPECT_NEAR(o.n.z - kLevel.z, tilt(texel.blue), 1e-6) << what;
        } else {
            const Color c = this->ColourOf(l, o);
            EXPECT_FLOAT_EQ(c.red, this->ScaledChannel(texel.red)) << what;
            EXPECT_FLOAT_EQ(c.green, this->ScaledChannel(texel.green)) << what;
            EXPECT_FLOAT_EQ(c.blue, this->ScaledChannel(texel.blue)) << what;
        }
    }

    TestWorld<Pixel> pattern_{16, 16};
    TestWorld<Pixel> uv_{16, 16, test::Rgb<Pixel>(0.53, 0.47, 0.0)};
};
TYPED_TEST_SUITE(FilteringTest, test::PixelTypes);

TYPED_TEST(FilteringTest, FiltersOnlyAtHighQualityAndPastEachThreshold) {
    using Pixel = TypeParam;
    struct Case {
        Lookup lookup;
        int32_t radius;
        PF_Quality quality;
        bool filters;
    };
    const Case cases[] = {
        {Lookup::kMatcap, 1, PF_Quality_HI, false},  // Blur 0
        {Lookup::kMatcap, 2, PF_Quality_HI, true},   // Blur 1: radius 2
        {Lookup::kMatcap, 4, PF_Quality_HI, true},
        {Lookup::kMatcap, 4, PF_Quality_LO, false},
        {Lookup::kReflection, 1, PF_Quality_HI, false},
        {Lookup::kReflection, 2, PF_Quality_HI, true},
        {Lookup::kReflection, 21, PF_Quality_LO, false},
        {Lookup::kRefraction, 1, PF_Quality_HI, false},
        {Lookup::kRefraction, 3, PF_Quality_HI, true},
        {Lookup::kRefraction, 3, PF_Quality_DRAWING_AUDIO, false},
        {Lookup::kTexture, 2, PF_Quality_HI, true},  // Filter Off still filters
        {Lookup::kTexture, 2, PF_Quality_LO, false},
        {Lookup::kTexture, 5, PF_Quality_HI, true},
        {Lookup::kBump, 2, PF_Quality_HI, false},  // Filter Off never filters
        {Lookup::kBump, 3, PF_Quality_HI, true},
        {Lookup::kBump, 5, PF_Quality_HI, true},
        {Lookup::kBump, 5, PF_Quality_LO, false},
    };
    const char* sampler = test::kSamplerName<Pixel>;
    for (const Case& c : cases) {
        // Only the lookup under test filters: the others keep a radius that
        // would filter, to show that each reads its own.
        for (Lookup other : kLookups) this->SetRadius(other, 9);
        this->SetRadius(c.lookup, c.radius);
        this->host_.InData().quality = c.quality;
        const int before = this->host_.Calls(sampler);
        const Observed o = this->RunAtNine(c.lookup);
        const int calls = this->host_.Calls(sampler) - before;
        const std::string what = std::string(test::NameOf(c.lookup)) + " radius " +
                                 std::to_string(c.radius) + " quality " + std::to_string(c.quality);
        EXPECT_EQ(calls, c.filters ? 1 : 0) << what;

        const Pixel texel = c.filters ? SampleArea<Pixel>(*this->pattern_.World(), 9, 9,
                                                          float(c.radius), &this->host_.InData())
                                      : this->pattern_.At(9, 9);
        this->ExpectResultOf(c.lookup, o, texel, what.c_str());
    }
    EXPECT_EQ(this->host_.SuitesHeld(), 0);
}

// The UV map is read directly, whatever the quality and the filter.
TYPED_TEST(FilteringTest, UvMapIsNeverFiltered) {
    this->ctx_.textureFilter = 5;
    const int before = this->host_.Calls(test::kSamplerName<TypeParam>);
    this->RunAtNine(Lookup::kTexture);
    EXPECT_EQ(this->host_.Calls(test::kSamplerName<TypeParam>) - before, 1);
}

TYPED_TEST(FilteringTest, EachLookupActsUnderAllAndItsOwnDisplayOnly) {
    struct Row {
        int32_t display;
        bool acts[5];  // matcap, reflection, refraction, texture, bump
    };
    const Row rows[] = {
        {DISPLAY_OFF, {false, false, false, false, false}},
        {DISPLAY_ADJUSTED_NORMALS, {false, false, false, false, false}},
        {DISPLAY_DIFFUSE, {false, false, false, false, false}},
        {DISPLAY_MATCAP, {true, false, false, false, false}},
        {DISPLAY_REFLECTION, {false, true, false, false, false}},
        {DISPLAY_REFRACTION, {false, false, true, false, false}},
        {DISPLAY_TEXTURE, {false, false, false, true, false}},
        {DISPLAY_BUMP, {false, false, false, false, true}},
        {20, {false, false, false, false, false}},  // a separator
        {DISPLAY_ALL, {true, true, true, true, true}},
    };
    for (const Row& row : rows) {
        this->ctx_.displayMode = row.display;
        for (int i = 0; i < 5; ++i) {
            const Lookup l = kLookups[i];
            const Observed o = this->RunAtNine(l);
            EXPECT_EQ(!test::SameBits(o, test::Untouched(this->kLevel)), row.acts[i])
                << test::NameOf(l) << " under Display " << row.display;
        }
    }
}

}  // namespace
}  // namespace lumeshade
