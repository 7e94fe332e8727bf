#include "resources/pipl_values.h"
#include "shell/global_data.h"
#include "shell/handlers.h"
#include "shell/host_suites.h"

namespace lumeshade {
namespace {

// Owns the new global-data handle until the host takes it: on every other
// way out (a failed lock or registration, a missing suite) the handle is
// disposed. A lock that failed is not balanced by an unlock.
class PendingHandle {
public:
    PendingHandle(const PF_HandleSuite1& suite, PF_Handle handle)
        : suite_(suite), handle_(handle) {}
    ~PendingHandle() {
        if (locked_) GiveBackQuietly([this] { suite_.host_unlock_handle(handle_); });
        if (owned_) GiveBackQuietly([this] { suite_.host_dispose_handle(handle_); });
    }
    void* Lock() {
        void* p = suite_.host_lock_handle(handle_);
        locked_ = p != nullptr;
        return p;
    }
    // The host owns the handle from now on; it is still unlocked on the way out.
    PF_Handle HandOver() {
        owned_ = false;
        return handle_;
    }

private:
    const PF_HandleSuite1& suite_;
    PF_Handle handle_;
    bool locked_ = false;
    bool owned_ = true;
};

}  // namespace

PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data) {
    out_data->my_version = pipl::kEffectVersion;
    out_data->out_flags = pipl::kOutFlags;
    out_data->out_flags2 = pipl::kOutFlags2;

    HostSuites suites(in_data);
    const PF_HandleSuite1& handles = suites.Handle();
    PF_Handle handle = handles.host_new_handle(sizeof(GlobalData));
    if (handle == nullptr) return PF_Err_NONE;  // the effect runs without global data

    PendingHandle pending(handles, handle);
    auto* global = static_cast<GlobalData*>(pending.Lock());
    if (global == nullptr) return PF_Err_NONE;

    *global = GlobalData{};
    global->initialised = 1;
    const A_Err err =
        suites.Utility().AEGP_RegisterWithAEGP(nullptr, kAegpClientName, &global->aegpPluginId);
    if (err == A_Err_NONE) out_data->global_data = pending.HandOver();
    return PF_Err_NONE;
}

}  // namespace lumeshade
