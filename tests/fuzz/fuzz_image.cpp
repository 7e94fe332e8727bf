// The libFuzzer target over the image loader (input_checks.h). A finding
// prints what went wrong and aborts; libFuzzer keeps the input.
#include <OpenImageIO/imageio.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/fuzz/input_checks.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // One thread: a finding is the same on every run, and no pool of the
    // image library's outlives an input.
    OIIO::attribute("threads", 1);
    OIIO::attribute("exr_threads", 0);
    // Only the reader the content's name implies (PNG, TIFF or OpenEXR): the
    // program would go on to try every other reader the library has, which
    // takes most of the time and is no part of what this target covers.
    OIIO::attribute("try_all_readers", 0);
    return 0;
}

namespace {

// The image library is not built for coverage: what it made of an input (its
// format and sample type, or the words of its refusal, numbers left out)
// stands in, as counters libFuzzer adds to its own.
constexpr std::size_t kOutcomes = 4096;
__attribute__((section("__libfuzzer_extra_counters"))) std::uint8_t outcomes[kOutcomes];

void CountOutcome(const std::string& outcome) {
    std::size_t hash = 14695981039346656037u;
    bool inNumber = false;
    for (const char c : outcome) {
        const bool digit = c >= '0' && c <= '9';
        if (digit && inNumber) continue;
        inNumber = digit;
        hash = (hash ^ static_cast<unsigned char>(digit ? '#' : c)) * 1099511628211u;
    }
    outcomes[hash % kOutcomes] = 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string outcome;
    const auto findings = lumeshade::fuzz::CheckImageInput(data, size, &outcome);
    CountOutcome(outcome);
    if (findings.empty()) return 0;
    std::fprintf(stderr, "lumeshade fuzz: finding in the image of %zu bytes\n", size);
    for (const std::string& f : findings) std::fprintf(stderr, "  - %s\n", f.c_str());
    std::abort();
}
