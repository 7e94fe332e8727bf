// The seeds of the scene and image fuzzers read as the fuzzers read them, in
// every build: the examples, the tests' scenes and the small image files,
// and the inputs of what the fuzzers found, stay sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fuzz/input_checks.h"

namespace lumeshade::fuzz {
namespace {

using Check = std::vector<std::string> (*)(const std::uint8_t*, std::size_t);

// Checks every file of the folders; returns how many there were.
std::size_t Replay(const std::vector<std::filesystem::path>& folders, Check check) {
    std::vector<std::filesystem::path> seeds;
    for (const auto& folder : folders) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.is_regular_file()) seeds.push_back(entry.path());
        }
    }
    std::sort(seeds.begin(), seeds.end());
    for (const auto& seed : seeds) {
        std::ifstream in(seed, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>()};
        std::string findings;
        for (const std::string& f : check(bytes.data(), bytes.size())) findings += "\n  - " + f;
        EXPECT_TRUE(findings.empty()) << seed.filename() << findings;
    }
    return seeds.size();
}

TEST(FuzzInputsTest, EverySceneSeedIsReadSoundly) {
    EXPECT_GE(Replay({LUMESHADE_SCENE_CORPUS, LUMESHADE_EXAMPLES}, CheckSceneInput), 40u);
}

TEST(FuzzInputsTest, EveryImageSeedLoadsSoundly) {
    const Check image = [](const std::uint8_t* data, std::size_t size) {
        return CheckImageInput(data, size);
    };
    EXPECT_GE(Replay({LUMESHADE_IMAGE_CORPUS}, image), 10u);
}

}  // namespace
}  // namespace lumeshade::fuzz
