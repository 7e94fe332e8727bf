// Pixel iteration: the three iterate suites and in_data's iterate callbacks.
//
// The rows of the area are split into chunks that the threads of the host's
// pool take in turn, so that every thread stays busy. Each pixel is written
// by exactly one call, so the destination is the same whatever the thread
// count. A failing pixel ends its row; the result is the error of the first
// failing pixel in scan order, found by letting every row above it finish
// and skipping the rows below it. Between rows the iteration reports
// progress (from the calling thread) and stops with PF_Interrupt_CANCEL once
// the user has aborted.
#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <mutex>

#include "AE_EffectCBSuites.h"
#include "host/call_site.h"
#include "host/host.h"
#include "host/host_state.h"

namespace lumeshade::host {
namespace {

template <class Pixel>
using PixelFn = PF_Err (*)(void* refcon, A_long x, A_long y, Pixel* in, Pixel* out);

// A pixel function that throws reaches C frames in a real host; here the
// iteration stops at that pixel with this code and records a violation.
constexpr PF_Err kThrownThroughHost = PF_Err_INTERNAL_STRUCT_DAMAGED;

template <class Pixel>
bool UsableWorld(HostState& s, const PF_EffectWorld& w) {
    if (w.width < 0 || w.height < 0) return false;
    if (std::int64_t(w.width) * std::int64_t(w.height) == 0) return true;
    if (w.data == nullptr ||
        std::int64_t(w.rowbytes) < std::int64_t(w.width) * std::int64_t(sizeof(Pixel))) {
        return false;
    }
    // A world the host handed out must be of this suite's pixel type.
    const std::optional<PF_PixelFormat> format = HandedOutFormat(s, &w);
    return !format || *format == FormatOf(DepthOfPixel<Pixel>::kValue);
}

// The first failure in scan order among the rows done so far.
struct FirstFailure {
    std::mutex mutex;
    std::atomic<A_long> row{INT_MAX};
    A_long x = 0;
    PF_Err err = PF_Err_NONE;

    void Offer(A_long y, A_long atX, PF_Err code) {
        std::lock_guard<std::mutex> lock(mutex);
        const A_long current = row.load();
        if (y < current || (y == current && atX < x)) {
            row.store(y);
            x = atX;
            err = code;
        }
    }
};

struct Area {
    A_long left, top, right, bottom;
    A_long dx, dy;  // source pixel = (x + dx, y + dy)
};

template <class Pixel>
PF_Err RunRow(HostState& s, const Area& a, A_long y, const PF_EffectWorld& src, void* refcon,
              PixelFn<Pixel> fn, const PF_EffectWorld& dst, A_long* failedX) {
    Pixel* out = reinterpret_cast<Pixel*>(reinterpret_cast<char*>(dst.data) +
                                          std::intptr_t(y) * dst.rowbytes);
    const A_long sy = y + a.dy;
    Pixel* in = sy >= 0 && sy < src.height
                    ? reinterpret_cast<Pixel*>(reinterpret_cast<char*>(src.data) +
                                               std::intptr_t(sy) * src.rowbytes)
                    : nullptr;
    // The columns whose source pixel lies inside the source, computed wide:
    // the pixels there are handed over without a test each.
    std::int64_t from = a.right, to = a.right;
    if (in != nullptr) {
        from = std::clamp<std::int64_t>(-std::int64_t(a.dx), a.left, a.right);
        to = std::clamp<std::int64_t>(std::int64_t(src.width) - a.dx, from, a.right);
    }
    A_long x = a.left;
    try {
        // Outside the source the function sees transparent black, fresh for
        // every pixel.
        const auto outside = [&](A_long end) -> PF_Err {
            for (; x < end; ++x) {
                Pixel blank{};
                if (const PF_Err err = fn(refcon, x, y, &blank, out + x)) return err;
            }
            return PF_Err_NONE;
        };
        PF_Err err = outside(A_long(from));
        if (err == PF_Err_NONE && x < A_long(to)) {
            Pixel* source = in + (std::int64_t(x) + a.dx);
            for (; x < A_long(to); ++x, ++source) {
                if ((err = fn(refcon, x, y, source, out + x)) != PF_Err_NONE) break;
            }
        }
        if (err == PF_Err_NONE) err = outside(a.right);
        if (err != PF_Err_NONE) {
            *failedX = x;
            return err;
        }
    } catch (...) {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.Violation("an exception left a pixel function into the host");
        *failedX = x;
        return kThrownThroughHost;
    }
    return PF_Err_NONE;
}

template <class Pixel>
PF_Err Iterate(PF_InData* in_data, A_long progress_base, A_long progress_final, PF_EffectWorld* src,
               const PF_Rect* area, const PF_Point* origin, bool clipToSource, void* refcon,
               PixelFn<Pixel> fn, PF_EffectWorld* dst) {
    HostState& s = Host::Current().State();
    if (in_data == nullptr || in_data->effect_ref != s.EffectRef() || fn == nullptr ||
        src == nullptr || dst == nullptr || !UsableWorld<Pixel>(s, *src) ||
        !UsableWorld<Pixel>(s, *dst)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }

    // The area, clipped to the destination and, unless asked not to, to
    // where the source has pixels; computed wide so that no offset overflows.
    const std::int64_t dx = origin ? origin->h : 0, dy = origin ? origin->v : 0;
    std::int64_t left = area ? area->left : 0, top = area ? area->top : 0;
    std::int64_t right = area ? area->right : dst->width;
    std::int64_t bottom = area ? area->bottom : dst->height;
    left = std::max<std::int64_t>(left, 0);
    top = std::max<std::int64_t>(top, 0);
    right = std::min<std::int64_t>(right, dst->width);
    bottom = std::min<std::int64_t>(bottom, dst->height);
    if (clipToSource) {
        left = std::max(left, -dx);
        top = std::max(top, -dy);
        right = std::min(right, src->width - dx);
        bottom = std::min(bottom, src->height - dy);
    }
    if (left >= right || top >= bottom) return PF_Err_NONE;
    const Area a{A_long(left),
                 A_long(top),
                 A_long(right),
                 A_long(bottom),
                 A_long(std::clamp<std::int64_t>(dx, INT_MIN, INT_MAX)),
                 A_long(std::clamp<std::int64_t>(dy, INT_MIN, INT_MAX))};

    ThreadPool& pool = Pool(s);
    const A_long rows = a.bottom - a.top;
    const A_long chunkRows = std::max<A_long>(1, rows / (A_long(pool.Size()) * 8));
    const A_long chunks = (rows + chunkRows - 1) / chunkRows;
    const bool reports = progress_final != progress_base;
    std::atomic<A_long> next{0};
    std::atomic<A_long> rowsDone{0};
    std::atomic<bool> cancelled{false};
    FirstFailure first;

    pool.Run([&](int thread) {
        for (A_long chunk = next++; chunk < chunks; chunk = next++) {
            const A_long end = std::min(rows, (chunk + 1) * chunkRows);
            for (A_long r = chunk * chunkRows; r < end; ++r) {
                if (cancelled.load(std::memory_order_relaxed) ||
                    s.render.aborted.load(std::memory_order_relaxed)) {
                    cancelled = true;
                    return;
                }
                const A_long y = a.top + r;
                if (y > first.row.load()) break;  // cannot hold the first failure
                A_long failedX = 0;
                if (const PF_Err err = RunRow<Pixel>(s, a, y, *src, refcon, fn, *dst, &failedX)) {
                    first.Offer(y, failedX, err);
                }
                ++rowsDone;
            }
            if (thread == 0 && reports) {
                const std::int64_t span = std::int64_t(progress_final) - progress_base;
                RecordProgress(s, A_long(progress_base + span * rowsDone.load() / rows),
                               progress_final);
            }
        }
    });

    if (cancelled) return PF_Interrupt_CANCEL;
    if (first.err != PF_Err_NONE) return first.err;
    if (reports) RecordProgress(s, progress_final, progress_final);
    return PF_Err_NONE;
}

thread_local int t_genericThread = -1;

PF_Err IterateGeneric(A_long iterations, void* refcon,
                      PF_Err (*fn)(void* refcon, A_long thread_index, A_long i,
                                   A_long iterations)) {
    static CallSite site("iterate_generic");
    if (const A_long err = site.Enter()) return err;
    HostState& s = Host::Current().State();
    if (fn == nullptr || iterations < PF_Iterations_ONCE_PER_PROCESSOR) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    ThreadPool& pool = Pool(s);
    const A_long count =
        iterations == PF_Iterations_ONCE_PER_PROCESSOR ? A_long(pool.Size()) : iterations;
    std::atomic<A_long> next{0};
    std::atomic<bool> cancelled{false};
    FirstFailure first;  // row = the iteration index

    pool.Run([&](int thread) {
        for (A_long i = next++; i < count; i = next++) {
            if (s.render.aborted.load(std::memory_order_relaxed)) {
                cancelled = true;
                return;
            }
            if (i > first.row.load()) return;
            PF_Err err;
            t_genericThread = thread;
            try {
                err = fn(refcon, thread, i, count);
            } catch (...) {
                std::lock_guard<std::mutex> lock(s.mutex);
                s.Violation("an exception left an iterate_generic function into the host");
                err = kThrownThroughHost;
            }
            t_genericThread = -1;
            if (err != PF_Err_NONE) first.Offer(i, 0, err);
        }
    });
    if (cancelled) return PF_Interrupt_CANCEL;
    return first.err;
}

// 8-bit look-up tables, each null for the identity.
struct Luts {
    const A_u_char *a, *r, *g, *b;
};

PF_Err LutPixel(void* refcon, A_long, A_long, PF_Pixel* in, PF_Pixel* out) {
    const Luts& l = *static_cast<const Luts*>(refcon);
    *out = {l.a ? l.a[in->alpha] : in->alpha, l.r ? l.r[in->red] : in->red,
            l.g ? l.g[in->green] : in->green, l.b ? l.b[in->blue] : in->blue};
    return PF_Err_NONE;
}

PF_Err IterateLut(PF_InData* in_data, A_long progress_base, A_long progress_final,
                  PF_EffectWorld* src, const PF_Rect* area, A_u_char* a_lut, A_u_char* r_lut,
                  A_u_char* g_lut, A_u_char* b_lut, PF_EffectWorld* dst) {
    static CallSite site("iterate_lut");
    if (const A_long err = site.Enter()) return err;
    Luts luts{a_lut, r_lut, g_lut, b_lut};
    return Iterate<PF_Pixel8>(in_data, progress_base, progress_final, src, area, nullptr, true,
                              &luts, LutPixel, dst);
}

// One entry per suite slot and bit depth; the suite slot and in_data's
// callback of the same name share the function and its call count.
template <class Pixel>
struct Names;
template <>
struct Names<PF_Pixel8> {
    static constexpr const char* kIterate = "iterate";
    static constexpr const char* kOrigin = "iterate_origin";
    static constexpr const char* kNonClip = "iterate_origin_non_clip_src";
};
template <>
struct Names<PF_Pixel16> {
    static constexpr const char* kIterate = "iterate16";
    static constexpr const char* kOrigin = "iterate_origin16";
    static constexpr const char* kNonClip = "iterate_origin_non_clip_src16";
};
template <>
struct Names<PF_PixelFloat> {
    static constexpr const char* kIterate = "iterateFloat";
    static constexpr const char* kOrigin = "iterate_originFloat";
    static constexpr const char* kNonClip = "iterate_origin_non_clip_srcFloat";
};

template <class Pixel>
PF_Err IterateArea(PF_InData* in_data, A_long progress_base, A_long progress_final,
                   PF_EffectWorld* src, const PF_Rect* area, void* refcon, PixelFn<Pixel> fn,
                   PF_EffectWorld* dst) {
    static CallSite site(Names<Pixel>::kIterate);
    if (const A_long err = site.Enter()) return err;
    return Iterate<Pixel>(in_data, progress_base, progress_final, src, area, nullptr, true, refcon,
                          fn, dst);
}

template <class Pixel>
PF_Err IterateOrigin(PF_InData* in_data, A_long progress_base, A_long progress_final,
                     PF_EffectWorld* src, const PF_Rect* area, const PF_Point* origin, void* refcon,
                     PixelFn<Pixel> fn, PF_EffectWorld* dst) {
    static CallSite site(Names<Pixel>::kOrigin);
    if (const A_long err = site.Enter()) return err;
    if (origin == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    return Iterate<Pixel>(in_data, progress_base, progress_final, src, area, origin, true, refcon,
                          fn, dst);
}

template <class Pixel>
PF_Err IterateOriginNonClip(PF_InData* in_data, A_long progress_base, A_long progress_final,
                            PF_EffectWorld* src, const PF_Rect* area, const PF_Point* origin,
                            void* refcon, PixelFn<Pixel> fn, PF_EffectWorld* dst) {
    static CallSite site(Names<Pixel>::kNonClip);
    if (const A_long err = site.Enter()) return err;
    if (origin == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    return Iterate<Pixel>(in_data, progress_base, progress_final, src, area, origin, false, refcon,
                          fn, dst);
}

const PF_Iterate8Suite1 kIterate8Suite = {IterateArea<PF_Pixel8>, IterateOrigin<PF_Pixel8>,
                                          IterateLut, IterateOriginNonClip<PF_Pixel8>,
                                          IterateGeneric};
const PF_Iterate8Suite1 kIterate8SuiteWithoutGeneric = {
    IterateArea<PF_Pixel8>, IterateOrigin<PF_Pixel8>, IterateLut, IterateOriginNonClip<PF_Pixel8>,
    nullptr};
const PF_Iterate16Suite1 kIterate16Suite = {IterateArea<PF_Pixel16>, IterateOrigin<PF_Pixel16>,
                                            IterateOriginNonClip<PF_Pixel16>};
const PF_IterateFloatSuite1 kIterateFloatSuite = {
    IterateArea<PF_PixelFloat>, IterateOrigin<PF_PixelFloat>, IterateOriginNonClip<PF_PixelFloat>};

}  // namespace

int GenericIterationThread() { return t_genericThread; }

void RecordProgress(HostState& s, A_long current, A_long total) {
    std::lock_guard<std::mutex> lock(s.mutex);
    s.render.progressCurrent = current;
    s.render.progressTotal = total;
    ++s.render.progressReports;
}

ThreadPool& Pool(HostState& s) {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.render.pool) {
        const int n = s.render.threads > 0 ? s.render.threads
                                           : int(std::max(1u, std::thread::hardware_concurrency()));
        s.render.pool = std::make_unique<ThreadPool>(n);
    }
    return *s.render.pool;
}

void InstallIterateCallbacks(PF_UtilCallbacks& utils) {
    utils.iterate = IterateArea<PF_Pixel8>;
    utils.iterate_origin = IterateOrigin<PF_Pixel8>;
    utils.iterate_lut = IterateLut;
    utils.iterate_origin_non_clip_src = IterateOriginNonClip<PF_Pixel8>;
    utils.iterate_generic = IterateGeneric;
    utils.iterate16 = IterateArea<PF_Pixel16>;
    utils.iterate_origin16 = IterateOrigin<PF_Pixel16>;
    utils.iterate_origin_non_clip_src16 = IterateOriginNonClip<PF_Pixel16>;
}

void WithoutGenericIteration(HostState& s) {
    s.suites[{kPFIterate8Suite, kPFIterate8SuiteVersion1}].table = &kIterate8SuiteWithoutGeneric;
}

void RegisterIterateSuites(HostState& s) {
    s.suites[{kPFIterate8Suite, kPFIterate8SuiteVersion1}].table = &kIterate8Suite;
    s.suites[{kPFIterate16Suite, kPFIterate16SuiteVersion1}].table = &kIterate16Suite;
    s.suites[{kPFIterateFloatSuite, kPFIterateFloatSuiteVersion1}].table = &kIterateFloatSuite;
}

}  // namespace lumeshade::host
