// A live emulated host and a render context set up so that each lookup
// hands back the texel it read unchanged (Normal blends at full opacity,
// neutral tints, gamma 1, no Fresnel), for one pixel format.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "host/host.h"
#include "maps/bump.h"
#include "maps/matcap.h"
#include "maps/reflection.h"
#include "maps/refraction.h"
#include "maps/texture.h"
#include "maps/tile_index.h"
#include "render/render_context.h"
#include "shading/blend.h"
#include "tests/maps/test_world.h"

namespace lumeshade::test {

inline PF_Err NoEffect(PF_Cmd, PF_InData*, PF_OutData*, PF_ParamList, PF_LayerDef*, void*) {
    return PF_Err_NONE;
}

enum class Lookup { kMatcap, kReflection, kRefraction, kTexture, kBump };
constexpr Lookup kLookups[] = {Lookup::kMatcap, Lookup::kReflection, Lookup::kRefraction,
                               Lookup::kTexture, Lookup::kBump};

// Each lookup's map (the texture map for the texture), radius and tile mode.
struct LookupControls {
    const char* name;
    PF_EffectWorld* RenderContext::*map;
    int32_t RenderContext::*radius;
    int32_t RenderContext::*tileMode;
};
constexpr LookupControls kControls[] = {
    {"matcap", &RenderContext::matcapMap, &RenderContext::matcapBlur, &RenderContext::matcapMode},
    {"reflection", &RenderContext::environmentMap, &RenderContext::reflectionBlur,
     &RenderContext::reflectionTileMode},
    {"refraction", &RenderContext::refractionMap, &RenderContext::refractionBlur,
     &RenderContext::refractionTileMode},
    {"texture", &RenderContext::textureMap, &RenderContext::textureFilter,
     &RenderContext::textureTileMode},
    {"bump", &RenderContext::bumpMap, &RenderContext::bumpFilter, &RenderContext::bumpTileMode},
};
inline const LookupControls& ControlsOf(Lookup l) { return kControls[static_cast<int>(l)]; }
inline const char* NameOf(Lookup l) { return ControlsOf(l).name; }

// Everything a lookup may change.
struct Observed {
    Color s{0.125f, 0.25f, 0.375f, 0.5f};  // accumulated colour before the lookup
    Color t{0.0f, 0.0f, 0.0f, 0.75f};      // texture colour before the lookup
    Vector3 n{};
    Vector3 n2{};
};

// What a lookup that does nothing leaves, for a run with normal `n`.
inline Observed Untouched(Vector3 n) {
    Observed o;
    o.n = n;
    o.n2 = n;
    return o;
}

// Bit patterns compared, so that NaN results compare too.
inline bool SameBits(const Observed& a, const Observed& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

template <class Pixel>
class LookupFixture : public ::testing::Test {
protected:
    using Traits = PixelTraits<Pixel>;

    LookupFixture() : ctxOwner_(std::make_unique<RenderContext>()), ctx_(*ctxOwner_) {
        ctx_.inData = &host_.InData();
        ctx_.channelMax = Traits::kMax;
        ctx_.displayMode = DISPLAY_ALL;
        for (PF_EffectWorld** map :
             {&ctx_.normalMap, &ctx_.alphaMap, &ctx_.depthMap, &ctx_.bumpMap, &ctx_.environmentMap,
              &ctx_.refractionMap, &ctx_.matcapMap, &ctx_.uvMap, &ctx_.textureMap}) {
            *map = noLayer_.World();
        }
        ctx_.matcapAmount = 1.0f;
        ctx_.matcapMode = TILE_EDGE;
        ctx_.matcapBlur = 1;
        ctx_.matcapBlend = BLEND_NORMAL;

        ctx_.reflectionAmount = 1.0f;
        ctx_.reflectionGamma = 1.0f;
        ctx_.reflectionColor = {0.5f, 0.5f, 0.5f, 0.0f};  // cancels the factor 2 of k
        ctx_.reflectionBlur = 1;
        ctx_.reflectionEnvironmentMode = ENVIRONMENT_SPHERICAL;
        ctx_.reflectionSeam = 1.0f;
        ctx_.reflectionFresnel = 0.0f;
        ctx_.reflectionFresnelDepth = 3.0f;
        ctx_.reflectionTileMode = TILE_REPEAT;
        ctx_.reflectionBlend = BLEND_NORMAL;
        ctx_.reflectionIndexOfRefraction = 0.0f;

        ctx_.refractionAmount = 1.0f;
        ctx_.refractionGamma = 1.0f;
        ctx_.refractionColor = {1.0f, 1.0f, 1.0f, 0.0f};
        ctx_.refractionScale = 1.0f;
        ctx_.refractionBlur = 1;
        ctx_.refractionIndexOfRefraction = 1.5f;
        ctx_.refractionFresnel = 0.0f;
        ctx_.refractionFresnelDepth = 1.0f;
        ctx_.refractionBlend = BLEND_NORMAL;
        ctx_.refractionTileMode = TILE_EDGE;

        ctx_.textureTileMode = TILE_EDGE;
        ctx_.textureUvMirror = UV_MIRROR_OFF;
        ctx_.textureFilter = FILTER_OFF + 1;

        ctx_.bumpIntensity = 1.0f;
        ctx_.bumpTileMode = TILE_EDGE;
        ctx_.bumpScale = 1.0f;
        ctx_.bumpFilter = FILTER_OFF + 1;
    }

    // A channel value scaled to 0..1 the way the map read scales it.
    static float ScaledChannel(typename Traits::Channel v) {
        return static_cast<float>(v) * Traits::kScale;
    }

    void SetMap(Lookup l, PF_EffectWorld* world) { ctx_.*ControlsOf(l).map = world; }
    void SetRadius(Lookup l, int32_t r) { ctx_.*ControlsOf(l).radius = r; }
    void SetTileMode(Lookup l, int32_t mode) { ctx_.*ControlsOf(l).tileMode = mode; }

    // Runs one lookup for output pixel (x, y) with normal (and reflection
    // normal) `n`.
    Observed Run(Lookup l, A_long x, A_long y, Vector3 n, float depth = 1.0f) const {
        Observed o;
        o.n = n;
        o.n2 = n;
        switch (l) {
            case Lookup::kMatcap:
                LookupMatcap(m_, n, ctx_, o.s);
                break;
            case Lookup::kReflection:
                LookupReflection(m_, x, y, depth, n, ctx_, o.s);
                break;
            case Lookup::kRefraction:
                LookupRefraction(m_, x, y, depth, n, ctx_, o.s);
                break;
            case Lookup::kTexture:
                LookupTexture(m_, x, y, ctx_, o.t);
                break;
            case Lookup::kBump:
                ApplyBump(m_, ctx_, x, y, o.n, o.n2);
                break;
        }
        return o;
    }

    // The colour a colour lookup produced (the texture colour for the
    // texture).
    static Color ColourOf(Lookup l, const Observed& o) { return l == Lookup::kTexture ? o.t : o.s; }

    host::Host host_{NoEffect};
    TestWorld<Pixel> noLayer_{0, 0};
    std::unique_ptr<RenderContext> ctxOwner_;  // large: kept off the stack
    RenderContext& ctx_;
    Pixel m_ = Rgb<Pixel>(0.5, 0.5, 1.0);  // the normal-map pixel
};

using PixelTypes = ::testing::Types<PF_Pixel8, PF_Pixel16, PF_PixelFloat>;

}  // namespace lumeshade::test
