// The fuzzer's seed corpus rendered as the fuzzer renders it, in every build:
// the frames it starts from, and the inputs of what it found, stay sound
// without clang or libFuzzer, and under the sanitizer builds too.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fuzz/frame_case.h"
#include "tests/fuzz/frame_run.h"

namespace lumeshade::fuzz {
namespace {

std::vector<std::filesystem::path> Seeds() {
    std::vector<std::filesystem::path> seeds;
    for (const auto& entry : std::filesystem::directory_iterator(LUMESHADE_FUZZ_CORPUS)) {
        if (entry.is_regular_file()) seeds.push_back(entry.path());
    }
    std::sort(seeds.begin(), seeds.end());
    return seeds;
}

TEST(FuzzCorpusTest, EverySeedRendersSoundly) {
    const std::vector<std::filesystem::path> seeds = Seeds();
    // The corpus covers every format, Display choice, tile mode and fault.
    ASSERT_GE(seeds.size(), 100u);
    for (const auto& seed : seeds) {
        std::ifstream in(seed, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>()};
        const FrameReport report = RunFrameCase(DecodeFrameCase(bytes.data(), bytes.size()));
        std::string findings;
        for (const std::string& f : report.findings) findings += "\n  - " + f;
        EXPECT_TRUE(report.findings.empty())
            << seed.filename() << ": " << report.description << findings;
    }
}

}  // namespace
}  // namespace lumeshade::fuzz
