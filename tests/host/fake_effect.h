// A tiny effect of the tests' own: it registers the controls a test lists
// and hands every other command to the test's handler.
#pragma once

#include <functional>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectCBSuites.h"
#include "host/host.h"

namespace lumeshade::host::testing {

using Handler = std::function<PF_Err(PF_Cmd, PF_InData*, PF_OutData*, PF_ParamDef**, void*)>;

struct FakeEffect {
    std::vector<PF_ParamDef> controls;  // registered at parameter set-up
    Handler handler;                    // every other command
};

/// The effect's configuration; reset by each fixture.
FakeEffect& Fake();

PF_Err FakeEntry(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamList params,
                 PF_LayerDef* output, void* extra);

// Control records as a module registers them.
PF_ParamDef FixedSlider(const char* name, double min, double max, double dflt);
PF_ParamDef Popup(const char* name, const char* choices, A_short count, A_short dflt);
PF_ParamDef Checkbox(const char* name, bool dflt, PF_ParamFlags flags = 0);
PF_ParamDef Color(const char* name, PF_Pixel dflt);
PF_ParamDef Point(const char* name);
PF_ParamDef Layer(const char* name);
PF_ParamDef GroupStart(const char* name);

/// A suite table from the host's basic suite (the test holds it until the
/// host goes).
template <class Suite>
const Suite& Acquire(Host& host, const char* name, int version) {
    const void* table = nullptr;
    host.InData().pica_basicP->AcquireSuite(name, version, &table);
    return *static_cast<const Suite*>(table);
}

/// Registers an AEGP client and returns its id.
AEGP_PluginID RegisterPlugin(Host& host);

}  // namespace lumeshade::host::testing
