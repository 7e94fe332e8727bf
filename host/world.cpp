#include "host/world.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "common/convert.h"

#if defined(__SANITIZE_ADDRESS__)
#define LUMESHADE_HOST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUMESHADE_HOST_ASAN 1
#endif
#endif

#ifdef LUMESHADE_HOST_ASAN
#include <sanitizer/asan_interface.h>
#define LUMESHADE_POISON(addr, size) ASAN_POISON_MEMORY_REGION(addr, size)
#define LUMESHADE_UNPOISON(addr, size) ASAN_UNPOISON_MEMORY_REGION(addr, size)
#else
#define LUMESHADE_POISON(addr, size) ((void)(addr), (void)(size))
#define LUMESHADE_UNPOISON(addr, size) ((void)(addr), (void)(size))
#endif

namespace lumeshade::host {
namespace {

// Channel conversions between the three formats.
A_u_short To16(A_u_char v) { return A_u_short((A_long(v) * 32768 + 128) / 255); }
A_u_char To8(A_u_short v) {
    const A_long c = std::min<A_long>(v, PF_MAX_CHAN16);
    return A_u_char((c * 255 + 16384) / 32768);
}
float Normalised(float v) { return std::isnan(v) ? 0.0f : std::clamp(v, 0.0f, 1.0f); }
A_u_char FloatTo8(float v) { return A_u_char(RoundToInt(double(Normalised(v)) * 255.0)); }
A_u_short FloatTo16(float v) { return A_u_short(RoundToInt(double(Normalised(v)) * 32768.0)); }

// One channel read from any format as a float of that format's nominal
// range, for averaging.
template <class Pixel>
void Accumulate(const Pixel& p, double sum[4]) {
    sum[0] += p.alpha;
    sum[1] += p.red;
    sum[2] += p.green;
    sum[3] += p.blue;
}

template <class Channel>
Channel MeanChannel(double sum, double count) {
    if constexpr (std::is_floating_point_v<Channel>) {
        return Channel(sum / count);
    } else {
        return Channel(RoundToInt(sum / count));
    }
}

template <class From, class To>
To ConvertPixel(const From& p) {
    if constexpr (std::is_same_v<From, To>) {
        return p;
    } else if constexpr (std::is_same_v<From, PF_Pixel8> && std::is_same_v<To, PF_Pixel16>) {
        return {To16(p.alpha), To16(p.red), To16(p.green), To16(p.blue)};
    } else if constexpr (std::is_same_v<From, PF_Pixel16> && std::is_same_v<To, PF_Pixel8>) {
        return {To8(p.alpha), To8(p.red), To8(p.green), To8(p.blue)};
    } else if constexpr (std::is_same_v<From, PF_Pixel8>) {  // to float
        return {p.alpha / 255.0f, p.red / 255.0f, p.green / 255.0f, p.blue / 255.0f};
    } else if constexpr (std::is_same_v<From, PF_Pixel16>) {  // to float
        return {p.alpha / 32768.0f, p.red / 32768.0f, p.green / 32768.0f, p.blue / 32768.0f};
    } else if constexpr (std::is_same_v<To, PF_Pixel8>) {  // from float
        return {FloatTo8(p.alpha), FloatTo8(p.red), FloatTo8(p.green), FloatTo8(p.blue)};
    } else {  // float to 16-bit
        return {FloatTo16(p.alpha), FloatTo16(p.red), FloatTo16(p.green), FloatTo16(p.blue)};
    }
}

template <class From, class To>
void ConvertRows(const World& from, World& to) {
    for (A_long y = 0; y < from.Height(); ++y) {
        const From* src = reinterpret_cast<const From*>(from.Row(y));
        To* dst = reinterpret_cast<To*>(to.Row(y));
        for (A_long x = 0; x < from.Width(); ++x) dst[x] = ConvertPixel<From, To>(src[x]);
    }
}

template <class From>
void ConvertFrom(const World& from, World& to) {
    switch (to.GetDepth()) {
        case Depth::k8:
            return ConvertRows<From, PF_Pixel8>(from, to);
        case Depth::k16:
            return ConvertRows<From, PF_Pixel16>(from, to);
        case Depth::kFloat:
            return ConvertRows<From, PF_PixelFloat>(from, to);
    }
}

template <class Pixel>
void BoxFilter(const World& from, World& to, A_long factor) {
    using Channel = decltype(Pixel::alpha);
    for (A_long y = 0; y < to.Height(); ++y) {
        Pixel* dst = reinterpret_cast<Pixel*>(to.Row(y));
        const A_long y0 = y * factor, y1 = std::min(from.Height(), y0 + factor);
        for (A_long x = 0; x < to.Width(); ++x) {
            const A_long x0 = x * factor, x1 = std::min(from.Width(), x0 + factor);
            double sum[4] = {0, 0, 0, 0};
            for (A_long sy = y0; sy < y1; ++sy) {
                const Pixel* src = reinterpret_cast<const Pixel*>(from.Row(sy));
                for (A_long sx = x0; sx < x1; ++sx) Accumulate(src[sx], sum);
            }
            const double count = double(y1 - y0) * double(x1 - x0);
            dst[x] = {MeanChannel<Channel>(sum[0], count), MeanChannel<Channel>(sum[1], count),
                      MeanChannel<Channel>(sum[2], count), MeanChannel<Channel>(sum[3], count)};
        }
    }
}

}  // namespace

PF_PixelFormat FormatOf(Depth depth) {
    switch (depth) {
        case Depth::k8:
            return PF_PixelFormat_ARGB32;
        case Depth::k16:
            return PF_PixelFormat_ARGB64;
        case Depth::kFloat:
            return PF_PixelFormat_ARGB128;
    }
    return PF_PixelFormat_INVALID;
}

std::optional<Depth> DepthOf(PF_PixelFormat format) {
    switch (format) {
        case PF_PixelFormat_ARGB32:
            return Depth::k8;
        case PF_PixelFormat_ARGB64:
            return Depth::k16;
        case PF_PixelFormat_ARGB128:
            return Depth::kFloat;
        default:
            return std::nullopt;
    }
}

A_long PixelBytes(Depth depth) {
    switch (depth) {
        case Depth::k8:
            return A_long(sizeof(PF_Pixel8));
        case Depth::k16:
            return A_long(sizeof(PF_Pixel16));
        case Depth::kFloat:
            return A_long(sizeof(PF_PixelFloat));
    }
    return 0;
}

short BitsPerChannel(Depth depth) {
    switch (depth) {
        case Depth::k8:
            return 8;
        case Depth::k16:
            return 16;
        case Depth::kFloat:
            return 32;
    }
    return 0;
}

World::World(A_long width, A_long height, Depth depth)
    : width_(width), height_(height), depth_(depth) {
    if (width < 0 || height < 0 || width > PF_MAX_WORLD_WIDTH || height > PF_MAX_WORLD_HEIGHT) {
        throw std::invalid_argument("world size out of range: " + std::to_string(width) + " x " +
                                    std::to_string(height));
    }
    Allocate();
    def_.world_flags = PF_WorldFlag_WRITEABLE | (depth == Depth::k16 ? PF_WorldFlag_DEEP : 0);
    def_.pix_aspect_ratio = {1, 1};
    UpdateDef();
}

World::World(const World& other)
    : width_(other.width_), height_(other.height_), depth_(other.depth_) {
    Allocate(false);  // every pixel is copied over
    const std::size_t rowContent = std::size_t(width_) * std::size_t(PixelBytes(depth_));
    for (A_long y = 0; y < height_; ++y) std::memcpy(Row(y), other.Row(y), rowContent);
    def_ = other.def_;
    UpdateDef();
}

World& World::operator=(const World& other) {
    if (this != &other) *this = World(other);
    return *this;
}

World::World(World&& other) noexcept
    : width_(other.width_),
      height_(other.height_),
      depth_(other.depth_),
      rowBytes_(other.rowBytes_),
      buffer_(std::move(other.buffer_)),
      def_(other.def_) {
    other.width_ = other.height_ = other.rowBytes_ = 0;
    other.UpdateDef();
    UpdateDef();
}

World& World::operator=(World&& other) noexcept {
    if (this != &other) {
        Release();
        width_ = other.width_;
        height_ = other.height_;
        depth_ = other.depth_;
        rowBytes_ = other.rowBytes_;
        buffer_ = std::move(other.buffer_);
        def_ = other.def_;
        other.width_ = other.height_ = other.rowBytes_ = 0;
        other.UpdateDef();
        UpdateDef();
    }
    return *this;
}

World::~World() { Release(); }

void World::Allocate(bool zeroPixels) {
    // Rows start on 16-byte boundaries, as the buffer does.
    const A_long content = width_ * PixelBytes(depth_);
    rowBytes_ = (content + 15) / 16 * 16 + kRowPadding;
    const std::size_t padding = std::size_t(rowBytes_ - content);
    const std::size_t size = std::size_t(rowBytes_) * std::size_t(height_);
    if (size == 0) return;
    buffer_ = zeroPixels ? std::make_unique<unsigned char[]>(size)
                         : std::make_unique_for_overwrite<unsigned char[]>(size);
    for (A_long y = 0; y < height_; ++y) {
        unsigned char* rowEnd = Row(y) + content;
        std::memset(rowEnd, kPaddingByte, padding);
        LUMESHADE_POISON(rowEnd, padding);
    }
}

void World::Release() {
    if (buffer_) LUMESHADE_UNPOISON(buffer_.get(), std::size_t(rowBytes_) * std::size_t(height_));
    buffer_.reset();
}

void World::UpdateDef() {
    def_.data = reinterpret_cast<PF_PixelPtr>(buffer_.get());
    def_.rowbytes = rowBytes_;
    def_.width = width_;
    def_.height = height_;
    def_.extent_hint = {0, 0, width_, height_};
}

unsigned char* World::CheckedPixel(A_long x, A_long y, Depth pixelDepth) {
    if (pixelDepth != depth_) throw std::logic_error("pixel type does not match the world");
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        throw std::out_of_range("pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                                ") outside a " + std::to_string(width_) + " x " +
                                std::to_string(height_) + " world");
    }
    return Row(y) + std::size_t(x) * std::size_t(PixelBytes(depth_));
}

World World::ConvertedTo(Depth depth) const {
    if (depth == depth_) return *this;
    World out(width_, height_, depth);
    switch (depth_) {
        case Depth::k8:
            ConvertFrom<PF_Pixel8>(*this, out);
            break;
        case Depth::k16:
            ConvertFrom<PF_Pixel16>(*this, out);
            break;
        case Depth::kFloat:
            ConvertFrom<PF_PixelFloat>(*this, out);
            break;
    }
    return out;
}

World World::Downsampled(A_long factor) const {
    if (factor < 1) throw std::invalid_argument("downsample factor below 1");
    if (factor == 1) return *this;
    World out((width_ + factor - 1) / factor, (height_ + factor - 1) / factor, depth_);
    switch (depth_) {
        case Depth::k8:
            BoxFilter<PF_Pixel8>(*this, out, factor);
            break;
        case Depth::k16:
            BoxFilter<PF_Pixel16>(*this, out, factor);
            break;
        case Depth::kFloat:
            BoxFilter<PF_PixelFloat>(*this, out, factor);
            break;
    }
    return out;
}

World World::Cropped(const PF_LRect& rect) const {
    const A_long left = std::clamp(rect.left, A_long(0), width_);
    const A_long top = std::clamp(rect.top, A_long(0), height_);
    const A_long right = std::clamp(rect.right, left, width_);
    const A_long bottom = std::clamp(rect.bottom, top, height_);
    World out(right - left, bottom - top, depth_);
    const std::size_t px = std::size_t(PixelBytes(depth_));
    for (A_long y = top; y < bottom; ++y) {
        std::memcpy(out.Row(y - top), Row(y) + std::size_t(left) * px,
                    std::size_t(right - left) * px);
    }
    out.def_.world_flags = def_.world_flags;
    out.SetOrigin(left, top);
    return out;
}

void World::FillBytes(unsigned char byte) {
    const std::size_t rowContent = std::size_t(width_) * std::size_t(PixelBytes(depth_));
    for (A_long y = 0; y < height_; ++y) std::memset(Row(y), byte, rowContent);
}

void World::SetWritable(bool writable) {
    if (writable) {
        def_.world_flags |= PF_WorldFlag_WRITEABLE;
    } else {
        def_.world_flags &= ~PF_WorldFlag_WRITEABLE;
    }
}

void World::SetOrigin(A_long x, A_long y) {
    def_.origin_x = x;
    def_.origin_y = y;
}

bool World::SameContent(const World& other) const {
    if (width_ != other.width_ || height_ != other.height_ || depth_ != other.depth_) return false;
    const std::size_t rowContent = std::size_t(width_) * std::size_t(PixelBytes(depth_));
    for (A_long y = 0; y < height_; ++y) {
        if (std::memcmp(Row(y), other.Row(y), rowContent) != 0) return false;
    }
    return true;
}

}  // namespace lumeshade::host
