// The basic suite: hands out suites by (name, version) and takes them back.
#include <cstdlib>
#include <cstring>

#include "host/call_site.h"
#include "host/host.h"
#include "host/host_state.h"

namespace lumeshade::host {
namespace {

SPErr AcquireSuite(const char* name, int version, const void** suite) {
    static CallSite site("AcquireSuite");
    if (const A_long err = site.Enter()) return err;
    if (name == nullptr || suite == nullptr) return kSPBadParameterError;
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.suites.find({name, version});
    if (it == s.suites.end() || it->second.table == nullptr ||
        it->second.availability == SuiteAvailability::kWithdrawn) {
        *suite = nullptr;
        return kSPCantAcquirePluginError;
    }
    ++it->second.acquisitions;
    *suite = it->second.availability == SuiteAvailability::kNullTable ? nullptr : it->second.table;
    return kSPNoError;
}

SPErr ReleaseSuite(const char* name, int version) {
    static CallSite site("ReleaseSuite");
    if (const A_long err = site.Enter()) return err;
    if (name == nullptr) return kSPBadParameterError;
    HostState& s = Host::Current().State();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.suites.find({name, version});
    if (it == s.suites.end() || it->second.releases >= it->second.acquisitions) {
        s.Violation(std::string("released a suite it does not hold: ") + name + " " +
                    std::to_string(version));
        return kSPCantReleasePluginError;
    }
    ++it->second.releases;
    return kSPNoError;
}

SPBoolean IsEqual(const char* a, const char* b) {
    static CallSite site("IsEqual");
    site.Enter();
    return a && b && std::strcmp(a, b) == 0;
}

SPErr AllocateBlock(size_t size, void** block) {
    static CallSite site("AllocateBlock");
    if (const A_long err = site.Enter()) return err;
    if (block == nullptr) return kSPBadParameterError;
    *block = std::malloc(size ? size : 1);
    return *block ? kSPNoError : kSPOutOfMemoryError;
}

SPErr FreeBlock(void* block) {
    static CallSite site("FreeBlock");
    if (const A_long err = site.Enter()) return err;
    std::free(block);
    return kSPNoError;
}

SPErr ReallocateBlock(void* block, size_t newSize, void** newblock) {
    static CallSite site("ReallocateBlock");
    if (const A_long err = site.Enter()) return err;
    if (newblock == nullptr) return kSPBadParameterError;
    void* p = std::realloc(block, newSize ? newSize : 1);
    if (p == nullptr) return kSPOutOfMemoryError;
    *newblock = p;
    return kSPNoError;
}

SPErr Undefined() { return kSPUnimplementedError; }

}  // namespace

const SPBasicSuite kBasicSuite = {AcquireSuite,  ReleaseSuite,    IsEqual,  AllocateBlock,
                                  FreeBlock,     ReallocateBlock, Undefined};

}  // namespace lumeshade::host
