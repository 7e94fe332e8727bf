#include <cstring>
#include <memory>

#include "AE_EffectCB.h"
#include "render/pre_render_block.h"
#include "render/render_context.h"
#include "render/smart_render.h"
#include "shell/host_suites.h"

namespace lumeshade {
namespace {

bool IsEmpty(const PF_LRect& r) { return r.left >= r.right || r.top >= r.bottom; }

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

    if (err == PF_Err_NONE) {
        PF_CheckoutResult result;
        std::memset(&result, 0, sizeof result);
        err = extra->cb->checkout_layer(in_data->effect_ref, 0, 0, &request, in_data->current_time,
                                        in_data->time_step, in_data->time_scale, &result);
        if (err == PF_Err_NONE) {
            MergeRect(extra->output->result_rect, result.result_rect);
            MergeRect(extra->output->max_result_rect, result.max_result_rect);
        }
    }
    return err;
}

}  // namespace lumeshade
