// The worlds the host hands out and the World suite: the pixel format of a
// world by its pixels, and worlds a module makes and disposes of.
#include <cstring>
#include <string>

#include "AE_EffectCBSuites.h"
#include "host/call_site.h"
#include "host/host.h"
#include "host/host_state.h"

namespace lumeshade::host {
namespace {

// Pixels of a new world that was not asked to be cleared: no particular
// value, so that a module relying on zero shows it.
constexpr unsigned char kFreshWorldByte = 0xA5;

PF_Err MakeWorld(PF_ProgPtr effect_ref, A_long width, A_long height, bool clear, Depth depth,
                 PF_EffectWorld* world) {
    HostState& s = Host::Current().State();
    if (effect_ref != s.EffectRef() || world == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    if (width < 1 || height < 1 || width > PF_MAX_WORLD_WIDTH || height > PF_MAX_WORLD_HEIGHT) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    auto made = std::make_unique<World>(width, height, depth);
    if (!clear) made->FillBytes(kFreshWorldByte);
    *world = made->Def();
    std::lock_guard<std::mutex> lock(s.mutex);
    HandOutLocked(s, *made);
    const void* key = made->Def().data;
    s.render.newWorlds[key] = std::move(made);
    return PF_Err_NONE;
}

PF_Err DisposeWorld(PF_ProgPtr effect_ref, PF_EffectWorld* world) {
    HostState& s = Host::Current().State();
    if (effect_ref != s.EffectRef() || world == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.render.newWorlds.find(world->data);
    if (world->data == nullptr || it == s.render.newWorlds.end()) {
        s.Violation("disposed a world the host did not make");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    TakeBackLocked(s, world->data);
    s.render.newWorlds.erase(it);
    std::memset(world, 0, sizeof *world);
    return PF_Err_NONE;
}

PF_Err Suite_NewWorld(PF_ProgPtr effect_ref, A_long width, A_long height, PF_Boolean clear,
                      PF_PixelFormat format, PF_EffectWorld* world) {
    if (const A_long err = CountCall<"PF_NewWorld">()) return err;
    const std::optional<Depth> depth = DepthOf(format);
    if (!depth) return PF_Err_BAD_CALLBACK_PARAM;
    return MakeWorld(effect_ref, width, height, clear != 0, *depth, world);
}

PF_Err Suite_DisposeWorld(PF_ProgPtr effect_ref, PF_EffectWorld* world) {
    if (const A_long err = CountCall<"PF_DisposeWorld">()) return err;
    return DisposeWorld(effect_ref, world);
}

PF_Err Suite_GetPixelFormat(const PF_EffectWorld* world, PF_PixelFormat* format) {
    if (const A_long err = CountCall<"PF_GetPixelFormat">()) return err;
    if (world == nullptr || format == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    const std::optional<PF_PixelFormat> known = HandedOutFormat(Host::Current().State(), world);
    if (!known) return PF_Err_BAD_CALLBACK_PARAM;
    const auto& reported = Host::Current().State().render.reportedFormat;
    *format = reported ? *reported : *known;
    return PF_Err_NONE;
}

PF_Err Util_NewWorld(PF_ProgPtr effect_ref, A_long width, A_long height, PF_NewWorldFlags flags,
                     PF_EffectWorld* world) {
    if (const A_long err = CountCall<"new_world">()) return err;
    const Depth depth = (flags & PF_NewWorldFlag_DEEP_PIXELS) ? Depth::k16 : Depth::k8;
    return MakeWorld(effect_ref, width, height, (flags & PF_NewWorldFlag_CLEAR_PIXELS) != 0, depth,
                     world);
}

PF_Err Util_DisposeWorld(PF_ProgPtr effect_ref, PF_EffectWorld* world) {
    if (const A_long err = CountCall<"dispose_world">()) return err;
    return DisposeWorld(effect_ref, world);
}

const PF_WorldSuite2 kWorldSuite = {Suite_NewWorld, Suite_DisposeWorld, Suite_GetPixelFormat};

}  // namespace

Depth RenderDepthLocked(const HostState& s) {
    if (s.render.renderDepth) return *s.render.renderDepth;
    return s.render.input ? s.render.input->GetDepth() : Depth::k8;
}

std::unique_ptr<World> LayerWorldLocked(const HostState& s, const World& footage) {
    const Depth depth = RenderDepthLocked(s);
    const A_long factor = s.render.downsample;
    auto world = std::make_unique<World>(factor > 1 ? footage.Downsampled(factor).ConvertedTo(depth)
                                                    : footage.ConvertedTo(depth));
    world->SetWritable(false);
    return world;
}

void HandOutLocked(HostState& s, const World& world) {
    if (world.Def().data != nullptr)
        s.render.handedOut[world.Def().data] = FormatOf(world.GetDepth());
}

void TakeBackLocked(HostState& s, const void* data) { s.render.handedOut.erase(data); }

std::optional<PF_PixelFormat> HandedOutFormat(HostState& s, const PF_EffectWorld* world) {
    if (world == nullptr || world->data == nullptr) return std::nullopt;
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.render.handedOut.find(world->data);
    if (it == s.render.handedOut.end()) return std::nullopt;
    return it->second;
}

void InstallWorldCallbacks(PF_UtilCallbacks& utils) {
    utils.new_world = Util_NewWorld;
    utils.dispose_world = Util_DisposeWorld;
}

void RegisterWorldSuite(HostState& s) {
    s.suites[{kPFWorldSuite, kPFWorldSuiteVersion2}].table = &kWorldSuite;
}

int Host::LiveNewWorlds() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return int(state_->render.newWorlds.size());
}

}  // namespace lumeshade::host
