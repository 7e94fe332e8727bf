// Writing and reading test worlds in any of the three pixel formats through
// one set of float values (0..1 nominal; 16-bit channels run 0..32768).
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "host/world.h"

namespace lumeshade::testing {

struct Rgba {
    float alpha = 1, red = 0, green = 0, blue = 0;
};

inline float ToUnit(float v, host::Depth depth) {
    switch (depth) {
        case host::Depth::k8:
            return v / 255.0f;
        case host::Depth::k16:
            return v / 32768.0f;
        default:
            return v;
    }
}

// Sets pixel (x, y); integer formats take the nearest channel value.
inline void Put(host::World& w, A_long x, A_long y, const Rgba& c) {
    auto q8 = [](float v) {
        return A_u_char(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255));
    };
    auto q16 = [](float v) {
        return A_u_short(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 32768));
    };
    switch (w.GetDepth()) {
        case host::Depth::k8:
            w.At<PF_Pixel8>(x, y) = {q8(c.alpha), q8(c.red), q8(c.green), q8(c.blue)};
            break;
        case host::Depth::k16:
            w.At<PF_Pixel16>(x, y) = {q16(c.alpha), q16(c.red), q16(c.green), q16(c.blue)};
            break;
        default:
            w.At<PF_PixelFloat>(x, y) = {c.alpha, c.red, c.green, c.blue};
            break;
    }
}

// Pixel (x, y) in the world's own channel units (0..255, 0..32768 or float).
inline Rgba Raw(const host::World& w, A_long x, A_long y) {
    switch (w.GetDepth()) {
        case host::Depth::k8: {
            const PF_Pixel8& p = w.At<PF_Pixel8>(x, y);
            return {float(p.alpha), float(p.red), float(p.green), float(p.blue)};
        }
        case host::Depth::k16: {
            const PF_Pixel16& p = w.At<PF_Pixel16>(x, y);
            return {float(p.alpha), float(p.red), float(p.green), float(p.blue)};
        }
        default: {
            const PF_PixelFloat& p = w.At<PF_PixelFloat>(x, y);
            return {p.alpha, p.red, p.green, p.blue};
        }
    }
}

// Pixel (x, y) normalised to 0..1.
inline Rgba Unit(const host::World& w, A_long x, A_long y) {
    const Rgba r = Raw(w, x, y);
    const host::Depth d = w.GetDepth();
    return {ToUnit(r.alpha, d), ToUnit(r.red, d), ToUnit(r.green, d), ToUnit(r.blue, d)};
}

inline void Fill(host::World& w, const std::function<Rgba(A_long, A_long)>& f) {
    for (A_long y = 0; y < w.Height(); ++y) {
        for (A_long x = 0; x < w.Width(); ++x) Put(w, x, y, f(x, y));
    }
}

// A hemisphere of normals in the colour encoding of a normal map, black
// outside the disc.
inline Rgba SphereNormal(A_long x, A_long y, A_long width, A_long height) {
    const float nx = (x + 0.5f) / width * 2 - 1, ny = (y + 0.5f) / height * 2 - 1;
    const float r2 = nx * nx + ny * ny;
    if (r2 >= 1) return {1, 0, 0, 0};
    const float nz = std::sqrt(1 - r2);
    return {1, nx * 0.5f + 0.5f, -ny * 0.5f + 0.5f, nz * 0.5f + 0.5f};
}

// The bytes of every pixel, row by row, without the row padding.
inline std::vector<unsigned char> Bytes(const host::World& w) {
    const int pixelSize = w.GetDepth() == host::Depth::k8    ? 4
                          : w.GetDepth() == host::Depth::k16 ? 8
                                                             : 16;
    std::vector<unsigned char> bytes;
    const auto* base = static_cast<const unsigned char*>(static_cast<const void*>(w.Def().data));
    for (A_long y = 0; y < w.Height(); ++y) {
        const unsigned char* row = base + size_t(y) * size_t(w.RowBytes());
        bytes.insert(bytes.end(), row, row + size_t(w.Width()) * size_t(pixelSize));
    }
    return bytes;
}

// Whether two channels of a pixel type hold the same value: the same bytes,
// or, in float pixels, two NaNs. When two NaN operands meet, which one an
// operation passes on depends on the order the compiler gave them (it
// reorders the operands of additions and multiplications freely), so a NaN
// may come out with either's sign and payload.
inline bool SameChannel(const unsigned char* a, const unsigned char* b, int channelSize) {
    if (std::memcmp(a, b, size_t(channelSize)) == 0) return true;
    if (channelSize != 4) return false;
    float x, y;
    std::memcpy(&x, a, 4);
    std::memcpy(&y, b, 4);
    return x != x && y != y;
}

// Where two renders of the same size first differ ("" when they do not):
// the pixel and its bytes in each.
inline std::string FirstDifference(const host::World& a, const host::World& b) {
    const std::vector<unsigned char> x = Bytes(a), y = Bytes(b);
    if (x.size() != y.size()) return "sizes differ";
    const int pixelSize = a.GetDepth() == host::Depth::k8    ? 4
                          : a.GetDepth() == host::Depth::k16 ? 8
                                                             : 16;
    const int channelSize = pixelSize / 4;
    for (size_t i = 0; i < x.size(); i += size_t(channelSize)) {
        if (SameChannel(&x[i], &y[i], channelSize)) continue;
        const size_t pixel = i / size_t(pixelSize);
        std::string text = "pixel (" + std::to_string(pixel % size_t(a.Width())) + ", " +
                           std::to_string(pixel / size_t(a.Width())) + "):";
        static const char* const kHex = "0123456789abcdef";
        for (const auto* bytes : {&x, &y}) {
            text += " ";
            for (size_t k = pixel * size_t(pixelSize); k < (pixel + 1) * size_t(pixelSize); ++k) {
                text += kHex[(*bytes)[k] >> 4];
                text += kHex[(*bytes)[k] & 15];
            }
        }
        return text;
    }
    return "";
}

inline uint64_t Checksum(const host::World& w) {
    const int pixelSize = w.GetDepth() == host::Depth::k8    ? 4
                          : w.GetDepth() == host::Depth::k16 ? 8
                                                             : 16;
    // FNV-1a's steps and prime, from a start one digit shorter than its
    // offset basis (14695981039346656037); the pinned sums depend on it.
    uint64_t h = 1469598103934665603ull;
    const auto* base = static_cast<const unsigned char*>(static_cast<const void*>(w.Def().data));
    for (A_long y = 0; y < w.Height(); ++y) {
        const unsigned char* row = base + size_t(y) * size_t(w.RowBytes());
        for (A_long i = 0; i < w.Width() * pixelSize; ++i) {
            h ^= row[i];
            h *= 1099511628211ull;
        }
    }
    return h;
}

}  // namespace lumeshade::testing
