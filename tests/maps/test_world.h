// Map worlds for the map tests: owned pixel buffers whose rows are longer
// than the map (the padding holds a sentinel a correct read never returns),
// allocated to the exact byte so that AddressSanitizer catches a read past
// the last row or before the first.
#pragma once

#include <cmath>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

#include "AE_Effect.h"
#include "common/color.h"
#include "common/pixel_traits.h"

namespace lumeshade::test {

// The host's name for each format's area sampler, as its call counter
// knows it.
template <class Pixel>
constexpr const char* kSamplerName = std::is_same_v<Pixel, PF_Pixel8>    ? "area_sample"
                                     : std::is_same_v<Pixel, PF_Pixel16> ? "area_sample16"
                                                                         : "area_sample_float";

// A channel value from a fraction of the format's maximum.
template <class Pixel>
typename PixelTraits<Pixel>::Channel ChannelOf(double fraction) {
    using Traits = PixelTraits<Pixel>;
    if constexpr (Traits::kIsFloat) {
        return static_cast<float>(fraction);
    } else {
        return static_cast<typename Traits::Channel>(std::lround(fraction * Traits::kMaxInt));
    }
}

template <class Pixel>
Pixel Grey(double fraction) {
    const auto v = ChannelOf<Pixel>(fraction);
    return Pixel{ChannelOf<Pixel>(1.0), v, v, v};
}

template <class Pixel>
Pixel Rgb(double r, double g, double b) {
    return Pixel{ChannelOf<Pixel>(1.0), ChannelOf<Pixel>(r), ChannelOf<Pixel>(g),
                 ChannelOf<Pixel>(b)};
}

template <class Pixel>
class TestWorld {
public:
    static constexpr A_long kPadding = 3;

    TestWorld(A_long width, A_long height, Pixel fill = Grey<Pixel>(0.5),
              Pixel sentinel = Grey<Pixel>(1.0))
        : stride_(width + kPadding), pixels_(static_cast<size_t>(stride_) * height, sentinel) {
        std::memset(&world_, 0, sizeof world_);
        world_.data = pixels_.empty() ? nullptr : reinterpret_cast<PF_PixelPtr>(pixels_.data());
        world_.rowbytes = stride_ * static_cast<A_long>(sizeof(Pixel));
        world_.width = width;
        world_.height = height;
        world_.world_flags = std::is_same_v<Pixel, PF_Pixel16> ? PF_WorldFlag_DEEP : 0;
        world_.extent_hint = {0, 0, width, height};
        Fill([&](A_long, A_long) { return fill; });
    }
    TestWorld(const TestWorld&) = delete;
    TestWorld& operator=(const TestWorld&) = delete;

    // Sets every map pixel (not the padding) to f(column, row).
    template <class F>
    void Fill(F f) {
        for (A_long row = 0; row < world_.height; ++row) {
            for (A_long column = 0; column < world_.width; ++column)
                At(column, row) = f(column, row);
        }
    }
    void FillPadding(Pixel p) {
        for (A_long row = 0; row < world_.height; ++row) {
            for (A_long column = world_.width; column < stride_; ++column) At(column, row) = p;
        }
    }

    Pixel& At(A_long column, A_long row) {
        return pixels_[static_cast<size_t>(row) * stride_ + column];
    }
    PF_EffectWorld* World() { return &world_; }

private:
    A_long stride_;
    std::vector<Pixel> pixels_;
    PF_EffectWorld world_;
};

// Pixels that encode their own position, so that the colour a lookup
// produces tells which texel it read. Red and green carry the column and
// row; 8-bit pixels keep the low eight bits there and the high bits in blue.
template <class Pixel>
Pixel PositionPixel(A_long column, A_long row) {
    using Traits = PixelTraits<Pixel>;
    using Channel = typename Traits::Channel;
    if constexpr (std::is_same_v<Pixel, PF_Pixel8>) {
        return {255, Channel(column & 255), Channel(row & 255),
                Channel(((column >> 8) << 4) | (row >> 8))};
    } else {
        return {Channel(Traits::kMax), Channel(column), Channel(row), Channel(0)};
    }
}

// The (column, row) a colour made from a PositionPixel stands for.
template <class Pixel>
std::pair<long, long> PositionOf(const Color& c) {
    using Traits = PixelTraits<Pixel>;
    const long r = std::lround(c.red * Traits::kMax);
    const long g = std::lround(c.green * Traits::kMax);
    if constexpr (std::is_same_v<Pixel, PF_Pixel8>) {
        const long b = std::lround(c.blue * Traits::kMax);
        return {r + ((b >> 4) << 8), g + ((b & 15) << 8)};
    } else {
        return {r, g};
    }
}

template <class Pixel>
void FillWithPositions(TestWorld<Pixel>& world) {
    world.Fill([](A_long column, A_long row) { return PositionPixel<Pixel>(column, row); });
}

}  // namespace lumeshade::test
