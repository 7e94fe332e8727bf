// The iterate suites on the host's thread pool: every pixel of the area
// once, the same bytes whatever the thread count, the first error in scan
// order, progress and abort.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <set>
#include <stdexcept>

#include "fake_effect.h"
#include "host/host.h"

namespace lumeshade::host {
namespace {

using testing::Acquire;
using testing::FakeEntry;

// Writes a mix of its position and its input, and counts its calls.
struct Marker {
    std::atomic<int> calls{0};
};

PF_Err Mark8(void* refcon, A_long x, A_long y, PF_Pixel8* in, PF_Pixel8* out) {
    ++static_cast<Marker*>(refcon)->calls;
    *out = {A_u_char(in->alpha ^ 0x0F), A_u_char(x), A_u_char(y), A_u_char(in->red + 1)};
    return PF_Err_NONE;
}

PF_Err MarkFloat(void* refcon, A_long x, A_long y, PF_PixelFloat* in, PF_PixelFloat* out) {
    ++static_cast<Marker*>(refcon)->calls;
    *out = {in->alpha, float(x), float(y), in->blue * 2.0f};
    return PF_Err_NONE;
}

World Source8(A_long w, A_long h) {
    World src(w, h, Depth::k8);
    for (A_long y = 0; y < h; ++y) {
        for (A_long x = 0; x < w; ++x) {
            src.At<PF_Pixel8>(x, y) = {A_u_char(x * 7 + y), A_u_char(x + 3 * y), 0, 0};
        }
    }
    return src;
}

class IterateTest : public ::testing::Test {
protected:
    void SetUp() override { testing::Fake() = {}; }
    const PF_Iterate8Suite1& Iterate8() {
        return Acquire<PF_Iterate8Suite1>(host_, kPFIterate8Suite, 1);
    }

    Host host_{FakeEntry};
};

TEST_F(IterateTest, TheDestinationIsTheSameForOneThreadAndMany) {
    const World src = Source8(97, 61);
    World one(97, 61, Depth::k8), many(97, 61, Depth::k8);
    Marker m1, m7;
    host_.SetThreads(1);
    ASSERT_EQ(Iterate8().iterate(&host_.InData(), 0, 61, &const_cast<World&>(src).Def(), nullptr,
                                 &m1, Mark8, &one.Def()),
              PF_Err_NONE);
    host_.SetThreads(7);
    ASSERT_EQ(Iterate8().iterate(&host_.InData(), 0, 61, &const_cast<World&>(src).Def(), nullptr,
                                 &m7, Mark8, &many.Def()),
              PF_Err_NONE);
    EXPECT_TRUE(one.SameContent(many));
    EXPECT_EQ(m1.calls, 97 * 61);
    EXPECT_EQ(m7.calls, 97 * 61);
    // Each pixel saw its own coordinates and the source pixel there.
    EXPECT_EQ(many.At<PF_Pixel8>(96, 60).red, 96);
    EXPECT_EQ(many.At<PF_Pixel8>(96, 60).green, 60);
    EXPECT_EQ(many.At<PF_Pixel8>(5, 9).blue, src.At<PF_Pixel8>(5, 9).red + 1);
}

TEST_F(IterateTest, OnlyTheAreaInsideTheDestinationIsVisited) {
    host_.SetThreads(3);
    World src(20, 20, Depth::kFloat), dst(16, 12, Depth::kFloat);
    dst.FillBytes(0xFF);  // NaN everywhere: untouched pixels stay NaN
    const auto& suite = Acquire<PF_IterateFloatSuite1>(host_, kPFIterateFloatSuite, 1);
    Marker m;
    const PF_Rect area{10, -5, 40, 4};  // reaches past the right and the top
    ASSERT_EQ(suite.iterate(&host_.InData(), 0, 0, &src.Def(), &area, &m, MarkFloat, &dst.Def()),
              PF_Err_NONE);
    EXPECT_EQ(m.calls, 6 * 4);
    for (A_long y = 0; y < 12; ++y) {
        for (A_long x = 0; x < 16; ++x) {
            const bool inside = x >= 10 && y < 4;
            EXPECT_EQ(std::isnan(dst.At<PF_PixelFloat>(x, y).red), !inside) << x << "," << y;
        }
    }
}

TEST_F(IterateTest, AnOriginShiftsTheSourceAndNonClippingFillsOutsideWithZero) {
    const World src = Source8(10, 10);
    World clipped(10, 10, Depth::k8), unclipped(10, 10, Depth::k8);
    const PF_Point origin{6, 0};  // source pixel = (x + 6, y)
    Marker a, b;
    World& s = const_cast<World&>(src);
    ASSERT_EQ(Iterate8().iterate_origin(&host_.InData(), 0, 0, &s.Def(), nullptr, &origin, &a,
                                        Mark8, &clipped.Def()),
              PF_Err_NONE);
    EXPECT_EQ(a.calls, 4 * 10) << "only where the shifted source has pixels";
    EXPECT_EQ(clipped.At<PF_Pixel8>(2, 3).blue, src.At<PF_Pixel8>(8, 3).red + 1);
    ASSERT_EQ(Iterate8().iterate_origin_non_clip_src(&host_.InData(), 0, 0, &s.Def(), nullptr,
                                                     &origin, &b, Mark8, &unclipped.Def()),
              PF_Err_NONE);
    EXPECT_EQ(b.calls, 100);
    EXPECT_EQ(unclipped.At<PF_Pixel8>(7, 3).alpha, 0x0F) << "transparent black came in";
    EXPECT_EQ(unclipped.At<PF_Pixel8>(7, 3).blue, 1);
}

// Fails at a few pixels; the first in scan order is (50, 40). With more than
// one thread, that pixel fails only after the one on row 60 has, so that the
// result cannot come from the order in which failures happen.
struct Failures {
    bool waitForLater = false;
    std::mutex mutex;
    std::condition_variable cv;
    bool laterFailed = false;
};

PF_Err FailSome(void* refcon, A_long x, A_long y, PF_Pixel8*, PF_Pixel8* out) {
    Failures& f = *static_cast<Failures*>(refcon);
    if (y == 40 && x == 70) return 611;
    if (y == 40 && x == 50) {
        std::unique_lock<std::mutex> lock(f.mutex);
        if (f.waitForLater) {
            f.cv.wait_for(lock, std::chrono::seconds(20), [&] { return f.laterFailed; });
        }
        return 610;
    }
    if (y == 60 && x == 0) {
        std::lock_guard<std::mutex> lock(f.mutex);
        f.laterFailed = true;
        f.cv.notify_all();
        return 613;
    }
    out->alpha = 1;
    return PF_Err_NONE;
}

TEST_F(IterateTest, TheFirstFailingPixelInScanOrderGivesTheResult) {
    for (int threads : {1, 2, 5, 16}) {
        host_.SetThreads(threads);
        World src(80, 64, Depth::k8), dst(80, 64, Depth::k8);
        Failures failures;
        failures.waitForLater = threads > 1;
        EXPECT_EQ(Iterate8().iterate(&host_.InData(), 0, 64, &src.Def(), nullptr, &failures,
                                     FailSome, &dst.Def()),
                  610)
            << threads << " threads";
        // Every pixel before the failure was done.
        for (A_long y = 0; y < 40; ++y) EXPECT_EQ(dst.At<PF_Pixel8>(79, y).alpha, 1) << y;
        EXPECT_EQ(dst.At<PF_Pixel8>(49, 40).alpha, 1);
        if (threads > 1) {
            EXPECT_TRUE(failures.laterFailed);
        }
    }
}

PF_Err AbortAtRowTen(void* refcon, A_long, A_long y, PF_Pixel8*, PF_Pixel8*) {
    if (y == 10) static_cast<Host*>(refcon)->SetAborted(true);
    return PF_Err_NONE;
}

TEST_F(IterateTest, AnAbortStopsTheIterationWithCancel) {
    host_.SetThreads(2);
    World src(8, 200, Depth::k8), dst(8, 200, Depth::k8);
    EXPECT_EQ(Iterate8().iterate(&host_.InData(), 0, 200, &src.Def(), nullptr, &host_,
                                 AbortAtRowTen, &dst.Def()),
              PF_Interrupt_CANCEL);
    Marker m;
    EXPECT_EQ(
        Iterate8().iterate(&host_.InData(), 0, 200, &src.Def(), nullptr, &m, Mark8, &dst.Def()),
        PF_Interrupt_CANCEL);
    EXPECT_EQ(m.calls, 0) << "aborted before the first row";
    host_.SetAborted(false);
    EXPECT_EQ(
        Iterate8().iterate(&host_.InData(), 0, 200, &src.Def(), nullptr, &m, Mark8, &dst.Def()),
        PF_Err_NONE);
}

TEST_F(IterateTest, ProgressRunsFromBaseToFinal) {
    host_.SetThreads(4);
    World src(5, 50, Depth::k8), dst(5, 50, Depth::k8);
    Marker m;
    ASSERT_EQ(
        Iterate8().iterate(&host_.InData(), 100, 150, &src.Def(), nullptr, &m, Mark8, &dst.Def()),
        PF_Err_NONE);
    EXPECT_EQ(host_.LastProgressCurrent(), 150);
    EXPECT_EQ(host_.LastProgressTotal(), 150);
    EXPECT_GE(host_.ProgressReports(), 1);
}

TEST_F(IterateTest, BadArgumentsAndMismatchedWorldsAreRefused) {
    World src(4, 4, Depth::k8), dst(4, 4, Depth::k8);
    Marker m;
    PF_InData other = host_.InData();
    other.effect_ref = nullptr;
    const auto& it8 = Iterate8();
    EXPECT_EQ(it8.iterate(&other, 0, 0, &src.Def(), nullptr, &m, Mark8, &dst.Def()),
              PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(it8.iterate(&host_.InData(), 0, 0, &src.Def(), nullptr, &m, nullptr, &dst.Def()),
              PF_Err_BAD_CALLBACK_PARAM);
    PF_EffectWorld narrow = dst.Def();
    narrow.rowbytes = 4 * 4 - 1;
    EXPECT_EQ(it8.iterate(&host_.InData(), 0, 0, &src.Def(), nullptr, &m, Mark8, &narrow),
              PF_Err_BAD_CALLBACK_PARAM);
    // A float world the host made cannot go through the 8-bit suite.
    const auto& worlds = Acquire<PF_WorldSuite2>(host_, kPFWorldSuite, 2);
    PF_EffectWorld made;
    ASSERT_EQ(
        worlds.PF_NewWorld(host_.InData().effect_ref, 4, 4, true, PF_PixelFormat_ARGB128, &made),
        PF_Err_NONE);
    EXPECT_EQ(it8.iterate(&host_.InData(), 0, 0, &src.Def(), nullptr, &m, Mark8, &made),
              PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(m.calls, 0);
}

PF_Err Throws(void*, A_long x, A_long, PF_Pixel8*, PF_Pixel8*) {
    if (x == 2) throw std::runtime_error("thrown by a pixel function");
    return PF_Err_NONE;
}

TEST_F(IterateTest, AnExceptionFromAPixelFunctionIsAViolation) {
    World src(4, 4, Depth::k8), dst(4, 4, Depth::k8);
    EXPECT_EQ(
        Iterate8().iterate(&host_.InData(), 0, 0, &src.Def(), nullptr, nullptr, Throws, &dst.Def()),
        PF_Err_INTERNAL_STRUCT_DAMAGED);
    EXPECT_FALSE(host_.Violations().empty());
}

TEST_F(IterateTest, TheLookUpTablesMapEachChannel) {
    World src(3, 1, Depth::k8), dst(3, 1, Depth::k8);
    src.At<PF_Pixel8>(1, 0) = {10, 20, 30, 40};
    A_u_char invert[256];
    for (int i = 0; i < 256; ++i) invert[i] = A_u_char(255 - i);
    ASSERT_EQ(Iterate8().iterate_lut(&host_.InData(), 0, 0, &src.Def(), nullptr, nullptr, invert,
                                     nullptr, invert, &dst.Def()),
              PF_Err_NONE);
    const PF_Pixel8 p = dst.At<PF_Pixel8>(1, 0);
    EXPECT_EQ(p.alpha, 10);
    EXPECT_EQ(p.red, 235);
    EXPECT_EQ(p.green, 30);
    EXPECT_EQ(p.blue, 215);
}

// Every call waits until `expected` calls run at once: only a pool of that
// many real threads lets them all through.
struct Meeting {
    std::mutex mutex;
    std::condition_variable cv;
    int arrived = 0, expected = 0;
    std::set<A_long> indices, threads;
};

PF_Err Meet(void* refcon, A_long thread, A_long i, A_long) {
    Meeting& m = *static_cast<Meeting*>(refcon);
    std::unique_lock<std::mutex> lock(m.mutex);
    m.indices.insert(i);
    m.threads.insert(thread);
    ++m.arrived;
    m.cv.notify_all();
    const bool met =
        m.cv.wait_for(lock, std::chrono::seconds(20), [&] { return m.arrived >= m.expected; });
    return met ? PF_Err_NONE : 700;
}

PF_Err FailOdd(void*, A_long, A_long i, A_long) {
    if (i % 2) return 800 + i;
    return PF_Err_NONE;
}

TEST_F(IterateTest, GenericIterationRunsOncePerThreadOnRealThreads) {
    host_.SetThreads(4);
    Meeting m;
    m.expected = 4;
    ASSERT_EQ(Iterate8().iterate_generic(PF_Iterations_ONCE_PER_PROCESSOR, &m, Meet), PF_Err_NONE);
    EXPECT_EQ(m.indices, (std::set<A_long>{0, 1, 2, 3}));
    EXPECT_EQ(m.threads, (std::set<A_long>{0, 1, 2, 3}));
    EXPECT_EQ(host_.InData().utils->iterate_generic(9, nullptr, FailOdd), 801)
        << "the lowest failing index";
    EXPECT_EQ(Iterate8().iterate_generic(-2, nullptr, FailOdd), PF_Err_BAD_CALLBACK_PARAM);
}

}  // namespace
}  // namespace lumeshade::host
