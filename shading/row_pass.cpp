#include "shading/row_pass.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <limits>

#include "AE_EffectCB.h"
#include "common/error_barrier.h"
#include "common/pixel_traits.h"
#include "shading/row_kernels.h"

namespace lumeshade {
namespace {

// The rows are shared out in at most this many bands: enough for every
// processor to stay busy to the end, few enough that reporting progress
// between them costs nothing.
constexpr A_long kMaxBands = 64;
constexpr A_long kNoBand = std::numeric_limits<A_long>::max();

// The first failure of a band: the row it ended.
struct Failure {
    A_long row = 0;
    PF_Err err = PF_Err_NONE;
};

// What the calls of one iteration share. Each band's failure is written
// only by the call that shades it; the rest is atomic.
struct RowJob {
    PF_InData* in_data = nullptr;
    const RenderContext* ctx = nullptr;
    const RowKernels* kernels = nullptr;
    PF_PixelFormat format = PF_PixelFormat_INVALID;
    const PF_EffectWorld* input = nullptr;
    PF_EffectWorld* output = nullptr;
    A_long left = 0, top = 0, right = 0, bottom = 0;
    // The input pixel of output pixel (x, y) is input pixel (x + dx, y + dy).
    A_long dx = 0, dy = 0;
    A_long bandRows = 1, bands = 0;
    A_long progressTotal = 0;
    Failure failures[kMaxBands];
    std::atomic<A_long> next{0};
    std::atomic<A_long> rowsDone{0};
    std::atomic<A_long> firstFailedBand{kNoBand};
    std::atomic<PF_Err> aborted{PF_Err_NONE};
};

template <class Pixel>
Pixel* PixelOf(const PF_EffectWorld& world, A_long x, A_long y) {
    return reinterpret_cast<Pixel*>(reinterpret_cast<char*>(world.data) +
                                    static_cast<intptr_t>(y) * world.rowbytes +
                                    static_cast<intptr_t>(x) * static_cast<intptr_t>(sizeof(Pixel)));
}

template <class Pixel>
void ShadeBand(RowJob& job, RowKernel<Pixel> kernel, A_long band) {
    const A_long top = job.top + band * job.bandRows;
    const A_long bottom = std::min(job.bottom, top + job.bandRows);
    for (A_long y = top; y < bottom; ++y) {
        const PF_Err err = WithinErrorBarrier([&] {
            kernel(*job.ctx, y, job.left, job.right,
                   PixelOf<Pixel>(*job.input, job.left + job.dx, y + job.dy),
                   PixelOf<Pixel>(*job.output, job.left, y));
            return PF_Err_NONE;
        });
        if (err != PF_Err_NONE) {
            // A failing pixel ends its band; bands below it need not run.
            job.failures[band] = {y, err};
            A_long first = job.firstFailedBand.load();
            while (band < first && !job.firstFailedBand.compare_exchange_weak(first, band)) {
            }
            return;
        }
        job.rowsDone.fetch_add(1, std::memory_order_relaxed);
    }
}

void ShadeBandOf(RowJob& job, A_long band) {
    switch (job.format) {
        case PF_PixelFormat_ARGB128:
            ShadeBand<PF_PixelFloat>(job, job.kernels->shadeFloat, band);
            break;
        case PF_PixelFormat_ARGB64:
            ShadeBand<PF_Pixel16>(job, job.kernels->shade16, band);
            break;
        default:
            ShadeBand<PF_Pixel8>(job, job.kernels->shade8, band);
            break;
    }
}

// The host's thread 0 alone reports progress and asks about abort.
void ReportBetweenBands(RowJob& job) {
    const A_long rows = job.bottom - job.top;
    const A_long done = job.rowsDone.load(std::memory_order_relaxed);
    const PF_Err err = WithinErrorBarrier([&] {
        PF_PROGRESS(job.in_data, A_long(int64_t(job.progressTotal) * done / rows),
                    job.progressTotal);
        return PF_ABORT(job.in_data);
    });
    if (err != PF_Err_NONE) job.aborted.store(err);
}

// The function the host calls, once per processor.
PF_Err ShadeBands(void* refcon, A_long thread, A_long, A_long) {
    RowJob& job = *static_cast<RowJob*>(refcon);
    for (A_long band = job.next++; band < job.bands; band = job.next++) {
        if (job.aborted.load() != PF_Err_NONE || band > job.firstFailedBand.load()) break;
        ShadeBandOf(job, band);
        if (thread == 0) ReportBetweenBands(job);
    }
    return PF_Err_NONE;
}

template <class Pixel>
bool Usable(const PF_EffectWorld& w) {
    if (w.width < 0 || w.height < 0) return false;
    if (w.width == 0 || w.height == 0) return true;
    return w.data != nullptr &&
           int64_t(w.rowbytes) >= int64_t(w.width) * int64_t(sizeof(Pixel));
}

bool Usable(PF_PixelFormat format, const PF_EffectWorld& w) {
    switch (format) {
        case PF_PixelFormat_ARGB128:
            return Usable<PF_PixelFloat>(w);
        case PF_PixelFormat_ARGB64:
            return Usable<PF_Pixel16>(w);
        default:
            return Usable<PF_Pixel8>(w);
    }
}

}  // namespace

PF_Err ShadeRows(PF_InData* in_data, GenericIterate iterate, PixelPath path,
                 PF_PixelFormat format, const RenderContext& ctx, const PF_EffectWorld& input,
                 PF_EffectWorld& output, const PF_Rect& area) {
    if (!Usable(format, input) || !Usable(format, output)) return PF_Err_BAD_CALLBACK_PARAM;
    RowJob job;
    job.in_data = in_data;
    job.ctx = &ctx;
    job.kernels = path == PixelPath::kAvx2 ? &kAvx2RowKernels : &kSse2RowKernels;
    job.format = format;
    job.input = &input;
    job.output = &output;
    // The area, limited to the output and to where the input has the pixels
    // at the same places in the layer; worked out wide, as the host's
    // iterate suites do.
    const LayerPoint offset = InputOffsetOf(ctx.frame.placement);
    job.dx = offset.x;
    job.dy = offset.y;
    job.left = A_long(std::max<int64_t>({area.left, 0, -int64_t(job.dx)}));
    job.top = A_long(std::max<int64_t>({area.top, 0, -int64_t(job.dy)}));
    job.right = A_long(std::min<int64_t>({area.right, output.width, input.width - int64_t(job.dx)}));
    job.bottom =
        A_long(std::min<int64_t>({area.bottom, output.height, input.height - int64_t(job.dy)}));
    job.progressTotal = area.bottom - area.top;
    if (job.left >= job.right || job.top >= job.bottom) return PF_Err_NONE;
    const A_long rows = job.bottom - job.top;
    job.bandRows = (rows + kMaxBands - 1) / kMaxBands;
    job.bands = (rows + job.bandRows - 1) / job.bandRows;

    if (const PF_Err err = iterate(PF_Iterations_ONCE_PER_PROCESSOR, &job, ShadeBands)) {
        return err;
    }
    if (const PF_Err aborted = job.aborted.load()) return aborted;
    const A_long first = job.firstFailedBand.load();
    if (first != kNoBand) return job.failures[first].err;
    if (job.progressTotal != 0) PF_PROGRESS(in_data, job.progressTotal, job.progressTotal);
    return PF_Err_NONE;
}

}  // namespace lumeshade
