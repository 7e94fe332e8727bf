/// The emulated host: plays the compositing host for the module.
///
/// It builds in_data, out_data and the parameter array, sends commands to the
/// module's entry point, hands out suites through its basic suite, and keeps
/// what a real host keeps (registered controls, handles, global data). It is
/// instrumented for tests: suite acquisitions and releases are counted per
/// (name, version), every callback and suite function is counted and logged
/// (host/call_site.h) and can be made to fail on its nth call, a suite can be
/// withdrawn or handed back as a null table, and misuse of the interface
/// (releasing a suite never acquired, unlocking a handle never locked,
/// overrunning the return message) is recorded as a violation.
///
/// One Host is live at a time: the C callbacks carry no context pointer, so
/// they reach the live host through Host::Current().
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "SPBasic.h"

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
    /// Sends a command with in_data, out_data and the parameter array as
    /// they stand.
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

    HostState& State();

private:
    std::unique_ptr<HostState> state_;
};

}  // namespace lumeshade::host
