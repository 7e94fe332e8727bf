#include "host/host.h"

#include <cstring>
#include <stdexcept>

#include "host/call_site.h"
#include "host/host_state.h"

namespace lumeshade::host {
namespace {

Host* g_current = nullptr;

}  // namespace

void HostState::RebuildParamArray() {
    paramPointers.clear();
    for (PF_ParamDef& def : current) paramPointers.push_back(&def);
    paramPointers.push_back(nullptr);
}

Host::Host(PF_FilterProc entry) : state_(std::make_unique<HostState>()) {
    if (g_current != nullptr) throw std::logic_error("only one emulated host may be live at a time");
    g_current = this;
    Instrumentation::Get().Reset();

    HostState& s = *state_;
    s.entry = entry;
    s.basic = kBasicSuite;
    InstallUtilCallbacks(s.utils);
    RegisterCoreSuites(s);

    PF_InData& in = s.inData;
    InstallInteractCallbacks(in.inter);
    in.utils = &s.utils;
    in.effect_ref = s.EffectRef();
    in.quality = PF_Quality_HI;
    in.version = {13, 28};
    in.appl_id = 0x46584544;  // 'FXED': our own creator code
    in.time_step = 1;
    in.local_time_step = 1;
    in.time_scale = 24;
    in.total_time = 24;
    in.field = PF_Field_FRAME;
    in.downsample_x = {1, 1};
    in.downsample_y = {1, 1};
    in.pixel_aspect_ratio = {1, 1};
    in.pica_basicP = &s.basic;

    // Index 0 of the parameter array is the effect's own input layer.
    PF_ParamDef input;
    std::memset(&input, 0, sizeof input);
    input.param_type = PF_Param_LAYER;
    s.current.push_back(input);
    s.RebuildParamArray();
}

Host::~Host() { g_current = nullptr; }

Host& Host::Current() {
    if (g_current == nullptr) throw std::logic_error("no emulated host is live");
    return *g_current;
}

bool Host::Exists() { return g_current != nullptr; }

HostState& Host::State() { return *state_; }
PF_InData& Host::InData() { return state_->inData; }
PF_OutData& Host::OutData() { return state_->outData; }
PF_ParamDef** Host::Params() { return state_->paramPointers.data(); }

PF_Err Host::Send(PF_Cmd cmd, void* extra) {
    HostState& s = *state_;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        RefreshParamArrayLocked(s);
    }
    s.inData.num_params = A_long(s.current.size());
    return s.entry(cmd, &s.inData, &s.outData, s.paramPointers.data(), nullptr, extra);
}

PF_Err Host::About() {
    std::memset(&state_->outData, 0, sizeof state_->outData);
    return Send(PF_Cmd_ABOUT);
}

PF_Err Host::GlobalSetup() {
    HostState& s = *state_;
    std::memset(&s.outData, 0, sizeof s.outData);
    const PF_Err err = Send(PF_Cmd_GLOBAL_SETUP);
    s.inData.global_data = s.outData.global_data;
    return err;
}

PF_Err Host::ParamsSetup() {
    HostState& s = *state_;
    std::memset(&s.outData, 0, sizeof s.outData);
    const PF_Err err = Send(PF_Cmd_PARAMS_SETUP);
    if (err == PF_Err_NONE) {
        // The parameter array now holds every registered control at its
        // default value.
        s.current.resize(1);
        for (const PF_ParamDef& def : s.registered) s.current.push_back(def);
        s.RebuildParamArray();
        std::lock_guard<std::mutex> lock(s.mutex);
        ResetParamTracksLocked(s);
    }
    return err;
}

PF_Err Host::CompletelyGeneral(const char* text) {
    std::memset(&state_->outData, 0, sizeof state_->outData);
    return Send(PF_Cmd_COMPLETELY_GENERAL, const_cast<char*>(text));
}

void Host::WithdrawSuite(const std::string& name, int version) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->suites[{name, version}].availability = SuiteAvailability::kWithdrawn;
}

void Host::HandBackNullSuite(const std::string& name, int version) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->suites[{name, version}].availability = SuiteAvailability::kNullTable;
}

void Host::RemoveBasicSuite() { state_->inData.pica_basicP = nullptr; }

void Host::OfferNoGenericIteration() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    WithoutGenericIteration(*state_);
}

int Host::Acquisitions(const std::string& name, int version) const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    auto it = state_->suites.find({name, version});
    return it == state_->suites.end() ? 0 : it->second.acquisitions.load();
}

int Host::Releases(const std::string& name, int version) const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    auto it = state_->suites.find({name, version});
    return it == state_->suites.end() ? 0 : it->second.releases.load();
}

int Host::SuitesHeld() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    int held = 0;
    for (const auto& [key, entry] : state_->suites) held += entry.acquisitions - entry.releases;
    return held;
}

void Host::FailCall(const std::string& function, int nth, A_long code) {
    Instrumentation::Get().FailCall(function, nth, code);
}

void Host::ThrowOnCall(const std::string& function, int nth, bool badAlloc) {
    Instrumentation::Get().ThrowOnCall(
        function, nth,
        badAlloc ? Instrumentation::Throw::kBadAlloc : Instrumentation::Throw::kRuntimeError);
}

int Host::Calls(const std::string& function) const {
    return Instrumentation::Get().Calls(function);
}

std::vector<std::string> Host::CallLog() const { return Instrumentation::Get().CallLog(); }

void Host::EnableCallLog(bool on) { Instrumentation::Get().EnableCallLog(on); }

std::vector<std::string> Host::Violations() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->violations;
}

int Host::LiveHandles() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return int(state_->handles.size());
}

const std::vector<PF_ParamDef>& Host::Registered() const { return state_->registered; }

const std::vector<std::pair<std::string, A_long>>& Host::AegpClients() const {
    return state_->aegpClients;
}

}  // namespace lumeshade::host
