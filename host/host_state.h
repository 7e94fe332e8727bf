/// What the host keeps, shared by the files that implement its callbacks and
/// suites. Not part of the host's public interface.
#pragma once

#include <atomic>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "AE_GeneralPlug.h"
#include "SPBasic.h"
#include "host/render_state.h"

namespace lumeshade::host {

struct SuiteKey {
    std::string name;
    int version;
};

// Orders keys by (name, version); transparent, so that a look-up with the
// module's C string makes no std::string.
struct SuiteKeyLess {
    using is_transparent = void;
    template <class A, class B>
    bool operator()(const A& a, const B& b) const {
        const std::string_view an = NameOf(a), bn = NameOf(b);
        return an != bn ? an < bn : VersionOf(a) < VersionOf(b);
    }
    static std::string_view NameOf(const SuiteKey& k) { return k.name; }
    static std::string_view NameOf(const std::pair<std::string_view, int>& k) { return k.first; }
    static int VersionOf(const SuiteKey& k) { return k.version; }
    static int VersionOf(const std::pair<std::string_view, int>& k) { return k.second; }
};

enum class SuiteAvailability { kAvailable, kWithdrawn, kNullTable };

// The suites are registered and withdrawn between commands only, so the
// basic suite finds them without the host's mutex: the module acquires and
// releases a sampling suite around every filtered float sample, from every
// iterate thread at once. The counts are atomic for the same reason.
struct SuiteEntry {
    const void* table = nullptr;
    std::atomic<SuiteAvailability> availability{SuiteAvailability::kAvailable};
    std::atomic<int> acquisitions{0};
    std::atomic<int> releases{0};
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
    // Read without the mutex: see SuiteEntry.
    std::map<SuiteKey, SuiteEntry, SuiteKeyLess> suites;
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

    // Effect and stream references handed out by the PF Interface, Effect and
    // Stream suites for the effect's controls (host/effect_streams.cpp).
    struct ControlStream {
        A_long paramIndex = 0;
    };
    std::map<void**, ControlStream> controlStreams;  // live stream references
    std::deque<void*> streamSlots;
    std::map<void**, int> effectRefs;  // live effect references
    std::deque<void*> effectSlots;
    // Dynamic stream flags per parameter index, and the undoable changes to
    // them in the order they were made.
    std::map<A_long, AEGP_DynStreamFlags> dynamicFlags;
    struct FlagChange {
        A_long paramIndex;
        AEGP_DynStreamFlags flag;
        bool set;
        bool undoable;
    };
    std::vector<FlagChange> undoRecord;

    std::vector<std::string> violations;

    // The composition, the controls over time, the worlds handed out and
    // the frame being rendered (host/render_state.h).
    RenderState render;

    PF_ProgPtr EffectRef() { return reinterpret_cast<PF_ProgPtr>(&effectToken); }
    void Violation(std::string what) { violations.push_back(std::move(what)); }
    void RebuildParamArray();
};

// Function tables and callbacks, defined in their own files.
extern const SPBasicSuite kBasicSuite;
void InstallInteractCallbacks(PF_InteractCallbacks& inter);
void InstallUtilCallbacks(PF_UtilCallbacks& utils);
void RegisterCoreSuites(HostState& state);
// Area sampling (host/sampling.cpp): in_data's 8- and 16-bit samplers and
// the float sampling suite.
void InstallSamplers(PF_UtilCallbacks& utils);
void RegisterSamplingSuites(HostState& state);
// The Effect and Dynamic Stream suites and the effect-stream part of the
// Stream and PF Interface suites (host/effect_streams.cpp).
void RegisterEffectStreamSuites(HostState& state);

}  // namespace lumeshade::host
