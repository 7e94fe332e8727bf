// Checks of the lane primitives against the scalar functions they mirror,
// written once over an instruction set V and compiled for each in its own
// file (lanes_sse2_test.cpp, lanes_avx2_test.cpp), as the kernels are. Each
// returns "" or the first lane that differs, in words.
//
// Include only after the instruction set's own header; everything here is
// a template over V.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "common/fmath_lanes.h"
#include "maps/map_read_lanes.h"
#include "shading/blend_lanes.h"

namespace lumeshade::lanes_checks {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kHostile[] = {0.0f,     -0.0f,    1.0f,   -1.0f,    2.0f,    0.5f,   1e-40f,
                              -1e-40f,  kInf,     -kInf,  1e30f,    -1e30f,  0.999f, 1.001f,
                              3.0f,     -3.0f,    0.25f,  100.0f,   1e-10f,  -0.5f,
                              std::numeric_limits<float>::quiet_NaN()};

// The same bits; two NaNs count as the same whatever their sign and payload.
// When two NaN operands meet, which one an operation passes on depends on the
// order the compiler gave them, and it reorders the operands of an addition
// or a multiplication freely, in the scalar code as in the lanes.
inline bool Same(float a, float b) {
    return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b) || (a != a && b != b);
}

inline std::string Lane(const char* what, float x, float y, float want, float got) {
    return std::string(what) + "(" + std::to_string(x) + ", " + std::to_string(y) + "): want " +
           std::to_string(want) + " got " + std::to_string(got);
}

// Random floats of every exponent and sign, and the hostile values.
inline float RandomFloat(std::mt19937& random) {
    const uint32_t bits = random();
    switch (bits % 8) {
        case 0:
            return kHostile[(bits >> 8) % std::size(kHostile)];
        case 1:
            return std::bit_cast<float>(uint32_t(random()));  // any pattern, NaN included
        default: {
            // Bases near 0..2 and exponents of moderate size: the usual case.
            const float unit = float(random() >> 8) * (1.0f / 16777216.0f);
            return (bits & 16) ? unit * 2.0f : unit * 40.0f - 20.0f;
        }
    }
}

template <class V>
std::string PowMatchesScalar(int lanes) {
    std::mt19937 random(7);
    alignas(64) float x[V::kLanes], y[V::kLanes], out[V::kLanes];
    for (int n = 0; n < lanes; n += V::kLanes) {
        // Half the vectors share one exponent, as the shading's powers do.
        const float shared = RandomFloat(random);
        for (int i = 0; i < V::kLanes; ++i) {
            x[i] = RandomFloat(random);
            y[i] = (n / V::kLanes) % 2 ? shared : RandomFloat(random);
        }
        Store(out, lanes::PowF<V>(V::Load(x), V::Load(y), V::AllLanes(true)));
        for (int i = 0; i < V::kLanes; ++i) {
            if (!Same(out[i], PowF(x[i], y[i]))) return Lane("PowF", x[i], y[i], PowF(x[i], y[i]), out[i]);
        }
        for (float e : {y[0], 1.0f, kInf, -kInf}) {
            Store(out, lanes::SafePowf<V>(V::Load(x), e, V::AllLanes(true)));
            for (int i = 0; i < V::kLanes; ++i) {
                if (!Same(out[i], SafePowf(x[i], e))) {
                    return Lane("SafePowf", x[i], e, SafePowf(x[i], e), out[i]);
                }
            }
        }
    }
    return "";
}

template <class V>
std::string TileIndexMatchesScalar() {
    const int32_t coordinates[] = {std::numeric_limits<int32_t>::min(), -2147483647, -100000, -10001,
                                   -10000, -9999, -1000, -17, -9, -5, -4, -3, -2, -1, 0, 1, 2, 3,
                                   4, 5, 8, 9, 17, 1000, 100000, 2147483646,
                                   std::numeric_limits<int32_t>::max()};
    const int32_t sizes[] = {-1, 0, 1, 2, 3, 4, 7, 64, 1000, 2147483647};
    alignas(64) int32_t c[V::kLanes], out[V::kLanes];
    for (int32_t mode = 0; mode <= 5; ++mode) {
        for (int32_t n : sizes) {
            for (size_t first = 0; first < std::size(coordinates); first += V::kLanes) {
                for (int i = 0; i < V::kLanes; ++i) {
                    c[i] = coordinates[(first + size_t(i)) % std::size(coordinates)];
                }
                Store(out, lanes::TileIndex<V>(mode, n, V::Load(c)));
                for (int i = 0; i < V::kLanes; ++i) {
                    if (out[i] != TileIndex(mode, n, c[i])) {
                        return "TileIndex(" + std::to_string(mode) + ", " + std::to_string(n) +
                               ", " + std::to_string(c[i]) + "): want " +
                               std::to_string(TileIndex(mode, n, c[i])) + " got " +
                               std::to_string(out[i]);
                    }
                }
            }
        }
    }
    return "";
}

template <class V>
std::string BlendMatchesScalar() {
    std::mt19937 random(11);
    alignas(64) float a[3][V::kLanes], b[3][V::kLanes], out[3][V::kLanes];
    for (int32_t mode = 0; mode <= 31; ++mode) {
        for (float opacity : {0.0f, 0.3f, 1.0f, 10.0f, -0.5f}) {
            for (int maxValue : {1, 255}) {
                for (int round = 0; round < 40; ++round) {
                    for (int k = 0; k < 3; ++k) {
                        for (int i = 0; i < V::kLanes; ++i) {
                            a[k][i] = RandomFloat(random);
                            b[k][i] = RandomFloat(random);
                        }
                    }
                    lanes::ColorLanes<V> base{V::Load(a[0]), V::Load(a[1]), V::Load(a[2])};
                    const lanes::ColorLanes<V> blend{V::Load(b[0]), V::Load(b[1]), V::Load(b[2])};
                    lanes::BlendColor<V>(base, mode, opacity, blend, maxValue > 1,
                                         V::AllLanes(true));
                    Store(out[0], base.red);
                    Store(out[1], base.green);
                    Store(out[2], base.blue);
                    for (int i = 0; i < V::kLanes; ++i) {
                        Color s{a[0][i], a[1][i], a[2][i], 0.0f};
                        BlendColor(s, mode, opacity, Color{b[0][i], b[1][i], b[2][i], 0.0f}, maxValue);
                        const float want[3] = {s.red, s.green, s.blue};
                        for (int k = 0; k < 3; ++k) {
                            if (!Same(out[k][i], want[k])) {
                                return "BlendColor mode " + std::to_string(mode) + " opacity " +
                                       std::to_string(opacity) + " max " + std::to_string(maxValue) +
                                       ": " + Lane("channel", a[k][i], b[k][i], want[k], out[k][i]);
                            }
                        }
                    }
                }
            }
        }
    }
    return "";
}

}  // namespace lumeshade::lanes_checks
