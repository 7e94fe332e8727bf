// The basic suite: hands out suites by (name, version) and takes them back.
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include "host/call_site.h"
#include "host/host.h"
#include "host/host_state.h"

namespace lumeshade::host {
namespace {

SPErr AcquireSuite(const char* name, int version, const void** suite) {
    if (const A_long err = CountCall<"AcquireSuite">()) return err;
    if (name == nullptr || suite == nullptr) return kSPBadParameterError;
    HostState& s = Host::Current().State();
    auto it = s.suites.find(std::pair<std::string_view, int>(name, version));
    const SuiteAvailability availability =
        it == s.suites.end() ? SuiteAvailability::kWithdrawn : it->second.availability.load();
    if (availability == SuiteAvailability::kWithdrawn || it->second.table == nullptr) {
        *suite = nullptr;
        return kSPCantAcquirePluginError;
    }
    it->second.acquisitions.fetch_add(1);
    *suite = availability == SuiteAvailability::kNullTable ? nullptr : it->second.table;
    return kSPNoError;
}

SPErr ReleaseSuite(const char* name, int version) {
    if (const A_long err = CountCall<"ReleaseSuite">()) return err;
    if (name == nullptr) return kSPBadParameterError;
    HostState& s = Host::Current().State();
    auto it = s.suites.find(std::pair<std::string_view, int>(name, version));
    if (it != s.suites.end()) {
        // Counts a release only while one is owed, whatever other threads do.
        int released = it->second.releases.load();
        while (released < it->second.acquisitions.load()) {
            if (it->second.releases.compare_exchange_weak(released, released + 1)) {
                return kSPNoError;
            }
        }
    }
    std::lock_guard<std::mutex> lock(s.mutex);
    s.Violation(std::string("released a suite it does not hold: ") + name + " " +
                std::to_string(version));
    return kSPCantReleasePluginError;
}

SPBoolean IsEqual(const char* a, const char* b) {
    CountCall<"IsEqual">();
    return a && b && std::strcmp(a, b) == 0;
}

SPErr AllocateBlock(size_t size, void** block) {
    if (const A_long err = CountCall<"AllocateBlock">()) return err;
    if (block == nullptr) return kSPBadParameterError;
    *block = std::malloc(size ? size : 1);
    return *block ? kSPNoError : kSPOutOfMemoryError;
}

SPErr FreeBlock(void* block) {
    if (const A_long err = CountCall<"FreeBlock">()) return err;
    std::free(block);
    return kSPNoError;
}

SPErr ReallocateBlock(void* block, size_t newSize, void** newblock) {
    if (const A_long err = CountCall<"ReallocateBlock">()) return err;
    if (newblock == nullptr) return kSPBadParameterError;
    void* p = std::realloc(block, newSize ? newSize : 1);
    if (p == nullptr) return kSPOutOfMemoryError;
    *newblock = p;
    return kSPNoError;
}

SPErr Undefined() { return kSPUnimplementedError; }

}  // namespace

const SPBasicSuite kBasicSuite = {AcquireSuite, ReleaseSuite,    IsEqual,  AllocateBlock,
                                  FreeBlock,    ReallocateBlock, Undefined};

}  // namespace lumeshade::host
