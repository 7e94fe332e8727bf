#include "render/read_parameters.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "common/convert.h"
#include "common/fmath.h"
#include "params/param_ids.h"
#include "render/read_table.h"

namespace lumeshade {
namespace {

constexpr ControlRead R(ParamId id, Conv conv, float RenderContext::*m) { return {id, conv, m}; }
constexpr ControlRead I(ParamId id, Conv conv, int32_t RenderContext::*m) {
    return {id, conv, nullptr, m};
}
constexpr ControlRead P(ParamId id, int32_t RenderContext::*x, int32_t RenderContext::*y) {
    return {id, Conv::kPoint, nullptr, x, y};
}
constexpr ControlRead B(ParamId id, bool RenderContext::*m) {
    return {id, Conv::kSwitch, nullptr, nullptr, nullptr, m};
}
constexpr ControlRead C(ParamId id, Conv conv, Color RenderContext::*m) {
    return {id, conv, nullptr, nullptr, nullptr, nullptr, m};
}

using RC = RenderContext;
using enum Conv;

// Read first, whatever the switches say.
constexpr ControlRead kAlways[] = {
    I(PARAM_DEPTH_CHANNEL, kChoice, &RC::depthChannel),
    B(PARAM_BUMP_ENABLE, &RC::bumpEnabled),
    B(PARAM_DEPTH_INVERT, &RC::depthInvert),
    R(PARAM_DEPTH_GAMMA, kFixed, &RC::depthGamma),
    R(PARAM_DEPTH_MULTIPLIER, kFixed, &RC::depthMultiplier),
    I(PARAM_DISPLAY, kChoice, &RC::displayMode),
    B(PARAM_SHADING_ENABLE, &RC::shadingEnabled),
    B(PARAM_SPECULAR_ENABLE, &RC::specularEnabled),
    B(PARAM_INCIDENCE_ENABLE, &RC::incidenceEnabled),
    B(PARAM_RIM_LIGHT_ENABLE, &RC::rimLightEnabled),
    B(PARAM_TOON_ENABLE, &RC::toonEnabled),
    B(PARAM_GRADIENT_ENABLE, &RC::gradientEnabled),
    B(PARAM_MATCAP_ENABLE, &RC::matcapEnabled),
    B(PARAM_REFLECTION_ENABLE, &RC::reflectionEnabled),
    B(PARAM_TEXTURE_ENABLE, &RC::textureEnabled),
    B(PARAM_REFRACTION_ENABLE, &RC::refractionEnabled),
    R(PARAM_SHADING_DIFFUSE, kReciprocal, &RC::shadingDiffuse),
    R(PARAM_LIGHTS_FALLOFF, kReciprocal, &RC::lightFalloff),
    I(PARAM_LIGHTS_FALLOFF_MODE, kChoice, &RC::lightFalloffMode),
    R(PARAM_LIGHTS_EXPOSURE, kPowerOfTwo, &RC::lightExposure),
    R(PARAM_NORMALS_PRE_BLUR, kFixed, &RC::normalsPreBlur),
    R(PARAM_LIGHTS_GAMMA, kFixed, &RC::lightGamma),
};

constexpr ControlRead kGradient[] = {
    R(PARAM_GRADIENT_AMOUNT, kFixed, &RC::gradientAmount),
    C(PARAM_GRADIENT_COLOR, kColor255, &RC::gradientColor),
    I(PARAM_GRADIENT_BLEND, kChoice, &RC::gradientBlend),
};
constexpr ControlRead kShading[] = {
    C(PARAM_SHADING_COLOR, kColor255, &RC::shadingColor),
    C(PARAM_SHADING_INCANDESCENCE, kColor255, &RC::shadingIncandescence),
    C(PARAM_SHADING_AMBIENT, kColor255, &RC::shadingAmbient),
    I(PARAM_SHADING_BLEND, kChoice, &RC::shadingBlend),
};
constexpr ControlRead kSpecular[] = {
    R(PARAM_SPECULAR_AMOUNT, kFixed, &RC::specularAmount),
    R(PARAM_SPECULAR_SPREAD, kFixed, &RC::specularSpread),
    C(PARAM_SPECULAR_COLOR, kColor255, &RC::specularColor),
    I(PARAM_SPECULAR_BLEND, kChoice, &RC::specularBlend),
};
constexpr ControlRead kIncidence[] = {
    R(PARAM_INCIDENCE_AMOUNT, kFixed, &RC::incidenceAmount),
    C(PARAM_INCIDENCE_COLOR, kColor255, &RC::incidenceColor),
    R(PARAM_INCIDENCE_FALLOFF, kFixed, &RC::incidenceFalloff),
    I(PARAM_INCIDENCE_BLEND, kChoice, &RC::incidenceBlend),
};
constexpr ControlRead kRimLight[] = {
    R(PARAM_RIM_LIGHT_AMOUNT, kFixed, &RC::rimLightAmount),
    R(PARAM_RIM_LIGHT_SIZE, kFixed, &RC::rimLightSize),
    R(PARAM_RIM_LIGHT_WIDTH, kFixed, &RC::rimLightWidth),
    C(PARAM_RIM_LIGHT_COLOR, kColor255, &RC::rimLightColor),
    I(PARAM_RIM_LIGHT_ANGLE, kWholeDegrees, &RC::rimLightAngle),
    I(PARAM_RIM_LIGHT_BLEND, kChoice, &RC::rimLightBlend),
};
constexpr ControlRead kToon[] = {
    R(PARAM_TOON_AMOUNT, kFixed, &RC::toonAmount),
    R(PARAM_TOON_SHADOW_INTENSITY, kFixed, &RC::toonShadowIntensity),
    R(PARAM_TOON_HIGHLIGHT_INTENSITY, kFixed, &RC::toonHighlightIntensity),
    R(PARAM_TOON_SHADOW_WIDTH, kFixed, &RC::toonShadowWidth),
    R(PARAM_TOON_HIGHLIGHT_WIDTH, kFixed, &RC::toonHighlightWidth),
    R(PARAM_TOON_SMOOTHING, kQuarter, &RC::toonSmoothing),
    C(PARAM_TOON_SHADOW_COLOR, kColor255, &RC::toonShadowColor),
    C(PARAM_TOON_COLOR, kColor255, &RC::toonColor),
    C(PARAM_TOON_HIGHLIGHT_COLOR, kColor255, &RC::toonHighlightColor),
    I(PARAM_TOON_BLEND, kChoice, &RC::toonBlend),
};
constexpr ControlRead kMatcap[] = {
    R(PARAM_MATCAP_AMOUNT, kFixed, &RC::matcapAmount),
    I(PARAM_MATCAP_BLUR, kIntegerPlusOne, &RC::matcapBlur),
    I(PARAM_MATCAP_BLEND, kChoice, &RC::matcapBlend),
    I(PARAM_MATCAP_MODE, kChoice, &RC::matcapMode),
    P(PARAM_MATCAP_OFFSET, &RC::matcapOffsetX, &RC::matcapOffsetY),
};
constexpr ControlRead kReflection[] = {
    R(PARAM_REFLECTION_AMOUNT, kFixed, &RC::reflectionAmount),
    R(PARAM_REFLECTION_GAMMA, kFixed, &RC::reflectionGamma),
    I(PARAM_REFLECTION_BLUR, kIntegerPlusOne, &RC::reflectionBlur),
    C(PARAM_REFLECTION_COLOR, kColor255, &RC::reflectionColor),
    R(PARAM_REFLECTION_INCLINATION, kDegrees, &RC::reflectionInclination),
    R(PARAM_REFLECTION_AZIMUTH, kDegrees, &RC::reflectionAzimuth),
    R(PARAM_REFLECTION_SEAM, kReciprocal, &RC::reflectionSeam),
    R(PARAM_REFLECTION_INDEX_OF_REFRACTION, kFixed, &RC::reflectionIndexOfRefraction),
    R(PARAM_REFLECTION_FRESNEL, kFixed, &RC::reflectionFresnel),
    R(PARAM_REFLECTION_FRESNEL_DEPTH, kTriple, &RC::reflectionFresnelDepth),
    I(PARAM_REFLECTION_ENVIRONMENT_MODE, kChoice, &RC::reflectionEnvironmentMode),
    I(PARAM_REFLECTION_TILE_MODE, kChoice, &RC::reflectionTileMode),
    I(PARAM_REFLECTION_BLEND, kChoice, &RC::reflectionBlend),
};
constexpr ControlRead kRefraction[] = {
    R(PARAM_REFRACTION_AMOUNT, kFixed, &RC::refractionAmount),
    R(PARAM_REFRACTION_GAMMA, kFixed, &RC::refractionGamma),
    I(PARAM_REFRACTION_BLUR, kIntegerPlusOne, &RC::refractionBlur),
    C(PARAM_REFRACTION_COLOR, kColor127, &RC::refractionColor),
    R(PARAM_REFRACTION_INDEX_OF_REFRACTION, kFixed, &RC::refractionIndexOfRefraction),
    R(PARAM_REFRACTION_FRESNEL, kFixed, &RC::refractionFresnel),
    P(PARAM_REFRACTION_OFFSET, &RC::refractionOffsetX, &RC::refractionOffsetY),
    R(PARAM_REFRACTION_SCALE, kReciprocal, &RC::refractionScale),
    R(PARAM_REFRACTION_FRESNEL_DEPTH, kFixed, &RC::refractionFresnelDepth),
    I(PARAM_REFRACTION_TILE_MODE, kChoice, &RC::refractionTileMode),
    I(PARAM_REFRACTION_BLEND, kChoice, &RC::refractionBlend),
};
constexpr ControlRead kTexture[] = {
    I(PARAM_TEXTURE_FILTER, kChoicePlusOne, &RC::textureFilter),
    I(PARAM_TEXTURE_TILE_MODE, kChoice, &RC::textureTileMode),
    I(PARAM_TEXTURE_UV_MIRROR, kChoice, &RC::textureUvMirror),
    R(PARAM_TEXTURE_AMOUNT, kFixed, &RC::textureAmount),
    P(PARAM_TEXTURE_OFFSET, &RC::textureOffsetX, &RC::textureOffsetY),
    I(PARAM_TEXTURE_BLEND, kChoice, &RC::textureBlend),
};
constexpr ControlRead kBump[] = {
    I(PARAM_BUMP_FILTER, kChoicePlusOne, &RC::bumpFilter),
    I(PARAM_BUMP_TILE_MODE, kChoice, &RC::bumpTileMode),
    R(PARAM_BUMP_INTENSITY, kFixed, &RC::bumpIntensity),
    R(PARAM_BUMP_SCALE, kReciprocal, &RC::bumpScale),
    P(PARAM_BUMP_OFFSET, &RC::bumpOffsetX, &RC::bumpOffsetY),
};

// Read last, whatever the switches say.
constexpr ControlRead kLast[] = {
    B(PARAM_NORMALS_INVERT_X, &RC::normalsInvertX),
    B(PARAM_NORMALS_INVERT_Y, &RC::normalsInvertY),
    B(PARAM_NORMALS_INVERT_Z, &RC::normalsInvertZ),
    I(PARAM_NORMALS_X_CHANNEL, kChoice, &RC::normalsXChannel),
    I(PARAM_NORMALS_Y_CHANNEL, kChoice, &RC::normalsYChannel),
    I(PARAM_NORMALS_Z_CHANNEL, kChoice, &RC::normalsZChannel),
    I(PARAM_BLEND_TRANSFER_MODE, kChoice, &RC::blendTransferMode),
    R(PARAM_BLEND_AMOUNT, kFixed, &RC::blendAmount),
};

constexpr ReadBlock kBlocks[] = {
    {nullptr, kAlways},
    {&RC::gradientEnabled, kGradient},
    {&RC::shadingEnabled, kShading},
    {&RC::specularEnabled, kSpecular},
    {&RC::incidenceEnabled, kIncidence},
    {&RC::rimLightEnabled, kRimLight},
    {&RC::toonEnabled, kToon},
    {&RC::matcapEnabled, kMatcap},
    {&RC::reflectionEnabled, kReflection},
    {&RC::refractionEnabled, kRefraction},
    {&RC::textureEnabled, kTexture},
    {&RC::bumpEnabled, kBump},
    {nullptr, kLast},
};

constexpr float kByteToUnit = 0.003921569f;        // 1/255 in single precision
constexpr float kByteToRefraction = 0.007874016f;  // 1/127: the default grey 127 is 1.0

double FixedToDouble(PF_Fixed v) { return v / 65536.0; }

int32_t PlusOne(int32_t v) { return v == std::numeric_limits<int32_t>::max() ? v : v + 1; }

Color ScaledBytes(const PF_Pixel& p, float scale) {
    Color c;
    c.red = float(p.red) * scale;
    c.green = float(p.green) * scale;
    c.blue = float(p.blue) * scale;
    return c;  // the fourth value is not a colour channel and stays zero
}

void Store(const ControlRead& r, const PF_ParamDefUnion& u, RenderContext& ctx) {
    switch (r.conv) {
        case kFixed:
            ctx.*r.real = float(FixedToDouble(u.fd.value));
            break;
        case kReciprocal:
            ctx.*r.real = float(1.0 / FixedToDouble(u.fd.value));
            break;
        case kPowerOfTwo:
            ctx.*r.real = PowF(2.0f, float(FixedToDouble(u.fd.value)));
            break;
        case kQuarter:
            ctx.*r.real = float(FixedToDouble(u.fd.value) * 0.25);
            break;
        case kTriple:
            ctx.*r.real = float(3.0 * FixedToDouble(u.fd.value));
            break;
        case kChoice:
            ctx.*r.integer = u.pd.value;
            break;
        case kChoicePlusOne:
            ctx.*r.integer = PlusOne(u.pd.value);
            break;
        case kIntegerPlusOne:
            ctx.*r.integer = PlusOne(u.sd.value);
            break;
        case kSwitch:
            ctx.*r.flag = u.bd.value != 0;
            break;
        case kColor255:
            ctx.*r.color = ScaledBytes(u.cd.value, kByteToUnit);
            break;
        case kColor127:
            ctx.*r.color = ScaledBytes(u.cd.value, kByteToRefraction);
            break;
        case kPoint:
            ctx.*r.integer = TruncToInt(FixedToDouble(u.td.x_value));
            ctx.*r.integerY = TruncToInt(FixedToDouble(u.td.y_value));
            break;
        case kDegrees:
            ctx.*r.real = float(FixedToDouble(u.ad.value));
            break;
        case kWholeDegrees:
            ctx.*r.integer = TruncToInt(FixedToDouble(u.ad.value));
            break;
    }
}

}  // namespace

std::span<const ReadBlock> ReadBlocks() { return kBlocks; }

PF_Err ReadControl(PF_InData* in_data, A_long index, PF_ParamDef& def) {
    std::memset(&def, 0, sizeof def);
    PF_Err err = PF_CHECKOUT_PARAM(in_data, index, in_data->current_time, in_data->time_step,
                                   in_data->time_scale, &def);
    if (err == PF_Err_NONE) err = PF_CHECKIN_PARAM(in_data, &def);
    return err;
}

void ReadRenderParameters(PF_InData* in_data, RenderContext& ctx) {
    PF_ParamDef def;
    for (const ReadBlock& block : kBlocks) {
        if (block.enable != nullptr && !(ctx.*block.enable)) continue;
        for (const ControlRead& r : block.reads) {
            if (ReadControl(in_data, r.id, def) != PF_Err_NONE) return;
            Store(r, def.u, ctx);
        }
    }
}

}  // namespace lumeshade
