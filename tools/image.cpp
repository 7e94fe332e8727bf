#include "tools/image.h"

#include <algorithm>
#include <cmath>

#include "common/convert.h"

namespace lumeshade::tools {
namespace {

// v in one depth's units, brought to another's.
float Rescale(float v, double fromMax, BitDepth to) {
    const double normalised = v / fromMax;
    if (to == BitDepth::kFloat) return float(normalised);
    if (!(normalised > 0.0)) return 0.0f;  // also catches NaN
    const double max = ChannelMax(to);
    return float(std::round(std::min(normalised, 1.0) * max));
}

}  // namespace

Image MakeImage(int width, int height, BitDepth depth) {
    Image image;
    image.width = width;
    image.height = height;
    image.depth = depth;
    image.rgba.assign(std::size_t(width) * std::size_t(height) * 4, 0.0f);
    return image;
}

Image ConvertDepth(const Image& image, BitDepth depth) {
    if (image.depth == depth) return image;
    Image result = image;
    result.depth = depth;
    const double fromMax = ChannelMax(image.depth);
    for (float& v : result.rgba) v = Rescale(v, fromMax, depth);
    return result;
}

Image Resample(const Image& image, int width, int height) {
    if (image.width == width && image.height == height) return image;
    Image result = MakeImage(width, height, image.depth);
    const bool integer = image.depth != BitDepth::kFloat;
    // Source coordinate of a target pixel's centre, limited to the centres of
    // the edge pixels.
    const auto source = [](int target, int from, int to, int& i0, int& i1, double& t) {
        const double s = std::clamp((target + 0.5) * from / to - 0.5, 0.0, double(from - 1));
        i0 = FloorToInt(s);
        i1 = std::min(i0 + 1, from - 1);
        t = s - i0;
    };
    for (int y = 0; y < height; ++y) {
        int y0, y1;
        double ty;
        source(y, image.height, height, y0, y1, ty);
        for (int x = 0; x < width; ++x) {
            int x0, x1;
            double tx;
            source(x, image.width, width, x0, x1, tx);
            float* out = result.Pixel(x, y);
            for (int c = 0; c < 4; ++c) {
                const double top = image.Pixel(x0, y0)[c] * (1 - tx) + image.Pixel(x1, y0)[c] * tx;
                const double bottom =
                    image.Pixel(x0, y1)[c] * (1 - tx) + image.Pixel(x1, y1)[c] * tx;
                const double v = top * (1 - ty) + bottom * ty;
                out[c] = float(integer ? std::round(v) : v);
            }
        }
    }
    return result;
}

std::uint16_t ToFile16(float render16) {
    if (!(render16 > 0.0f)) return 0;
    return std::uint16_t(RoundToInt(std::min(double(render16), 32768.0) * 65535.0 / 32768.0));
}

float FromFile16(std::uint16_t file16) {
    return float(std::round(double(file16) * 32768.0 / 65535.0));
}

}  // namespace lumeshade::tools
