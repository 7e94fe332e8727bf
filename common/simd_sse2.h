// Four pixels per instruction with SSE2, which every 64-bit x86 processor
// has. The types wrap the processor's registers so that the shading in
// lanes (templates over an instruction set, see shading/row_kernel.h) reads
// like the per-pixel arithmetic it mirrors: each operator is the one IEEE
// operation of the same name, lane by lane, and so gives each lane the bits
// the scalar operation gives.
//
//   F  four floats            M  four lane masks (all ones where true)
//   I  four 32-bit integers   D  four doubles, as two halves of two
//   DH two doubles            LH two 64-bit integers (bits of doubles)
#pragma once

#include <emmintrin.h>

#include <cstdint>

namespace lumeshade::simd_sse2 {

struct M {
    __m128 v;
};
struct F {
    __m128 v;
    F() = default;
    F(__m128 x) : v(x) {}
    F(float s) : v(_mm_set1_ps(s)) {}
};
struct I {
    __m128i v;
    I() = default;
    I(__m128i x) : v(x) {}
    I(int32_t s) : v(_mm_set1_epi32(s)) {}
};
struct DH {
    __m128d v;
    DH() = default;
    DH(__m128d x) : v(x) {}
    DH(double s) : v(_mm_set1_pd(s)) {}
};
struct DM {
    __m128d v;
};
struct LH {
    __m128i v;
};
struct D {
    DH lo, hi;  // lanes 0-1 and 2-3
    D() = default;
    D(DH a, DH b) : lo(a), hi(b) {}
    D(double s) : lo(s), hi(s) {}
};

#define LUMESHADE_LANES [[gnu::always_inline]] inline

// ---- floats
LUMESHADE_LANES F operator+(F a, F b) { return _mm_add_ps(a.v, b.v); }
LUMESHADE_LANES F operator-(F a, F b) { return _mm_sub_ps(a.v, b.v); }
LUMESHADE_LANES F operator*(F a, F b) { return _mm_mul_ps(a.v, b.v); }
LUMESHADE_LANES F operator/(F a, F b) { return _mm_div_ps(a.v, b.v); }
LUMESHADE_LANES F operator-(F a) { return _mm_xor_ps(a.v, _mm_set1_ps(-0.0f)); }
LUMESHADE_LANES M operator<(F a, F b) { return {_mm_cmplt_ps(a.v, b.v)}; }
LUMESHADE_LANES M operator<=(F a, F b) { return {_mm_cmple_ps(a.v, b.v)}; }
LUMESHADE_LANES M operator>(F a, F b) { return {_mm_cmpgt_ps(a.v, b.v)}; }
LUMESHADE_LANES M operator>=(F a, F b) { return {_mm_cmpge_ps(a.v, b.v)}; }
LUMESHADE_LANES M operator==(F a, F b) { return {_mm_cmpeq_ps(a.v, b.v)}; }
LUMESHADE_LANES M operator!=(F a, F b) { return {_mm_cmpneq_ps(a.v, b.v)}; }
LUMESHADE_LANES F Sqrt(F a) { return _mm_sqrt_ps(a.v); }
LUMESHADE_LANES F Abs(F a) { return _mm_andnot_ps(_mm_set1_ps(-0.0f), a.v); }
// std::min(a, b) and std::max(a, b): b < a ? b : a and a < b ? b : a,
// which is what the processor's minimum and maximum give with the operands
// in this order (NaN and signed zeros included).
LUMESHADE_LANES F Min(F a, F b) { return _mm_min_ps(b.v, a.v); }
LUMESHADE_LANES F Max(F a, F b) { return _mm_max_ps(b.v, a.v); }

// ---- masks
LUMESHADE_LANES M operator&(M a, M b) { return {_mm_and_ps(a.v, b.v)}; }
LUMESHADE_LANES M operator|(M a, M b) { return {_mm_or_ps(a.v, b.v)}; }
LUMESHADE_LANES M operator~(M a) { return {_mm_xor_ps(a.v, _mm_castsi128_ps(_mm_set1_epi32(-1)))}; }
LUMESHADE_LANES int Bits(M a) { return _mm_movemask_ps(a.v); }
LUMESHADE_LANES bool Any(M a) { return Bits(a) != 0; }
LUMESHADE_LANES M AllLanes(bool on) { return {_mm_castsi128_ps(_mm_set1_epi32(on ? -1 : 0))}; }
LUMESHADE_LANES F Select(M m, F a, F b) {
    return _mm_or_ps(_mm_and_ps(m.v, a.v), _mm_andnot_ps(m.v, b.v));
}
LUMESHADE_LANES I Select(M m, I a, I b) {
    const __m128i k = _mm_castps_si128(m.v);
    return _mm_or_si128(_mm_and_si128(k, a.v), _mm_andnot_si128(k, b.v));
}

// ---- integers
LUMESHADE_LANES I operator+(I a, I b) { return _mm_add_epi32(a.v, b.v); }
LUMESHADE_LANES I operator-(I a, I b) { return _mm_sub_epi32(a.v, b.v); }
LUMESHADE_LANES M operator==(I a, I b) { return {_mm_castsi128_ps(_mm_cmpeq_epi32(a.v, b.v))}; }
LUMESHADE_LANES M operator>(I a, I b) { return {_mm_castsi128_ps(_mm_cmpgt_epi32(a.v, b.v))}; }
LUMESHADE_LANES M operator<(I a, I b) { return b > a; }
LUMESHADE_LANES M operator>=(I a, I b) { return ~(b > a); }
LUMESHADE_LANES M operator<=(I a, I b) { return ~(a > b); }
LUMESHADE_LANES M operator!=(I a, I b) { return ~(a == b); }

// ---- integer bits
LUMESHADE_LANES I operator&(I a, I b) { return _mm_and_si128(a.v, b.v); }
LUMESHADE_LANES I operator|(I a, I b) { return _mm_or_si128(a.v, b.v); }
template <int N>
LUMESHADE_LANES I ShiftRight(I a) {
    return _mm_srli_epi32(a.v, N);
}
template <int N>
LUMESHADE_LANES I ShiftLeft(I a) {
    return _mm_slli_epi32(a.v, N);
}

// ---- pixels: four channels of kLanes consecutive pixels, in memory one
// pixel after another, to a vector per channel and back.
// Four floats a pixel.
LUMESHADE_LANES void LoadChannels(const float* p, F (&c)[4]) {
    __m128 r0 = _mm_loadu_ps(p), r1 = _mm_loadu_ps(p + 4), r2 = _mm_loadu_ps(p + 8),
           r3 = _mm_loadu_ps(p + 12);
    _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
    c[0] = r0;
    c[1] = r1;
    c[2] = r2;
    c[3] = r3;
}
LUMESHADE_LANES void StoreChannels(float* p, const F (&c)[4]) {
    __m128 r0 = c[0].v, r1 = c[1].v, r2 = c[2].v, r3 = c[3].v;
    _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
    _mm_storeu_ps(p, r0);
    _mm_storeu_ps(p + 4, r1);
    _mm_storeu_ps(p + 8, r2);
    _mm_storeu_ps(p + 12, r3);
}
// Four 16-bit channels a pixel.
LUMESHADE_LANES void LoadChannels(const uint16_t* p, I (&c)[4]) {
    const __m128i x0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
    const __m128i t0 = _mm_unpacklo_epi16(x0, x1), t1 = _mm_unpackhi_epi16(x0, x1);
    const __m128i u0 = _mm_unpacklo_epi16(t0, t1), u1 = _mm_unpackhi_epi16(t0, t1);
    const __m128i zero = _mm_setzero_si128();
    c[0] = _mm_unpacklo_epi16(u0, zero);
    c[1] = _mm_unpackhi_epi16(u0, zero);
    c[2] = _mm_unpacklo_epi16(u1, zero);
    c[3] = _mm_unpackhi_epi16(u1, zero);
}
// The channels must lie in 0..65535.
LUMESHADE_LANES void StoreChannels(uint16_t* p, const I (&c)[4]) {
    const __m128i first = _mm_or_si128(c[0].v, _mm_slli_epi32(c[1].v, 16));
    const __m128i second = _mm_or_si128(c[2].v, _mm_slli_epi32(c[3].v, 16));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_unpacklo_epi32(first, second));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 8), _mm_unpackhi_epi32(first, second));
}
// Four 8-bit channels a pixel.
LUMESHADE_LANES void LoadChannels(const uint8_t* p, I (&c)[4]) {
    const I x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const I byte(255);
    c[0] = x & byte;
    c[1] = ShiftRight<8>(x) & byte;
    c[2] = ShiftRight<16>(x) & byte;
    c[3] = ShiftRight<24>(x);
}
// The channels must lie in 0..255.
LUMESHADE_LANES void StoreChannels(uint8_t* p, const I (&c)[4]) {
    const I x = c[0] | ShiftLeft<8>(c[1]) | ShiftLeft<16>(c[2]) | ShiftLeft<24>(c[3]);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), x.v);
}

// ---- conversions
// Truncation toward zero; NaN and values outside the 32-bit range give the
// most negative integer, as TruncToInt does.
LUMESHADE_LANES I TruncToInt(F a) { return _mm_cvttps_epi32(a.v); }
LUMESHADE_LANES F ToFloat(I a) { return _mm_cvtepi32_ps(a.v); }
LUMESHADE_LANES D ToDouble(F a) {
    return {_mm_cvtps_pd(a.v), _mm_cvtps_pd(_mm_movehl_ps(a.v, a.v))};
}
LUMESHADE_LANES D ToDouble(I a) {
    return {_mm_cvtepi32_pd(a.v), _mm_cvtepi32_pd(_mm_shuffle_epi32(a.v, _MM_SHUFFLE(1, 0, 3, 2)))};
}
LUMESHADE_LANES F ToFloat(D a) { return _mm_movelh_ps(_mm_cvtpd_ps(a.lo.v), _mm_cvtpd_ps(a.hi.v)); }
LUMESHADE_LANES I TruncToInt(D a) {
    return _mm_unpacklo_epi64(_mm_cvttpd_epi32(a.lo.v), _mm_cvttpd_epi32(a.hi.v));
}

// The bits of each float as an integer, and back.
LUMESHADE_LANES I AsInt(F a) { return _mm_castps_si128(a.v); }
LUMESHADE_LANES F AsFloat(I a) { return _mm_castsi128_ps(a.v); }

// ---- memory
inline constexpr int kLanes = 4;
LUMESHADE_LANES F Load(const float* p) { return _mm_loadu_ps(p); }
LUMESHADE_LANES void Store(float* p, F a) { _mm_storeu_ps(p, a.v); }
LUMESHADE_LANES I Load(const int32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
LUMESHADE_LANES void Store(int32_t* p, I a) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), a.v); }
// 0, 1, 2, ... in the lanes.
LUMESHADE_LANES I LaneIndex() { return _mm_set_epi32(3, 2, 1, 0); }

// ---- double halves
LUMESHADE_LANES DH operator+(DH a, DH b) { return _mm_add_pd(a.v, b.v); }
LUMESHADE_LANES DH operator-(DH a, DH b) { return _mm_sub_pd(a.v, b.v); }
LUMESHADE_LANES DH operator*(DH a, DH b) { return _mm_mul_pd(a.v, b.v); }
LUMESHADE_LANES DH operator/(DH a, DH b) { return _mm_div_pd(a.v, b.v); }
LUMESHADE_LANES DM operator>(DH a, DH b) { return {_mm_cmpgt_pd(a.v, b.v)}; }
LUMESHADE_LANES DM operator<(DH a, DH b) { return {_mm_cmplt_pd(a.v, b.v)}; }
LUMESHADE_LANES DH Select(DM m, DH a, DH b) {
    return _mm_or_pd(_mm_and_pd(m.v, a.v), _mm_andnot_pd(m.v, b.v));
}
LUMESHADE_LANES LH BitsOf(DH a) { return {_mm_castpd_si128(a.v)}; }
LUMESHADE_LANES DH FromBits(LH a) { return _mm_castsi128_pd(a.v); }
LUMESHADE_LANES LH operator&(LH a, uint64_t k) {
    return {_mm_and_si128(a.v, _mm_set1_epi64x(int64_t(k)))};
}
LUMESHADE_LANES LH operator|(LH a, uint64_t k) {
    return {_mm_or_si128(a.v, _mm_set1_epi64x(int64_t(k)))};
}
LUMESHADE_LANES LH operator+(LH a, uint64_t k) {
    return {_mm_add_epi64(a.v, _mm_set1_epi64x(int64_t(k)))};
}
LUMESHADE_LANES LH operator-(LH a, LH b) { return {_mm_sub_epi64(a.v, b.v)}; }
LUMESHADE_LANES LH operator-(LH a, uint64_t k) {
    return {_mm_sub_epi64(a.v, _mm_set1_epi64x(int64_t(k)))};
}
template <int N>
LUMESHADE_LANES LH ShiftRight(LH a) {
    return {_mm_srli_epi64(a.v, N)};
}
template <int N>
LUMESHADE_LANES LH ShiftLeft(LH a) {
    return {_mm_slli_epi64(a.v, N)};
}
// table[i] for each lane's index i (0..127, masked by the caller).
LUMESHADE_LANES DH Gather(const double* table, LH index) {
    const int64_t i0 = _mm_cvtsi128_si64(index.v);
    const int64_t i1 = _mm_cvtsi128_si64(_mm_unpackhi_epi64(index.v, index.v));
    return _mm_set_pd(table[i1], table[i0]);
}

// ---- doubles in two halves
LUMESHADE_LANES D operator+(D a, D b) { return {a.lo + b.lo, a.hi + b.hi}; }
LUMESHADE_LANES D operator-(D a, D b) { return {a.lo - b.lo, a.hi - b.hi}; }
LUMESHADE_LANES D operator*(D a, D b) { return {a.lo * b.lo, a.hi * b.hi}; }
LUMESHADE_LANES D operator/(D a, D b) { return {a.lo / b.lo, a.hi / b.hi}; }

#undef LUMESHADE_LANES

// The instruction set as the lane templates see it.
struct Sse2 {
    using F = simd_sse2::F;
    using M = simd_sse2::M;
    using I = simd_sse2::I;
    using D = simd_sse2::D;
    using DH = simd_sse2::DH;
    using DM = simd_sse2::DM;
    using LH = simd_sse2::LH;
    static constexpr int kLanes = simd_sse2::kLanes;
    [[gnu::always_inline]] static I LaneIndex() { return simd_sse2::LaneIndex(); }
    [[gnu::always_inline]] static M AllLanes(bool on) { return simd_sse2::AllLanes(on); }
    [[gnu::always_inline]] static F Load(const float* p) { return simd_sse2::Load(p); }
    [[gnu::always_inline]] static I Load(const int32_t* p) { return simd_sse2::Load(p); }
    [[gnu::always_inline]] static M LoadMask(const float* p) { return {_mm_loadu_ps(p)}; }
    [[gnu::always_inline]] static void StoreMask(float* p, M m) { _mm_storeu_ps(p, m.v); }
    static constexpr const char* kName = "sse2";
};

}  // namespace lumeshade::simd_sse2
