// Eight pixels per instruction with AVX2. The same types and operations as
// common/simd_sse2.h, eight lanes wide; see there.
//
// Include this header only between the instruction-set pragmas of the one
// file that compiles the AVX2 row kernel (shading/row_kernel_avx2.cpp), so
// that nothing compiled for AVX2 can be shared with code that runs on a
// processor without it.
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace lumeshade::simd_avx2 {

struct M {
    __m256 v;
};
struct F {
    __m256 v;
    F() = default;
    F(__m256 x) : v(x) {}
    F(float s) : v(_mm256_set1_ps(s)) {}
};
struct I {
    __m256i v;
    I() = default;
    I(__m256i x) : v(x) {}
    I(int32_t s) : v(_mm256_set1_epi32(s)) {}
};
struct DH {
    __m256d v;
    DH() = default;
    DH(__m256d x) : v(x) {}
    DH(double s) : v(_mm256_set1_pd(s)) {}
};
struct DM {
    __m256d v;
};
struct LH {
    __m256i v;
};
struct D {
    DH lo, hi;  // lanes 0-3 and 4-7
    D() = default;
    D(DH a, DH b) : lo(a), hi(b) {}
    D(double s) : lo(s), hi(s) {}
};

#define LUMESHADE_LANES [[gnu::always_inline]] inline

// ---- floats
LUMESHADE_LANES F operator+(F a, F b) { return _mm256_add_ps(a.v, b.v); }
LUMESHADE_LANES F operator-(F a, F b) { return _mm256_sub_ps(a.v, b.v); }
LUMESHADE_LANES F operator*(F a, F b) { return _mm256_mul_ps(a.v, b.v); }
LUMESHADE_LANES F operator/(F a, F b) { return _mm256_div_ps(a.v, b.v); }
LUMESHADE_LANES F operator-(F a) { return _mm256_xor_ps(a.v, _mm256_set1_ps(-0.0f)); }
LUMESHADE_LANES M operator<(F a, F b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_LT_OQ)}; }
LUMESHADE_LANES M operator<=(F a, F b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_LE_OQ)}; }
LUMESHADE_LANES M operator>(F a, F b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_GT_OQ)}; }
LUMESHADE_LANES M operator>=(F a, F b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_GE_OQ)}; }
LUMESHADE_LANES M operator==(F a, F b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_EQ_OQ)}; }
LUMESHADE_LANES M operator!=(F a, F b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_NEQ_UQ)}; }
LUMESHADE_LANES F Sqrt(F a) { return _mm256_sqrt_ps(a.v); }
LUMESHADE_LANES F Abs(F a) { return _mm256_andnot_ps(_mm256_set1_ps(-0.0f), a.v); }
LUMESHADE_LANES F Min(F a, F b) { return _mm256_min_ps(b.v, a.v); }
LUMESHADE_LANES F Max(F a, F b) { return _mm256_max_ps(b.v, a.v); }

// ---- masks
LUMESHADE_LANES M operator&(M a, M b) { return {_mm256_and_ps(a.v, b.v)}; }
LUMESHADE_LANES M operator|(M a, M b) { return {_mm256_or_ps(a.v, b.v)}; }
LUMESHADE_LANES M operator~(M a) {
    return {_mm256_xor_ps(a.v, _mm256_castsi256_ps(_mm256_set1_epi32(-1)))};
}
LUMESHADE_LANES int Bits(M a) { return _mm256_movemask_ps(a.v); }
LUMESHADE_LANES bool Any(M a) { return Bits(a) != 0; }
LUMESHADE_LANES M AllLanes(bool on) { return {_mm256_castsi256_ps(_mm256_set1_epi32(on ? -1 : 0))}; }
LUMESHADE_LANES F Select(M m, F a, F b) { return _mm256_blendv_ps(b.v, a.v, m.v); }
LUMESHADE_LANES I Select(M m, I a, I b) {
    return _mm256_castps_si256(
        _mm256_blendv_ps(_mm256_castsi256_ps(b.v), _mm256_castsi256_ps(a.v), m.v));
}

// ---- integers
LUMESHADE_LANES I operator+(I a, I b) { return _mm256_add_epi32(a.v, b.v); }
LUMESHADE_LANES I operator-(I a, I b) { return _mm256_sub_epi32(a.v, b.v); }
LUMESHADE_LANES M operator==(I a, I b) {
    return {_mm256_castsi256_ps(_mm256_cmpeq_epi32(a.v, b.v))};
}
LUMESHADE_LANES M operator>(I a, I b) {
    return {_mm256_castsi256_ps(_mm256_cmpgt_epi32(a.v, b.v))};
}
LUMESHADE_LANES M operator<(I a, I b) { return b > a; }
LUMESHADE_LANES M operator>=(I a, I b) { return ~(b > a); }
LUMESHADE_LANES M operator<=(I a, I b) { return ~(a > b); }
LUMESHADE_LANES M operator!=(I a, I b) { return ~(a == b); }

// ---- integer bits
LUMESHADE_LANES I operator&(I a, I b) { return _mm256_and_si256(a.v, b.v); }
LUMESHADE_LANES I operator|(I a, I b) { return _mm256_or_si256(a.v, b.v); }
template <int N>
LUMESHADE_LANES I ShiftRight(I a) {
    return _mm256_srli_epi32(a.v, N);
}
template <int N>
LUMESHADE_LANES I ShiftLeft(I a) {
    return _mm256_slli_epi32(a.v, N);
}

// ---- pixels: see common/simd_sse2.h. Pixels 0-3 go to the low halves of
// the registers and 4-7 to the high halves, so that the operations within
// each half leave the lanes in pixel order.
LUMESHADE_LANES __m256 Halves(const float* low, const float* high) {
    return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(low)), _mm_loadu_ps(high), 1);
}
LUMESHADE_LANES void LoadChannels(const float* p, F (&c)[4]) {
    __m256 r0 = Halves(p, p + 16), r1 = Halves(p + 4, p + 20), r2 = Halves(p + 8, p + 24),
           r3 = Halves(p + 12, p + 28);
    const __m256 t0 = _mm256_unpacklo_ps(r0, r1), t1 = _mm256_unpacklo_ps(r2, r3);
    const __m256 t2 = _mm256_unpackhi_ps(r0, r1), t3 = _mm256_unpackhi_ps(r2, r3);
    c[0] = _mm256_shuffle_ps(t0, t1, _MM_SHUFFLE(1, 0, 1, 0));
    c[1] = _mm256_shuffle_ps(t0, t1, _MM_SHUFFLE(3, 2, 3, 2));
    c[2] = _mm256_shuffle_ps(t2, t3, _MM_SHUFFLE(1, 0, 1, 0));
    c[3] = _mm256_shuffle_ps(t2, t3, _MM_SHUFFLE(3, 2, 3, 2));
}
LUMESHADE_LANES void StoreChannels(float* p, const F (&c)[4]) {
    const __m256 t0 = _mm256_unpacklo_ps(c[0].v, c[1].v), t1 = _mm256_unpacklo_ps(c[2].v, c[3].v);
    const __m256 t2 = _mm256_unpackhi_ps(c[0].v, c[1].v), t3 = _mm256_unpackhi_ps(c[2].v, c[3].v);
    const __m256 r0 = _mm256_shuffle_ps(t0, t1, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 r1 = _mm256_shuffle_ps(t0, t1, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 r2 = _mm256_shuffle_ps(t2, t3, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 r3 = _mm256_shuffle_ps(t2, t3, _MM_SHUFFLE(3, 2, 3, 2));
    _mm_storeu_ps(p, _mm256_castps256_ps128(r0));
    _mm_storeu_ps(p + 4, _mm256_castps256_ps128(r1));
    _mm_storeu_ps(p + 8, _mm256_castps256_ps128(r2));
    _mm_storeu_ps(p + 12, _mm256_castps256_ps128(r3));
    _mm_storeu_ps(p + 16, _mm256_extractf128_ps(r0, 1));
    _mm_storeu_ps(p + 20, _mm256_extractf128_ps(r1, 1));
    _mm_storeu_ps(p + 24, _mm256_extractf128_ps(r2, 1));
    _mm_storeu_ps(p + 28, _mm256_extractf128_ps(r3, 1));
}
LUMESHADE_LANES __m256i Halves(const uint16_t* low, const uint16_t* high) {
    return _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(high)), 1);
}
LUMESHADE_LANES void LoadChannels(const uint16_t* p, I (&c)[4]) {
    const __m256i x0 = Halves(p, p + 16), x1 = Halves(p + 8, p + 24);
    const __m256i t0 = _mm256_unpacklo_epi16(x0, x1), t1 = _mm256_unpackhi_epi16(x0, x1);
    const __m256i u0 = _mm256_unpacklo_epi16(t0, t1), u1 = _mm256_unpackhi_epi16(t0, t1);
    const __m256i zero = _mm256_setzero_si256();
    c[0] = _mm256_unpacklo_epi16(u0, zero);
    c[1] = _mm256_unpackhi_epi16(u0, zero);
    c[2] = _mm256_unpacklo_epi16(u1, zero);
    c[3] = _mm256_unpackhi_epi16(u1, zero);
}
LUMESHADE_LANES void StoreChannels(uint16_t* p, const I (&c)[4]) {
    const __m256i first = _mm256_or_si256(c[0].v, _mm256_slli_epi32(c[1].v, 16));
    const __m256i second = _mm256_or_si256(c[2].v, _mm256_slli_epi32(c[3].v, 16));
    const __m256i low = _mm256_unpacklo_epi32(first, second);   // pixels 0, 1 | 4, 5
    const __m256i high = _mm256_unpackhi_epi32(first, second);  // pixels 2, 3 | 6, 7
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(low));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 8), _mm256_castsi256_si128(high));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), _mm256_extracti128_si256(low, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 24), _mm256_extracti128_si256(high, 1));
}
LUMESHADE_LANES void LoadChannels(const uint8_t* p, I (&c)[4]) {
    const I x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const I byte(255);
    c[0] = x & byte;
    c[1] = ShiftRight<8>(x) & byte;
    c[2] = ShiftRight<16>(x) & byte;
    c[3] = ShiftRight<24>(x);
}
LUMESHADE_LANES void StoreChannels(uint8_t* p, const I (&c)[4]) {
    const I x = c[0] | ShiftLeft<8>(c[1]) | ShiftLeft<16>(c[2]) | ShiftLeft<24>(c[3]);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), x.v);
}

// ---- conversions
LUMESHADE_LANES I TruncToInt(F a) { return _mm256_cvttps_epi32(a.v); }
LUMESHADE_LANES F ToFloat(I a) { return _mm256_cvtepi32_ps(a.v); }
LUMESHADE_LANES D ToDouble(F a) {
    return {_mm256_cvtps_pd(_mm256_castps256_ps128(a.v)),
            _mm256_cvtps_pd(_mm256_extractf128_ps(a.v, 1))};
}
LUMESHADE_LANES D ToDouble(I a) {
    return {_mm256_cvtepi32_pd(_mm256_castsi256_si128(a.v)),
            _mm256_cvtepi32_pd(_mm256_extracti128_si256(a.v, 1))};
}
LUMESHADE_LANES F ToFloat(D a) {
    return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm256_cvtpd_ps(a.lo.v)),
                                _mm256_cvtpd_ps(a.hi.v), 1);
}
LUMESHADE_LANES I TruncToInt(D a) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm256_cvttpd_epi32(a.lo.v)),
                                   _mm256_cvttpd_epi32(a.hi.v), 1);
}

// The bits of each float as an integer, and back.
LUMESHADE_LANES I AsInt(F a) { return _mm256_castps_si256(a.v); }
LUMESHADE_LANES F AsFloat(I a) { return _mm256_castsi256_ps(a.v); }

// ---- memory
inline constexpr int kLanes = 8;
LUMESHADE_LANES F Load(const float* p) { return _mm256_loadu_ps(p); }
LUMESHADE_LANES void Store(float* p, F a) { _mm256_storeu_ps(p, a.v); }
LUMESHADE_LANES I Load(const int32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
LUMESHADE_LANES void Store(int32_t* p, I a) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), a.v);
}
LUMESHADE_LANES I LaneIndex() { return _mm256_set_epi32(7, 6, 5, 4, 3, 2, 1, 0); }

// ---- double halves
LUMESHADE_LANES DH operator+(DH a, DH b) { return _mm256_add_pd(a.v, b.v); }
LUMESHADE_LANES DH operator-(DH a, DH b) { return _mm256_sub_pd(a.v, b.v); }
LUMESHADE_LANES DH operator*(DH a, DH b) { return _mm256_mul_pd(a.v, b.v); }
LUMESHADE_LANES DH operator/(DH a, DH b) { return _mm256_div_pd(a.v, b.v); }
LUMESHADE_LANES DM operator>(DH a, DH b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_GT_OQ)}; }
LUMESHADE_LANES DM operator<(DH a, DH b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LT_OQ)}; }
LUMESHADE_LANES DH Select(DM m, DH a, DH b) { return _mm256_blendv_pd(b.v, a.v, m.v); }
LUMESHADE_LANES LH BitsOf(DH a) { return {_mm256_castpd_si256(a.v)}; }
LUMESHADE_LANES DH FromBits(LH a) { return _mm256_castsi256_pd(a.v); }
LUMESHADE_LANES LH operator&(LH a, uint64_t k) {
    return {_mm256_and_si256(a.v, _mm256_set1_epi64x(int64_t(k)))};
}
LUMESHADE_LANES LH operator|(LH a, uint64_t k) {
    return {_mm256_or_si256(a.v, _mm256_set1_epi64x(int64_t(k)))};
}
LUMESHADE_LANES LH operator+(LH a, uint64_t k) {
    return {_mm256_add_epi64(a.v, _mm256_set1_epi64x(int64_t(k)))};
}
LUMESHADE_LANES LH operator-(LH a, LH b) { return {_mm256_sub_epi64(a.v, b.v)}; }
LUMESHADE_LANES LH operator-(LH a, uint64_t k) {
    return {_mm256_sub_epi64(a.v, _mm256_set1_epi64x(int64_t(k)))};
}
template <int N>
LUMESHADE_LANES LH ShiftRight(LH a) {
    return {_mm256_srli_epi64(a.v, N)};
}
template <int N>
LUMESHADE_LANES LH ShiftLeft(LH a) {
    return {_mm256_slli_epi64(a.v, N)};
}
LUMESHADE_LANES DH Gather(const double* table, LH index) {
    return _mm256_i64gather_pd(table, index.v, 8);
}

// ---- doubles in two halves
LUMESHADE_LANES D operator+(D a, D b) { return {a.lo + b.lo, a.hi + b.hi}; }
LUMESHADE_LANES D operator-(D a, D b) { return {a.lo - b.lo, a.hi - b.hi}; }
LUMESHADE_LANES D operator*(D a, D b) { return {a.lo * b.lo, a.hi * b.hi}; }
LUMESHADE_LANES D operator/(D a, D b) { return {a.lo / b.lo, a.hi / b.hi}; }

#undef LUMESHADE_LANES

struct Avx2 {
    using F = simd_avx2::F;
    using M = simd_avx2::M;
    using I = simd_avx2::I;
    using D = simd_avx2::D;
    using DH = simd_avx2::DH;
    using DM = simd_avx2::DM;
    using LH = simd_avx2::LH;
    static constexpr int kLanes = simd_avx2::kLanes;
    [[gnu::always_inline]] static I LaneIndex() { return simd_avx2::LaneIndex(); }
    [[gnu::always_inline]] static M AllLanes(bool on) { return simd_avx2::AllLanes(on); }
    [[gnu::always_inline]] static F Load(const float* p) { return simd_avx2::Load(p); }
    [[gnu::always_inline]] static I Load(const int32_t* p) { return simd_avx2::Load(p); }
    [[gnu::always_inline]] static M LoadMask(const float* p) { return {_mm256_loadu_ps(p)}; }
    [[gnu::always_inline]] static void StoreMask(float* p, M m) { _mm256_storeu_ps(p, m.v); }
    static constexpr const char* kName = "avx2";
};

}  // namespace lumeshade::simd_avx2
