/// The emulated host: plays the compositing host for the module.
///
/// It builds in_data, out_data and the parameter array, sends commands to the
/// module's entry point, hands out suites through its basic suite, and keeps
/// what a real host keeps (registered controls, handles, global data). It is
/// instrumented for tests: suite acquisitions and releases are counted per
/// (name, version), every callback and suite function is counted, logged
/// when a test turns the call log on (host/call_site.h) and can be made to
/// fail on its nth call, a suite can be
/// withdrawn or handed back as a null table, and misuse of the interface
/// (releasing a suite never acquired, unlocking a handle never locked,
/// overrunning the return message) is recorded as a violation.
///
/// One Host is live at a time: the C callbacks carry no context pointer, so
/// they reach the live host through Host::Current().
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "SPBasic.h"
#include "host/composition.h"
#include "host/world.h"

namespace lumeshade::host {

struct HostState;

class Host {
public:
    /// `entry` is the module's EntryPointFunc (linked in, or found by the
    /// module loader).
    explicit Host(PF_FilterProc entry);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    /// The live host. Only valid while one exists.
    static Host& Current();
    static bool Exists();

    // ---- commands ----------------------------------------------------------
    /// Sends a command with in_data and out_data as they stand. The
    /// parameter array carries each control's value at in_data's current
    /// time (from SetParam / SetParamKey / BindLayerParam: values written
    /// into the array by hand do not survive the next command).
    PF_Err Send(PF_Cmd cmd, void* extra = nullptr);
    /// Each of these clears out_data first, as the host does before a
    /// command, then sends it; GlobalSetup keeps the global data the module
    /// hands back and passes it in in_data from then on.
    PF_Err About();
    PF_Err GlobalSetup();
    PF_Err ParamsSetup();
    PF_Err CompletelyGeneral(const char* text);

    PF_InData& InData();
    PF_OutData& OutData();
    /// params[0] is the input layer, params[1..] the registered controls.
    PF_ParamDef** Params();

    // ---- suites --------------------------------------------------------------
    /// Acquisitions of the suite fail from now on.
    void WithdrawSuite(const std::string& name, int version);
    /// Acquisitions succeed but hand back no table.
    void HandBackNullSuite(const std::string& name, int version);
    /// in_data carries no basic suite.
    void RemoveBasicSuite();
    /// "PF Iterate8 Suite" comes without its generic iteration (a null slot),
    /// as an older host's does.
    void OfferNoGenericIteration();
    int Acquisitions(const std::string& name, int version) const;
    int Releases(const std::string& name, int version) const;
    /// Suites acquired and not yet released, summed over all suites.
    int SuitesHeld() const;

    // ---- instrumentation -----------------------------------------------------
    void FailCall(const std::string& function, int nth, A_long code);
    /// Makes the nth call throw std::bad_alloc (or a runtime_error): only to
    /// prove that nothing thrown inside the module reaches the host.
    void ThrowOnCall(const std::string& function, int nth, bool badAlloc = true);
    int Calls(const std::string& function) const;
    /// The functions called since the log was turned on, in order. Off by
    /// default; turned off again by every new host.
    std::vector<std::string> CallLog() const;
    void EnableCallLog(bool on);
    std::vector<std::string> Violations() const;

    // ---- handles -------------------------------------------------------------
    int LiveHandles() const;

    // ---- parameters ----------------------------------------------------------
    /// Full copies of the records registered with add_param, in order.
    const std::vector<PF_ParamDef>& Registered() const;
    /// Registered name of an AEGP client, and the id the host gave it.
    const std::vector<std::pair<std::string, A_long>>& AegpClients() const;

    // ---- the composition and the render settings -----------------------------
    /// The composition the effect is in. Layer handles the AEGP suites hand
    /// out name layers by their index in `layers`. Set `effectLayer`: with
    /// -1 the effect sits on no layer and AEGP_GetEffectLayer fails, which a
    /// real host never does.
    Composition& Comp();
    /// The effect's own layer (parameter index 0), any format. Also sets
    /// in_data's width and height to its size.
    void SetInput(std::shared_ptr<const World> input);
    /// The pixel format of renders and check-outs (default: the input's).
    void SetRenderDepth(Depth depth);
    /// Renders at 1/factor resolution (factor >= 1): in_data's downsample
    /// factors become 1/factor, and every world handed out (input, output,
    /// layer controls) is the full-size picture scaled down by the factor,
    /// its size rounded up.
    void SetDownsample(A_long factor);
    /// in_data.quality (default PF_Quality_HI).
    void SetQuality(PF_Quality quality);
    /// Whether the output of every frame starts filled with one byte pattern
    /// (the default), so that a pixel the module leaves alone shows, or holds
    /// what its buffer held, as a host in production hands it out: the
    /// benchmarks leave out the fill, which is the tests' instrument and not
    /// the module's cost.
    void FillFreshOutput(bool on);
    /// Asks for part of the layer from now on, as a host does for a region
    /// of interest, a zoomed view or a layer reaching past the composition:
    /// `region` in the layer's pixels at the render's resolution (it may
    /// reach past the layer); nullopt asks for the whole layer again (the
    /// default). The pre-render is asked for this rectangle, the output is a
    /// world of its size with origin_x/origin_y at its corner, and input
    /// check-outs hold the rectangles they are asked for, cut to the layer,
    /// each with its origin. Throws std::invalid_argument for an empty
    /// rectangle or one wider or higher than a world can be.
    void SetRegion(std::optional<PF_LRect> region);
    /// Threads the iterate functions use (0, the default: all cores).
    void SetThreads(int threads);
    /// in_data's current time, in seconds of the effect's layer time, on the
    /// composition's frame grid: time_scale and time_step follow from the
    /// frame rate (24 fps: scale 24, step 1; 29.97 fps: scale 2997, step 100).
    /// Set the frame rate first: it is kept in thousandths of a frame per
    /// second, so it must lie in 0.0005..1000. Throws std::invalid_argument
    /// for a rate outside that range or a time that is not finite or lies
    /// beyond the 32-bit time grid.
    void SetTime(double seconds);
    /// Makes the World suite report `format` for every world, as a host that
    /// renders in a format the effect does not know would (BGRA in another
    /// application, say); nullopt restores the worlds' own formats.
    void ReportPixelFormat(std::optional<PF_PixelFormat> format);
    /// The user's abort: from now on abort and progress answer
    /// PF_Interrupt_CANCEL, and iterations stop between rows with it.
    void SetAborted(bool aborted);

    // ---- control values (after ParamsSetup) -----------------------------------
    /// Sets control `index` (1..) to a constant value, dropping its keys.
    /// `value` holds the value part for the control's type: checkbox and
    /// popup `value`, slider `value` (fixed 16.16 for fixed sliders, double
    /// for float sliders), angle `value` (16.16 degrees), colour `value`,
    /// point `x_value`/`y_value` (16.16 pixels), 3-D point values. Throws
    /// std::out_of_range for a bad index and std::invalid_argument for a
    /// control without a value or a value outside the control's valid range.
    void SetParam(A_long index, const PF_ParamDefUnion& value);
    /// Adds or replaces a key at frame `frame` of layer time (frames of the
    /// composition's rate; frame 0 at time 0). The value at in_data's time
    /// then follows the keys as host/keyframes.h says: sliders, angles,
    /// colours and points move linearly between keys (whole numbers and
    /// 16.16 values rounded to the nearest), popups and checkboxes hold until
    /// the next key. Throws as SetParam does, and for a frame not finite.
    void SetParamKey(A_long index, double frame, const PF_ParamDefUnion& value);
    /// Sets control `index` to a constant or keys at once, as SetParam and
    /// SetParamKey would, each value checked as they check it.
    void SetParamTrack(A_long index, const Keyed<PF_ParamDefUnion>& values);
    /// Binds layer control `index` to composition layer `compLayerIndex`, a
    /// footage layer (-1 unbinds), at all times.
    void BindLayerParam(A_long index, int compLayerIndex);
    /// Binds it from frame `frame` on, until the next such key.
    void BindLayerParamKey(A_long index, double frame, int compLayerIndex);
    /// Binds it to a layer or to keys of layers at once.
    void BindLayerParamTrack(A_long index, const Keyed<int>& compLayers);
    /// The record of control `index` as a check-out at frame `frame` (layer time)
    /// gives it; a layer control's world is not made (data stays null). The
    /// reference is valid until the next call.
    const PF_ParamDef& ParamAt(A_long index, double frame) const;

    // ---- rendering ---------------------------------------------------------------
    /// Smart pre-render then smart render of the whole output (or of the
    /// region asked for) at the current time, as the host renders a frame;
    /// returns the first non-zero result. The output world is the host's and
    /// stays valid until the next render; its extent_hint, in the world's
    /// own pixels, is the part the pre-render said it would produce. Throws
    /// std::logic_error when no input is set.
    PF_Err RenderFrame();
    /// The two halves of RenderFrame, for tests that need them apart. A
    /// smart render with no pre-render before it (the host never sends one)
    /// carries no pre-render data, and its pixel check-outs fail with
    /// PF_Err_BAD_CALLBACK_PARAM.
    PF_Err SmartPreRender();
    PF_Err SmartRender();
    /// The output of the last smart render. Throws std::logic_error before
    /// the first.
    const World& Output() const;
    /// What the module reported from the last pre-render.
    PF_PreRenderOutput LastPreRenderOutput() const;
    /// What the module asked for under checkout id 0 in the last pre-render
    /// (all zero when it asked for nothing).
    const PF_RenderRequest& LastCheckoutRequest() const;
    /// Sends PF_Cmd_USER_CHANGED_PARAM for control `index`, as the host does
    /// when the user edits it: only for a control registered with
    /// PF_ParamFlag_SUPERVISE (otherwise returns 0 and sends nothing).
    /// out_data is passed as it stands, not cleared.
    PF_Err UserChangedParam(A_long index);
    /// Progress as last reported (by the module or by an iteration) and how
    /// many reports there were.
    A_long LastProgressCurrent() const;
    A_long LastProgressTotal() const;
    int ProgressReports() const;

    // ---- accounting -----------------------------------------------------------
    /// Parameters checked out and not checked in (all types / layer controls
    /// only).
    int OpenParamCheckouts() const;
    int OpenLayerParamCheckouts() const;
    /// Layer pixels checked out in smart render and not checked in,
    /// including those earlier smart renders left open.
    int OpenLayerCheckouts() const;
    /// Worlds made with PF_NewWorld or new_world and not disposed.
    int LiveNewWorlds() const;
    /// Layer stream references and stream values the Stream suite handed
    /// out and the module has not disposed.
    int OpenLayerStreams() const;
    int OpenStreamValues() const;

    HostState& State();

private:
    std::unique_ptr<HostState> state_;
};

}  // namespace lumeshade::host
