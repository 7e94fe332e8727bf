#include "render/smart_render.h"

#include <cstring>

#include "AE_EffectCB.h"
#include "AE_EffectCBSuites.h"
#include "AE_EffectPixelFormat.h"
#include "AE_GeneralPlug.h"
#include "params/param_ids.h"
#include "render/scene.h"
#include "render/pre_render_block.h"
#include "render/read_parameters.h"
#include "render/render_context.h"
#include "shading/pixel_path.h"
#include "shading/row_pass.h"
#include "shading/shade_pixel.h"
#include "shell/host_suites.h"

namespace lumeshade {
namespace {

constexpr char kWorldSuite[] = "PF World Suite";
constexpr int kWorldSuiteVersion = kPFWorldSuiteVersion2;

// The map layers, in the order they are checked out...
constexpr ParamId kMapCheckoutOrder[] = {
    PARAM_NORMAL_MAP,     PARAM_ALPHA_MAP, PARAM_DEPTH_MAP,   PARAM_MATCAP_MAP,
    PARAM_REFLECTION_ENVIRONMENT_MAP, PARAM_REFRACTION_MAP, PARAM_BUMP_MAP,
    PARAM_TEXTURE_MAP,    PARAM_TEXTURE_UV_MAP};
// ...and checked back in.
constexpr ParamId kMapCheckinOrder[] = {
    PARAM_NORMAL_MAP,     PARAM_ALPHA_MAP, PARAM_DEPTH_MAP,   PARAM_REFLECTION_ENVIRONMENT_MAP,
    PARAM_REFRACTION_MAP, PARAM_MATCAP_MAP, PARAM_BUMP_MAP,   PARAM_TEXTURE_MAP,
    PARAM_TEXTURE_UV_MAP};
constexpr int kMapCount = int(sizeof kMapCheckoutOrder / sizeof kMapCheckoutOrder[0]);

int MapSlot(ParamId id) {
    for (int i = 0; i < kMapCount; ++i) {
        if (kMapCheckoutOrder[i] == id) return i;
    }
    return -1;
}

// What a frame has checked out of the host, given back on every way out.
// The success path gives each back explicitly, in order, with its error
// checked; whatever is still held when the frame ends (an early failure or
// an exception) is given back here without further reporting. Every step
// forgets what it gives back before it calls the host, so a call that
// throws is not repeated and the steps after it still run.
class FrameResources {
public:
    FrameResources(PF_InData* in_data, PF_SmartRenderExtra* extra)
        : in_data_(in_data), extra_(extra) {}
    ~FrameResources() {
        for (ParamId id : kMapCheckinOrder) GiveBackQuietly([&] { CheckInMap(MapSlot(id)); });
        GiveBackQuietly([&] { ReleaseWorldSuite(); });
        GiveBackQuietly([&] { CheckInInput(); });
        GiveBackQuietly([&] { Unlock(); });
    }

    void Locked(const PF_HandleSuite1* handles, PF_Handle block) {
        handles_ = handles;
        block_ = block;
    }
    void InputCheckedOut() { inputOut_ = true; }
    PF_ParamDef& Map(int slot) { return maps_[slot]; }
    PF_ParamDef& Map(ParamId id) { return maps_[MapSlot(id)]; }
    void MapCheckedOut(int slot) { mapOut_[slot] = true; }
    void WorldSuiteAcquired(const PF_WorldSuite2* suite) { worldSuite_ = suite; }
    const PF_WorldSuite2* WorldSuite() const { return worldSuite_; }

    // Checks in the map layers still out; returns the first failure.
    PF_Err CheckInMaps() {
        PF_Err first = PF_Err_NONE;
        for (ParamId id : kMapCheckinOrder) {
            const PF_Err err = CheckInMap(MapSlot(id));
            if (first == PF_Err_NONE) first = err;
        }
        return first;
    }

    PF_Err CheckInMap(int slot) {
        if (!mapOut_[slot]) return PF_Err_NONE;
        mapOut_[slot] = false;
        return PF_CHECKIN_PARAM(in_data_, &maps_[slot]);
    }

    // PF_Err_BAD_CALLBACK_PARAM only without a basic suite to release it
    // through. The basic suite's answer is not the frame's result: the suite
    // is the host's either way.
    PF_Err ReleaseWorldSuite() {
        if (worldSuite_ == nullptr) return PF_Err_NONE;
        worldSuite_ = nullptr;
        if (in_data_->pica_basicP == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
        in_data_->pica_basicP->ReleaseSuite(kWorldSuite, kWorldSuiteVersion);
        return PF_Err_NONE;
    }

    PF_Err CheckInInput() {
        if (!inputOut_) return PF_Err_NONE;
        inputOut_ = false;
        return extra_->cb->checkin_layer_pixels(in_data_->effect_ref, 0);
    }

    void Unlock() {
        if (block_ == nullptr) return;
        const PF_Handle block = block_;
        block_ = nullptr;
        handles_->host_unlock_handle(block);
    }

private:
    PF_InData* in_data_;
    PF_SmartRenderExtra* extra_;
    const PF_HandleSuite1* handles_ = nullptr;
    PF_Handle block_ = nullptr;
    bool inputOut_ = false;
    PF_ParamDef maps_[kMapCount] = {};
    bool mapOut_[kMapCount] = {};
    const PF_WorldSuite2* worldSuite_ = nullptr;
};

// Runs the pixel function over `area` of the output. The iteration hands
// each output pixel the input pixel at the same place in the layer: the
// plain iteration when both buffers start at the same place (always so for
// a whole layer), the one with an origin when the input starts elsewhere
// (it holds more than the output, for the neighbours a pixel reads). The
// origin is the input's offset from the output.
template <class Suite, class PixelFn>
PF_Err IterateOutput(const Suite& suite, PF_InData* in_data, PF_EffectWorld* input,
                     const PF_Rect& area, RenderContext& ctx, PixelFn fn, PF_EffectWorld* output) {
    const A_long rows = area.bottom - area.top;
    const LayerPoint offset = InputOffsetOf(ctx.frame.placement);
    const PF_Point shift{offset.x, offset.y};
    if (shift.h == 0 && shift.v == 0) {
        return suite.iterate(in_data, 0, rows, input, &area, &ctx, fn, output);
    }
    return suite.iterate_origin(in_data, 0, rows, input, &area, &shift, &ctx, fn, output);
}

// The generic iteration of "PF Iterate8 Suite", which the row kernels run
// through whatever the pixel format. A host that does not offer it (no
// suite, or an empty slot) gets the per-pixel iteration of the format.
GenericIterate GenericIterateOf(HostSuites& suites) {
    try {
        return suites.Iterate8().iterate_generic;
    } catch (A_long) {
        return nullptr;
    }
}

// Shades `area` of the output: with the row kernels of the current path
// through the generic iteration, or with the format's pixel function
// through its iterate suite when the path is the per-pixel one or the host
// has no generic iteration.
PF_Err Shade(PF_InData* in_data, HostSuites& suites, PF_PixelFormat format, RenderContext& ctx,
             PF_EffectWorld* input, PF_EffectWorld* output, const PF_Rect& area) {
    const PixelPath path = CurrentPixelPath();
    const GenericIterate generic = path != PixelPath::kPixel ? GenericIterateOf(suites) : nullptr;
    if (generic != nullptr) return ShadeRows(in_data, generic, path, format, ctx, *input, *output, area);
    switch (format) {
        case PF_PixelFormat_ARGB128:
            return IterateOutput(suites.IterateFloat(), in_data, input, area, ctx, ShadePixelFloat,
                                 output);
        case PF_PixelFormat_ARGB64:
            return IterateOutput(suites.Iterate16(), in_data, input, area, ctx, ShadePixel16,
                                 output);
        default:
            return IterateOutput(suites.Iterate8(), in_data, input, area, ctx, ShadePixel8,
                                 output);
    }
}

void ReportSuiteMessage(PF_InData* in_data, PF_OutData* out_data, const char* message) {
    out_data->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
    if (in_data->utils && in_data->utils->ansi.sprintf) {
        in_data->utils->ansi.sprintf(out_data->return_msg, "%s", message);
    }
}

}  // namespace

PF_Err SmartRender(PF_InData* in_data, PF_OutData* out_data, PF_SmartRenderExtra* extra) {
    HostSuites suites(in_data);
    FrameResources held(in_data, extra);
    const PF_HandleSuite1& handles = suites.Handle();

    auto* pre = static_cast<PreRenderData*>(extra->input->pre_render_data);
    void* blockBytes = pre && pre->block ? handles.host_lock_handle(pre->block) : nullptr;
    RenderContext ctx;
    PF_PROGRESS(in_data, 0, 100);
    if (blockBytes == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    held.Locked(&handles, pre->block);

    PF_EffectWorld* input = nullptr;
    PF_EffectWorld* output = nullptr;
    PF_Err err = extra->cb->checkout_layer_pixels(in_data->effect_ref, 0, &input);
    if (err == PF_Err_NONE) held.InputCheckedOut();
    if (err == PF_Err_NONE) err = extra->cb->checkout_output(in_data->effect_ref, &output);
    if (err != PF_Err_NONE || input == nullptr || output == nullptr) return PF_Err_OUT_OF_MEMORY;

    // The World suite is taken straight from the basic suite: the render
    // releases it itself before the input goes back.
    const void* worldSuite = nullptr;
    SPBasicSuite* basic = in_data->pica_basicP;
    const SPErr acquired =
        basic ? basic->AcquireSuite(kWorldSuite, kWorldSuiteVersion, &worldSuite) : kSPLogicError;
    if (acquired == kSPNoError && worldSuite != nullptr) {
        held.WorldSuiteAcquired(static_cast<const PF_WorldSuite2*>(worldSuite));
    } else {
        // An acquisition that succeeded without a table is still held.
        if (acquired == kSPNoError) basic->ReleaseSuite(kWorldSuite, kWorldSuiteVersion);
        ReportSuiteMessage(in_data, out_data, "Couldn't load suite.");
    }

    auto* block = static_cast<RenderContext*>(blockBytes);
    block->inData = in_data;
    std::memcpy(static_cast<void*>(&ctx), block, sizeof ctx);
    SetLayerSize(in_data, ctx);

    for (ParamId id : kMapCheckoutOrder) {
        const int slot = MapSlot(id);
        PF_ParamDef& def = held.Map(slot);
        std::memset(&def, 0, sizeof def);
        if (PF_CHECKOUT_PARAM(in_data, id, in_data->current_time, in_data->time_step,
                              in_data->time_scale, &def) == PF_Err_NONE) {
            held.MapCheckedOut(slot);
        }
    }
    // Without a chosen normal map the layer itself is the normal map.
    PF_EffectWorld& normalMap = held.Map(PARAM_NORMAL_MAP).u.ld;
    ctx.normalMap = normalMap.data != nullptr ? &normalMap : input;
    ctx.alphaMap = &held.Map(PARAM_ALPHA_MAP).u.ld;
    ctx.depthMap = &held.Map(PARAM_DEPTH_MAP).u.ld;
    ctx.matcapMap = &held.Map(PARAM_MATCAP_MAP).u.ld;
    ctx.environmentMap = &held.Map(PARAM_REFLECTION_ENVIRONMENT_MAP).u.ld;
    ctx.refractionMap = &held.Map(PARAM_REFRACTION_MAP).u.ld;
    ctx.bumpMap = &held.Map(PARAM_BUMP_MAP).u.ld;
    ctx.textureMap = &held.Map(PARAM_TEXTURE_MAP).u.ld;
    ctx.uvMap = &held.Map(PARAM_TEXTURE_UV_MAP).u.ld;
    ctx.frame.placement = {output->origin_x, output->origin_y, input->origin_x, input->origin_y,
                           ctx.normalMap == input};

    ReadRenderParameters(in_data, ctx);
    ctx.displayMode = RemapDisplay(ctx.displayMode);
    if (held.WorldSuite() == nullptr) return PF_Err_OUT_OF_MEMORY;

    if (ReadScene(in_data, suites, ctx) != A_Err_NONE) return PF_Err_OUT_OF_MEMORY;

    PF_PixelFormat format = PF_PixelFormat_INVALID;
    if (held.WorldSuite()->PF_GetPixelFormat(input, &format) != PF_Err_NONE) {
        return PF_Err_OUT_OF_MEMORY;
    }
    if (PF_ABORT(in_data) != PF_Err_NONE) return PF_Err_OUT_OF_MEMORY;

    const PF_Rect area = output->extent_hint;
    switch (format) {
        case PF_PixelFormat_ARGB128:
            ctx.channelMax = 1.0f;
            break;
        case PF_PixelFormat_ARGB64:
            ctx.channelMax = 32768.0f;
            break;
        case PF_PixelFormat_ARGB32:
            ctx.channelMax = 255.0f;
            break;
        default:
            err = PF_Err_BAD_CALLBACK_PARAM;  // still reports the progress below
            break;
    }
    if (err == PF_Err_NONE) {
        PrepareFrame(ctx);
        err = Shade(in_data, suites, format, ctx, input, output, area);
    }

    PF_PROGRESS(in_data, 100, 100);
    if (err != PF_Err_NONE) return err;

    if (held.CheckInMaps() != PF_Err_NONE) return PF_Err_OUT_OF_MEMORY;
    if (const PF_Err aborted = PF_ABORT(in_data)) return aborted;

    if (held.ReleaseWorldSuite() != PF_Err_NONE) {
        ReportSuiteMessage(in_data, out_data, "Couldn't release suite.");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    return held.CheckInInput();
}

}  // namespace lumeshade
