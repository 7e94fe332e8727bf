#include "tools/bit_depth.h"

namespace lumeshade::tools {

std::optional<BitDepth> ParseBitDepth(std::string_view text) {
    if (text == "8") return BitDepth::k8;
    if (text == "16") return BitDepth::k16;
    if (text == "float") return BitDepth::kFloat;
    return std::nullopt;
}

const char* BitDepthName(BitDepth depth) {
    switch (depth) {
        case BitDepth::k8:
            return "8";
        case BitDepth::k16:
            return "16";
        case BitDepth::kFloat:
            break;
    }
    return "float";
}

}  // namespace lumeshade::tools
