// PowF, SafePowf and SquareF of common/fmath.h and common/safe_pow.h for
// every lane of a vector: the same tables, the same double operations in the
// same order, so that each lane holds the bits the scalar function returns
// for it.
//
// A lane whose operands lie off the usual path (a base that is negative,
// negative zero, infinite or not a number; an exponent that is infinite or
// not a number) is handed to the scalar function itself: such operands are
// rare, and their special rules are then exactly the scalar ones.
//
// Every function is a template over an instruction set V (simd_sse2::Sse2,
// simd_avx2::Avx2) and so is compiled once for each, in that set's own
// file; nothing here may be an ordinary inline function.
#pragma once

#include <cstdint>
#include <limits>

#include "common/fmath.h"
#include "common/safe_pow.h"

namespace lumeshade::lanes {

// log2(x) for positive, finite, normal doubles: fmath_detail::Log2Positive.
template <class V>
inline typename V::DH Log2Positive(typename V::DH x) {
    using DH = typename V::DH;
    using namespace fmath_detail;
    const auto bits = BitsOf(x);
    // The biased exponent placed in the mantissa of 2^52 is that number
    // plus 2^52, exactly.
    const DH biased = FromBits(ShiftRight<52>(bits) | 0x4330000000000000ull) - DH(0x1p52);
    const DH exponent = biased - DH(1023.0);
    const auto fraction = bits & 0x000FFFFFFFFFFFFFull;
    const auto k = ShiftRight<45>(fraction);
    const DH m = FromBits(fraction | 0x3FF0000000000000ull);
    const DH r = m * Gather(kInverseTable, k) - DH(1.0);
    const DH r2 = r * r;
    const DH a23 = DH(-1.0 / 2.0) + r * DH(1.0 / 3.0);
    const DH a45 = DH(-1.0 / 4.0) + r * DH(1.0 / 5.0);
    const DH a67 = DH(-1.0 / 6.0) + r * DH(1.0 / 7.0);
    const DH ln1p = r + r2 * (a23 + r2 * (a45 + r2 * a67));
    return (exponent + Gather(kLog2Table, k)) + ln1p * DH(kInvLn2);
}

// 2^t for t in [-1000, 1000]: fmath_detail::Exp2. Other lanes give
// meaningless values but read only inside the table.
template <class V>
inline typename V::DH Exp2(typename V::DH t) {
    using DH = typename V::DH;
    using namespace fmath_detail;
    const DH t128 = t * DH(128.0);
    const DH shifted = t128 + DH(kRoundingShift);
    const DH n128 = shifted - DH(kRoundingShift);
    const DH r = (t128 - n128) * DH(1.0 / 128.0);
    // The integer n128 is the mantissa of `shifted` less that of the shift.
    const auto i = BitsOf(shifted) - BitsOf(DH(kRoundingShift));
    const auto j = i & 127u;
    // 2^n for i = 128 n + j: (i - j) / 128 placed in the exponent field.
    const DH scale = FromBits(ShiftLeft<45>(i - j) + (uint64_t(1023) << 52));
    const DH w = r * DH(kLn2);
    const DH w2 = w * w;
    const DH p =
        w + w2 * ((DH(0.5) + w * DH(1.0 / 6.0)) + w2 * (DH(1.0 / 24.0) + w * DH(1.0 / 120.0)));
    const DH table = Gather(kExp2Table, j);
    return (table + table * p) * scale;
}

// fmath_detail::PositivePow on one half: x^y for a positive finite x.
template <class V>
inline typename V::DH PositivePowHalf(typename V::DH x, typename V::DH y) {
    using DH = typename V::DH;
    const DH t = y * Log2Positive<V>(x);
    return Select(t > DH(130.0), DH(std::numeric_limits<double>::infinity()),
                  Select(t < DH(-160.0), DH(0.0), Exp2<V>(t)));
}

// The lanes of `scalar(x, y)` where `lanes` is set, `into` elsewhere.
template <class V, class Scalar>
[[gnu::noinline]] typename V::F ScalarLanes(typename V::F x, typename V::F y, typename V::M lanes,
                                            typename V::F into, Scalar scalar) {
    alignas(64) float xs[V::kLanes], ys[V::kLanes], rs[V::kLanes];
    Store(xs, x);
    Store(ys, y);
    Store(rs, into);
    for (int bits = Bits(lanes); bits != 0; bits &= bits - 1) {
        const int i = __builtin_ctz(unsigned(bits));
        rs[i] = scalar(xs[i], ys[i]);
    }
    return V::Load(rs);
}

// SquareF: the exact product rounded once (which is the float product),
// and the one quiet NaN for NaN.
template <class V>
inline typename V::F SquareF(typename V::F x) {
    using F = typename V::F;
    return Select(x != x, F(std::numeric_limits<float>::quiet_NaN()), x * x);
}

template <class V>
inline typename V::F NotANumberToZero(typename V::F v) {
    using F = typename V::F;
    return Select(v != v, F(0.0f), v);
}

// PowF in every lane that `active` holds (the others are left meaningless).
template <class V>
inline typename V::F PowF(typename V::F x, typename V::F y, typename V::M active) {
    using F = typename V::F;
    using I = typename V::I;
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const auto finiteY = Abs(y) < F(kInf);
    const auto usual = (x > F(0.0f)) & (x < F(kInf)) & finiteY;
    // Positive zero under a finite exponent: 1 at exponent 0, infinity
    // below it, zero above (where 1 and 2 give the base or its square, 0).
    const auto positiveZero = (AsInt(x) == I(0)) & finiteY;

    const typename V::D xd = ToDouble(x), yd = ToDouble(y);
    F p =
        ToFloat(typename V::D(PositivePowHalf<V>(xd.lo, yd.lo), PositivePowHalf<V>(xd.hi, yd.hi)));
    p = Select(y == F(2.0f), x * x, p);
    p = Select(y == F(1.0f), x, p);
    p = Select((y == F(0.0f)) | (x == F(1.0f)), F(1.0f), p);
    const F zero = Select(y == F(0.0f), F(1.0f), Select(y < F(0.0f), F(kInf), F(0.0f)));
    p = Select(positiveZero, zero, p);

    const auto others = active & ~(usual | positiveZero);
    if (Any(others)) {
        p = ScalarLanes<V>(x, y, others, p, [](float a, float b) { return lumeshade::PowF(a, b); });
    }
    return p;
}

// SafePowf with an exponent the same in every lane.
template <class V>
inline typename V::F SafePowf(typename V::F base, float exponent, typename V::M active) {
    using F = typename V::F;
    F p;
    if (exponent == 1.0f) {
        p = base;
    } else if (exponent == std::numeric_limits<float>::infinity()) {
        p = Select(Abs(base) >= F(1.0f), F(1.0f), F(0.0f));
    } else if (exponent == -std::numeric_limits<float>::infinity()) {
        p = Select(Abs(base) > F(1.0f), F(0.0f), F(1.0f));
    } else {
        p = PowF<V>(base, F(exponent), active);
    }
    return NotANumberToZero<V>(p);
}

}  // namespace lumeshade::lanes
