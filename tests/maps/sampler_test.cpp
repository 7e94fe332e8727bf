// The emulated host's samplers and the module's SampleArea that calls them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "AE_EffectCBSuites.h"
#include "host/host.h"
#include "maps/sample_area.h"
#include "tests/maps/test_world.h"

namespace lumeshade {
namespace {

using host::Host;
using test::ChannelOf;
using test::Grey;
using test::TestWorld;

PF_Err NoEffect(PF_Cmd, PF_InData*, PF_OutData*, PF_ParamList, PF_LayerDef*, void*) {
    return PF_Err_NONE;
}

constexpr PF_Fixed kOne = 65536;

template <class Pixel>
class SampleAreaTest : public ::testing::Test {
protected:
    using Traits = PixelTraits<Pixel>;

    // The red channel of a sample as a fraction of the format's maximum.
    static double Fraction(const Pixel& p) { return static_cast<double>(p.red) / Traits::kMax; }

    // Integer formats round to the nearest step.
    static double Tolerance() { return Traits::kIsFloat ? 1e-6 : 0.5 / Traits::kMax + 1e-9; }

    Host host_{NoEffect};
};

using PixelTypes = ::testing::Types<PF_Pixel8, PF_Pixel16, PF_PixelFloat>;
TYPED_TEST_SUITE(SampleAreaTest, PixelTypes);

// A single lit pixel at (4, 4): the sample is the share of the box that
// pixel fills, which proves both the box and its radius.
TYPED_TEST(SampleAreaTest, ImpulseResponseIsTheCoveredShareOfTheBox) {
    using Pixel = TypeParam;
    TestWorld<Pixel> map(9, 9, Pixel{});
    map.At(4, 4) = Grey<Pixel>(1.0);
    struct Case {
        A_long x, y;
        float radius;
        double share;
    };
    const Case cases[] = {
        {4, 4, 0.0f, 1.0},        {4, 4, 0.5f, 1.0},        {4, 4, 1.0f, 0.25},
        {5, 4, 1.0f, 0.125},      {5, 5, 1.0f, 0.0625},     {6, 4, 1.0f, 0.0},
        {4, 4, 1.5f, 1.0 / 9.0},  {4, 4, 2.0f, 1.0 / 16.0}, {3, 4, 2.0f, 1.0 / 16.0},
        {6, 4, 2.0f, 1.0 / 32.0}, {6, 6, 2.0f, 1.0 / 64.0}, {4, 4, 4.0f, 1.0 / 64.0},
    };
    for (const Case& c : cases) {
        const Pixel p = SampleArea<Pixel>(*map.World(), c.x, c.y, c.radius, &this->host_.InData());
        EXPECT_NEAR(this->Fraction(p), c.share, this->Tolerance())
            << "at (" << c.x << ", " << c.y << ") radius " << c.radius;
        EXPECT_EQ(p.red, p.blue);
        EXPECT_EQ(p.alpha, p.green);
    }
    EXPECT_EQ(this->host_.Calls(test::kSamplerName<Pixel>), int(std::size(cases)));
}

// Edge behaviour ZERO: the box keeps its area and what lies outside the
// world counts as black.
TYPED_TEST(SampleAreaTest, OutsideTheWorldCountsAsBlack) {
    using Pixel = TypeParam;
    TestWorld<Pixel> map(6, 6, Grey<Pixel>(1.0), Grey<Pixel>(0.0));
    TestWorld<Pixel> single(1, 1, Grey<Pixel>(1.0), Grey<Pixel>(0.0));
    struct Case {
        TestWorld<Pixel>* world;
        A_long x, y;
        float radius;
        double share;
    };
    const Case cases[] = {
        {&map, 3, 3, 1.0f, 1.0},      {&map, 0, 3, 1.0f, 0.75},
        {&map, 0, 0, 1.0f, 0.5625},   {&map, 5, 5, 1.0f, 0.5625},
        {&map, 0, 0, 2.0f, 0.390625}, {&map, 2, 2, 3.0f, (5.5 / 6) * (5.5 / 6)},
        {&map, 0, 0, 100.0f, 0.0009}, {&single, 0, 0, 1.0f, 0.25},
    };
    for (const Case& c : cases) {
        const Pixel p =
            SampleArea<Pixel>(*c.world->World(), c.x, c.y, c.radius, &this->host_.InData());
        EXPECT_NEAR(this->Fraction(p), c.share, this->Tolerance())
            << "at (" << c.x << ", " << c.y << ") radius " << c.radius;
    }
}

// What the module writes into the sampling record, seen by a sampler that
// only records it.
struct Seen {
    int calls = 0;
    PF_ProgPtr effectRef = nullptr;
    PF_Fixed x = 0, y = 0;
    PF_SampPB params{};
    unsigned char bytes[sizeof(PF_SampPB)] = {};
};
Seen g_seen;

template <class Pixel>
PF_Err RecordingSampler(PF_ProgPtr effect_ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params,
                        Pixel* dst) {
    ++g_seen.calls;
    g_seen.effectRef = effect_ref;
    g_seen.x = x;
    g_seen.y = y;
    g_seen.params = *params;
    std::memcpy(g_seen.bytes, params, sizeof g_seen.bytes);
    dst->red = 7;
    return PF_Err_NONE;
}

TEST(SampleAreaRecordTest, RecordCarriesPositionRoundedRadiusAndAsynchFlag) {
    PF_UtilCallbacks utils{};
    utils.area_sample = RecordingSampler<PF_Pixel8>;
    utils.area_sample16 = RecordingSampler<PF_Pixel16>;
    PF_InData in{};
    in.utils = &utils;
    in.effect_ref = reinterpret_cast<PF_ProgPtr>(&utils);
    TestWorld<PF_Pixel8> map8(4, 4);
    TestWorld<PF_Pixel16> map16(4, 4);

    struct Case {
        float radius;
        PF_Fixed fixedRadius;
    };
    const Case cases[] = {
        {1.5f, 98304},         {2.0f, 2 * kOne},
        {21.0f, 21 * kOne},    {0.5f / 65536.0f, 1},  // exactly half a unit: away from zero
        {0.49f / 65536.0f, 0},                        // below half a unit
        {0.1234f, 8087},                              // 8087.04
    };
    for (const Case& c : cases) {
        g_seen = {};
        const PF_Pixel8 p = SampleArea<PF_Pixel8>(*map8.World(), 3, 2, c.radius, &in);
        EXPECT_EQ(p.red, 7);
        ASSERT_EQ(g_seen.calls, 1);
        EXPECT_EQ(g_seen.params.x_radius, c.fixedRadius) << c.radius;
        EXPECT_EQ(g_seen.params.y_radius, c.fixedRadius) << c.radius;
    }
    EXPECT_EQ(g_seen.effectRef, in.effect_ref);
    EXPECT_EQ(g_seen.x, 3 * kOne);
    EXPECT_EQ(g_seen.y, 2 * kOne);
    EXPECT_EQ(g_seen.params.src, map8.World());
    EXPECT_EQ(g_seen.params.samp_behave, PF_SampleEdgeBehav_ZERO);
    A_long atTwentyEight = 0;
    std::memcpy(&atTwentyEight, g_seen.bytes + 28, sizeof atTwentyEight);
    EXPECT_EQ(atTwentyEight, 1);
    // Nothing else is set: no area, no motion blur, no mask, no tables.
    EXPECT_EQ(g_seen.params.area, 0);
    EXPECT_EQ(g_seen.params.motion_blur, 0);
    EXPECT_EQ(g_seen.params.mask0, nullptr);
    EXPECT_EQ(g_seen.params.fcm_table, nullptr);
    EXPECT_EQ(g_seen.params.fcd_table, nullptr);
    EXPECT_EQ(g_seen.params.comp_mode.xfer, 0);

    g_seen = {};
    const PF_Pixel16 p16 = SampleArea<PF_Pixel16>(*map16.World(), 1, 0, 3.0f, &in);
    EXPECT_EQ(p16.red, 7);
    EXPECT_EQ(g_seen.calls, 1);
    EXPECT_EQ(g_seen.params.src, map16.World());
    EXPECT_EQ(g_seen.params.x_radius, 3 * kOne);
}

// The error a call throws, or 0.
template <class F>
A_long Thrown(F f) {
    try {
        f();
    } catch (A_long err) {
        return err;
    }
    return 0;
}

TEST(SampleAreaRecordTest, MissingSamplersThrowBadCallbackParam) {
    TestWorld<PF_Pixel8> map8(2, 2);
    TestWorld<PF_Pixel16> map16(2, 2);
    PF_UtilCallbacks noSamplers{};
    PF_InData noUtils{};
    PF_InData in{};
    in.utils = &noSamplers;
    for (PF_InData* data : {&noUtils, &in, static_cast<PF_InData*>(nullptr)}) {
        EXPECT_EQ(Thrown([&] { SampleArea<PF_Pixel8>(*map8.World(), 0, 0, 2.0f, data); }),
                  PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(Thrown([&] { SampleArea<PF_Pixel16>(*map16.World(), 0, 0, 2.0f, data); }),
                  PF_Err_BAD_CALLBACK_PARAM);
    }
}

// The float sampler takes its suite for each call and gives it back, also
// when the host cannot hand it out.
TEST(FloatSamplingSuiteTest, AcquiredAndReleasedAroundEachSample) {
    Host host(NoEffect);
    TestWorld<PF_PixelFloat> map(4, 4);
    for (int i = 0; i < 3; ++i) SampleArea<PF_PixelFloat>(*map.World(), 1, 1, 2.0f, &host.InData());
    EXPECT_EQ(host.Acquisitions(kPFSamplingFloatSuite, kPFSamplingFloatSuiteVersion1), 3);
    EXPECT_EQ(host.Releases(kPFSamplingFloatSuite, kPFSamplingFloatSuiteVersion1), 3);
    EXPECT_EQ(host.Calls("area_sample_float"), 3);
    EXPECT_EQ(host.SuitesHeld(), 0);
    EXPECT_TRUE(host.Violations().empty());
}

TEST(FloatSamplingSuiteTest, UnavailableSuiteThrowsAndLeavesNothingHeld) {
    const std::function<void(Host&)> refusals[] = {
        [](Host& h) { h.WithdrawSuite(kPFSamplingFloatSuite, kPFSamplingFloatSuiteVersion1); },
        [](Host& h) { h.HandBackNullSuite(kPFSamplingFloatSuite, kPFSamplingFloatSuiteVersion1); },
        [](Host& h) { h.RemoveBasicSuite(); },
    };
    for (const auto& refuse : refusals) {
        Host host(NoEffect);
        TestWorld<PF_PixelFloat> map(4, 4);
        refuse(host);
        EXPECT_EQ(
            Thrown([&] { SampleArea<PF_PixelFloat>(*map.World(), 0, 0, 2.0f, &host.InData()); }),
            PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(host.SuitesHeld(), 0);
        EXPECT_EQ(host.Calls("area_sample_float"), 0);
    }
}

// The status is not examined: a sampler that fails without writing leaves
// the zeroed pixel, never uninitialised memory.
TEST(SampleAreaFailureTest, FailedSampleGivesTransparentBlack) {
    Host host(NoEffect);
    TestWorld<PF_Pixel8> map(4, 4, Grey<PF_Pixel8>(1.0));
    host.FailCall("area_sample", 1, PF_Err_OUT_OF_MEMORY);
    const PF_Pixel8 failed = SampleArea<PF_Pixel8>(*map.World(), 1, 1, 1.0f, &host.InData());
    EXPECT_EQ(failed.alpha, 0);
    EXPECT_EQ(failed.red, 0);
    const PF_Pixel8 next = SampleArea<PF_Pixel8>(*map.World(), 1, 1, 1.0f, &host.InData());
    EXPECT_EQ(next.red, 255);
}

// The host's samplers called directly, with records the module never makes.
class HostSamplerTest : public ::testing::Test {
protected:
    PF_SampPB Record(PF_EffectWorld* src, double xRadius, double yRadius) {
        PF_SampPB p{};
        p.src = src;
        p.x_radius = PF_Fixed(std::lround(xRadius * kOne));
        p.y_radius = PF_Fixed(std::lround(yRadius * kOne));
        return p;
    }
    static PF_Fixed Fixed(double v) { return PF_Fixed(std::lround(v * kOne)); }

    Host host_{NoEffect};
    const PF_UtilCallbacks& utils_ = *host_.InData().utils;
    PF_ProgPtr ref_ = host_.InData().effect_ref;
};

TEST_F(HostSamplerTest, RadiiPerAxisAndSubpixelPositions) {
    TestWorld<PF_Pixel8> map(9, 9, PF_Pixel8{});
    map.At(4, 4) = Grey<PF_Pixel8>(1.0);
    struct Case {
        double x, y, xRadius, yRadius;
        int red;
    };
    const Case cases[] = {
        {4, 4, 1, 0, 128},                             // half of a 2 x 1 box
        {4, 5, 1, 0, 0},                               // a zero y radius keeps to row 5
        {4.5, 4, 0.5, 0.5, 128}, {4, 4, -3, -3, 255},  // a negative radius is a point sample
        {4.49, 4, 0, 0, 255},  // a point sample takes the pixel under the centre
        {4.51, 4, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const PF_SampPB params = Record(map.World(), c.xRadius, c.yRadius);
        PF_Pixel8 dst{};
        EXPECT_EQ(utils_.area_sample(ref_, Fixed(c.x), Fixed(c.y), &params, &dst), PF_Err_NONE);
        EXPECT_EQ(dst.red, c.red) << c.x << ", " << c.y << " radii " << c.xRadius << ", "
                                  << c.yRadius;
    }
}

TEST_F(HostSamplerTest, NearestAndBilinearSamplers) {
    TestWorld<PF_PixelFloat> mapFloat(9, 9, PF_PixelFloat{});
    mapFloat.At(4, 4) = Grey<PF_PixelFloat>(1.0);
    TestWorld<PF_Pixel16> map16(9, 9, PF_Pixel16{});
    map16.At(4, 4) = Grey<PF_Pixel16>(1.0);
    SPBasicSuite* basic = host_.InData().pica_basicP;
    const void* table = nullptr;
    ASSERT_EQ(basic->AcquireSuite(kPFSamplingFloatSuite, kPFSamplingFloatSuiteVersion1, &table),
              kSPNoError);
    const auto& suite = *static_cast<const PF_SamplingFloatSuite1*>(table);
    const PF_SampPB floatParams = Record(mapFloat.World(), 0, 0);
    const PF_SampPB deepParams = Record(map16.World(), 0, 0);
    struct Case {
        double x, y, nearest, bilinear;
    };
    const Case cases[] = {
        {4, 4, 1, 1},       {4.4, 4, 1, 0.6},    {4.6, 4, 0, 0.4},
        {3.75, 4, 1, 0.75}, {4.5, 4.5, 0, 0.25}, {-0.5, -0.5, 0, 0},
    };
    for (const Case& c : cases) {
        PF_PixelFloat nearest{}, bilinear{};
        suite.nn_sample_float(ref_, Fixed(c.x), Fixed(c.y), &floatParams, &nearest);
        suite.subpixel_sample_float(ref_, Fixed(c.x), Fixed(c.y), &floatParams, &bilinear);
        EXPECT_FLOAT_EQ(nearest.green, float(c.nearest)) << c.x << ", " << c.y;
        EXPECT_NEAR(bilinear.green, c.bilinear, 1e-4) << c.x << ", " << c.y;
        PF_Pixel16 deep{};
        utils_.subpixel_sample16(ref_, Fixed(c.x), Fixed(c.y), &deepParams, &deep);
        EXPECT_NEAR(deep.green, c.bilinear * 32768, 2.5) << c.x << ", " << c.y;
    }
    ASSERT_EQ(basic->ReleaseSuite(kPFSamplingFloatSuite, kPFSamplingFloatSuiteVersion1),
              kSPNoError);
}

// The host checks the call as a strict host would; misuse of the record is
// recorded, and nothing is written.
TEST_F(HostSamplerTest, RejectsCallsItCannotServe) {
    TestWorld<PF_Pixel8> map8(4, 4);
    TestWorld<PF_Pixel16> map16(4, 4);
    PF_EffectWorld noData = *map8.World();
    noData.data = nullptr;
    const PF_Pixel8 untouched{1, 2, 3, 4};
    struct Case {
        const char* what;
        PF_ProgPtr ref;
        PF_SampPB params;
        bool violation;
    };
    PF_SampPB edgeRepeat = Record(map8.World(), 1, 1);
    edgeRepeat.samp_behave = 1;
    PF_SampPB masked = Record(map8.World(), 1, 1);
    masked.mask0 = map8.World()->data;
    const Case cases[] = {
        {"foreign effect reference", nullptr, Record(map8.World(), 1, 1), false},
        {"no source world", ref_, Record(nullptr, 1, 1), false},
        {"source without pixels", ref_, Record(&noData, 1, 1), false},
        {"16-bit world to the 8-bit sampler", ref_, Record(map16.World(), 1, 1), true},
        {"undefined edge behaviour", ref_, edgeRepeat, true},
        {"mask", ref_, masked, true},
    };
    for (const Case& c : cases) {
        PF_Pixel8 dst = untouched;
        const size_t before = host_.Violations().size();
        EXPECT_EQ(utils_.area_sample(c.ref, kOne, kOne, &c.params, &dst), PF_Err_BAD_CALLBACK_PARAM)
            << c.what;
        EXPECT_EQ(std::memcmp(&dst, &untouched, sizeof dst), 0) << c.what;
        EXPECT_EQ(host_.Violations().size(), before + (c.violation ? 1 : 0)) << c.what;
    }
    PF_Pixel16 deep{};
    const PF_SampPB eightBit = Record(map8.World(), 1, 1);
    EXPECT_EQ(utils_.area_sample16(ref_, kOne, kOne, &eightBit, &deep), PF_Err_BAD_CALLBACK_PARAM);
    PF_Pixel8 dst{};
    EXPECT_EQ(utils_.area_sample(ref_, kOne, kOne, nullptr, &dst), PF_Err_BAD_CALLBACK_PARAM);
}

}  // namespace
}  // namespace lumeshade
