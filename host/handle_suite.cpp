// Handles: memory blocks the host owns, reached through a pointer to their
// data pointer. New handles hold no particular bytes, so a module that
// relies on them being cleared shows it.
#include <cstring>

#include "AE_EffectCBSuites.h"
#include "host/call_site.h"
#include "host/host.h"
#include "host/host_state.h"
#include "host/suites.h"

namespace lumeshade::host {
namespace {

constexpr char kFreshHandleByte = char(0xA5);

HandleRecord* Find(HostState& s, PF_Handle h) {
    auto it = s.handles.find(reinterpret_cast<void**>(h));
    return it == s.handles.end() ? nullptr : &it->second;
}

}  // namespace

PF_Handle HostNewHandle(A_HandleSize size) {
    if (CountCall<"host_new_handle">()) return nullptr;
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.handleSlots.push_back(nullptr);
    void** slot = &s.handleSlots.back();
    HandleRecord& rec = s.handles[slot];
    rec.bytes.assign(size ? size_t(size) : 1, kFreshHandleByte);
    *slot = rec.bytes.data();
    return reinterpret_cast<PF_Handle>(slot);
}

void* HostLockHandle(PF_Handle h) {
    if (CountCall<"host_lock_handle">()) return nullptr;
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    HandleRecord* rec = Find(s, h);
    if (rec == nullptr) {
        s.Violation("locked a handle the host does not know");
        return nullptr;
    }
    ++rec->locks;
    return rec->bytes.data();
}

void HostUnlockHandle(PF_Handle h) {
    CountCall<"host_unlock_handle">();
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    HandleRecord* rec = Find(s, h);
    if (rec == nullptr || rec->locks == 0) {
        s.Violation("unlocked a handle that is not locked");
        return;
    }
    --rec->locks;
}

void HostDisposeHandle(PF_Handle h) {
    CountCall<"host_dispose_handle">();
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.handles.find(reinterpret_cast<void**>(h));
    if (it == s.handles.end()) {
        s.Violation("disposed a handle the host does not know");
        return;
    }
    *it->first = nullptr;
    s.handles.erase(it);
}

A_HandleSize HostGetHandleSize(PF_Handle h) {
    CountCall<"host_get_handle_size">();
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    HandleRecord* rec = Find(s, h);
    return rec ? rec->bytes.size() : 0;
}

PF_Err HostResizeHandle(A_HandleSize newSize, PF_Handle* h) {
    if (const A_long err = CountCall<"host_resize_handle">()) return err;
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    HandleRecord* rec = h ? Find(s, *h) : nullptr;
    if (rec == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    if (rec->locks != 0) return PF_Err_BAD_CALLBACK_PARAM;  // a locked block cannot move
    rec->bytes.resize(newSize ? size_t(newSize) : 1, kFreshHandleByte);
    *reinterpret_cast<void**>(*h) = rec->bytes.data();
    return PF_Err_NONE;
}

const PF_HandleSuite1 kHandleSuite = {HostNewHandle,     HostLockHandle,    HostUnlockHandle,
                                      HostDisposeHandle, HostGetHandleSize, HostResizeHandle};

}  // namespace lumeshade::host
