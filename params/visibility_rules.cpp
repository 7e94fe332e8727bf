#include "params/visibility_rules.h"

namespace lumeshade {
namespace {

constexpr ParamId kDepth[] = {PARAM_DEPTH_INVERT, PARAM_DEPTH_CHANNEL, PARAM_DEPTH_MULTIPLIER,
                              PARAM_DEPTH_GAMMA};
constexpr ParamId kShading[] = {PARAM_SHADING_DIFFUSE, PARAM_SHADING_COLOR, PARAM_SHADING_AMBIENT,
                                PARAM_SHADING_INCANDESCENCE, PARAM_SHADING_BLEND};
constexpr ParamId kSpecular[] = {PARAM_SPECULAR_AMOUNT, PARAM_SPECULAR_SPREAD, PARAM_SPECULAR_COLOR,
                                 PARAM_SPECULAR_BLEND};
constexpr ParamId kIncidence[] = {PARAM_INCIDENCE_AMOUNT, PARAM_INCIDENCE_BLEND,
                                  PARAM_INCIDENCE_COLOR, PARAM_INCIDENCE_FALLOFF};
constexpr ParamId kRimLight[] = {PARAM_RIM_LIGHT_AMOUNT, PARAM_RIM_LIGHT_SIZE,
                                 PARAM_RIM_LIGHT_WIDTH,  PARAM_RIM_LIGHT_COLOR,
                                 PARAM_RIM_LIGHT_BLEND,  PARAM_RIM_LIGHT_ANGLE};
constexpr ParamId kToon[] = {PARAM_TOON_AMOUNT,
                             PARAM_TOON_SHADOW_COLOR,
                             PARAM_TOON_SMOOTHING,
                             PARAM_TOON_COLOR,
                             PARAM_TOON_BLEND,
                             PARAM_TOON_HIGHLIGHT_COLOR,
                             PARAM_TOON_SHADOW_INTENSITY,
                             PARAM_TOON_SHADOW_WIDTH,
                             PARAM_TOON_HIGHLIGHT_WIDTH,
                             PARAM_TOON_HIGHLIGHT_INTENSITY};
constexpr ParamId kGradient[] = {PARAM_GRADIENT_AMOUNT, PARAM_GRADIENT_COLOR, PARAM_GRADIENT_BLEND};
constexpr ParamId kMatcap[] = {PARAM_MATCAP_AMOUNT, PARAM_MATCAP_OFFSET, PARAM_MATCAP_MODE,
                               PARAM_MATCAP_BLEND,  PARAM_MATCAP_BLUR,   PARAM_MATCAP_MAP};
constexpr ParamId kReflection[] = {PARAM_REFLECTION_AMOUNT,
                                   PARAM_REFLECTION_ENVIRONMENT_MODE,
                                   PARAM_REFLECTION_GAMMA,
                                   PARAM_REFLECTION_TILE_MODE,
                                   PARAM_REFLECTION_BLEND,
                                   PARAM_REFLECTION_BLUR,
                                   PARAM_REFLECTION_COLOR,
                                   PARAM_REFLECTION_INCLINATION,
                                   PARAM_REFLECTION_AZIMUTH,
                                   PARAM_REFLECTION_SEAM,
                                   PARAM_REFLECTION_INDEX_OF_REFRACTION,
                                   PARAM_REFLECTION_FRESNEL,
                                   PARAM_REFLECTION_FRESNEL_DEPTH,
                                   PARAM_REFLECTION_ENVIRONMENT_MAP};
constexpr ParamId kRefraction[] = {PARAM_REFRACTION_AMOUNT,  PARAM_REFRACTION_TILE_MODE,
                                   PARAM_REFRACTION_GAMMA,   PARAM_REFRACTION_BLEND,
                                   PARAM_REFRACTION_BLUR,    PARAM_REFRACTION_COLOR,
                                   PARAM_REFRACTION_SCALE,   PARAM_REFRACTION_INDEX_OF_REFRACTION,
                                   PARAM_REFRACTION_FRESNEL, PARAM_REFRACTION_FRESNEL_DEPTH,
                                   PARAM_REFRACTION_MAP,     PARAM_REFRACTION_OFFSET};
constexpr ParamId kTexture[] = {PARAM_TEXTURE_AMOUNT, PARAM_TEXTURE_TILE_MODE, PARAM_TEXTURE_BLEND,
                                PARAM_TEXTURE_FILTER, PARAM_TEXTURE_UV_MIRROR, PARAM_TEXTURE_UV_MAP,
                                PARAM_TEXTURE_MAP,    PARAM_TEXTURE_OFFSET};
constexpr ParamId kBump[] = {PARAM_BUMP_INTENSITY, PARAM_BUMP_TILE_MODE, PARAM_BUMP_FILTER,
                             PARAM_BUMP_SCALE,     PARAM_BUMP_MAP,       PARAM_BUMP_OFFSET};

constexpr VisibilityRule kRules[] = {
    {PARAM_DEPTH_MAP, kDepth},
    {PARAM_SHADING_ENABLE, kShading},
    {PARAM_SPECULAR_ENABLE, kSpecular},
    {PARAM_INCIDENCE_ENABLE, kIncidence},
    {PARAM_RIM_LIGHT_ENABLE, kRimLight},
    {PARAM_TOON_ENABLE, kToon},
    {PARAM_GRADIENT_ENABLE, kGradient},
    {PARAM_MATCAP_ENABLE, kMatcap},
    {PARAM_REFLECTION_ENABLE, kReflection},
    {PARAM_REFRACTION_ENABLE, kRefraction},
    {PARAM_TEXTURE_ENABLE, kTexture},
    {PARAM_BUMP_ENABLE, kBump},
};

}  // namespace

std::span<const VisibilityRule> VisibilityRules() { return kRules; }

}  // namespace lumeshade
