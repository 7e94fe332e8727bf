// Single-precision power, sine and cosine computed the same way on every
// platform.
//
// The C libraries the module is built against do not agree on powf, sinf
// and cosf to the last bit (glibc's powf is not correctly rounded; the
// Windows runtime's is computed differently again), and every output bit
// of a frame must be the same on Linux and Windows. These functions use
// nothing but IEEE double arithmetic (+, -, x and exact operations on the
// bits of a double; no library call), so they give the same bits wherever
// they run, and they
// keep enough precision that the float result is the correctly rounded one
// in all but a vanishing share of cases.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace lumeshade {
namespace fmath_detail {

constexpr double kLn2 = 0x1.62e42fefa39efp-1;
constexpr double kInvLn2 = 0x1.71547652b82fep+0;
// Adding and subtracting 1.5 x 2^52 rounds a double below 2^51 in magnitude
// to the nearest integer (ties to even) in the current rounding mode.
constexpr double kRoundingShift = 0x1.8p52;

inline double NearestInteger(double v) { return (v + kRoundingShift) - kRoundingShift; }

inline uint64_t Bits(double v) { return std::bit_cast<uint64_t>(v); }
inline double FromBits(uint64_t b) { return std::bit_cast<double>(b); }

// 2^j/32 for j = 0..31, correctly rounded.
constexpr double kExp2Table[32] = {
    0x1.0000000000000p+0, 0x1.059b0d3158574p+0, 0x1.0b5586cf9890fp+0,
    0x1.11301d0125b51p+0, 0x1.172b83c7d517bp+0, 0x1.1d4873168b9aap+0,
    0x1.2387a6e756238p+0, 0x1.29e9df51fdee1p+0, 0x1.306fe0a31b715p+0,
    0x1.371a7373aa9cbp+0, 0x1.3dea64c123422p+0, 0x1.44e086061892dp+0,
    0x1.4bfdad5362a27p+0, 0x1.5342b569d4f82p+0, 0x1.5ab07dd485429p+0,
    0x1.6247eb03a5585p+0, 0x1.6a09e667f3bcdp+0, 0x1.71f75e8ec5f74p+0,
    0x1.7a11473eb0187p+0, 0x1.82589994cce13p+0, 0x1.8ace5422aa0dbp+0,
    0x1.93737b0cdc5e5p+0, 0x1.9c49182a3f090p+0, 0x1.a5503b23e255dp+0,
    0x1.ae89f995ad3adp+0, 0x1.b7f76f2fb5e47p+0, 0x1.c199bdd85529cp+0,
    0x1.cb720dcef9069p+0, 0x1.d5818dcfba487p+0, 0x1.dfc97337b9b5fp+0,
    0x1.ea4afa2a490dap+0, 0x1.f50765b6e4540p+0,
};

// The mantissa range [1, 2) in 32 intervals: 1/c for a point c of each
// (1 itself for the first, so that a power of two has an exact logarithm),
// and log2(c) of that rounded 1/c.
constexpr double kInverseTable[32] = {
    0x1.0000000000000p+0, 0x1.e9131abf0b767p-1, 0x1.dae6076b981dbp-1,
    0x1.cd85689039b0bp-1, 0x1.c0e070381c0e0p-1, 0x1.b4e81b4e81b4fp-1,
    0x1.a98ef606a63bep-1, 0x1.9ec8e951033d9p-1, 0x1.948b0fcd6e9e0p-1,
    0x1.8acb90f6bf3aap-1, 0x1.8181818181818p-1, 0x1.78a4c8178a4c8p-1,
    0x1.702e05c0b8170p-1, 0x1.6816816816817p-1, 0x1.6058160581606p-1,
    0x1.58ed2308158edp-1, 0x1.51d07eae2f815p-1, 0x1.4afd6a052bf5bp-1,
    0x1.446f86562d9fbp-1, 0x1.3e22cbce4a902p-1, 0x1.3813813813814p-1,
    0x1.323e34a2b10bfp-1, 0x1.2c9fb4d812ca0p-1, 0x1.27350b8812735p-1,
    0x1.21fb78121fb78p-1, 0x1.1cf06ada2811dp-1, 0x1.1811811811812p-1,
    0x1.135c81135c811p-1, 0x1.0ecf56be69c90p-1, 0x1.0a6810a6810a7p-1,
    0x1.0624dd2f1a9fcp-1, 0x1.0204081020408p-1,
};
constexpr double kLog2Table[32] = {
    0x0.0p+0, 0x1.0eb389fa29f9dp-4, 0x1.bc84240adabb9p-4,
    0x1.32ae9e278ae19p-3, 0x1.84c2bd02f03b6p-3, 0x1.d49ee4c32596cp-3,
    0x1.11307dad30b74p-2, 0x1.37124cea4cdedp-2, 0x1.5c01a39fbd689p-2,
    0x1.800a563161c53p-2, 0x1.a33760a7f6051p-2, 0x1.c592fad295b57p-2,
    0x1.e726aa1e754d3p-2, 0x1.03fda8b97997ep-1, 0x1.140c9faa1e543p-1,
    0x1.23c41d42727c8p-1, 0x1.3327c6ab49ca7p-1, 0x1.423b07e986aa8p-1,
    0x1.510118708a8f9p-1, 0x1.5f7cff41e09b0p-1, 0x1.6db196a761949p-1,
    0x1.7ba18f93502e5p-1, 0x1.894f74b06ef8bp-1, 0x1.96bdad2acb5f6p-1,
    0x1.a3ee7f38e181fp-1, 0x1.b0e4126bcc86cp-1, 0x1.bda071cc67e6cp-1,
    0x1.ca258dca93317p-1, 0x1.d6753e032ea0fp-1, 0x1.e29142e0e013fp-1,
    0x1.ee7b471b3a950p-1, 0x1.fa34e1177c234p-1,
};

// log2(x) for a positive, finite, normal double x.
inline double Log2Positive(double x) {
    const uint64_t bits = Bits(x);
    const int exponent = int(bits >> 52) - 1023;
    const uint64_t fraction = bits & 0x000FFFFFFFFFFFFFull;
    const int k = int(fraction >> 47);                     // the interval of the mantissa
    const double m = FromBits(fraction | 0x3FF0000000000000ull);  // in [1, 2)
    const double r = m * kInverseTable[k] - 1.0;           // |r| <= 1/32
    // ln(1 + r) = r - r^2/2 + r^3/3 - ... to r^10.
    double p = -1.0 / 10.0;
    p = p * r + 1.0 / 9.0;
    p = p * r - 1.0 / 8.0;
    p = p * r + 1.0 / 7.0;
    p = p * r - 1.0 / 6.0;
    p = p * r + 1.0 / 5.0;
    p = p * r - 1.0 / 4.0;
    p = p * r + 1.0 / 3.0;
    p = p * r - 1.0 / 2.0;
    const double ln1p = r + (r * r) * p;
    return (double(exponent) + kLog2Table[k]) + ln1p * kInvLn2;
}

// 2^t for t in [-1000, 1000].
inline double Exp2(double t) {
    const double n32 = NearestInteger(t * 32.0);  // exact scaling
    const double r = (t * 32.0 - n32) * (1.0 / 32.0);  // |r| <= 1/64, exact
    const int64_t i = int64_t(n32);
    const int j = int(i & 31);
    const int64_t n = (i - j) / 32;
    const double w = r * kLn2;
    double p = 1.0 / 5040.0;
    p = p * w + 1.0 / 720.0;
    p = p * w + 1.0 / 120.0;
    p = p * w + 1.0 / 24.0;
    p = p * w + 1.0 / 6.0;
    p = p * w + 0.5;
    const double e = 1.0 + (w + (w * w) * p);  // e^w
    return kExp2Table[j] * e * FromBits(uint64_t(n + 1023) << 52);
}

inline bool IsInteger(float y) { return std::trunc(y) == y; }
inline bool IsOddInteger(float y) {
    if (!IsInteger(y) || !(std::fabs(y) < 16777216.0f)) return false;  // larger floats are even
    return (int32_t(y) & 1) != 0;
}

// sin(y) and cos(y) for |y| <= pi / 4, in double.
inline double SinSmall(double y) {
    const double z = y * y;
    double p = -1.0 / 355687428096000.0;  // -1/17!
    p = p * z + 1.0 / 1307674368000.0;
    p = p * z - 1.0 / 6227020800.0;
    p = p * z + 1.0 / 39916800.0;
    p = p * z - 1.0 / 362880.0;
    p = p * z + 1.0 / 5040.0;
    p = p * z - 1.0 / 120.0;
    p = p * z + 1.0 / 6.0;
    return y - y * (z * p);
}
inline double CosSmall(double y) {
    const double z = y * y;
    double p = 1.0 / 6402373705728000.0;  // 1/18!
    p = p * z - 1.0 / 20922789888000.0;
    p = p * z + 1.0 / 87178291200.0;
    p = p * z - 1.0 / 479001600.0;
    p = p * z + 1.0 / 3628800.0;
    p = p * z - 1.0 / 40320.0;
    p = p * z + 1.0 / 720.0;
    p = p * z - 1.0 / 24.0;
    p = p * z + 0.5;
    return 1.0 - z * p;
}

// x = y + quadrant x pi/2 with y in [-pi/4, pi/4] (quadrant modulo 4), for
// |x| up to about 2^30.
inline double Reduce(double x, int* quadrant) {
    constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
    constexpr double kPiOver2Hi = 0x1.921fb54400000p+0;  // 33 bits of pi/2
    constexpr double kPiOver2Lo = 0x1.0b4611a626331p-34;  // the rest
    const double k = NearestInteger(x * kTwoOverPi);
    *quadrant = int(int64_t(k) & 3);
    return (x - k * kPiOver2Hi) - k * kPiOver2Lo;
}

}  // namespace fmath_detail

// powf with the C library's results for every special operand (zeros,
// infinities, NaN, negative bases under integer exponents).
inline float PowF(float x, float y) {
    using namespace fmath_detail;
    if (y == 0.0f || x == 1.0f) return 1.0f;
    if (std::isnan(x) || std::isnan(y)) return std::numeric_limits<float>::quiet_NaN();
    if (y == 1.0f) return x;
    if (y == 2.0f) return float(double(x) * double(x));  // exact product, one rounding
    const float ax = std::fabs(x);
    if (std::isinf(y)) {
        if (ax == 1.0f) return 1.0f;
        return (ax < 1.0f) == (y > 0.0f) ? 0.0f : std::numeric_limits<float>::infinity();
    }
    const bool odd = IsOddInteger(y);
    const bool negative = std::signbit(x);
    if (x < 0.0f && !std::isinf(x) && !IsInteger(y)) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    float magnitude;
    if (ax == 0.0f) {
        magnitude = y > 0.0f ? 0.0f : std::numeric_limits<float>::infinity();
    } else if (std::isinf(ax)) {
        magnitude = y > 0.0f ? std::numeric_limits<float>::infinity() : 0.0f;
    } else {
        const double t = double(y) * Log2Positive(double(ax));
        if (t > 130.0) {
            magnitude = std::numeric_limits<float>::infinity();
        } else if (t < -160.0) {
            magnitude = 0.0f;
        } else {
            magnitude = float(Exp2(t));
        }
    }
    return negative && odd ? -magnitude : magnitude;
}

inline float SinF(float x) {
    using namespace fmath_detail;
    if (!std::isfinite(x)) return std::numeric_limits<float>::quiet_NaN();
    if (x == 0.0f) return x;  // keeps the sign of zero
    int q = 0;
    const double y = Reduce(double(x), &q);
    const double v = (q & 1) ? CosSmall(y) : SinSmall(y);
    return float(q & 2 ? -v : v);
}

inline float CosF(float x) {
    using namespace fmath_detail;
    if (!std::isfinite(x)) return std::numeric_limits<float>::quiet_NaN();
    int q = 0;
    const double y = Reduce(double(x), &q);
    const double v = (q & 1) ? SinSmall(y) : CosSmall(y);
    return float((q == 1 || q == 2) ? -v : v);
}

}  // namespace lumeshade
