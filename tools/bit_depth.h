// The three pixel formats a render can run in.
#pragma once

#include <optional>
#include <string_view>

namespace lumeshade::tools {

enum class BitDepth { k8, k16, kFloat };

// The largest channel value of each format as the host stores it: 16-bit
// worlds run from 0 to 32768, not 65535.
constexpr double ChannelMax(BitDepth depth) {
    switch (depth) {
        case BitDepth::k8:
            return 255.0;
        case BitDepth::k16:
            return 32768.0;
        case BitDepth::kFloat:
            break;
    }
    return 1.0;
}

// "8", "16" or "float", the spelling of --depth and of a scene's "depth".
std::optional<BitDepth> ParseBitDepth(std::string_view text);
const char* BitDepthName(BitDepth depth);

}  // namespace lumeshade::tools
