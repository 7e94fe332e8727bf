// A frame as the host renders it: smart pre-render with its layer
// check-outs, then smart render with pixel and output check-outs, then the
// disposal of the module's pre-render data.
//
// The pre-render callbacks work only during pre-render and the smart-render
// callbacks only during smart render; pixels can be checked out only under
// an id checked out in the pre-render of the same frame. Layer pixels stay
// valid until they are checked in, or at the latest until smart render
// returns: the host takes back what the module left open and counts it.
#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

#include "host/call_site.h"
#include "host/host.h"
#include "host/host_state.h"

namespace lumeshade::host {
namespace {

// What the output's pixels hold before the module writes them (unless a
// test or benchmark turned the fill off): no particular value, so that
// pixels a module leaves alone show.
constexpr unsigned char kFreshOutputByte = 0x5A;

A_long Scaled(A_long size, A_long factor) { return (size + factor - 1) / factor; }

PF_LRect Intersect(const PF_LRect& a, const PF_LRect& b) {
    PF_LRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom) r = {0, 0, 0, 0};
    return r;
}

bool Empty(const PF_LRect& r) { return r.left >= r.right || r.top >= r.bottom; }

// The host asks for the whole frame at the render's resolution, or for the
// region set.
PF_RenderRequest RequestLocked(const HostState& s) {
    PF_RenderRequest req;
    std::memset(&req, 0, sizeof req);
    const A_long f = s.render.downsample;
    req.rect = s.render.region.value_or(
        PF_LRect{0, 0, Scaled(s.render.input->Width(), f), Scaled(s.render.input->Height(), f)});
    req.field = PF_Field_FRAME;
    req.channel_mask = PF_ChannelMask_ARGB;
    return req;
}

bool CallbackArgs(HostState& s, PF_ProgPtr effect_ref, RenderPhase phase, const char* what) {
    if (effect_ref != s.EffectRef()) return false;
    if (s.render.phase != phase) {
        s.Violation(std::string(what) + " called outside its command");
        return false;
    }
    return true;
}

PF_Err CheckoutLayer(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long checkout_id,
                     const PF_RenderRequest* req, A_long what_time, A_long, A_u_long time_scale,
                     PF_CheckoutResult* result) {
    if (const A_long err = CountCall<"checkout_layer">()) return err;
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!CallbackArgs(s, effect_ref, RenderPhase::kPreRender, "checkout_layer") || req == nullptr ||
        result == nullptr || time_scale == 0 || checkout_id < 0) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (index < 0 || size_t(index) >= s.current.size()) return PF_Err_INVALID_INDEX;
    if (s.current[size_t(index)].param_type != PF_Param_LAYER) return PF_Err_BAD_CALLBACK_PARAM;
    if (s.render.pixelCheckouts.count(checkout_id)) {
        s.Violation("checkout_layer reused checkout id " + std::to_string(checkout_id));
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const World* footage =
        ParamFootageLocked(s, index, s.render.comp.FrameAt(double(what_time), double(time_scale)));
    const A_long f = s.render.downsample;
    const PF_LRect bounds =
        footage ? PF_LRect{0, 0, Scaled(footage->Width(), f), Scaled(footage->Height(), f)}
                : PF_LRect{0, 0, 0, 0};

    PixelCheckout& c = s.render.pixelCheckouts[checkout_id];
    c.index = index;
    c.request = *req;
    c.whatTime = what_time;
    c.timeScale = time_scale;
    std::memset(&c.result, 0, sizeof c.result);
    c.result.result_rect = Intersect(req->rect, bounds);
    c.result.max_result_rect = bounds;
    c.result.par = {1, 1};
    c.result.ref_width = bounds.right;
    c.result.ref_height = bounds.bottom;
    *result = c.result;
    if (checkout_id == 0) s.render.lastRequest = *req;
    return PF_Err_NONE;
}

// The pixels of the result rectangle, placed by origin_x/origin_y; null
// when the result is empty.
PF_Err CheckoutLayerPixels(PF_ProgPtr effect_ref, A_long checkout_id, PF_EffectWorld** pixels) {
    if (const A_long err = CountCall<"checkout_layer_pixels">()) return err;
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!CallbackArgs(s, effect_ref, RenderPhase::kSmartRender, "checkout_layer_pixels") ||
        pixels == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    auto it = s.render.pixelCheckouts.find(checkout_id);
    if (it == s.render.pixelCheckouts.end()) return PF_Err_BAD_CALLBACK_PARAM;
    PixelCheckout& c = it->second;
    if (!c.pixels && !Empty(c.result.result_rect)) {
        const World* footage = ParamFootageLocked(
            s, c.index, s.render.comp.FrameAt(double(c.whatTime), double(c.timeScale)));
        if (footage) {
            std::unique_ptr<World> full = LayerWorldLocked(s, *footage);
            const PF_LRect& r = c.result.result_rect;
            if (r.left != 0 || r.top != 0 || r.right != full->Width() ||
                r.bottom != full->Height()) {
                full = std::make_unique<World>(full->Cropped(r));
            }
            c.pixels = std::move(full);
            HandOutLocked(s, *c.pixels);
        }
    }
    *pixels = c.pixels ? &c.pixels->Def() : nullptr;
    ++c.open;
    return PF_Err_NONE;
}

PF_Err CheckinLayerPixels(PF_ProgPtr effect_ref, A_long checkout_id) {
    if (const A_long err = CountCall<"checkin_layer_pixels">()) return err;
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!CallbackArgs(s, effect_ref, RenderPhase::kSmartRender, "checkin_layer_pixels")) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    auto it = s.render.pixelCheckouts.find(checkout_id);
    if (it == s.render.pixelCheckouts.end() || it->second.open == 0) {
        s.Violation("checked in layer pixels that are not checked out: id " +
                    std::to_string(checkout_id));
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    PixelCheckout& c = it->second;
    if (--c.open == 0 && c.pixels) {
        TakeBackLocked(s, c.pixels->Def().data);
        c.pixels.reset();
    }
    return PF_Err_NONE;
}

PF_Err CheckoutOutput(PF_ProgPtr effect_ref, PF_EffectWorld** output) {
    if (const A_long err = CountCall<"checkout_output">()) return err;
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!CallbackArgs(s, effect_ref, RenderPhase::kSmartRender, "checkout_output") ||
        output == nullptr || !s.render.output) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *output = &s.render.output->Def();
    return PF_Err_NONE;
}

void RequireInput(const HostState& s) {
    if (!s.render.input) throw std::logic_error("rendering needs an input: call SetInput first");
}

}  // namespace

const PF_PreRenderCallbacks kPreRenderCallbacks = {CheckoutLayer};
const PF_SmartRenderCallbacks kSmartRenderCallbacks = {CheckoutLayerPixels, CheckinLayerPixels,
                                                       CheckoutOutput};

PF_Err Host::SmartPreRender() {
    HostState& s = *state_;
    PF_PreRenderInput input;
    std::memset(&input, 0, sizeof input);
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        RequireInput(s);
        s.render.phase = RenderPhase::kPreRender;
        s.render.preRendered = false;
        s.render.pixelCheckouts.clear();
        std::memset(&s.render.lastRequest, 0, sizeof s.render.lastRequest);
        input.output_request = RequestLocked(s);
        input.bitdepth = BitsPerChannel(RenderDepthLocked(s));
        s.inData.extent_hint = input.output_request.rect;
    }
    PF_PreRenderOutput output;
    std::memset(&output, 0, sizeof output);
    PF_PreRenderCallbacks callbacks = kPreRenderCallbacks;
    PF_PreRenderExtra extra{&input, &output, &callbacks};
    std::memset(&s.outData, 0, sizeof s.outData);
    const PF_Err err = Send(PF_Cmd_SMART_PRE_RENDER, &extra);

    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.render.phase = RenderPhase::kIdle;
        s.render.lastPreRenderOutput = output;
        s.render.preRendered = err == PF_Err_NONE;
    }
    // A failed pre-render gets no smart render, but what it handed over is
    // still the module's to delete.
    if (err != PF_Err_NONE && output.delete_pre_render_data_func && output.pre_render_data) {
        output.delete_pre_render_data_func(output.pre_render_data);
    }
    return err;
}

PF_Err Host::SmartRender() {
    HostState& s = *state_;
    PF_SmartRenderInput input;
    std::memset(&input, 0, sizeof input);
    PF_PreRenderOutput pre;
    std::memset(&pre, 0, sizeof pre);
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        RequireInput(s);
        if (s.render.preRendered) {
            pre = s.render.lastPreRenderOutput;
        } else {
            s.render.pixelCheckouts.clear();  // nothing was asked for
        }
        input.output_request = RequestLocked(s);
        input.bitdepth = BitsPerChannel(RenderDepthLocked(s));
        input.pre_render_data = pre.pre_render_data;
        s.inData.extent_hint = input.output_request.rect;

        if (s.render.output) TakeBackLocked(s, s.render.output->Def().data);
        // The output holds the rectangle asked for, placed in the layer by
        // its origin. A buffer of the same size and format is used again,
        // as a host keeps its buffers from frame to frame.
        const PF_LRect& rect = input.output_request.rect;
        const A_long width = rect.right - rect.left, height = rect.bottom - rect.top;
        const Depth depth = RenderDepthLocked(s);
        if (!s.render.output || s.render.output->Width() != width ||
            s.render.output->Height() != height || s.render.output->GetDepth() != depth) {
            s.render.output = std::make_unique<World>(width, height, depth);
        }
        World& out = *s.render.output;
        if (s.render.fillFreshOutput) out.FillBytes(kFreshOutputByte);
        out.SetOrigin(rect.left, rect.top);
        // The module is to fill the part it said it would produce, given in
        // the output's own pixels.
        PF_LRect fill = Intersect(rect, pre.result_rect);
        if (!Empty(fill)) {
            fill = {fill.left - rect.left, fill.top - rect.top, fill.right - rect.left,
                    fill.bottom - rect.top};
        }
        out.Def().extent_hint = fill;
        HandOutLocked(s, out);
        s.render.phase = RenderPhase::kSmartRender;
    }
    PF_SmartRenderCallbacks callbacks = kSmartRenderCallbacks;
    PF_SmartRenderExtra extra{&input, &callbacks};
    std::memset(&s.outData, 0, sizeof s.outData);
    const PF_Err err = Send(PF_Cmd_SMART_RENDER, &extra);

    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.render.phase = RenderPhase::kIdle;
        s.render.preRendered = false;
        for (auto& [id, c] : s.render.pixelCheckouts) {
            s.render.leakedPixelCheckouts += c.open;
            if (c.pixels) TakeBackLocked(s, c.pixels->Def().data);
        }
        s.render.pixelCheckouts.clear();
    }
    if (pre.delete_pre_render_data_func && pre.pre_render_data) {
        pre.delete_pre_render_data_func(pre.pre_render_data);
    }
    return err;
}

PF_Err Host::RenderFrame() {
    const PF_Err err = SmartPreRender();
    return err != PF_Err_NONE ? err : SmartRender();
}

const World& Host::Output() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (!state_->render.output) throw std::logic_error("no frame has been rendered");
    return *state_->render.output;
}

PF_PreRenderOutput Host::LastPreRenderOutput() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->render.lastPreRenderOutput;
}

const PF_RenderRequest& Host::LastCheckoutRequest() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->render.lastRequest;
}

int Host::OpenLayerCheckouts() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    int open = state_->render.leakedPixelCheckouts;
    for (const auto& [id, c] : state_->render.pixelCheckouts) open += c.open;
    return open;
}

}  // namespace lumeshade::host
