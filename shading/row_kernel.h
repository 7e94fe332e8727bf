// The row kernel: the per-pixel pass of shading/pixel_pass.cpp for a run of
// consecutive pixels of one row, V::kLanes pixels per instruction. Every
// lane goes through the operations the per-pixel function performs for its
// pixel, in the same order; where that function branches on the pixel, the
// lanes work out both sides and keep the one their pixel takes. So each
// output pixel gets the bytes the per-pixel function writes.
//
// Templates over an instruction set; this header is compiled once for each
// set, in its own file (row_kernel_sse2.cpp, row_kernel_avx2.cpp), and
// everything in it must depend on V.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "common/pixel_traits.h"
#include "maps/lookups_lanes.h"
#include "params/choices.h"
#include "shading/row_kernels.h"

namespace lumeshade::lanes {

// How the channels of a pixel type lie in memory, for the transposes of
// whole groups.
template <class Pixel>
using ChannelType =
    std::conditional_t<PixelTraits<Pixel>::kIsFloat, float, typename PixelTraits<Pixel>::Channel>;

// The stored channels of `count` consecutive pixels; the other lanes hold
// zeros.
template <class V, class Pixel>
inline PixelLanes<V> LoadRun(const Pixel* p, int count) {
    using F = typename V::F;
    if (count == V::kLanes) {
        const auto* channels = reinterpret_cast<const ChannelType<Pixel>*>(p);
        if constexpr (PixelTraits<Pixel>::kIsFloat) {
            F c[4];
            LoadChannels(channels, c);
            return {c[0], c[1], c[2], c[3]};
        } else {
            typename V::I c[4];
            LoadChannels(channels, c);
            return {ToFloat(c[0]), ToFloat(c[1]), ToFloat(c[2]), ToFloat(c[3])};
        }
    }
    alignas(64) float a[V::kLanes] = {}, r[V::kLanes] = {}, g[V::kLanes] = {}, b[V::kLanes] = {};
    for (int i = 0; i < count; ++i) {
        a[i] = float(p[i].alpha);
        r[i] = float(p[i].red);
        g[i] = float(p[i].green);
        b[i] = float(p[i].blue);
    }
    return {V::Load(a), V::Load(r), V::Load(g), V::Load(b)};
}

template <class V, class Pixel>
inline typename V::M Covered(typename V::F alpha) {
    using F = typename V::F;
    if constexpr (PixelTraits<Pixel>::kIsFloat) {
        return alpha > F(0.0f);
    } else {
        return alpha != F(0.0f);
    }
}

template <class V, class Pixel>
inline typename V::M NoSurface(const PixelLanes<V>& m) {
    using F = typename V::F;
    if constexpr (PixelTraits<Pixel>::kIsFloat) {
        return ~(m.red > F(0.0f)) & ~(m.green > F(0.0f)) & ~(m.blue > F(0.0f));
    } else {
        return (m.red == F(0.0f)) & (m.green == F(0.0f)) & (m.blue == F(0.0f));
    }
}

// The map pixels that a stretched map (alpha, normal, depth) gives the
// pixels at (x, y).
template <class V, class Pixel>
inline PixelLanes<V> Stretched(const PF_EffectWorld& map, float ratioX, float ratioY,
                               typename V::I x, typename V::I y, typename V::M lanes) {
    return Fetch<V, Pixel>(map, StretchedIndex<V>(ratioX, x, map.width - 1),
                           StretchedIndex<V>(ratioY, y, map.height - 1), lanes);
}

// SelectNormalChannels.
template <class V, class Pixel>
inline typename V::F NormalChannel(const PixelLanes<V>& m, int32_t which) {
    using F = typename V::F;
    switch (which) {
        case CHANNEL_RED:
            return m.red;
        case CHANNEL_GREEN:
            return m.green;
        case CHANNEL_BLUE:
            return m.blue;
        case CHANNEL_FULL:
            return F(PixelTraits<Pixel>::kMax);
        default:
            return F(0.0f);
    }
}

// The normal N: channel choice, then inversion (for integer pixels in their
// own range, then normalised).
template <class V, class Pixel>
inline Vector3Lanes<V> DecodeNormal(const PixelLanes<V>& m, const RenderContext& ctx) {
    using F = typename V::F;
    using T = PixelTraits<Pixel>;
    const Vector3Lanes<V> raw{NormalChannel<V, Pixel>(m, ctx.normalsXChannel),
                              NormalChannel<V, Pixel>(m, ctx.normalsYChannel),
                              NormalChannel<V, Pixel>(m, ctx.normalsZChannel)};
    const auto decode = [](F c, bool invert) {
        if constexpr (T::kIsFloat) {
            return invert ? F(1.0f) - c : c;
        } else {
            return (invert ? F(T::kMax) - c : c) * F(T::kScale);
        }
    };
    return {decode(raw.x, ctx.normalsInvertX), decode(raw.y, ctx.normalsInvertY),
            decode(raw.z, ctx.normalsInvertZ)};
}

// ReadDepth.
template <class V, class Pixel>
inline typename V::F ReadDepth(const RenderContext& ctx, typename V::I x, typename V::I y,
                               typename V::M lanes) {
    using F = typename V::F;
    using D = typename V::D;
    using T = PixelTraits<Pixel>;
    if (!HasRows(ctx.depthMap, 1)) return F(1.0f);
    const PassSteps& pass = ctx.frame.pass;
    const PixelLanes<V> d =
        Stretched<V, Pixel>(*ctx.depthMap, pass.depthRatioX, pass.depthRatioY, x, y, lanes);
    F v;
    switch (ctx.depthChannel) {
        case DEPTH_RED:
            v = Scaled<V, Pixel>(d.red);
            break;
        case DEPTH_GREEN:
            v = Scaled<V, Pixel>(d.green);
            break;
        case DEPTH_BLUE:
            v = Scaled<V, Pixel>(d.blue);
            break;
        case DEPTH_LUMINANCE: {
            const auto scaled = [](F c) {
                if constexpr (T::kIsFloat) {
                    return ToDouble(c);
                } else {
                    return ToDouble(c) * D(1.0 / double(T::kMax));
                }
            };
            v = ToFloat((scaled(d.red) + scaled(d.green) + scaled(d.blue)) * D(1.0 / 3.0));
            break;
        }
        default:
            return F(1.0f);
    }
    const float gamma = ctx.depthGamma > 0.0f ? ctx.depthGamma : kSmallestFixedStep;
    const F value = v / F(gamma);
    return ctx.depthInvert ? value : F(1.0f) - value;
}

// A channel value as the pixel type stores it (ToChannel): floats as they
// are, integers limited to 0..1, scaled and truncated.
template <class V, class Pixel>
inline typename V::F ToChannel(typename V::F v) {
    using F = typename V::F;
    using T = PixelTraits<Pixel>;
    if constexpr (T::kIsFloat) {
        return v;
    } else {
        const F limited = Select(v >= F(0.0f), Select(v <= F(1.0f), v, F(1.0f)), F(0.0f));
        return ToFloat(TruncToInt(limited * F(T::kMax)));
    }
}

// Writes `count` pixels: a covered pixel gets (a, red, green, blue), an
// uncovered one the input pixel with alpha a. For integer pixels the
// values are whole numbers in the channel's range.
template <class V, class Pixel>
inline void StoreRun(Pixel* out, const PixelLanes<V>& in, int count, typename V::M covered,
                     typename V::F alpha, typename V::F red, typename V::F green,
                     typename V::F blue) {
    using F = typename V::F;
    using T = PixelTraits<Pixel>;
    const F c[4] = {alpha, Select(covered, red, in.red), Select(covered, green, in.green),
                    Select(covered, blue, in.blue)};
    if constexpr (T::kIsFloat) {
        if (count == V::kLanes) {
            StoreChannels(reinterpret_cast<float*>(out), c);
            return;
        }
        alignas(64) float s[4][V::kLanes];
        for (int k = 0; k < 4; ++k) Store(s[k], c[k]);
        for (int i = 0; i < count; ++i) out[i] = {s[0][i], s[1][i], s[2][i], s[3][i]};
    } else {
        using C = typename T::Channel;
        const typename V::I ints[4] = {TruncToInt(c[0]), TruncToInt(c[1]), TruncToInt(c[2]),
                                       TruncToInt(c[3])};
        if (count == V::kLanes) {
            StoreChannels(reinterpret_cast<C*>(out), ints);
            return;
        }
        alignas(64) int32_t s[4][V::kLanes];
        for (int k = 0; k < 4; ++k) Store(s[k], ints[k]);
        for (int i = 0; i < count; ++i) out[i] = {C(s[0][i]), C(s[1][i]), C(s[2][i]), C(s[3][i])};
    }
}

// Up to 256 pixels of a row in the making, each value of the pass in an
// array of its own, a vector's worth per group of lanes. The kernel makes
// three passes over the groups: everything up to the light loop, then each
// light over every group (so that a light's values are worked out once per
// run and stay in registers), then the surface terms, the lookups and the
// output. Every lane still goes through its pixel's steps in their order.
template <class V>
struct Run {
    static constexpr int kGroups = 256 / V::kLanes;
    static constexpr int kSize = kGroups * V::kLanes;
    // The same counts as array bounds.
    static constexpr std::size_t kGroupCount = kGroups, kLength = kSize;
    int groups = 0;
    bool anySurface = false;
    alignas(64) float inAlpha[kLength], inRed[kLength], inGreen[kLength], inBlue[kLength];
    alignas(64) float alpha[kLength];  // the coverage
    alignas(64) float mRed[kLength], mGreen[kLength], mBlue[kLength];
    alignas(64) float nx[kLength], ny[kLength], nz[kLength];
    alignas(64) float n2x[kLength], n2y[kLength], n2z[kLength];
    alignas(64) float depth[kLength];
    alignas(64) float sRed[kLength], sGreen[kLength], sBlue[kLength];
    alignas(64) float tRed[kLength], tGreen[kLength], tBlue[kLength];
    alignas(64) float covered[kLength], surface[kLength];  // masks, as bits
    bool anyCovered[kGroupCount], groupSurface[kGroupCount];
};

template <class V>
inline typename V::F At(const float* a, int g) {
    return V::Load(a + g * V::kLanes);
}
template <class V>
inline void Put(float* a, int g, typename V::F v) {
    Store(a + g * V::kLanes, v);
}
template <class V>
inline typename V::M MaskAt(const float* a, int g) {
    return V::LoadMask(a + g * V::kLanes);
}
template <class V>
inline ColorLanes<V> ColorAt(const float* r, const float* g, const float* b, int i) {
    return {At<V>(r, i), At<V>(g, i), At<V>(b, i)};
}
template <class V>
inline void PutColor(float* r, float* g, float* b, int i, const ColorLanes<V>& c) {
    Put<V>(r, i, c.red);
    Put<V>(g, i, c.green);
    Put<V>(b, i, c.blue);
}
template <class V>
inline Vector3Lanes<V> VectorAt(const float* x, const float* y, const float* z, int i) {
    return {At<V>(x, i), At<V>(y, i), At<V>(z, i)};
}
template <class V>
inline void PutVector(float* x, float* y, float* z, int i, const Vector3Lanes<V>& v) {
    Put<V>(x, i, v.x);
    Put<V>(y, i, v.y);
    Put<V>(z, i, v.z);
}

// The layer columns of group g of a run whose first output column is
// `left` (LayerPositionOf for each lane), and the run's layer row.
template <class V>
inline typename V::I Columns(const BufferPlacement& placement, A_long left, int g) {
    using I = typename V::I;
    const int32_t first = SaturatingAdd(left + g * V::kLanes, placement.outputOriginX);
    // first + lane, saturated as LayerPositionOf saturates.
    const I limit = I(std::numeric_limits<int32_t>::max()) - V::LaneIndex();
    return Select(I(first) > limit, I(std::numeric_limits<int32_t>::max()),
                  I(first) + V::LaneIndex());
}
template <class V>
inline typename V::I Row(const BufferPlacement& placement, A_long y) {
    return typename V::I(SaturatingAdd(y, placement.outputOriginY));
}

// Everything before the light loop: the input and the coverage, the
// normal-map pixel M, whether there is a surface, N and N2 with the bump,
// the depth and the texture colour T.
template <class V, class Pixel>
[[gnu::noinline]] void Prepare(const RenderContext& ctx, A_long y, A_long left, int count,
                               const Pixel* in, Run<V>& run) {
    using F = typename V::F;
    using I = typename V::I;
    const PassSteps pass = ctx.frame.pass;
    const BufferPlacement& placement = ctx.frame.placement;
    const I ys = Row<V>(placement, y);
    const F zero(0.0f);
    for (int g = 0; g < run.groups; ++g) {
        const int inGroup = std::min(V::kLanes, count - g * V::kLanes);
        const I xs = Columns<V>(placement, left, g);
        const PixelLanes<V> input = LoadRun<V, Pixel>(in + g * V::kLanes, inGroup);
        Put<V>(run.inAlpha, g, input.alpha);
        Put<V>(run.inRed, g, input.red);
        Put<V>(run.inGreen, g, input.green);
        Put<V>(run.inBlue, g, input.blue);
        const auto lanes = I(inGroup) > V::LaneIndex();
        F a = input.alpha;
        if (pass.alphaMap) {
            a = Stretched<V, Pixel>(*ctx.alphaMap, pass.alphaRatioX, pass.alphaRatioY, xs, ys,
                                    lanes)
                    .alpha;
        }
        Put<V>(run.alpha, g, a);
        const auto covered = lanes & Covered<V, Pixel>(a);
        V::StoreMask(run.covered + g * V::kLanes, covered);
        run.anyCovered[g] = Any(covered);

        PixelLanes<V> m{zero, zero, zero, zero};
        if (pass.normalIsInput) {
            m = input;
        } else if (run.anyCovered[g] && HasRows(ctx.normalMap, 1)) {
            const PF_EffectWorld& map = *ctx.normalMap;
            I columns, rows;
            if (placement.normalMapIsInput) {
                // NormalMapPositionOf: the input's own buffer at the pixel's
                // place, limited to the buffer.
                columns = Limited<V>(SaturatingSub<V>(xs, placement.inputOriginX), map.width - 1);
                rows = Limited<V>(SaturatingSub<V>(ys, placement.inputOriginY), map.height - 1);
            } else {
                columns = StretchedIndex<V>(pass.normalRatioX, xs, map.width - 1);
                rows = StretchedIndex<V>(pass.normalRatioY, ys, map.height - 1);
            }
            m = pass.preBlurSamples
                    ? Sample<V, Pixel>(map, columns, rows, ctx.normalsPreBlur, ctx.inData, covered)
                    : Fetch<V, Pixel>(map, columns, rows, covered);
        }
        PutColor<V>(run.mRed, run.mGreen, run.mBlue, g, {m.red, m.green, m.blue});
        const auto surface = covered & ~NoSurface<V, Pixel>(m);
        V::StoreMask(run.surface + g * V::kLanes, surface);
        run.groupSurface[g] = Any(surface);
        run.anySurface |= run.groupSurface[g];
        if (!run.groupSurface[g]) continue;

        Vector3Lanes<V> n = DecodeNormal<V, Pixel>(m, ctx);
        Vector3Lanes<V> n2 = n;
        const LookupLanes<V> at{xs, ys, surface, pass.limit};
        if (pass.bump) ApplyBump<V, Pixel>(ctx, pass.bumpSamples, at, n, n2);
        PutVector<V>(run.nx, run.ny, run.nz, g, n);
        PutVector<V>(run.n2x, run.n2y, run.n2z, g, n2);
        Put<V>(run.depth, g, ReadDepth<V, Pixel>(ctx, xs, ys, surface));
        if (pass.lightLoop) {
            ColorLanes<V> texture{zero, zero, zero};
            if (pass.texture) LookupTexture<V, Pixel>(ctx, pass.textureSamples, at, texture);
            PutColor<V>(run.tRed, run.tGreen, run.tBlue, g, texture);
        }
    }
}

// The values of group g that the light loop reads, loaded where a light
// uses them.
template <class V, class Pixel>
struct LitGroup {
    using F = typename V::F;
    const Run<V>& run;
    int g;
    F x, y;  // P

    Vector3Lanes<V> normal() const { return VectorAt<V>(run.nx, run.ny, run.nz, g); }
    F px() const { return x; }
    F py() const { return y; }
    F depth() const { return At<V>(run.depth, g); }
    ColorLanes<V> input() const {
        return ScaledColor<V, Pixel>(
            PixelLanes<V>{{}, At<V>(run.inRed, g), At<V>(run.inGreen, g), At<V>(run.inBlue, g)});
    }
    ColorLanes<V> texture() const { return ColorAt<V>(run.tRed, run.tGreen, run.tBlue, g); }
};

// The light loop, a light at a time over every group with a surface.
template <class V, class Pixel>
[[gnu::noinline]] void Light(const RenderContext& ctx, A_long y, A_long left, Run<V>& run) {
    using F = typename V::F;
    const FrameConstants& k = ctx.frame;
    const LightSteps steps = k.steps;
    const F scaleX(k.pixelScaleX);
    const F py = ToFloat(Row<V>(k.placement, y)) * F(k.pixelScaleY);
    const int32_t lights = std::clamp<int32_t>(ctx.lightCount, 0, MAX_LIGHTS);
    const int groups = run.groups;
    for (int32_t i = lights - 1; i >= 0; --i) {
        for (int g = 0; g < groups; ++g) {
            if (!run.groupSurface[g]) continue;
            const LitGroup<V, Pixel> in{run, g, ToFloat(Columns<V>(k.placement, left, g)) * scaleX,
                                        py};
            ColorLanes<V> s = ColorAt<V>(run.sRed, run.sGreen, run.sBlue, g);
            AddLight<V>(ctx, i, in, steps, s, MaskAt<V>(run.surface, g));
            PutColor<V>(run.sRed, run.sGreen, run.sBlue, g, s);
        }
    }
}

// The surface terms and the lookups that blend onto S, in the pass's order;
// then what the pass writes: Display's choice of S, N, M or the depth, the
// transfer blend, and the input where there is no coverage.
template <class V, class Pixel>
[[gnu::noinline]] void Finish(const RenderContext& ctx, A_long y, A_long left, int count,
                              Pixel* out, Run<V>& run) {
    using F = typename V::F;
    using T = PixelTraits<Pixel>;
    const FrameConstants& k = ctx.frame;
    const PassSteps pass = k.pass;
    const typename V::I ys = Row<V>(k.placement, y);
    const F zero(0.0f);
    const bool terms = pass.incidence || pass.gradient || pass.rimLight || pass.matcap ||
                       pass.reflection || pass.refraction;
    const bool showsDepth = ctx.displayMode == DISPLAY_DEPTH && HasRows(ctx.depthMap, 2);
    const bool showsNormals = ctx.displayMode == DISPLAY_ADJUSTED_NORMALS;
    for (int g = 0; g < run.groups; ++g) {
        // Without a surface N, the depth and S are zero.
        F depth = zero;
        ColorLanes<V> s{zero, zero, zero};
        if (run.groupSurface[g]) {
            const auto surface = MaskAt<V>(run.surface, g);
            const Vector3Lanes<V> n = VectorAt<V>(run.nx, run.ny, run.nz, g);
            depth = At<V>(run.depth, g);
            if (pass.lightLoop) s = ColorAt<V>(run.sRed, run.sGreen, run.sBlue, g);
            if (terms) {
                if (pass.incidence) Incidence<V>(n, ctx, pass.limit, s, surface);
                if (pass.gradient) Gradient<V>(n, ctx, pass.limit, s, surface);
                const F blue = Scaled<V, Pixel>(At<V>(run.mBlue, g));
                if (pass.rimLight) {
                    RimLight<V>(blue, n, ctx, k.rimSin, k.rimCos, pass.limit, s, surface);
                }
                const LookupLanes<V> at{Columns<V>(k.placement, left, g), ys, surface, pass.limit};
                if (pass.matcap) LookupMatcap<V, Pixel>(n, ctx, pass.matcapSamples, at, s);
                const Vector3Lanes<V> n2 = VectorAt<V>(run.n2x, run.n2y, run.n2z, g);
                if (pass.reflection) {
                    LookupReflection<V, Pixel>(blue, depth, n2, ctx, pass.reflectionSamples, at, s);
                }
                if (pass.refraction) {
                    LookupRefraction<V, Pixel>(blue, depth, n2, ctx, pass.refractionSamples, at, s);
                }
            }
            if (showsNormals) s = {n.x, n.y, n.z};
            depth = Select(surface, depth, zero);
            s = Select<V>(surface, s, ColorLanes<V>{zero, zero, zero});
        }

        const int inGroup = std::min(V::kLanes, count - g * V::kLanes);
        const PixelLanes<V> input{At<V>(run.inAlpha, g), At<V>(run.inRed, g), At<V>(run.inGreen, g),
                                  At<V>(run.inBlue, g)};
        const auto covered = MaskAt<V>(run.covered, g);
        if (run.anyCovered[g]) {
            if constexpr (!T::kIsFloat) Limit<V>(s);
            if (pass.transfer) {
                BlendColor<V>(s, ctx.blendTransferMode, ctx.blendAmount,
                              ScaledColor<V, Pixel>(input), pass.limit, covered);
            }
        }
        const F a = At<V>(run.alpha, g);
        Pixel* to = out + g * V::kLanes;
        if (ctx.displayMode == DISPLAY_ORIGINAL_NORMALS) {
            StoreRun<V, Pixel>(to, input, inGroup, covered, a, At<V>(run.mRed, g),
                               At<V>(run.mGreen, g), At<V>(run.mBlue, g));
        } else if (showsDepth) {
            const F d = ToChannel<V, Pixel>(depth);
            StoreRun<V, Pixel>(to, input, inGroup, covered, a, d, d, d);
        } else {
            StoreRun<V, Pixel>(to, input, inGroup, covered, a, ToChannel<V, Pixel>(s.red),
                               ToChannel<V, Pixel>(s.green), ToChannel<V, Pixel>(s.blue));
        }
    }
}

// The pass for `count` (at most Run<V>::kSize) pixels from column `left`.
template <class V, class Pixel>
[[gnu::noinline]] void ShadeRun(const RenderContext& ctx, A_long y, A_long left, int count,
                                const Pixel* in, Pixel* out) {
    Run<V> run;
    run.groups = (count + V::kLanes - 1) / V::kLanes;
    Prepare<V, Pixel>(ctx, y, left, count, in, run);
    if (run.anySurface && ctx.frame.pass.lightLoop) {
        std::fill_n(run.sRed, run.kSize, 0.0f);
        std::fill_n(run.sGreen, run.kSize, 0.0f);
        std::fill_n(run.sBlue, run.kSize, 0.0f);
        Light<V, Pixel>(ctx, y, left, run);
    }
    Finish<V, Pixel>(ctx, y, left, count, out, run);
}

template <class V, class Pixel>
void ShadeRow(const RenderContext& ctx, A_long y, A_long left, A_long right, const Pixel* in,
              Pixel* out) {
    for (A_long x = left; x < right; x += Run<V>::kSize) {
        const int count = int(std::min<A_long>(Run<V>::kSize, right - x));
        ShadeRun<V, Pixel>(ctx, y, x, count, in + (x - left), out + (x - left));
    }
}

template <class V>
constexpr RowKernels KernelsOf() {
    return {ShadeRow<V, PF_Pixel8>, ShadeRow<V, PF_Pixel16>, ShadeRow<V, PF_PixelFloat>};
}

}  // namespace lumeshade::lanes
