/// What the host keeps for rendering: the composition, the input, the
/// control values over time, the worlds it has handed out, the frame being
/// rendered and the handles of the AEGP suites. Part of HostState; not part
/// of the host's public interface. Guarded by HostState::mutex unless a
/// member says otherwise.
#pragma once

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "AE_GeneralPlug.h"
#include "host/composition.h"
#include "host/thread_pool.h"
#include "host/world.h"

namespace lumeshade::host {

struct HostState;

/// A control's value over the effect's layer time (frames): a constant, or
/// keys (linear for sliders, angles, colours and points; held until the next
/// key for popups and checkboxes). Layer controls hold the composition layer
/// they are bound to (-1: none) the same way.
struct ParamTrack {
    PF_ParamDef record{};           // as registered: type, ranges, names
    Keyed<PF_ParamDefUnion> value;  // the value fields over layer frames
    Keyed<int> layer{-1};           // layer controls: the composition layer chosen
};

/// A parameter checked out with checkout_param and not yet checked in.
struct ParamCheckout {
    const PF_ParamDef* record = nullptr;  // where the module asked for it
    A_long index = 0;
    std::unique_ptr<World> world;  // the layer's pixels, for layer controls with a layer
};

/// A layer checked out in pre-render, under the module's checkout id.
struct PixelCheckout {
    A_long index = 0;
    PF_RenderRequest request{};
    A_long whatTime = 0;
    A_u_long timeScale = 1;
    PF_CheckoutResult result{};
    std::unique_ptr<World> pixels;  // made at the first pixel check-out
    int open = 0;                   // pixel check-outs not checked in
};

/// A layer stream reference handed out by the Stream suite.
struct LayerStreamRef {
    int layer = 0;
    AEGP_LayerStream stream = AEGP_LayerStream_NONE;
};

enum class RenderPhase { kIdle, kPreRender, kSmartRender };

struct RenderState {
    Composition comp;
    std::shared_ptr<const World> input;
    std::optional<Depth> renderDepth;  // unset: the input's depth
    A_long downsample = 1;
    std::optional<PF_LRect> region;    // unset: the whole layer
    int threads = 0;                   // 0: all cores
    bool fillFreshOutput = true;       // the output starts as 0x5A bytes
    std::unique_ptr<ThreadPool> pool;  // made on first use
    std::atomic<bool> aborted{false};  // read without the mutex

    // Controls.
    std::vector<ParamTrack> tracks;  // index-aligned with the parameter array
    PF_ParamDef paramAtScratch{};
    std::deque<ParamCheckout> paramCheckouts;

    // Worlds the module may name back to the host: pixel format by data
    // pointer. Worlds made with PF_NewWorld / new_world are owned here.
    std::map<const void*, PF_PixelFormat> handedOut;
    // Set: the World suite reports this format for every world it knows.
    std::optional<PF_PixelFormat> reportedFormat;
    std::map<const void*, std::unique_ptr<World>> newWorlds;

    // The frame.
    RenderPhase phase = RenderPhase::kIdle;
    bool preRendered = false;  // a pre-render awaits its smart render
    std::map<A_long, PixelCheckout> pixelCheckouts;
    int leakedPixelCheckouts = 0;  // left open by earlier smart renders
    std::unique_ptr<World> output;
    PF_PreRenderOutput lastPreRenderOutput{};
    PF_RenderRequest lastRequest{};  // of checkout id 0

    // Progress as last reported, by the module or by an iteration.
    A_long progressCurrent = 0;
    A_long progressTotal = 0;
    int progressReports = 0;

    // AEGP handles: one slot per layer index, one for the composition.
    std::deque<void*> layerSlots;
    std::map<void**, int> layerHandles;
    void* compSlot = nullptr;
    std::deque<void*> streamSlots;
    std::map<void**, LayerStreamRef> layerStreams;
    int openStreamValues = 0;
};

// Shared between the files of the render services; each takes the host
// state's mutex itself unless its name ends in Locked (then the caller holds
// it).

/// The depth a render or a check-out delivers: the one set, else the
/// input's, else 8-bit.
Depth RenderDepthLocked(const HostState& s);
/// The world a module gets for `footage` at the render's depth and
/// downsample factor.
std::unique_ptr<World> LayerWorldLocked(const HostState& s, const World& footage);
/// The footage a layer control is bound to at `seconds` of layer time, or
/// null (no binding, not footage, or no pixels). Index 0 gives the input.
const World* ParamFootageLocked(const HostState& s, A_long index, double frame);

/// Records a world as handed out / takes it back.
void HandOutLocked(HostState& s, const World& world);
void TakeBackLocked(HostState& s, const void* data);
/// The format of a world the host handed out, by its data pointer.
std::optional<PF_PixelFormat> HandedOutFormat(HostState& s, const PF_EffectWorld* world);

/// Progress as an iteration or the module reports it.
void RecordProgress(HostState& s, A_long current, A_long total);
/// Inside a call of iterate_generic's function, the call's thread index on
/// this thread; -1 elsewhere. Abort and progress may be called only from the
/// call whose index is 0.
int GenericIterationThread();
/// The pool, made with the configured thread count on first use.
ThreadPool& Pool(HostState& s);

/// Fills the tracks from the registered controls (after parameter set-up).
void ResetParamTracksLocked(HostState& s);
/// Writes each control's value at in_data's current time into the
/// parameter array.
void RefreshParamArrayLocked(HostState& s);
/// The record of control `index` with its value at `frame` (layer time).
PF_ParamDef ParamRecordAtLocked(const HostState& s, A_long index, double frame);

/// Handle of composition layer `index` (stable per index) and the index of
/// a handle (-1 when the host did not hand it out or the layer is gone).
AEGP_LayerH LayerHandleLocked(HostState& s, int index);
int LayerIndexLocked(const HostState& s, AEGP_LayerH layer);
AEGP_CompH CompHandleLocked(HostState& s);

/// The composition frame of `time` in `mode` for layer `index` (keys are
/// looked up at frames), or nothing for a null time, a zero scale or
/// another mode.
std::optional<double> CompFrame(const HostState& s, int index, AEGP_LTimeMode mode,
                                const A_Time* time);
/// The frame being rendered: in_data's current time as a frame of the
/// effect's layer (where control keys are looked up) and of the composition.
double CurrentLayerFrame(const HostState& s);
double CurrentCompFrame(const HostState& s);

// Installation of the render services' callbacks and suites.
void InstallCheckoutCallbacks(PF_InteractCallbacks& inter);
void InstallIterateCallbacks(PF_UtilCallbacks& utils);
void InstallWorldCallbacks(PF_UtilCallbacks& utils);
void RegisterWorldSuite(HostState& s);
void RegisterIterateSuites(HostState& s);
/// "PF Iterate8 Suite" from now on without its generic iteration (a null
/// iterate_generic slot).
void WithoutGenericIteration(HostState& s);
void RegisterCompSuites(HostState& s);  // PF Interface, Layer, Stream, Light
extern const AEGP_PFInterfaceSuite1 kPFInterfaceSuite;
extern const AEGP_LayerSuite1 kLayerSuite;
extern const AEGP_StreamSuite2 kStreamSuite;
extern const AEGP_LightSuite2 kLightSuite;
extern const PF_PreRenderCallbacks kPreRenderCallbacks;
extern const PF_SmartRenderCallbacks kSmartRenderCallbacks;

}  // namespace lumeshade::host
