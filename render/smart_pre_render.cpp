#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "AE_EffectCB.h"
#include "common/convert.h"
#include "maps/sample_area.h"
#include "params/param_ids.h"
#include "render/pre_render_block.h"
#include "render/read_parameters.h"
#include "render/render_context.h"
#include "render/smart_render.h"
#include "shell/host_suites.h"

namespace lumeshade {
namespace {

bool IsEmpty(const PF_LRect& r) { return r.left >= r.right || r.top >= r.bottom; }

// The layer's extent at the render's resolution: its size times the
// downsample factor, rounded up, so that no rounding of the host's makes
// the layer larger than this. Nothing for a factor that is none.
std::optional<int64_t> ScaledExtent(A_long size, const PF_RationalScale& factor) {
    if (factor.num <= 0 || factor.den == 0) return std::nullopt;
    const int64_t scaled = int64_t(size) * factor.num;
    return (scaled + int64_t(factor.den) - 1) / int64_t(factor.den);
}

// Whether `r` holds the whole layer: then every pixel a request's pixels
// read lies in the request already.
bool CoversLayer(const PF_InData* in_data, const PF_LRect& r) {
    const std::optional<int64_t> width = ScaledExtent(in_data->width, in_data->downsample_x);
    const std::optional<int64_t> height = ScaledExtent(in_data->height, in_data->downsample_y);
    return width && height && r.left <= 0 && r.top <= 0 && r.right >= *width && r.bottom >= *height;
}

// How far beyond its own position a pixel reads the input: Pre Blur samples
// the default normal map, the input itself, over its radius, and the host's
// sampler counts what lies outside the buffer it is given as transparent
// black. The control is read as smart render reads it, at the current time.
PF_Err NeighbourReach(PF_InData* in_data, A_long& reach) {
    PF_ParamDef def;
    const PF_Err err = ReadControl(in_data, PARAM_NORMALS_PRE_BLUR, def);
    if (err == PF_Err_NONE) reach = SampleReach(float(def.u.fd.value / 65536.0));
    return err;
}

PF_LRect Grown(const PF_LRect& r, A_long by) {
    return {SaturatingSub(r.left, by), SaturatingSub(r.top, by), SaturatingAdd(r.right, by),
            SaturatingAdd(r.bottom, by)};
}

PF_LRect Intersection(const PF_LRect& a, const PF_LRect& b) {
    return {a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
            a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
}

}  // namespace

void MergeRect(PF_LRect& into, const PF_LRect& from) {
    if (IsEmpty(into)) {
        into = from;
    } else if (!IsEmpty(from)) {
        into.left = into.left < from.left ? into.left : from.left;
        into.top = into.top < from.top ? into.top : from.top;
        into.right = into.right > from.right ? into.right : from.right;
        into.bottom = into.bottom > from.bottom ? into.bottom : from.bottom;
    }
}

// The host calls this itself: nothing may be thrown back into it.
void DeletePreRenderData(void* preRenderData) {
    std::unique_ptr<PreRenderData> data(static_cast<PreRenderData*>(preRenderData));
    if (data && data->block && data->disposeHandle) {
        GiveBackQuietly([&] { data->disposeHandle(data->block); });
    }
}

PF_Err SmartPreRender(PF_InData* in_data, PF_PreRenderExtra* extra) {
    HostSuites suites(in_data);
    PF_RenderRequest request = extra->input->output_request;

    auto data = std::make_unique<PreRenderData>();
    data->disposeHandle = in_data->utils ? in_data->utils->host_dispose_handle : nullptr;

    const PF_HandleSuite1& handles = suites.Handle();
    // Until the host holds the block, it is ours to dispose on every way out
    // (a missing suite throws past this function).
    struct Pending {
        const PF_HandleSuite1& handles;
        PF_Handle block;
        ~Pending() {
            if (block) GiveBackQuietly([this] { handles.host_dispose_handle(block); });
        }
    } pending{handles, handles.host_new_handle(sizeof(RenderContext))};
    PF_Err err = suites.Memory().AEGP_SetMemReportingOn(true);
    if (pending.block == nullptr) return PF_Err_OUT_OF_MEMORY;

    void* bytes = handles.host_lock_handle(pending.block);
    if (bytes == nullptr) return err;
    // Smart render copies the whole block; it starts from zeros rather than
    // whatever the new handle held.
    std::memset(bytes, 0, sizeof(RenderContext));
    handles.host_unlock_handle(pending.block);

    data->block = pending.block;
    pending.block = nullptr;
    extra->output->pre_render_data = data.release();
    extra->output->delete_pre_render_data_func = DeletePreRenderData;
    request.preserve_rgb_of_zero_alpha = true;

    // For part of the layer the input is asked for that part grown by the
    // reach of the pixels' neighbours, so that a pixel at the edge of the
    // part reads what it reads in the whole layer; what the effect reports
    // is still only the part.
    A_long reach = 0;
    if (err == PF_Err_NONE && !CoversLayer(in_data, request.rect)) {
        err = NeighbourReach(in_data, reach);
    }
    if (err == PF_Err_NONE) {
        PF_RenderRequest inputRequest = request;
        inputRequest.rect = Grown(request.rect, reach);
        PF_CheckoutResult result;
        std::memset(&result, 0, sizeof result);
        err = extra->cb->checkout_layer(in_data->effect_ref, 0, 0, &inputRequest,
                                        in_data->current_time, in_data->time_step,
                                        in_data->time_scale, &result);
        if (err == PF_Err_NONE) {
            if (reach > 0) result.result_rect = Intersection(result.result_rect, request.rect);
            MergeRect(extra->output->result_rect, result.result_rect);
            MergeRect(extra->output->max_result_rect, result.max_result_rect);
        }
    }
    return err;
}

}  // namespace lumeshade
