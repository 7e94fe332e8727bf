// The suites every command may use, and in_data's utility callbacks.
#include "host/host_state.h"
#include "host/suites.h"

namespace lumeshade::host {

void RegisterCoreSuites(HostState& s) {
    s.suites[{kPFANSISuite, kPFANSISuiteVersion1}].table = &kAnsiSuite;
    s.suites[{kPFHandleSuite, kPFHandleSuiteVersion1}].table = &kHandleSuite;
    s.suites[{kAEGPUtilitySuite, kAEGPUtilitySuiteVersion1}].table = &kUtilitySuite;
    s.suites[{kAEGPMemorySuite, kAEGPMemorySuiteVersion1}].table = &kMemorySuite;
    RegisterWorldSuite(s);
    RegisterIterateSuites(s);
    RegisterCompSuites(s);
    RegisterSamplingSuites(s);
    RegisterEffectStreamSuites(s);
}

void InstallUtilCallbacks(PF_UtilCallbacks& utils) {
    utils.host_new_handle = HostNewHandle;
    utils.host_lock_handle = HostLockHandle;
    utils.host_unlock_handle = HostUnlockHandle;
    utils.host_dispose_handle = HostDisposeHandle;
    utils.host_get_handle_size = HostGetHandleSize;
    utils.host_resize_handle = HostResizeHandle;
    InstallIterateCallbacks(utils);
    InstallWorldCallbacks(utils);
    InstallSamplers(utils);

    PF_ANSICallbacks& a = utils.ansi;
    a.atan = kAnsiSuite.atan;
    a.atan2 = kAnsiSuite.atan2;
    a.ceil = kAnsiSuite.ceil;
    a.cos = kAnsiSuite.cos;
    a.exp = kAnsiSuite.exp;
    a.fabs = kAnsiSuite.fabs;
    a.floor = kAnsiSuite.floor;
    a.fmod = kAnsiSuite.fmod;
    a.hypot = kAnsiSuite.hypot;
    a.log = kAnsiSuite.log;
    a.log10 = kAnsiSuite.log10;
    a.pow = kAnsiSuite.pow;
    a.sin = kAnsiSuite.sin;
    a.sqrt = kAnsiSuite.sqrt;
    a.tan = kAnsiSuite.tan;
    a.sprintf = kAnsiSuite.sprintf;
    a.strcpy = kAnsiSuite.strcpy;
    a.asin = kAnsiSuite.asin;
    a.acos = kAnsiSuite.acos;
}

}  // namespace lumeshade::host
