#include "tools/image_io.h"

#include <OpenImageIO/imageio.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <system_error>
#include <vector>

#include "common/convert.h"
#include "tools/limits.h"

namespace lumeshade::tools {
namespace fs = std::filesystem;
namespace {

// Some image libraries print their own complaints on the standard error
// stream. The program reports each failure in one line of its own, so their
// words are kept off the terminal while a file is read.
class QuietStderr {
public:
    QuietStderr() {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        if (saved_ >= 0 && null >= 0) ::dup2(null, STDERR_FILENO);
        if (null >= 0) ::close(null);
    }
    ~QuietStderr() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_ = -1;
};

// Appended piecewise: g++ 12 at -O3 warns falsely (-Wrestrict) on "\"" + string.
std::string Quoted(const fs::path& path) {
    std::string quoted(1, '"');
    quoted += path.string();
    quoted += '"';
    return quoted;
}

double Clamp01(double v) { return v > 0.0 ? std::min(v, 1.0) : 0.0; }  // NaN becomes 0

OIIO::TypeDesc OiioType(SampleType type) {
    switch (type) {
        case SampleType::kUint8:
            return OIIO::TypeDesc::UINT8;
        case SampleType::kUint16:
            return OIIO::TypeDesc::UINT16;
        case SampleType::kFloat:
            break;
    }
    return OIIO::TypeDesc::FLOAT;
}

const char* FormatName(FileFormat format) {
    switch (format) {
        case FileFormat::kPng:
            return "png";
        case FileFormat::kTiff:
            return "tiff";
        case FileFormat::kExr:
            break;
    }
    return "openexr";
}

// Samples of one channel brought to the render depth's units.
float ToRenderUnits(double normalised, BitDepth depth) {
    if (depth == BitDepth::kFloat) return float(normalised);
    return float(RoundToInt(Clamp01(normalised) * ChannelMax(depth)));
}

template <class Sample>
Image Arrange(const std::vector<Sample>& samples, int width, int height, int channels,
              int alphaChannel, double sampleMax, BitDepth depth) {
    Image image = MakeImage(width, height, depth);
    const bool grey = channels < 3;
    for (std::size_t p = 0, n = std::size_t(width) * height; p < n; ++p) {
        const Sample* in = samples.data() + p * channels;
        float* out = image.rgba.data() + p * 4;
        for (int c = 0; c < 3; ++c) {
            out[c] = ToRenderUnits(double(in[grey ? 0 : c]) / sampleMax, depth);
        }
        out[3] = alphaChannel >= 0 ? ToRenderUnits(double(in[alphaChannel]) / sampleMax, depth)
                                   : float(ChannelMax(depth));
    }
    return image;
}

}  // namespace

SampleType FileSampleType(FileFormat format, BitDepth depth) {
    if (format == FileFormat::kExr) return SampleType::kFloat;
    switch (depth) {
        case BitDepth::k8:
            return SampleType::kUint8;
        case BitDepth::k16:
            return SampleType::kUint16;
        case BitDepth::kFloat:
            break;
    }
    return format == FileFormat::kPng ? SampleType::kUint16 : SampleType::kFloat;
}

namespace {

// Opens an image for reading after the checks a missing or empty file needs.
std::unique_ptr<OIIO::ImageInput> OpenImage(const fs::path& path, const Location& where) {
    std::error_code ec;
    const std::string file = "the image " + Quoted(path);
    if (!fs::exists(path, ec)) Fail(where, file + " does not exist");
    if (fs::is_directory(path, ec)) Fail(where, file + " is a folder");
    if (fs::file_size(path, ec) == 0 && !ec) Fail(where, file + " is an empty file");
    const QuietStderr quiet;
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    auto in = OIIO::ImageInput::open(path.string(), &config);
    if (!in) Fail(where, "cannot read " + file + ": " + OIIO::geterror());
    const OIIO::ImageSpec& header = in->spec();
    CheckImageSize(header.width, header.height, where);
    if (header.nchannels < 1) Fail(where, file + " has no channels");
    if (header.depth > 1) Fail(where, file + " is a volume, not a picture");
    return in;
}

}  // namespace

ImageSize ReadImageSize(const fs::path& path, const Location& where) {
    const auto in = OpenImage(path, where);
    return {in->spec().width, in->spec().height};
}

Image ReadImage(const fs::path& path, BitDepth depth, const Location& where) {
    const auto in = OpenImage(path, where);
    const QuietStderr quiet;
    const std::string file = "the image " + Quoted(path);
    const OIIO::ImageSpec header = in->spec();
    const int channels = header.nchannels;
    int alpha = -1;
    if (header.alpha_channel >= 0 && header.alpha_channel < channels)
        alpha = header.alpha_channel;
    else if (channels == 2)
        alpha = 1;
    else if (channels >= 4)
        alpha = 3;

    // Integer files are read in their own type and rescaled in double
    // precision, which maps 16-bit file values to the render's 0..32768
    // exactly as FromFile16 does.
    const std::size_t count = std::size_t(header.width) * header.height * channels;
    const bool uniform = header.channelformats.empty();
    Image image;
    if (uniform && header.format == OIIO::TypeDesc::UINT8) {
        std::vector<std::uint8_t> samples(count);
        if (!in->read_image(0, 0, 0, channels, OIIO::TypeDesc::UINT8, samples.data())) {
            Fail(where, "cannot read " + file + ": " + in->geterror());
        }
        image = Arrange(samples, header.width, header.height, channels, alpha, 255.0, depth);
    } else if (uniform && header.format == OIIO::TypeDesc::UINT16) {
        std::vector<std::uint16_t> samples(count);
        if (!in->read_image(0, 0, 0, channels, OIIO::TypeDesc::UINT16, samples.data())) {
            Fail(where, "cannot read " + file + ": " + in->geterror());
        }
        image = Arrange(samples, header.width, header.height, channels, alpha, 65535.0, depth);
    } else {
        std::vector<float> samples(count);
        if (!in->read_image(0, 0, 0, channels, OIIO::TypeDesc::FLOAT, samples.data())) {
            Fail(where, "cannot read " + file + ": " + in->geterror());
        }
        image = Arrange(samples, header.width, header.height, channels, alpha, 1.0, depth);
    }
    in->close();
    return image;
}

void WriteImage(const fs::path& path, const Image& image) {
    const std::string target = "output " + Quoted(path);
    const auto format = FormatFromPath(path);
    if (!format) {
        throw InputError(target + ": expected a file name ending in .png, .tif, .tiff or .exr");
    }
    const SampleType type = FileSampleType(*format, image.depth);
    const double max = ChannelMax(image.depth);
    const std::size_t count = image.rgba.size();

    std::vector<std::uint8_t> bytes8;
    std::vector<std::uint16_t> words16;
    std::vector<float> floats;
    const void* data = nullptr;
    if (type == SampleType::kUint8) {
        bytes8.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            bytes8[i] = std::uint8_t(RoundToInt(Clamp01(image.rgba[i] / max) * 255.0));
        }
        data = bytes8.data();
    } else if (type == SampleType::kUint16) {
        words16.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            words16[i] = image.depth == BitDepth::k16
                             ? ToFile16(image.rgba[i])
                             : std::uint16_t(RoundToInt(Clamp01(image.rgba[i] / max) * 65535.0));
        }
        data = words16.data();
    } else {
        floats.resize(count);
        for (std::size_t i = 0; i < count; ++i) floats[i] = float(image.rgba[i] / max);
        data = floats.data();
    }

    PendingFile pending(path);
    auto out = OIIO::ImageOutput::create(FormatName(*format));
    if (!out) throw InputError(target + ": cannot write: " + OIIO::geterror());
    OIIO::ImageSpec header(image.width, image.height, 4, OiioType(type));
    header.attribute("oiio:UnassociatedAlpha", 1);
    if (*format != FileFormat::kPng) header.attribute("compression", "zip");
    const bool written = out->open(pending.Path().string(), header) &&
                         out->write_image(OiioType(type), data) && out->close();
    if (!written) throw InputError(target + ": cannot write: " + out->geterror());
    pending.Commit();
}

}  // namespace lumeshade::tools
