#include "shading/pixel_pass.h"

#include <cmath>

#include "common/convert.h"
#include "common/error_barrier.h"
#include "common/pixel_traits.h"
#include "maps/bump.h"
#include "maps/map_read.h"
#include "maps/matcap.h"
#include "maps/reflection.h"
#include "maps/refraction.h"
#include "maps/sample_area.h"
#include "maps/texture.h"
#include "shading/blend.h"
#include "shading/lighting.h"
#include "shading/normal_depth_choices.h"
#include "shading/shade_pixel.h"

namespace lumeshade {
namespace {

bool LightLoopRuns(int32_t display) {
    switch (display) {
        case DISPLAY_ALL:
        case DISPLAY_TEXTURE:
        case DISPLAY_DIFFUSE:
        case DISPLAY_SPECULAR:
        case DISPLAY_INCIDENCE:
        case DISPLAY_RIM:
        case DISPLAY_TOON:
        case DISPLAY_MATCAP:
        case DISPLAY_BUMP:
            return true;
        default:
            return false;
    }
}

template <class Pixel>
float Channel(const Pixel& p, int32_t which) {
    using T = PixelTraits<Pixel>;
    switch (which) {
        case CHANNEL_RED:
            return float(p.red);
        case CHANNEL_GREEN:
            return float(p.green);
        case CHANNEL_BLUE:
            return float(p.blue);
        case CHANNEL_FULL:
            return T::kMax;
        default:  // None, or a value the popup does not offer
            return 0.0f;
    }
}

template <class Pixel>
bool NoSurface(const Pixel& m) {
    if constexpr (PixelTraits<Pixel>::kIsFloat) {
        return !(m.red > 0.0f) && !(m.green > 0.0f) && !(m.blue > 0.0f);
    } else {
        return m.red == 0 && m.green == 0 && m.blue == 0;
    }
}

template <class Pixel>
bool NoCoverage(typename PixelTraits<Pixel>::Channel a) {
    if constexpr (PixelTraits<Pixel>::kIsFloat) {
        return !(a > 0.0f);
    } else {
        return a == 0;
    }
}

// A value in 0..1 as an integer channel, truncated (0.9999 is 254 in 8-bit);
// anything outside 0..1, NaN included, is first limited to it.
template <class Pixel>
typename PixelTraits<Pixel>::Channel ToChannel(float v) {
    using T = PixelTraits<Pixel>;
    if constexpr (T::kIsFloat) {
        return v;
    } else {
        const float limited = v >= 0.0f ? (v <= 1.0f ? v : 1.0f) : 0.0f;
        return static_cast<typename T::Channel>(TruncToInt(limited * T::kMax));
    }
}

void Limit(Color& s) {
    auto limit = [](float v) { return v >= 0.0f ? (v <= 1.0f ? v : 1.0f) : 0.0f; };
    s.red = limit(s.red);
    s.green = limit(s.green);
    s.blue = limit(s.blue);
}

// The product of a downsample factor's denominator and numerator, which
// turns a layer position into a full-resolution one; at full resolution
// it is 1 without a conversion.
inline float DownsampleProduct(const PF_RationalScale& factor) {
    if (factor.num == 1 && factor.den == 1) return 1.0f;
    return float(factor.den) * float(factor.num);
}

// The stretch of a map over the layer, as MapPositionOf works it out.
void StretchOf(const PF_EffectWorld* map, const RenderContext& ctx, float& x, float& y) {
    if (!HasRows(map, 1)) return;
    x = float(map->width - 1) / (ctx.layerWidth - 1.0f);
    y = float(map->height - 1) / (ctx.layerHeight - 1.0f);
}

// Which steps of the pass act, with the tests the per-pixel function makes
// at each step.
PassSteps PassStepsOf(const RenderContext& ctx) {
    using lighting_detail::ShowsTerm;
    const int32_t display = ctx.displayMode;
    const PF_InData* in = ctx.inData;
    PassSteps p;
    p.lightLoop = LightLoopRuns(display);
    p.texture = ctx.textureEnabled && Shows(display, DISPLAY_TEXTURE) &&
                HasRows(ctx.textureMap, 2) && HasRows(ctx.uvMap, 2);
    p.bump = ctx.bumpEnabled && Shows(display, DISPLAY_BUMP) && ctx.bumpScale > 0.0f &&
             HasRows(ctx.bumpMap, 1) && ctx.bumpIntensity != 0.0f;
    p.incidence = ctx.incidenceEnabled && ShowsTerm(display, DISPLAY_INCIDENCE) &&
                  ctx.incidenceAmount > 0.0f;
    p.gradient = ctx.gradientEnabled && ShowsTerm(display, DISPLAY_GRADIENT) &&
                 ctx.gradientAmount > 0.0f;
    p.rimLight = ctx.rimLightEnabled && ShowsTerm(display, DISPLAY_RIM) &&
                 ctx.rimLightAmount > 0.0f && ctx.rimLightSize > 0.0f;
    p.matcap = ctx.matcapEnabled && Shows(display, DISPLAY_MATCAP) && ctx.matcapAmount > 0.0f &&
               HasRows(ctx.matcapMap, 2);
    p.reflection = ctx.reflectionEnabled && ctx.reflectionAmount > 0.0f &&
                   HasRows(ctx.environmentMap, 2) && Shows(display, DISPLAY_REFLECTION);
    p.refraction = ctx.refractionEnabled && ctx.refractionAmount > 0.0f &&
                   HasRows(ctx.refractionMap, 2) && Shows(display, DISPLAY_REFRACTION);
    p.alphaMap = HasRows(ctx.alphaMap, 1);
    p.limit = lighting_detail::ChannelMaxOf(ctx) > 1;
    p.transfer = ctx.blendAmount != 0.0f;
    p.preBlurSamples = ctx.normalsPreBlur != 0.0f;
    p.textureSamples = Filters(ctx.textureFilter, 1, in);
    p.bumpSamples = Filters(ctx.bumpFilter, 2, in);  // Filter Off never filters
    p.matcapSamples = Filters(ctx.matcapBlur, 1, in);
    p.reflectionSamples = Filters(ctx.reflectionBlur, 1, in);
    p.refractionSamples = Filters(ctx.refractionBlur, 1, in);
    StretchOf(ctx.alphaMap, ctx, p.alphaRatioX, p.alphaRatioY);
    StretchOf(ctx.normalMap, ctx, p.normalRatioX, p.normalRatioY);
    StretchOf(ctx.depthMap, ctx, p.depthRatioX, p.depthRatioY);
    // Read unfiltered at the pixel's own place, the input standing in for
    // the normal map gives every pixel its own input pixel.
    p.normalIsInput = ctx.frame.placement.normalMapIsInput && !p.preBlurSamples;
    return p;
}

FrameConstants ConstantsOf(const RenderContext& ctx) {
    FrameConstants k;
    k.placement = ctx.frame.placement;
    k.pass = PassStepsOf(ctx);
    k.steps = lighting_detail::StepsOf(ctx, lighting_detail::ChannelMaxOf(ctx));
    k.pixelScaleX = DownsampleProduct(ctx.inData->downsample_x);
    k.pixelScaleY = DownsampleProduct(ctx.inData->downsample_y);
    lighting_detail::RimDirection(ctx, k.rimSin, k.rimCos);
    k.prepared = true;
    return k;
}

// One pixel. Everything it calls that the compiler can see (the light loop,
// the terms, the lookups, the blends) is compiled into it: each is small and
// runs for every pixel, and a call costs as much as several of them. What
// stays a call is the power (PowF, common/fmath.h) and the host's samplers. Inlining changes no
// result: the arithmetic is the same and floating-point contraction is off.
template <class Pixel>
[[gnu::flatten]] PF_Err Shade(const RenderContext& ctx, A_long x, A_long y, const Pixel& in,
                              Pixel& out) {
    using T = PixelTraits<Pixel>;
    using C = typename T::Channel;
    const FrameConstants& k = ctx.frame;  // prepared: see ShadePixel
    const int32_t maxValue = k.steps.maxValue;
    // Everything below is placed by the pixel's position in the layer; `in`
    // is the input pixel there.
    const LayerPoint at = LayerPositionOf(k.placement, x, y);

    // Coverage: the alpha map's alpha when there is one, else the input's.
    C a = in.alpha;
    if (HasRows(ctx.alphaMap, 1)) {
        const MapPosition p = MapPositionOf(*ctx.alphaMap, at.x, at.y, ctx);
        a = PixelAt<Pixel>(*ctx.alphaMap, p.column, p.row).alpha;
    }
    if (NoCoverage<Pixel>(a)) {
        out = in;
        out.alpha = a;
        return PF_Err_NONE;
    }

    const Color input = ScaledColor(in);

    Pixel m{};
    if (HasRows(ctx.normalMap, 1)) {
        const MapPosition p = NormalMapPositionOf(ctx, at);
        m = ctx.normalsPreBlur != 0.0f
                ? SampleArea<Pixel>(*ctx.normalMap, p.column, p.row, ctx.normalsPreBlur, ctx.inData)
                : PixelAt<Pixel>(*ctx.normalMap, p.column, p.row);
    }

    Vector3 n{};
    Color s{};
    float depth = 0.0f;
    if (!NoSurface(m)) {
        const Vector3 raw = SelectNormalChannels(m, ctx);
        if constexpr (T::kIsFloat) {
            n = raw;
            if (ctx.normalsInvertX) n.x = 1.0f - n.x;
            if (ctx.normalsInvertY) n.y = 1.0f - n.y;
            if (ctx.normalsInvertZ) n.z = 1.0f - n.z;
        } else {
            n.x = (ctx.normalsInvertX ? T::kMax - raw.x : raw.x) * T::kScale;
            n.y = (ctx.normalsInvertY ? T::kMax - raw.y : raw.y) * T::kScale;
            n.z = (ctx.normalsInvertZ ? T::kMax - raw.z : raw.z) * T::kScale;
        }

        Vector3 n2 = n;
        if (ctx.bumpEnabled) ApplyBump(m, ctx, at.x, at.y, n, n2);
        depth = ReadDepth<Pixel>(at.x, at.y, ctx);

        if (LightLoopRuns(ctx.displayMode)) {
            Color texture{};
            if (ctx.textureEnabled) LookupTexture(m, at.x, at.y, ctx, texture);
            const LightLoopInput lit{
                n, float(at.x) * k.pixelScaleX, float(at.y) * k.pixelScaleY, depth, input, texture};
            lighting_detail::LightLoop(ctx, lit, k.steps, s);
        }

        lighting_detail::Incidence(n, ctx, maxValue, s);
        lighting_detail::Gradient(n, ctx, maxValue, s);
        if (ctx.rimLightEnabled) {
            lighting_detail::RimLight(Scaled<Pixel>(m.blue), n, ctx, maxValue, k.rimSin, k.rimCos,
                                      s);
        }
        if (ctx.matcapEnabled) LookupMatcap(m, n, ctx, s);
        if (ctx.reflectionEnabled) LookupReflection(m, at.x, at.y, depth, n2, ctx, s);
        if (ctx.refractionEnabled) LookupRefraction(m, at.x, at.y, depth, n2, ctx, s);
    }

    if (ctx.displayMode == DISPLAY_ADJUSTED_NORMALS) {
        s.red = n.x;
        s.green = n.y;
        s.blue = n.z;
    }
    if constexpr (!T::kIsFloat) Limit(s);
    if (ctx.blendAmount != 0.0f) {
        BlendColor(s, ctx.blendTransferMode, ctx.blendAmount, input, maxValue);
    }

    out.alpha = a;
    if (ctx.displayMode == DISPLAY_ORIGINAL_NORMALS) {
        out.red = m.red;
        out.green = m.green;
        out.blue = m.blue;
    } else if (ctx.displayMode == DISPLAY_DEPTH && HasRows(ctx.depthMap, 2)) {
        const C d = ToChannel<Pixel>(depth);
        out.red = out.green = out.blue = d;
    } else {
        out.red = ToChannel<Pixel>(s.red);
        out.green = ToChannel<Pixel>(s.green);
        out.blue = ToChannel<Pixel>(s.blue);
    }
    return PF_Err_NONE;
}

}  // namespace

MapPosition MapPositionOf(const PF_EffectWorld& map, A_long x, A_long y, const RenderContext& ctx) {
    const float fx = float(map.width - 1) / (ctx.layerWidth - 1.0f) * float(x);
    const float fy = float(map.height - 1) / (ctx.layerHeight - 1.0f) * float(y);
    return {FloorToIndex(fx, map.width - 1), FloorToIndex(fy, map.height - 1)};
}

MapPosition NormalMapPositionOf(const RenderContext& ctx, LayerPoint at) {
    const PF_EffectWorld& map = *ctx.normalMap;
    if (!ctx.frame.placement.normalMapIsInput) return MapPositionOf(map, at.x, at.y, ctx);
    // For a whole layer this is what the stretch gives too: the input is
    // the layer's size, so the stretch is the identity.
    const LayerPoint p = InputPositionOf(ctx.frame.placement, at);
    const auto limit = [](int32_t v, int32_t last) { return v < 0 ? 0 : (v > last ? last : v); };
    return {limit(p.x, map.width - 1), limit(p.y, map.height - 1)};
}

template <class Pixel>
Vector3 SelectNormalChannels(const Pixel& m, const RenderContext& ctx) {
    if (ctx.normalsXChannel == CHANNEL_RED && ctx.normalsYChannel == CHANNEL_GREEN &&
        ctx.normalsZChannel == CHANNEL_BLUE) {
        return {float(m.red), float(m.green), float(m.blue)};  // the usual choice, directly
    }
    return {Channel(m, ctx.normalsXChannel), Channel(m, ctx.normalsYChannel),
            Channel(m, ctx.normalsZChannel)};
}

template <class Pixel>
float ReadDepth(A_long x, A_long y, const RenderContext& ctx) {
    using T = PixelTraits<Pixel>;
    if (!HasRows(ctx.depthMap, 1)) return 1.0f;
    const MapPosition p = MapPositionOf(*ctx.depthMap, x, y, ctx);
    const Pixel& d = PixelAt<Pixel>(*ctx.depthMap, p.column, p.row);

    float v;
    switch (ctx.depthChannel) {
        case DEPTH_RED:
            v = Scaled<Pixel>(d.red);
            break;
        case DEPTH_GREEN:
            v = Scaled<Pixel>(d.green);
            break;
        case DEPTH_BLUE:
            v = Scaled<Pixel>(d.blue);
            break;
        case DEPTH_LUMINANCE: {
            // The luminance is averaged in double; 8-bit channels scale by
            // 1/255 in double here rather than by the single-precision factor.
            const double scale = T::kIsFloat ? 1.0 : 1.0 / double(T::kMax);
            v = float((double(d.red) * scale + double(d.green) * scale + double(d.blue) * scale) *
                      (1.0 / 3.0));
            break;
        }
        default:
            // "None" and the separators name no channel: the depth is that of
            // a layer without a depth map.
            return 1.0f;
    }
    const float gamma = ctx.depthGamma > 0.0f ? ctx.depthGamma : kSmallestFixedStep;
    const float value = v / gamma;
    return ctx.depthInvert ? value : 1.0f - value;
}

void PrepareFrame(RenderContext& ctx) { ctx.frame = ConstantsOf(ctx); }

namespace {

// Only a context made without smart render (a test calling a pixel function
// directly) is shaded here, with a copy prepared for the pixel. Out of line,
// so that the copy's stack space is not set up for every pixel.
template <class Pixel>
[[gnu::noinline]] PF_Err ShadeUnprepared(const RenderContext& ctx, A_long x, A_long y,
                                         const Pixel& in, Pixel& out) {
    RenderContext prepared = ctx;
    PrepareFrame(prepared);
    return Shade(prepared, x, y, in, out);
}

}  // namespace

template <class Pixel>
PF_Err ShadePixel(void* refcon, A_long x, A_long y, Pixel* in, Pixel* out) {
    // Nothing may be thrown into the host's iterate code: a failure becomes
    // this call's result, which the iteration hands back.
    return WithinErrorBarrier([&]() -> PF_Err {
        const auto* ctx = static_cast<const RenderContext*>(refcon);
        if (ctx == nullptr || in == nullptr || out == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
        if (ctx->inData == nullptr || ctx->inData->pica_basicP == nullptr) {
            return PF_Err_BAD_CALLBACK_PARAM;
        }
        if (!ctx->frame.prepared) return ShadeUnprepared(*ctx, x, y, *in, *out);
        return Shade(*ctx, x, y, *in, *out);
    });
}

#define LUMESHADE_INSTANTIATE(Pixel)                                                  \
    template Vector3 SelectNormalChannels<Pixel>(const Pixel&, const RenderContext&); \
    template float ReadDepth<Pixel>(A_long, A_long, const RenderContext&);            \
    template PF_Err ShadePixel<Pixel>(void*, A_long, A_long, Pixel*, Pixel*);

LUMESHADE_INSTANTIATE(PF_Pixel8)
LUMESHADE_INSTANTIATE(PF_Pixel16)
LUMESHADE_INSTANTIATE(PF_PixelFloat)

#undef LUMESHADE_INSTANTIATE

PF_Err ShadePixelFloat(void* refcon, A_long x, A_long y, PF_PixelFloat* in, PF_PixelFloat* out) {
    return ShadePixel(refcon, x, y, in, out);
}
PF_Err ShadePixel16(void* refcon, A_long x, A_long y, PF_Pixel16* in, PF_Pixel16* out) {
    return ShadePixel(refcon, x, y, in, out);
}
PF_Err ShadePixel8(void* refcon, A_long x, A_long y, PF_Pixel8* in, PF_Pixel8* out) {
    return ShadePixel(refcon, x, y, in, out);
}

}  // namespace lumeshade
