#include "shell/host_suites.h"

namespace lumeshade {

const HostSuites::SuiteName HostSuites::kSuiteNames[kSlotCount] = {
    {kPFANSISuite, kPFANSISuiteVersion1},
    {kPFHandleSuite, kPFHandleSuiteVersion1},
    {kAEGPUtilitySuite, kAEGPUtilitySuiteVersion1},
    {kAEGPMemorySuite, kAEGPMemorySuiteVersion1},
    {kAEGPPFInterfaceSuite, kAEGPPFInterfaceSuiteVersion1},
    {kAEGPLayerSuite, kAEGPLayerSuiteVersion1},
    {kAEGPStreamSuite, kAEGPStreamSuiteVersion2},
    {kAEGPLightSuite, kAEGPLightSuiteVersion2},
    {kAEGPDynamicStreamSuite, kAEGPDynamicStreamSuiteVersion2},
    {kAEGPEffectSuite, kAEGPEffectSuiteVersion3},
    {kPFIterate8Suite, kPFIterate8SuiteVersion1},
    {kPFIterate16Suite, kPFIterate16SuiteVersion1},
    {kPFIterateFloatSuite, kPFIterateFloatSuiteVersion1},
    {kPFSamplingFloatSuite, kPFSamplingFloatSuiteVersion1},
};

HostSuites::HostSuites(const PF_InData* in_data)
    : basic_(in_data ? in_data->pica_basicP : nullptr) {
    if (basic_ == nullptr) throw static_cast<A_long>(PF_Err_BAD_CALLBACK_PARAM);
}

HostSuites::~HostSuites() {
    if (!anyAcquired_) return;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (slots_[slot] != nullptr) {
            // A failing release has nowhere to go from a destructor; the
            // suite is the host's either way, and the others are released.
            GiveBackQuietly(
                [&] { basic_->ReleaseSuite(kSuiteNames[slot].name, kSuiteNames[slot].version); });
        }
    }
}

const void* HostSuites::Acquire(Slot slot) {
    if (slots_[slot] == nullptr) {
        const void* suite = nullptr;
        const SPErr err =
            basic_->AcquireSuite(kSuiteNames[slot].name, kSuiteNames[slot].version, &suite);
        if (err != kSPNoError) throw static_cast<A_long>(PF_Err_BAD_CALLBACK_PARAM);
        if (suite == nullptr) {
            // The host reported success, so it counts the suite as acquired:
            // hand it back before reporting the failure.
            basic_->ReleaseSuite(kSuiteNames[slot].name, kSuiteNames[slot].version);
            throw static_cast<A_long>(PF_Err_BAD_CALLBACK_PARAM);
        }
        slots_[slot] = suite;
        anyAcquired_ = true;
    }
    return slots_[slot];
}

#define LUMESHADE_SUITE_ACCESSOR(Method, Type, SlotName) \
    const Type& HostSuites::Method() { return *static_cast<const Type*>(Acquire(SlotName)); }

LUMESHADE_SUITE_ACCESSOR(Ansi, PF_ANSICallbacksSuite1, kAnsi)
LUMESHADE_SUITE_ACCESSOR(Handle, PF_HandleSuite1, kHandle)
LUMESHADE_SUITE_ACCESSOR(Utility, AEGP_UtilitySuite1, kUtility)
LUMESHADE_SUITE_ACCESSOR(Memory, AEGP_MemorySuite1, kMemory)
LUMESHADE_SUITE_ACCESSOR(PFInterface, AEGP_PFInterfaceSuite1, kPFInterface)
LUMESHADE_SUITE_ACCESSOR(Layer, AEGP_LayerSuite1, kLayer)
LUMESHADE_SUITE_ACCESSOR(Stream, AEGP_StreamSuite2, kStream)
LUMESHADE_SUITE_ACCESSOR(Light, AEGP_LightSuite2, kLight)
LUMESHADE_SUITE_ACCESSOR(DynamicStream, AEGP_DynamicStreamSuite2, kDynamicStream)
LUMESHADE_SUITE_ACCESSOR(Effect, AEGP_EffectSuite3, kEffect)
LUMESHADE_SUITE_ACCESSOR(Iterate8, PF_Iterate8Suite1, kIterate8)
LUMESHADE_SUITE_ACCESSOR(Iterate16, PF_Iterate16Suite1, kIterate16)
LUMESHADE_SUITE_ACCESSOR(IterateFloat, PF_IterateFloatSuite1, kIterateFloat)
LUMESHADE_SUITE_ACCESSOR(SamplingFloat, PF_SamplingFloatSuite1, kSamplingFloat)

#undef LUMESHADE_SUITE_ACCESSOR

}  // namespace lumeshade
