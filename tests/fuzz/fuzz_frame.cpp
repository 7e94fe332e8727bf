// The libFuzzer target: every input is one frame (frame_case.h) rendered by
// the real module through the emulated host (frame_run.h). A finding prints
// the case and its findings and aborts, which libFuzzer reports with the
// input that caused it; AddressSanitizer, UndefinedBehaviorSanitizer and
// LeakSanitizer stop the run on their own findings.
//
// LUMESHADE_FUZZ_DESCRIBE=1 prints every case before it renders: run the
// target on one input with it to see what a crash was rendering.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/frame_case.h"
#include "tests/fuzz/frame_run.h"

namespace {

bool Describing() {
    static const bool on = [] {
        const char* v = std::getenv("LUMESHADE_FUZZ_DESCRIBE");
        return v != nullptr && *v != '\0' && *v != '0';
    }();
    return on;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lumeshade::fuzz;
    const FrameCase c = DecodeFrameCase(data, size);
    // The frame is told before it renders, in case the render crashes; its
    // controls only once the module has registered them.
    if (Describing()) std::fprintf(stderr, "frame: %s", DescribeFrame(c).c_str());
    const FrameReport report = RunFrameCase(c);
    if (report.findings.empty()) return 0;
    std::fprintf(stderr, "lumeshade fuzz: finding in the frame\n%s", report.description.c_str());
    for (const std::string& f : report.findings) std::fprintf(stderr, "  - %s\n", f.c_str());
    std::abort();
}
