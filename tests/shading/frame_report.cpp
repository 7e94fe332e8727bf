#include "tests/shading/frame_report.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "tests/support/pixels.h"
#ifdef LUMESHADE_FRAME_IMAGES
#include "tools/image_io.h"
#include "tools/world_images.h"
#endif

namespace lumeshade::testing {
namespace {

namespace fs = std::filesystem;

// The test's build folder where the renderer is built, else the working
// folder (which is the build folder under ctest).
fs::path InFolder(const std::string& file) {
#ifdef LUMESHADE_FRAME_IMAGES
    return fs::path(LUMESHADE_FRAME_IMAGES) / file;
#else
    return fs::absolute(file);
#endif
}

fs::path KeptPath(const std::string& name) { return InFolder("pinned_" + name + ".bin"); }

// Channel k (alpha, red, green, blue) of pixel i of a world's bytes.
double Channel(const std::vector<unsigned char>& bytes, host::Depth depth, std::size_t i, int k) {
    const std::size_t size = std::size_t(host::PixelBytes(depth)) / 4;
    const unsigned char* at = &bytes[(i * 4 + std::size_t(k)) * size];
    if (depth == host::Depth::k8) return *at;
    if (depth == host::Depth::k16) {
        std::uint16_t v;
        std::memcpy(&v, at, 2);
        return v;
    }
    float v;
    std::memcpy(&v, at, 4);
    return v;
}

std::string Number(double v) {
    std::ostringstream text;
    text.precision(9);
    text << v;
    return text.str();
}

std::string Values(const std::vector<unsigned char>& bytes, host::Depth depth, std::size_t i) {
    std::string text;
    for (int k = 0; k < 4; ++k) text += (k ? ", " : "(") + Number(Channel(bytes, depth, i, k));
    return text + ")";
}

std::string Place(std::size_t i, A_long width) {
    return "(" + std::to_string(i % std::size_t(width)) + ", " +
           std::to_string(i / std::size_t(width)) + ")";
}

// The picture in a file of the depth's usual format, or "" without an image
// library.
std::string WriteFile([[maybe_unused]] const std::string& name,
                      [[maybe_unused]] const host::World& world) {
#ifdef LUMESHADE_FRAME_IMAGES
    const fs::path path =
        InFolder(name + (world.GetDepth() == host::Depth::kFloat ? ".exr" : ".png"));
    tools::WriteImage(path, tools::FromWorld(world));
    return path.string();
#else
    return "";
#endif
}

}  // namespace

void KeepPinnedFrame(const std::string& name, const host::World& frame) {
    const std::vector<unsigned char> bytes = Bytes(frame);
    std::ofstream(KeptPath(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::string ReportChangedFrame(const std::string& name, const host::World& frame,
                               std::uint64_t pinned) {
    std::string report = name + ": the frame changed";
    const std::string written = WriteFile("failed_" + name, frame);
    if (!written.empty()) report += "; it is in " + written;

    std::ifstream in(KeptPath(name), std::ios::binary);
    const std::vector<unsigned char> kept{std::istreambuf_iterator<char>(in), {}};
    const std::vector<unsigned char> now = Bytes(frame);
    host::World pinnedFrame(frame.Width(), frame.Height(), frame.GetDepth());
    if (kept.size() == now.size()) {
        const std::size_t row = now.size() / std::size_t(frame.Height());
        for (A_long y = 0; y < frame.Height(); ++y) {
            std::memcpy(pinnedFrame.Row(y), &kept[std::size_t(y) * row], row);
        }
    }
    if (kept.size() != now.size() || Checksum(pinnedFrame) != pinned) {
        return report + "; no earlier run of this build rendered the pinned frame to compare with";
    }
    const std::string pinnedFile = WriteFile("pinned_" + name, pinnedFrame);
    if (!pinnedFile.empty()) report += ", the pinned frame in " + pinnedFile;

    const host::Depth depth = frame.GetDepth();
    const std::size_t pixels = now.size() / std::size_t(host::PixelBytes(depth));
    const std::size_t channelSize = std::size_t(host::PixelBytes(depth)) / 4;
    std::size_t first = pixels, largestAt = 0, differing = 0;
    double largest = 0;
    for (std::size_t i = 0; i < pixels; ++i) {
        bool differs = false;
        for (int k = 0; k < 4; ++k) {
            const std::size_t at = (i * 4 + std::size_t(k)) * channelSize;
            if (SameChannel(&kept[at], &now[at], int(channelSize))) continue;
            differs = true;
            const double d = std::fabs(Channel(now, depth, i, k) - Channel(kept, depth, i, k));
            if (d > largest || std::isnan(d)) largest = d, largestAt = i;
        }
        if (differs && first == pixels) first = i;
        differing += differs;
    }
    if (differing == 0) return report + "; only the bytes of NaNs differ";
    return report + "; " + std::to_string(differing) + " of " + std::to_string(pixels) +
           " pixels differ, the first at " + Place(first, frame.Width()) +
           ": (a, r, g, b) = " + Values(now, depth, first) + ", pinned " +
           Values(kept, depth, first) + "; the largest difference is " + Number(largest) + ", at " +
           Place(largestAt, frame.Width());
}

}  // namespace lumeshade::testing
