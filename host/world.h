/// Layer worlds the emulated host owns: the input, the output, footage and
/// the worlds it hands out at check-out or through the World suite.
///
/// Every row is padded: `rowbytes` is larger than width x pixel size, and the
/// padding is filled with a pattern and, in a build with AddressSanitizer,
/// poisoned, so that a module which steps from row to row by width instead of
/// by row bytes reads garbage or is stopped at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <type_traits>

#include "AE_Effect.h"
#include "AE_EffectPixelFormat.h"

namespace lumeshade::host {

/// The three pixel formats: 8-bit ARGB32 (`PF_Pixel8`), 16-bit ARGB64
/// (`PF_Pixel16`, channels 0..32768) and float ARGB128 (`PF_PixelFloat`,
/// 1.0 is white, not limited).
enum class Depth { k8, k16, kFloat };

PF_PixelFormat FormatOf(Depth depth);
/// The depth of a pixel format, or nothing for any other format.
std::optional<Depth> DepthOf(PF_PixelFormat format);
/// Bytes per pixel: 4, 8 or 16.
A_long PixelBytes(Depth depth);
/// Bits per channel as the pre-render input states it: 8, 16 or 32.
short BitsPerChannel(Depth depth);

template <class Pixel>
struct DepthOfPixel;
template <>
struct DepthOfPixel<PF_Pixel8> {
    static constexpr Depth kValue = Depth::k8;
};
template <>
struct DepthOfPixel<PF_Pixel16> {
    static constexpr Depth kValue = Depth::k16;
};
template <>
struct DepthOfPixel<PF_PixelFloat> {
    static constexpr Depth kValue = Depth::kFloat;
};

class World {
public:
    /// Bytes added to every row beyond its pixels, rounded up to 16 bytes so
    /// that every row starts as aligned as the buffer.
    static constexpr A_long kRowPadding = 48;
    /// The byte pattern written into the padding.
    static constexpr unsigned char kPaddingByte = 0xCD;

    /// A world of `width` x `height` pixels (each 0..30000) with every pixel
    /// zero. Throws std::invalid_argument for a size out of range.
    World(A_long width, A_long height, Depth depth);
    World(const World& other);
    World& operator=(const World& other);
    World(World&& other) noexcept;
    World& operator=(World&& other) noexcept;
    ~World();

    A_long Width() const { return width_; }
    A_long Height() const { return height_; }
    Depth GetDepth() const { return depth_; }
    A_long RowBytes() const { return rowBytes_; }

    /// The world as the host hands it to a module: data, rowbytes, width,
    /// height, extent_hint (the whole world), world_flags (DEEP for 16-bit,
    /// WRITEABLE), pix_aspect_ratio 1/1. The record lives as long as the
    /// world; a module may write its pixels.
    PF_EffectWorld& Def() { return def_; }
    const PF_EffectWorld& Def() const { return def_; }

    /// Pixel (x, y); throws std::out_of_range outside the world and
    /// std::logic_error when `Pixel` is not this world's pixel type.
    template <class Pixel>
    Pixel& At(A_long x, A_long y) {
        return *reinterpret_cast<Pixel*>(CheckedPixel(x, y, DepthOfPixel<Pixel>::kValue));
    }
    template <class Pixel>
    const Pixel& At(A_long x, A_long y) const {
        return *reinterpret_cast<const Pixel*>(
            const_cast<World*>(this)->CheckedPixel(x, y, DepthOfPixel<Pixel>::kValue));
    }

    /// First byte of row `y` (0 <= y < height); no check.
    unsigned char* Row(A_long y) { return buffer_.get() + std::size_t(y) * std::size_t(rowBytes_); }
    const unsigned char* Row(A_long y) const {
        return buffer_.get() + std::size_t(y) * std::size_t(rowBytes_);
    }

    /// The same picture in another format. 8 <-> 16 bits use the host's
    /// integer scaling (v x 32768 / 255, rounded); integers become floats
    /// divided by their maximum; floats become integers clamped to 0..1 and
    /// rounded. Float results are never clamped.
    World ConvertedTo(Depth depth) const;
    /// The picture scaled down by an integer factor: each pixel is the mean
    /// of a factor x factor block (blocks at the right and bottom edges are
    /// cut short), so the size is the full size divided by the factor,
    /// rounded up.
    World Downsampled(A_long factor) const;
    /// The part of the picture inside `rect` (clipped to the world), with
    /// origin_x/origin_y set to the rectangle's top-left corner.
    World Cropped(const PF_LRect& rect) const;

    /// Writes `byte` into every pixel byte (not into the padding).
    void FillBytes(unsigned char byte);
    /// Marks the world writable for the module or not (WRITEABLE flag).
    void SetWritable(bool writable);
    /// Where the buffer's first pixel sits in layer coordinates.
    void SetOrigin(A_long x, A_long y);

    /// True when both worlds have the same size, format and pixel bytes
    /// (padding is not compared).
    bool SameContent(const World& other) const;

private:
    unsigned char* CheckedPixel(A_long x, A_long y, Depth pixelDepth);
    // Makes the buffer and pads the rows; the pixels are zero, or left as
    // they come when the caller writes every one of them.
    void Allocate(bool zeroPixels = true);
    void Release();
    void UpdateDef();

    A_long width_ = 0;
    A_long height_ = 0;
    Depth depth_ = Depth::k8;
    A_long rowBytes_ = 0;
    std::unique_ptr<unsigned char[]> buffer_;
    PF_EffectWorld def_{};
};

}  // namespace lumeshade::host
