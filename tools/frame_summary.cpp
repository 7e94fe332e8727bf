#include "tools/frame_summary.h"

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

#include "tools/input_error.h"
#include "tools/probe.h"

namespace lumeshade::tools {
namespace {

struct ChannelStats {
    float min = std::numeric_limits<float>::infinity();
    float max = -std::numeric_limits<float>::infinity();
    double sum = 0.0;
    bool nan = false;
};

// The shortest text of the double; NaN and infinities as --probe prints them.
std::string FormatMean(double mean) {
    return std::isfinite(mean) ? FormatNumber(mean) : FormatChannel(float(mean), BitDepth::kFloat);
}

}  // namespace

std::uint64_t PixelChecksum(const host::World& world) {
    const std::size_t rowBytes =
        std::size_t(world.Width()) * std::size_t(host::PixelBytes(world.GetDepth()));
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (A_long y = 0; y < world.Height(); ++y) {
        const unsigned char* row = world.Row(y);
        for (std::size_t i = 0; i < rowBytes; ++i) h = (h ^ row[i]) * 0x100000001b3ull;
    }
    return h;
}

std::string HashLine(int frame, const std::string& file, const host::World& world) {
    char hex[17];
    const std::uint64_t sum = PixelChecksum(world);
    for (int i = 0; i < 16; ++i) hex[i] = "0123456789abcdef"[(sum >> (60 - 4 * i)) & 15];
    hex[16] = '\0';
    return "{\"frame\":" + std::to_string(frame) + ",\"file\":" + nlohmann::json(file).dump() +
           ",\"fnv1a64\":\"" + hex + "\"}";
}

std::string StatsLine(int frame, const Image& image) {
    ChannelStats stats[4];
    for (std::size_t i = 0; i < image.rgba.size(); ++i) {
        ChannelStats& s = stats[i % 4];
        const float v = image.rgba[i];
        s.nan |= std::isnan(v);
        s.min = std::fmin(s.min, v);
        s.max = std::fmax(s.max, v);
        s.sum += double(v);
    }
    const double count = double(image.rgba.size() / 4);
    std::string line = "{\"frame\":" + std::to_string(frame);
    for (const auto& [name, c] : {std::pair{"a", 3}, {"r", 0}, {"g", 1}, {"b", 2}}) {
        const ChannelStats& s = stats[c];
        const std::string nan = "\"NaN\"";
        line += std::string(",\"") + name +
                "\":{\"min\":" + (s.nan ? nan : FormatChannel(s.min, image.depth)) +
                ",\"max\":" + (s.nan ? nan : FormatChannel(s.max, image.depth)) +
                ",\"mean\":" + FormatMean(s.sum / count) + "}";
    }
    return line + "}";
}

}  // namespace lumeshade::tools
