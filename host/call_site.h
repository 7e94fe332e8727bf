/// Instrumentation of the emulated host's functions.
///
/// Every callback and suite function the host hands the module starts with
/// `CountCall<"name">()`: it counts the call, appends it to the call log when a
/// test has turned the log on, and returns the error code a test armed for
/// this call (0 when none). Counting is lock-free so that per-pixel calls from
/// the iterate threads stay cheap. The log is off by default: it grows by a
/// string per call (several per pixel with filtered sampling), so a renderer
/// or benchmark that left it on would grow with every frame.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "A.h"

namespace lumeshade::host {

class CallSite {
public:
    explicit CallSite(const char* name);

    /// Counts this call; returns the injected error for it, or 0.
    A_long Enter();

    const char* Name() const { return name_; }
    int Calls() const { return calls_.load(std::memory_order_relaxed); }
    void Reset() { calls_.store(0, std::memory_order_relaxed); }

private:
    const char* name_;
    std::atomic<int> calls_{0};
};

/// The call counts, the call log and the armed faults of all call sites.
class Instrumentation {
public:
    static Instrumentation& Get();

    /// Forgets every count, fault and log entry and turns the log off (a new
    /// host starts clean).
    void Reset();

    /// Makes the nth call of `function` (1-based, counted since the last
    /// Reset) return `code` instead of doing its work.
    void FailCall(const std::string& function, int nth, A_long code);

    /// Makes the nth call of `function` throw instead: a host written in C
    /// never does, so this only serves to prove that nothing thrown inside
    /// the module reaches the host.
    enum class Throw { kBadAlloc, kRuntimeError };
    void ThrowOnCall(const std::string& function, int nth, Throw what);

    int Calls(const std::string& function) const;
    std::vector<std::string> CallLog() const;
    void EnableCallLog(bool on) { logOn_.store(on); }

private:
    friend class CallSite;
    struct Fault {
        std::string function;
        int nth;
        A_long code;
        bool throws = false;
        Throw what = Throw::kBadAlloc;
    };

    void Register(CallSite* site);
    A_long Check(const CallSite& site, int callNumber);

    mutable std::mutex mutex_;
    std::vector<CallSite*> sites_;
    std::vector<Fault> faults_;
    std::vector<std::string> log_;
    std::atomic<bool> anyFault_{false};
    std::atomic<bool> logOn_{false};
};

/// A function name as a template argument, so that each named function gets
/// its own call site.
template <std::size_t N>
struct FunctionName {
    constexpr FunctionName(const char (&text)[N]) {
        for (std::size_t i = 0; i < N; ++i) chars[i] = text[i];
    }
    char chars[N];
};

/// The opening of every host function: counts a call of `Name` (its call
/// site made on the first call) and returns the error a test armed for this
/// call, or 0.
template <FunctionName Name>
A_long CountCall() {
    static CallSite site(Name.chars);
    return site.Enter();
}

}  // namespace lumeshade::host
