// Frames drawn at random, as the fuzzer draws them, through every pixel path:
// random controls (every blend mode, tile mode and Display choice among
// them), maps, lights, formats and hostile pixels must render to the same
// bytes per-pixel and in lanes.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tests/fuzz/frame_case.h"
#include "tests/fuzz/frame_run.h"

namespace lumeshade::fuzz {
namespace {

TEST(FuzzPathsTest, RandomFramesRenderTheSameOnEveryPath) {
    std::mt19937 random(20261208);
    int compared = 0;
    for (int i = 0; i < 400; ++i) {
        // Zero is a control's default and a plausible layer, light and
        // frame: most cases draw a few bytes of a default frame, so that
        // the terms show; the rest draw every byte.
        const unsigned drawn = i % 4 == 0 ? 256 : 24;
        std::vector<std::uint8_t> bytes(layout::kTotal);
        for (std::uint8_t& b : bytes) b = random() % 256 < drawn ? std::uint8_t(random()) : 0;
        // No injected fault: every frame renders, so that every one compares.
        bytes[layout::kFault] = 0;
        const FrameReport report = RunFrameCase(DecodeFrameCase(bytes.data(), bytes.size()));
        std::string findings;
        for (const std::string& f : report.findings) findings += "\n  - " + f;
        EXPECT_TRUE(report.findings.empty()) << "case " << i << ": " << report.description << findings;
        compared += report.frame.empty() ? 0 : 1;
    }
    // Nearly every drawn frame renders, and so is compared.
    EXPECT_GE(compared, 380);
}

}  // namespace
}  // namespace lumeshade::fuzz
