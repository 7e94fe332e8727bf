#include <OpenImageIO/filesystem.h>
#include <OpenImageIO/imageio.h>

#include <cmath>
#include <cstring>
#include <string_view>

#include "tests/fuzz/input_checks.h"
#include "tools/image_io.h"

namespace lumeshade::fuzz {
namespace {

using namespace lumeshade::tools;

// The format, sample type, channels, tiling and compression the header
// declares.
std::string DescribeImage(std::string_view bytes, const std::string& name) {
    OIIO::Filesystem::IOMemReader io(bytes.data(), bytes.size());
    const auto in = OIIO::ImageInput::open(name, nullptr, &io);
    if (!in) return "unopened";
    const OIIO::ImageSpec& spec = in->spec();
    return std::string(in->format_name()) + " " + spec.format.c_str() + " " +
           std::to_string(spec.nchannels) + (spec.tile_width > 0 ? " tiled " : " ") +
           std::string(spec.get_string_attribute("compression"));
}

}  // namespace

std::vector<std::string> CheckImageInput(const std::uint8_t* data, std::size_t size,
                                         std::string* outcome) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The length picks what the content cannot without changing the file.
    const auto depth = BitDepth(size % 3);
    const PassConversion conversion{(size / 3) % 2 == 1, (size / 6) % 2 == 1};
    const Location where{"fuzz.json", "layers.n"};
    // The name a file of this content would have: the image library tries
    // the reader its extension names first.
    const auto starts = [&](const char(&magic)[5]) {
        return bytes.size() >= 4 && std::memcmp(bytes.data(), magic, 4) == 0;
    };
    std::string name = "input.png";
    if (starts("v/1\x01")) name = "input.exr";
    if (starts("II*\0") || starts("MM\0*") || starts("II+\0") || starts("MM\0+")) {
        name = "input.tif";
    }
    std::vector<std::string> findings;
    try {
        const ImageSize header = DecodeImageSize(bytes, name, where);
        if (outcome != nullptr) *outcome = DescribeImage(bytes, name);
        NormalEvidence evidence;
        const Image image = DecodeImage(bytes, name, depth, where, conversion, &evidence);
        if (image.width != header.width || image.height != header.height ||
            image.rgba.size() != std::size_t(image.width) * std::size_t(image.height) * 4) {
            findings.push_back("the pixels are not of the header's size");
        }
        if (depth != BitDepth::kFloat) {
            for (const float v : image.rgba) {
                if (!(v >= 0.0f && v <= float(ChannelMax(depth))) || v != std::floor(v)) {
                    findings.push_back("a channel outside the bit depth's whole numbers");
                    break;
                }
            }
        }
        if (evidence.covered > std::int64_t(image.width) * image.height) {
            findings.push_back("more pixels counted than the image holds");
        }
        NormalMapDoubt(evidence);
    } catch (const InputError& e) {
        const std::string message = e.what();
        if (outcome != nullptr) *outcome = message;
        if (message.empty() || message.find('\n') != std::string::npos) {
            findings.push_back("a refusal that is not one line: " + message);
        }
    } catch (const std::exception& e) {
        findings.push_back(std::string("not refused as bad input: ") + e.what());
    }
    return findings;
}

}  // namespace lumeshade::fuzz
