// The libFuzzer target over the scene reader and the command line
// (input_checks.h). A finding prints the input's text and what went wrong,
// and aborts; libFuzzer keeps the input.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/fuzz/input_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto findings = lumeshade::fuzz::CheckSceneInput(data, size);
    if (findings.empty()) return 0;
    std::fprintf(stderr, "lumeshade fuzz: finding in the scene\n%.*s\n", int(size),
                 reinterpret_cast<const char*>(data));
    for (const std::string& f : findings) std::fprintf(stderr, "  - %s\n", f.c_str());
    std::abort();
}
