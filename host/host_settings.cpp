// The host's render settings: composition, input, depth, resolution,
// quality, region, threads, time and the user's abort.
#include <cmath>
#include <cstdint>
#include <numeric>
#include <stdexcept>
#include <string>

#include "host/host.h"
#include "host/host_state.h"
#include "host/rounding.h"

namespace lumeshade::host {

Composition& Host::Comp() { return state_->render.comp; }

void Host::SetInput(std::shared_ptr<const World> input) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->inData.width = input ? input->Width() : 0;
    state_->inData.height = input ? input->Height() : 0;
    state_->render.input = std::move(input);
}

void Host::SetRenderDepth(Depth depth) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->render.renderDepth = depth;
}

void Host::SetDownsample(A_long factor) {
    if (factor < 1) throw std::invalid_argument("downsample factor below 1");
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->render.downsample = factor;
    state_->inData.downsample_x = {1, A_u_long(factor)};
    state_->inData.downsample_y = {1, A_u_long(factor)};
}

void Host::ReportPixelFormat(std::optional<PF_PixelFormat> format) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->render.reportedFormat = format;
}

void Host::SetQuality(PF_Quality quality) { state_->inData.quality = quality; }

void Host::FillFreshOutput(bool on) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->render.fillFreshOutput = on;
}

void Host::SetRegion(std::optional<PF_LRect> region) {
    if (region) {
        const std::int64_t width = std::int64_t(region->right) - region->left;
        const std::int64_t height = std::int64_t(region->bottom) - region->top;
        if (width < 1 || height < 1 || width > PF_MAX_WORLD_WIDTH || height > PF_MAX_WORLD_HEIGHT) {
            throw std::invalid_argument("region of " + std::to_string(width) + " x " +
                                        std::to_string(height) + " pixels");
        }
    }
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->render.region = region;
}

void Host::SetThreads(int threads) {
    if (threads < 0) throw std::invalid_argument("thread count below 0");
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->render.threads = threads;
    state_->render.pool.reset();
}

void Host::SetTime(double seconds) {
    const double rate = state_->render.comp.frameRate;
    // Frames per second as a fraction scale / step, in thousandths: a rate
    // that rounds to no thousandth would give the module a time scale of 0.
    const A_long thousandths = std::isfinite(rate) ? state_->render.comp.RateThousandths() : 0;
    if (!std::isfinite(seconds) || thousandths < 1 || rate > 1000) {
        throw std::invalid_argument("time or frame rate out of range");
    }
    const A_long divisor = std::gcd(thousandths, A_long(1000));
    const A_long scale = thousandths / divisor, step = 1000 / divisor;
    const double frames = std::round(seconds * double(scale) / double(step));
    if (!(std::fabs(frames * step) < 2147483647.0))
        throw std::invalid_argument("time out of range");
    PF_InData& in = state_->inData;
    in.time_scale = A_u_long(scale);
    in.time_step = step;
    in.local_time_step = step;
    in.current_time = RoundedInt(frames) * step;
}

void Host::SetAborted(bool aborted) { state_->render.aborted.store(aborted); }

A_long Host::LastProgressCurrent() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->render.progressCurrent;
}

A_long Host::LastProgressTotal() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->render.progressTotal;
}

int Host::ProgressReports() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->render.progressReports;
}

}  // namespace lumeshade::host
