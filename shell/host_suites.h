// The one place where host suites are acquired and released.
//
// Each command handler (and each filtered float map sample) makes its own
// holder; a suite is acquired on first use and every acquired suite is
// released, with the name and version that acquired it, when the holder is
// destroyed, on every exit path. A suite the host cannot hand out is reported
// by throwing the integer PF_Err_BAD_CALLBACK_PARAM (516), which the entry
// point turns into the command's result.
#pragma once

#include "AE_Effect.h"
#include "AE_EffectCBSuites.h"
#include "AE_GeneralPlug.h"
#include "SPBasic.h"

namespace lumeshade {

// Runs `giveBack`, a host call that hands back something the module holds,
// on a way out that has nowhere to report a failure (a destructor, or a
// function the host itself calls). Whatever the call throws is dropped: a
// host written in C never throws, but an exception here would reach
// std::terminate or the host's own frames, and the cleanup after it would
// not run.
template <class GiveBack>
void GiveBackQuietly(GiveBack giveBack) noexcept {
    try {
        giveBack();
    } catch (...) {
    }
}

class HostSuites {
public:
    // Throws PF_Err_BAD_CALLBACK_PARAM when in_data or its basic suite is null.
    explicit HostSuites(const PF_InData* in_data);
    ~HostSuites();

    HostSuites(const HostSuites&) = delete;
    HostSuites& operator=(const HostSuites&) = delete;

    SPBasicSuite* Basic() const { return basic_; }

    const PF_ANSICallbacksSuite1& Ansi();
    const PF_HandleSuite1& Handle();
    const AEGP_UtilitySuite1& Utility();
    const AEGP_MemorySuite1& Memory();
    const AEGP_PFInterfaceSuite1& PFInterface();
    const AEGP_LayerSuite1& Layer();
    const AEGP_StreamSuite2& Stream();
    const AEGP_LightSuite2& Light();
    const AEGP_DynamicStreamSuite2& DynamicStream();
    const AEGP_EffectSuite3& Effect();
    const PF_Iterate8Suite1& Iterate8();
    const PF_Iterate16Suite1& Iterate16();
    const PF_IterateFloatSuite1& IterateFloat();
    const PF_SamplingFloatSuite1& SamplingFloat();

    enum Slot : int {
        kAnsi,
        kHandle,
        kUtility,
        kMemory,
        kPFInterface,
        kLayer,
        kStream,
        kLight,
        kDynamicStream,
        kEffect,
        kIterate8,
        kIterate16,
        kIterateFloat,
        kSamplingFloat,
        kSlotCount
    };

    struct SuiteName {
        const char* name;
        int version;
    };
    // The (name, version) pair of every slot.
    static const SuiteName kSuiteNames[kSlotCount];

private:
    const void* Acquire(Slot slot);

    SPBasicSuite* basic_;
    const void* slots_[kSlotCount] = {};
    bool anyAcquired_ = false;
};

}  // namespace lumeshade
