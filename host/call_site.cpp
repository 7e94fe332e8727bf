#include "host/call_site.h"

#include <cstring>
#include <new>
#include <stdexcept>

namespace lumeshade::host {

CallSite::CallSite(const char* name) : name_(name) { Instrumentation::Get().Register(this); }

A_long CallSite::Enter() {
    const int n = calls_.fetch_add(1, std::memory_order_relaxed) + 1;
    Instrumentation& instr = Instrumentation::Get();
    if (!instr.anyFault_.load(std::memory_order_relaxed) &&
        !instr.logOn_.load(std::memory_order_relaxed)) {
        return 0;
    }
    return instr.Check(*this, n);
}

Instrumentation& Instrumentation::Get() {
    static Instrumentation instance;
    return instance;
}

void Instrumentation::Register(CallSite* site) {
    std::lock_guard<std::mutex> lock(mutex_);
    sites_.push_back(site);
}

A_long Instrumentation::Check(const CallSite& site, int callNumber) {
    Fault hit;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (logOn_.load(std::memory_order_relaxed)) log_.emplace_back(site.Name());
        auto it = faults_.begin();
        while (it != faults_.end() && !(it->nth == callNumber && it->function == site.Name())) ++it;
        if (it == faults_.end()) return 0;
        hit = *it;
    }
    if (!hit.throws) return hit.code;
    switch (hit.what) {
        case Throw::kBadAlloc:
            throw std::bad_alloc();
        case Throw::kRuntimeError:
            throw std::runtime_error("thrown by the emulated host");
    }
    return 0;
}

void Instrumentation::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (CallSite* site : sites_) site->Reset();
    faults_.clear();
    log_.clear();
    anyFault_.store(false);
    logOn_.store(false);
}

void Instrumentation::FailCall(const std::string& function, int nth, A_long code) {
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.push_back({function, nth, code});
    anyFault_.store(true);
}

void Instrumentation::ThrowOnCall(const std::string& function, int nth, Throw what) {
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.push_back({function, nth, 0, true, what});
    anyFault_.store(true);
}

int Instrumentation::Calls(const std::string& function) const {
    std::lock_guard<std::mutex> lock(mutex_);
    int total = 0;
    for (const CallSite* site : sites_) {
        if (function == site->Name()) total += site->Calls();
    }
    return total;
}

std::vector<std::string> Instrumentation::CallLog() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
}

}  // namespace lumeshade::host
