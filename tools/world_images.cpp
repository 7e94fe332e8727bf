#include "tools/world_images.h"

#include <algorithm>

#include "common/convert.h"

namespace lumeshade::tools {
namespace {

template <class Channel>
Channel ToChannel(float v, double max) {
    return Channel(RoundToInt(std::clamp(double(v), 0.0, max)));
}
template <>
float ToChannel<float>(float v, double) {
    return v;
}

template <class Pixel>
void Fill(host::World& world, const Image& image) {
    using Channel = decltype(Pixel::alpha);
    const double max = ChannelMax(image.depth);
    for (int y = 0; y < image.height; ++y) {
        Pixel* row = reinterpret_cast<Pixel*>(world.Row(y));
        for (int x = 0; x < image.width; ++x) {
            const float* in = image.Pixel(x, y);
            Pixel& out = row[x];
            out.red = ToChannel<Channel>(in[0], max);
            out.green = ToChannel<Channel>(in[1], max);
            out.blue = ToChannel<Channel>(in[2], max);
            out.alpha = ToChannel<Channel>(in[3], max);
        }
    }
}

template <class Pixel>
void Read(const host::World& world, Image& image) {
    for (int y = 0; y < image.height; ++y) {
        const Pixel* row = reinterpret_cast<const Pixel*>(world.Row(y));
        for (int x = 0; x < image.width; ++x) {
            const Pixel& in = row[x];
            float* out = image.Pixel(x, y);
            out[0] = float(in.red), out[1] = float(in.green), out[2] = float(in.blue);
            out[3] = float(in.alpha);
        }
    }
}

}  // namespace

host::Depth ToHostDepth(BitDepth depth) {
    switch (depth) {
        case BitDepth::k8:
            return host::Depth::k8;
        case BitDepth::k16:
            return host::Depth::k16;
        case BitDepth::kFloat:
            break;
    }
    return host::Depth::kFloat;
}

BitDepth FromHostDepth(host::Depth depth) {
    switch (depth) {
        case host::Depth::k8:
            return BitDepth::k8;
        case host::Depth::k16:
            return BitDepth::k16;
        case host::Depth::kFloat:
            break;
    }
    return BitDepth::kFloat;
}

host::World ToWorld(const Image& image) {
    host::World world(image.width, image.height, ToHostDepth(image.depth));
    switch (image.depth) {
        case BitDepth::k8:
            Fill<PF_Pixel8>(world, image);
            break;
        case BitDepth::k16:
            Fill<PF_Pixel16>(world, image);
            break;
        case BitDepth::kFloat:
            Fill<PF_PixelFloat>(world, image);
            break;
    }
    return world;
}

Image FromWorld(const host::World& world) {
    Image image = MakeImage(world.Width(), world.Height(), FromHostDepth(world.GetDepth()));
    switch (image.depth) {
        case BitDepth::k8:
            Read<PF_Pixel8>(world, image);
            break;
        case BitDepth::k16:
            Read<PF_Pixel16>(world, image);
            break;
        case BitDepth::kFloat:
            Read<PF_PixelFloat>(world, image);
            break;
    }
    return image;
}

}  // namespace lumeshade::tools
