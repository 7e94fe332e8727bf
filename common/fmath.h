// Single-precision power, sine and cosine computed the same way on every
// platform.
//
// The C libraries the module is built against do not agree on powf, sinf
// and cosf to the last bit (glibc's powf is not correctly rounded; the
// Windows runtime's is computed differently again), and every output bit
// of a frame must be the same on Linux and Windows. These functions use
// nothing but IEEE double arithmetic (+, -, x and exact operations on the
// bits of a double; no library call), so they give the same bits wherever
// they run, and they keep enough precision that the float result is the
// correctly rounded one in all but a vanishing share of cases.
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

// The mantissa range [1, 2) in 128 intervals: 1/c rounded for a point c of
// each (its middle; 1 itself for the first, so that a power of two has an
// exact logarithm), log2 of the inverse of that rounded 1/c, and 2^(j/128),
// all correctly rounded.
// clang-format off
constexpr double kInverseTable[128] = {
    0x1.0000000000000p+0, 0x1.fa11caa01fa12p-1, 0x1.f6310aca0dbb5p-1, 0x1.f25f644230ab5p-1,
    0x1.ee9c7f8458e02p-1, 0x1.eae807aba01ebp-1, 0x1.e741aa59750e4p-1, 0x1.e3a9179dc1a73p-1,
    0x1.e01e01e01e01ep-1, 0x1.dca01dca01dcap-1, 0x1.d92f2231e7f8ap-1, 0x1.d5cac807572b2p-1,
    0x1.d272ca3fc5b1ap-1, 0x1.cf26e5c44bfc6p-1, 0x1.cbe6d9601cbe7p-1, 0x1.c8b265afb8a42p-1,
    0x1.c5894d10d4986p-1, 0x1.c26b5392ea01cp-1, 0x1.bf583ee868d8bp-1, 0x1.bc4fd65883e7bp-1,
    0x1.b951e2b18ff23p-1, 0x1.b65e2e3beee05p-1, 0x1.b37484ad806cep-1, 0x1.b094b31d922a4p-1,
    0x1.adbe87f94905ep-1, 0x1.aaf1d2f87ebfdp-1, 0x1.a82e65130e159p-1, 0x1.a574107688a4ap-1,
    0x1.a2c2a87c51ca0p-1, 0x1.a01a01a01a01ap-1, 0x1.9d79f176b682dp-1, 0x1.9ae24ea5510dap-1,
    0x1.9852f0d8ec0ffp-1, 0x1.95cbb0be377aep-1, 0x1.934c67f9b2ce6p-1, 0x1.90d4f120190d5p-1,
    0x1.8e6527af1373fp-1, 0x1.8bfce8062ff3ap-1, 0x1.899c0f601899cp-1, 0x1.87427bcc092b9p-1,
    0x1.84f00c2780614p-1, 0x1.82a4a0182a4a0p-1, 0x1.8060180601806p-1, 0x1.7e225515a4f1dp-1,
    0x1.7beb3922e017cp-1, 0x1.79baa6bb6398bp-1, 0x1.77908119ac60dp-1, 0x1.756cac201756dp-1,
    0x1.734f0c541fe8dp-1, 0x1.713786d9c7c09p-1, 0x1.6f26016f26017p-1, 0x1.6d1a62681c861p-1,
    0x1.6b1490aa31a3dp-1, 0x1.691473a88d0c0p-1, 0x1.6719f3601671ap-1, 0x1.6524f853b4aa3p-1,
    0x1.63356b88ac0dep-1, 0x1.614b36831ae94p-1, 0x1.5f66434292dfcp-1, 0x1.5d867c3ece2a5p-1,
    0x1.5babcc647fa91p-1, 0x1.59d61f123ccaap-1, 0x1.5805601580560p-1, 0x1.56397ba7c52e2p-1,
    0x1.54725e6bb82fep-1, 0x1.52aff56a8054bp-1, 0x1.50f22e111c4c5p-1, 0x1.4f38f62dd4c9bp-1,
    0x1.4d843bedc2c4cp-1, 0x1.4bd3edda68fe1p-1, 0x1.4a27fad76014ap-1, 0x1.4880522014880p-1,
    0x1.46dce34596066p-1, 0x1.453d9e2c776cap-1, 0x1.43a2730abee4dp-1, 0x1.420b5265e5951p-1,
    0x1.40782d10e6566p-1, 0x1.3ee8f42a5af07p-1, 0x1.3d5d991aa75c6p-1, 0x1.3bd60d9232955p-1,
    0x1.3a524387ac822p-1, 0x1.38d22d366088ep-1, 0x1.3755bd1c945eep-1, 0x1.35dce5f9f2af8p-1,
    0x1.34679ace01346p-1, 0x1.32f5ced6a1dfap-1, 0x1.3187758e9ebb6p-1, 0x1.301c82ac40260p-1,
    0x1.2eb4ea1fed14bp-1, 0x1.2d50a012d50a0p-1, 0x1.2bef98e5a3711p-1, 0x1.2a91c92f3c105p-1,
    0x1.293725bb804a5p-1, 0x1.27dfa38a1ce4dp-1, 0x1.268b37cd60127p-1, 0x1.2539d7e9177b2p-1,
    0x1.23eb79717605bp-1, 0x1.22a0122a0122ap-1, 0x1.21579804855e6p-1, 0x1.2012012012012p-1,
    0x1.1ecf43c7fb84cp-1, 0x1.1d8f5672e4abdp-1, 0x1.1c522fc1ce059p-1, 0x1.1b17c67f2bae3p-1,
    0x1.19e0119e0119ep-1, 0x1.18ab083902bdbp-1, 0x1.1778a191bd684p-1, 0x1.1648d50fc3201p-1,
    0x1.151b9a3fdd5c9p-1, 0x1.13f0e8d344724p-1, 0x1.12c8b89edc0acp-1, 0x1.11a3019a74826p-1,
    0x1.107fbbe011080p-1, 0x1.0f5edfab325a2p-1, 0x1.0e40655826011p-1, 0x1.0d24456359e3ap-1,
    0x1.0c0a7868b4171p-1, 0x1.0af2f722eecb5p-1, 0x1.09ddba6af8360p-1, 0x1.08cabb37565e2p-1,
    0x1.07b9f29b8eae2p-1, 0x1.06ab59c7912fbp-1, 0x1.059eea0727586p-1, 0x1.04949cc1664c5p-1,
    0x1.038c6b78247fcp-1, 0x1.02864fc7729e9p-1, 0x1.0182436517a37p-1, 0x1.0080402010080p-1,
};
constexpr double kLog2Table[128] = {
    0x0.0p+0, 0x1.1363117a97b03p-6, 0x1.c9363ba850f9cp-6, 0x1.3ed3094685a27p-5,
    0x1.985bfc3495193p-5, 0x1.f13898332539dp-5, 0x1.24b5b7e135a41p-4, 0x1.507b836033bbap-4,
    0x1.7beee96b8a281p-4, 0x1.a7111df348494p-4, 0x1.d1e34e35b82d7p-4, 0x1.fc66a0f0b00a5p-4,
    0x1.134e1b4890631p-3, 0x1.284294b07a640p-3, 0x1.3d1146d9a8a63p-3, 0x1.51bab907a5c8ap-3,
    0x1.663f6fac91315p-3, 0x1.7a9fec7d05de0p-3, 0x1.8edcae8352b6bp-3, 0x1.a2f632320b86cp-3,
    0x1.b6ecf175f95ecp-3, 0x1.cac163c770dcap-3, 0x1.de73fe3b1480ep-3, 0x1.f205339208f27p-3,
    0x1.02baba24d0664p-2, 0x1.0c62975542a8dp-2, 0x1.15fa676bb08fep-2, 0x1.1f825f6d88e13p-2,
    0x1.28fab35b32684p-2, 0x1.32639636b2836p-2, 0x1.3bbd3a0a1dcfbp-2, 0x1.4507cfedd4fc5p-2,
    0x1.4e43880e8fb6bp-2, 0x1.577091b3378c9p-2, 0x1.608f1b42948aep-2, 0x1.699f5248cd4b8p-2,
    0x1.72a1637cbc183p-2, 0x1.7b957ac51aac4p-2, 0x1.847bc33d8618ep-2, 0x1.8d54673b5c371p-2,
    0x1.961f90527409bp-2, 0x1.9edd6759b25e0p-2, 0x1.a78e146f7bef4p-2, 0x1.b031befe06435p-2,
    0x1.b8c88dbf88679p-2, 0x1.c152a6c24cae7p-2, 0x1.c9d02f6ca47b5p-2, 0x1.d2414c80bf27cp-2,
    0x1.daa6222064fb8p-2, 0x1.e2fed3d097297p-2, 0x1.eb4b847d15bcep-2, 0x1.f38c567bcc541p-2,
    0x1.fbc16b902680ap-2, 0x1.01f57277264e0p-1, 0x1.0604719f24eb2p-1, 0x1.0a0dc34f8e1fcp-1,
    0x1.0e117754d7c11p-1, 0x1.120f9d39e1806p-1, 0x1.160844495e006p-1, 0x1.19fb7b8f32422p-1,
    0x1.1de951d9cbba7p-1, 0x1.21d1d5bb6d59bp-1, 0x1.25b5158b73d05p-1, 0x1.29931f6791560p-1,
    0x1.2d6c013501380p-1, 0x1.313fc8a1b36f2p-1, 0x1.350e8325707dap-1, 0x1.38d83e02f5d08p-1,
    0x1.3c9d06490ae11p-1, 0x1.405ce8d38f4bcp-1, 0x1.4417f24c82165p-1, 0x1.47ce2f2d02588p-1,
    0x1.4b7fabbe49796p-1, 0x1.4f2c741a9f33ep-1, 0x1.52d4942e4790ap-1, 0x1.567817b86b02dp-1,
    0x1.5a170a4bf8d5cp-1, 0x1.5db177508413cp-1, 0x1.61476a031b108p-1, 0x1.64d8ed7719beep-1,
    0x1.68660c96f6f88p-1, 0x1.6beed2250cdadp-1, 0x1.6f7348bc5c617p-1, 0x1.72f37ad14c5b0p-1,
    0x1.766f72b263defp-1, 0x1.79e73a8900620p-1, 0x1.7d5adc5a078a4p-1, 0x1.80ca620694df9p-1,
    0x1.8435d54ca3774p-1, 0x1.879d3fc7b3b71p-1, 0x1.8b00aaf16d4a9p-1, 0x1.8e6020223d661p-1,
    0x1.91bba891f1708p-1, 0x1.95134d584e2e4p-1, 0x1.9867176da382dp-1, 0x1.9bb70fab5ce4dp-1,
    0x1.9f033ecc8e957p-1, 0x1.a24bad6e7fb77p-1, 0x1.a590641131564p-1, 0x1.a8d16b17e2745p-1,
    0x1.ac0ecac99133cp-1, 0x1.af488b51792d4p-1, 0x1.b27eb4bf8f08ap-1, 0x1.b5b14f08f9665p-1,
    0x1.b8e0620887309p-1, 0x1.bc0bf57f23605p-1, 0x1.bf341114464a7p-1, 0x1.c258bc5664829p-1,
    0x1.c579febb5b657p-1, 0x1.c897dfa0db58ep-1, 0x1.cbb2664ccfcf5p-1, 0x1.cec999edc5204p-1,
    0x1.d1dd819b4c3f0p-1, 0x1.d4ee24565c62ap-1, 0x1.d7fb8909b2a6cp-1, 0x1.db05b68a2fb64p-1,
    0x1.de0cb397338a3p-1, 0x1.e11086daf7497p-1, 0x1.e41136eae553dp-1, 0x1.e70eca47ef86fp-1,
    0x1.ea09475ee3c39p-1, 0x1.ed00b488bec24p-1, 0x1.eff5180afd3e5p-1, 0x1.f2e67817eb846p-1,
    0x1.f5d4dacef36bep-1, 0x1.f8c0463ce8c68p-1, 0x1.fba8c05c544e0p-1, 0x1.fe8e4f15bd1a1p-1,
};
constexpr double kExp2Table[128] = {
    0x1.0000000000000p+0, 0x1.0163da9fb3335p+0, 0x1.02c9a3e778061p+0, 0x1.04315e86e7f85p+0,
    0x1.059b0d3158574p+0, 0x1.0706b29ddf6dep+0, 0x1.0874518759bc8p+0, 0x1.09e3ecac6f383p+0,
    0x1.0b5586cf9890fp+0, 0x1.0cc922b7247f7p+0, 0x1.0e3ec32d3d1a2p+0, 0x1.0fb66affed31bp+0,
    0x1.11301d0125b51p+0, 0x1.12abdc06c31ccp+0, 0x1.1429aaea92de0p+0, 0x1.15a98c8a58e51p+0,
    0x1.172b83c7d517bp+0, 0x1.18af9388c8deap+0, 0x1.1a35beb6fcb75p+0, 0x1.1bbe084045cd4p+0,
    0x1.1d4873168b9aap+0, 0x1.1ed5022fcd91dp+0, 0x1.2063b88628cd6p+0, 0x1.21f49917ddc96p+0,
    0x1.2387a6e756238p+0, 0x1.251ce4fb2a63fp+0, 0x1.26b4565e27cddp+0, 0x1.284dfe1f56381p+0,
    0x1.29e9df51fdee1p+0, 0x1.2b87fd0dad990p+0, 0x1.2d285a6e4030bp+0, 0x1.2ecafa93e2f56p+0,
    0x1.306fe0a31b715p+0, 0x1.32170fc4cd831p+0, 0x1.33c08b26416ffp+0, 0x1.356c55f929ff1p+0,
    0x1.371a7373aa9cbp+0, 0x1.38cae6d05d866p+0, 0x1.3a7db34e59ff7p+0, 0x1.3c32dc313a8e5p+0,
    0x1.3dea64c123422p+0, 0x1.3fa4504ac801cp+0, 0x1.4160a21f72e2ap+0, 0x1.431f5d950a897p+0,
    0x1.44e086061892dp+0, 0x1.46a41ed1d0057p+0, 0x1.486a2b5c13cd0p+0, 0x1.4a32af0d7d3dep+0,
    0x1.4bfdad5362a27p+0, 0x1.4dcb299fddd0dp+0, 0x1.4f9b2769d2ca7p+0, 0x1.516daa2cf6642p+0,
    0x1.5342b569d4f82p+0, 0x1.551a4ca5d920fp+0, 0x1.56f4736b527dap+0, 0x1.58d12d497c7fdp+0,
    0x1.5ab07dd485429p+0, 0x1.5c9268a5946b7p+0, 0x1.5e76f15ad2148p+0, 0x1.605e1b976dc09p+0,
    0x1.6247eb03a5585p+0, 0x1.6434634ccc320p+0, 0x1.6623882552225p+0, 0x1.68155d44ca973p+0,
    0x1.6a09e667f3bcdp+0, 0x1.6c012750bdabfp+0, 0x1.6dfb23c651a2fp+0, 0x1.6ff7df9519484p+0,
    0x1.71f75e8ec5f74p+0, 0x1.73f9a48a58174p+0, 0x1.75feb564267c9p+0, 0x1.780694fde5d3fp+0,
    0x1.7a11473eb0187p+0, 0x1.7c1ed0130c132p+0, 0x1.7e2f336cf4e62p+0, 0x1.80427543e1a12p+0,
    0x1.82589994cce13p+0, 0x1.8471a4623c7adp+0, 0x1.868d99b4492edp+0, 0x1.88ac7d98a6699p+0,
    0x1.8ace5422aa0dbp+0, 0x1.8cf3216b5448cp+0, 0x1.8f1ae99157736p+0, 0x1.9145b0b91ffc6p+0,
    0x1.93737b0cdc5e5p+0, 0x1.95a44cbc8520fp+0, 0x1.97d829fde4e50p+0, 0x1.9a0f170ca07bap+0,
    0x1.9c49182a3f090p+0, 0x1.9e86319e32323p+0, 0x1.a0c667b5de565p+0, 0x1.a309bec4a2d33p+0,
    0x1.a5503b23e255dp+0, 0x1.a799e1330b358p+0, 0x1.a9e6b5579fdbfp+0, 0x1.ac36bbfd3f37ap+0,
    0x1.ae89f995ad3adp+0, 0x1.b0e07298db666p+0, 0x1.b33a2b84f15fbp+0, 0x1.b59728de5593ap+0,
    0x1.b7f76f2fb5e47p+0, 0x1.ba5b030a1064ap+0, 0x1.bcc1e904bc1d2p+0, 0x1.bf2c25bd71e09p+0,
    0x1.c199bdd85529cp+0, 0x1.c40ab5fffd07ap+0, 0x1.c67f12e57d14bp+0, 0x1.c8f6d9406e7b5p+0,
    0x1.cb720dcef9069p+0, 0x1.cdf0b555dc3fap+0, 0x1.d072d4a07897cp+0, 0x1.d2f87080d89f2p+0,
    0x1.d5818dcfba487p+0, 0x1.d80e316c98398p+0, 0x1.da9e603db3285p+0, 0x1.dd321f301b460p+0,
    0x1.dfc97337b9b5fp+0, 0x1.e264614f5a129p+0, 0x1.e502ee78b3ff6p+0, 0x1.e7a51fbc74c83p+0,
    0x1.ea4afa2a490dap+0, 0x1.ecf482d8e67f1p+0, 0x1.efa1bee615a27p+0, 0x1.f252b376bba97p+0,
    0x1.f50765b6e4540p+0, 0x1.f7bfdad9cbe14p+0, 0x1.fa7c1819e90d8p+0, 0x1.fd3c22b8f71f1p+0,
};
// clang-format on

// log2(x) for a positive, finite, normal double x: the exponent, the
// interval's logarithm and ln(1 + r) for the rest, |r| <= 1/128, to r^7.
// The polynomial is evaluated in pairs of terms, which shortens the chain
// of dependent operations; its error is below 2^-56.
inline double Log2Positive(double x) {
    const uint64_t bits = Bits(x);
    const int exponent = int(bits >> 52) - 1023;
    const uint64_t fraction = bits & 0x000FFFFFFFFFFFFFull;
    const int k = int(fraction >> 45);                            // the interval of the mantissa
    const double m = FromBits(fraction | 0x3FF0000000000000ull);  // in [1, 2)
    const double r = m * kInverseTable[k] - 1.0;
    const double r2 = r * r;
    const double a23 = -1.0 / 2.0 + r * (1.0 / 3.0);
    const double a45 = -1.0 / 4.0 + r * (1.0 / 5.0);
    const double a67 = -1.0 / 6.0 + r * (1.0 / 7.0);
    const double ln1p = r + r2 * (a23 + r2 * (a45 + r2 * a67));
    return (double(exponent) + kLog2Table[k]) + ln1p * kInvLn2;
}

// 2^t for t in [-1000, 1000]: 2^(n + j/128) from the table and the bits of a
// double, times e^w for the rest, |w| <= ln 2 / 256, to w^5 (error below
// 2^-60).
inline double Exp2(double t) {
    const double n128 = NearestInteger(t * 128.0);        // exact scaling
    const double r = (t * 128.0 - n128) * (1.0 / 128.0);  // |r| <= 1/256, exact
    const int64_t i = int64_t(n128);
    const int j = int(i & 127);
    const int64_t n = (i - j) / 128;
    const double w = r * kLn2;
    const double w2 = w * w;
    const double p = w + w2 * ((0.5 + w * (1.0 / 6.0)) + w2 * (1.0 / 24.0 + w * (1.0 / 120.0)));
    return (kExp2Table[j] + kExp2Table[j] * p) * FromBits(uint64_t(n + 1023) << 52);
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
    constexpr double kPiOver2Hi = 0x1.921fb54400000p+0;   // 33 bits of pi/2
    constexpr double kPiOver2Lo = 0x1.0b4611a626331p-34;  // the rest
    const double k = NearestInteger(x * kTwoOverPi);
    *quadrant = int(int64_t(k) & 3);
    return (x - k * kPiOver2Hi) - k * kPiOver2Lo;
}

// x^y for a positive, finite x: 0 or infinity beyond the float range.
inline float PositivePow(float x, float y) {
    const double t = double(y) * Log2Positive(double(x));
    if (t > 130.0) return std::numeric_limits<float>::infinity();
    if (t < -160.0) return 0.0f;
    return float(Exp2(t));
}

}  // namespace fmath_detail

// powf with the C library's results for every special operand (zeros,
// infinities, NaN, negative bases under integer exponents). Kept out of line,
// as the library's is: compiled into every blend and term of the pixel
// function it made that function a third slower, even where no power is
// taken.
[[gnu::noinline]] inline float PowF(float x, float y) {
    using namespace fmath_detail;
    constexpr float kInf = std::numeric_limits<float>::infinity();
    // The usual case first, with no more tests than it needs: a positive,
    // finite base and a finite exponent (NaN fails both comparisons).
    if (x > 0.0f && x < kInf && std::fabs(y) < kInf) {
        if (y == 0.0f || x == 1.0f) return 1.0f;
        if (y == 1.0f) return x;
        if (y == 2.0f) return float(double(x) * double(x));  // exact product, one rounding
        return PositivePow(x, y);
    }
    if (y == 0.0f || x == 1.0f) return 1.0f;
    if (std::isnan(x) || std::isnan(y)) return std::numeric_limits<float>::quiet_NaN();
    if (y == 1.0f) return x;
    if (y == 2.0f) return float(double(x) * double(x));
    const float ax = std::fabs(x);
    if (std::isinf(y)) {
        if (ax == 1.0f) return 1.0f;
        return (ax < 1.0f) == (y > 0.0f) ? 0.0f : kInf;
    }
    const bool odd = IsOddInteger(y);
    const bool negative = std::signbit(x);
    if (x < 0.0f && !std::isinf(x) && !IsInteger(y)) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    float magnitude;
    if (ax == 0.0f) {
        magnitude = y > 0.0f ? 0.0f : kInf;
    } else if (std::isinf(ax)) {
        magnitude = y > 0.0f ? kInf : 0.0f;
    } else {
        magnitude = PositivePow(ax, y);
    }
    return negative && odd ? -magnitude : magnitude;
}

// PowF(x, 2), bit for bit, for the callers whose exponent is the constant 2:
// the exact product rounded once, without the call.
inline float SquareF(float x) {
    if (std::isnan(x)) return std::numeric_limits<float>::quiet_NaN();
    return float(double(x) * double(x));
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
