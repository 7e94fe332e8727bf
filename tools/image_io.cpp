#include "tools/image_io.h"

#include <OpenImageIO/filesystem.h>
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
#include "tools/image_guard.h"
#include "tools/input_file.h"
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

// The samples a file holds, in its own type, `channels` to a pixel; the
// alpha channel, when it lies beyond the first four, apart.
template <class Sample>
struct Samples {
    std::unique_ptr<Sample[]> colour;
    int channels = 0;
    int alpha = -1;  // index in `colour`, or -1
    std::unique_ptr<Sample[]> separateAlpha;
};

template <class Sample>
Image Arrange(const Samples<Sample>& samples, int width, int height, double sampleMax,
              BitDepth depth, const PassConversion& conversion, NormalEvidence* evidence) {
    Image image = MakeImage(width, height, depth);
    const bool grey = samples.channels < 3;
    const bool converted = conversion != PassConversion{};
    for (std::size_t p = 0, n = std::size_t(width) * height; p < n; ++p) {
        const Sample* in = samples.colour.get() + p * samples.channels;
        double rgb[3];
        for (int c = 0; c < 3; ++c) rgb[c] = double(in[grey ? 0 : c]) / sampleMax;
        double alpha = 1.0;
        if (samples.separateAlpha) {
            alpha = double(samples.separateAlpha[p]) / sampleMax;
        } else if (samples.alpha >= 0) {
            alpha = double(in[samples.alpha]) / sampleMax;
        }
        if (converted) ConvertPass(conversion, rgb);
        if (evidence != nullptr) evidence->Add(rgb, alpha);
        float* out = image.rgba.data() + p * 4;
        for (int c = 0; c < 3; ++c) out[c] = ToRenderUnits(rgb[c], depth);
        out[3] = ToRenderUnits(alpha, depth);
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

// The opened image's header, checked against the program's limits before a
// pixel is read.
std::unique_ptr<OIIO::ImageInput> OpenImage(const std::string& name, OIIO::Filesystem::IOProxy& io,
                                            const Location& where, const std::string& subject) {
    CheckBeforeDecoding(io, where, subject);
    const QuietStderr quiet;
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    auto in = OIIO::ImageInput::open(name, &config, &io);
    if (!in) Fail(where, "cannot read " + subject + ": " + OIIO::geterror());
    const OIIO::ImageSpec& header = in->spec();
    CheckImageSize(header.width, header.height, where);
    if (header.nchannels < 1) Fail(where, subject + " has no channels");
    if (header.depth > 1) Fail(where, subject + " is a volume, not a picture");
    return in;
}

template <class Sample>
Image ReadSamples(OIIO::ImageInput& in, OIIO::TypeDesc type, double sampleMax, BitDepth depth,
                  const PassConversion& conversion, NormalEvidence* evidence, const Location& where,
                  const std::string& subject) {
    const OIIO::ImageSpec& header = in.spec();
    const std::size_t pixels = std::size_t(header.width) * header.height;
    // Only the channels the render uses are read: a file may declare
    // thousands.
    Samples<Sample> samples;
    samples.channels = std::min(header.nchannels, 4);
    const bool declared = header.alpha_channel >= 0 && header.alpha_channel < header.nchannels;
    if (declared && header.alpha_channel < samples.channels) {
        samples.alpha = header.alpha_channel;
    } else if (!declared && samples.channels == 2) {
        samples.alpha = 1;
    } else if (!declared && samples.channels == 4) {
        samples.alpha = 3;
    }
    // Left unset: a file that fails early never touches the memory its
    // header asked for.
    samples.colour.reset(new Sample[pixels * std::size_t(samples.channels)]);
    const auto read = [&](int first, int end, Sample* into) {
        if (!in.read_image(0, 0, first, end, type, into)) {
            Fail(where, "cannot read " + subject + ": " + in.geterror());
        }
    };
    read(0, samples.channels, samples.colour.get());
    if (declared && header.alpha_channel >= samples.channels) {
        samples.separateAlpha.reset(new Sample[pixels]);
        read(header.alpha_channel, header.alpha_channel + 1, samples.separateAlpha.get());
    }
    return Arrange(samples, header.width, header.height, sampleMax, depth, conversion, evidence);
}

Image Decode(OIIO::ImageInput& in, BitDepth depth, const PassConversion& conversion,
             NormalEvidence* evidence, const Location& where, const std::string& subject) {
    const QuietStderr quiet;
    const OIIO::ImageSpec& header = in.spec();
    // Integer files are read in their own type and rescaled in double
    // precision, which maps 16-bit file values to the render's 0..32768
    // exactly as FromFile16 does.
    const bool uniform = header.channelformats.empty();
    Image image;
    if (uniform && header.format == OIIO::TypeDesc::UINT8) {
        image = ReadSamples<std::uint8_t>(in, OIIO::TypeDesc::UINT8, 255.0, depth, conversion,
                                          evidence, where, subject);
    } else if (uniform && header.format == OIIO::TypeDesc::UINT16) {
        image = ReadSamples<std::uint16_t>(in, OIIO::TypeDesc::UINT16, 65535.0, depth, conversion,
                                           evidence, where, subject);
    } else {
        image = ReadSamples<float>(in, OIIO::TypeDesc::FLOAT, 1.0, depth, conversion, evidence,
                                   where, subject);
    }
    in.close();
    return image;
}

std::string Subject(const fs::path& path) { return "the image " + Quoted(path); }

// The file opened after the checks every input path gets, and one an image
// needs: it is not empty.
InputFile OpenImageFile(const fs::path& path, const Location& where) {
    InputFile file = OpenInputFile(path, where, Subject(path));
    if (file.size == 0) Fail(where, Subject(path) + " is an empty file");
    return file;
}

}  // namespace

ImageSize ReadImageSize(const fs::path& path, const Location& where) {
    const InputFile file = OpenImageFile(path, where);
    OIIO::Filesystem::IOFile io(file.file.get(), OIIO::Filesystem::IOProxy::Read);
    const auto in = OpenImage(path.string(), io, where, Subject(path));
    return {in->spec().width, in->spec().height};
}

Image ReadImage(const fs::path& path, BitDepth depth, const Location& where,
                const PassConversion& conversion, NormalEvidence* evidence) {
    const InputFile file = OpenImageFile(path, where);
    OIIO::Filesystem::IOFile io(file.file.get(), OIIO::Filesystem::IOProxy::Read);
    const auto in = OpenImage(path.string(), io, where, Subject(path));
    return Decode(*in, depth, conversion, evidence, where, Subject(path));
}

ImageSize DecodeImageSize(std::string_view bytes, const std::string& name, const Location& where) {
    if (bytes.empty()) Fail(where, Subject(name) + " is an empty file");
    OIIO::Filesystem::IOMemReader io(bytes.data(), bytes.size());
    const auto in = OpenImage(name, io, where, Subject(name));
    return {in->spec().width, in->spec().height};
}

Image DecodeImage(std::string_view bytes, const std::string& name, BitDepth depth,
                  const Location& where, const PassConversion& conversion,
                  NormalEvidence* evidence) {
    if (bytes.empty()) Fail(where, Subject(name) + " is an empty file");
    OIIO::Filesystem::IOMemReader io(bytes.data(), bytes.size());
    const auto in = OpenImage(name, io, where, Subject(name));
    return Decode(*in, depth, conversion, evidence, where, Subject(name));
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
