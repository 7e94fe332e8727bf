/// What the host keeps, shared by the files that implement its callbacks and
/// suites. Not part of the host's public interface.
#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "SPBasic.h"

namespace lumeshade::host {

struct SuiteKey {
    std::string name;
    int version;
    bool operator<(const SuiteKey& o) const {
        return name != o.name ? name < o.name : version < o.version;
    }
};

enum class SuiteAvailability { kAvailable, kWithdrawn, kNullTable };

struct SuiteEntry {
    const void* table = nullptr;
    SuiteAvailability availability = SuiteAvailability::kAvailable;
    int acquisitions = 0;
    int releases = 0;
};

struct HandleRecord {
    std::vector<char> bytes;
    int locks = 0;
};

/// A registered control: the record as the module passed it, with the
/// strings it points to copied into host-owned storage.
struct RegisteredParam {
    PF_ParamDef def;
    std::string choices;        // popup list
    std::string checkboxLabel;  // checkbox label
};

struct HostState {
    PF_FilterProc entry = nullptr;

    PF_InData inData{};
    PF_OutData outData{};
    PF_UtilCallbacks utils{};
    SPBasicSuite basic{};
    int effectToken = 0;  // in_data.effect_ref points here

    mutable std::mutex mutex;  // guards everything below
    std::map<SuiteKey, SuiteEntry> suites;
    // Handles live in the map; a PF_Handle points at the record's data
    // pointer slot, which a real host also keeps stable.
    std::map<void**, HandleRecord> handles;
    std::deque<void*> handleSlots;

    std::deque<RegisteredParam> registeredStorage;
    std::vector<PF_ParamDef> registered;
    std::vector<PF_ParamDef> current;  // current values, index 0 the input layer
    std::vector<PF_ParamDef*> paramPointers;

    std::vector<std::pair<std::string, A_long>> aegpClients;
    bool memoryReporting = false;

    std::vector<std::string> violations;

    PF_ProgPtr EffectRef() { return reinterpret_cast<PF_ProgPtr>(&effectToken); }
    void Violation(std::string what) { violations.push_back(std::move(what)); }
    void RebuildParamArray();
};

// Function tables and callbacks, defined in their own files.
extern const SPBasicSuite kBasicSuite;
void InstallInteractCallbacks(PF_InteractCallbacks& inter);
void InstallUtilCallbacks(PF_UtilCallbacks& utils);
void RegisterCoreSuites(HostState& state);

}  // namespace lumeshade::host
