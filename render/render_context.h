// The flat per-frame record that smart render fills once and the pixel
// functions only read. It holds converted control values (fixed point to
// float, colour bytes to floats, reciprocals and powers done once), the map
// worlds, the camera, the light tables, the layer size and the channel
// maximum of the bit depth being rendered.
#pragma once

#include <cstdint>
#include <type_traits>

#include "AE_Effect.h"
#include "common/color.h"
#include "common/math3d.h"
#include "params/choices.h"
#include "shading/frame_constants.h"

namespace lumeshade {

inline constexpr int MAX_LIGHTS = 255;

// Kinds of gathered lights.
enum LightType : int32_t {
    LIGHT_OTHER = 0,
    LIGHT_AMBIENT = 1,
    LIGHT_POINT = 2,
    LIGHT_PARALLEL = 3,
    LIGHT_SPOT = 4,
};

// The smallest step of a fixed-point control: a Depth Gamma of 0 divides by
// it, which keeps the depth finite where an unguarded division would give
// infinity (or NaN for a black pixel).
inline constexpr float kSmallestFixedStep = 1.0f / 65536.0f;

// Members marked (group) are read from the controls only while the group's
// switch is on; otherwise they keep whatever they held and must not be used.
struct RenderContext {
    // Map worlds. Always set; a world with a null data pointer means that no
    // layer is chosen. normalMap falls back to the input layer.
    PF_EffectWorld* normalMap = nullptr;
    PF_EffectWorld* alphaMap = nullptr;
    PF_EffectWorld* depthMap = nullptr;
    PF_EffectWorld* bumpMap = nullptr;
    PF_EffectWorld* environmentMap = nullptr;
    PF_EffectWorld* refractionMap = nullptr;
    PF_EffectWorld* matcapMap = nullptr;
    PF_EffectWorld* uvMap = nullptr;
    PF_EffectWorld* textureMap = nullptr;

    bool shadingEnabled = false;
    bool specularEnabled = false;
    bool incidenceEnabled = false;
    bool rimLightEnabled = false;
    bool toonEnabled = false;
    bool matcapEnabled = false;
    bool textureEnabled = false;
    bool gradientEnabled = false;
    bool reflectionEnabled = false;
    bool refractionEnabled = false;
    bool bumpEnabled = false;

    float normalsPreBlur = 0.0f;
    int32_t displayMode = DISPLAY_ALL;
    int32_t normalsXChannel = CHANNEL_RED;
    int32_t normalsYChannel = CHANNEL_GREEN;
    int32_t normalsZChannel = CHANNEL_BLUE;
    bool normalsInvertX = false;
    bool normalsInvertY = false;
    bool normalsInvertZ = false;

    // Light tables; entries 0 .. lightCount - 1 are valid.
    float lightIntensity[MAX_LIGHTS] = {};
    Vector3 lightPosition[MAX_LIGHTS] = {};
    Color lightColor[MAX_LIGHTS] = {};
    Vector3 lightAnchorPoint[MAX_LIGHTS] = {};
    float lightConeAngle[MAX_LIGHTS] = {};
    float lightConeFeather[MAX_LIGHTS] = {};
    float lightFalloff = 0.0f;  // 1 / Falloff
    int32_t lightFalloffMode = FALLOFF_LINEAR;
    float lightExposure = 1.0f;  // 2 to the power Exposure
    float lightGamma = 1.0f;

    float shadingDiffuse = 1.0f;          // 1 / Diffuse
    Color shadingIncandescence{};         // (group)
    Color shadingColor{};                 // (group)
    Color shadingAmbient{};               // (group)
    int32_t shadingBlend = BLEND_NORMAL;  // (group)

    Color specularColor{};                 // (group)
    Color gradientColor{};                 // (group)
    float specularAmount = 0;              // (group)
    float specularSpread = 0;              // (group)
    int32_t specularBlend = BLEND_NORMAL;  // (group)

    float incidenceAmount = 0;              // (group)
    Color incidenceColor{};                 // (group)
    float incidenceFalloff = 0;             // (group)
    int32_t incidenceBlend = BLEND_NORMAL;  // (group)

    int32_t depthChannel = DEPTH_LUMINANCE;
    bool depthInvert = false;
    float depthMultiplier = 1.0f;
    float depthGamma = 1.0f;

    float rimLightAmount = 0;              // (group)
    float rimLightSize = 0;                // (group)
    Color rimLightColor{};                 // (group)
    int32_t rimLightAngle = 0;             // whole degrees (group)
    float rimLightWidth = 0;               // (group)
    int32_t rimLightBlend = BLEND_NORMAL;  // (group)

    float toonAmount = 0;              // (group)
    float toonShadowWidth = 0;         // (group)
    float toonHighlightWidth = 0;      // (group)
    float toonSmoothing = 0;           // Smoothing x 0.25 (group)
    float toonShadowIntensity = 0;     // (group)
    float toonHighlightIntensity = 0;  // (group)
    Color toonShadowColor{};           // (group)
    Color toonColor{};                 // (group)
    Color toonHighlightColor{};        // (group)
    int32_t toonBlend = BLEND_NORMAL;  // (group)

    float matcapAmount = 0;              // (group)
    int32_t matcapOffsetX = 0;           // (group)
    int32_t matcapOffsetY = 0;           // (group)
    int32_t matcapMode = TILE_EDGE;      // (group)
    int32_t matcapBlur = 1;              // Blur + 1 (group)
    int32_t matcapBlend = BLEND_NORMAL;  // (group)

    float gradientAmount = 0;              // (group)
    int32_t gradientBlend = BLEND_NORMAL;  // (group)

    float reflectionAmount = 0;                                 // (group)
    float reflectionGamma = 1;                                  // (group)
    Color reflectionColor{};                                    // (group)
    int32_t reflectionBlur = 1;                                 // Blur + 1 (group)
    int32_t reflectionEnvironmentMode = ENVIRONMENT_SPHERICAL;  // (group)
    float reflectionAzimuth = 0;                                // degrees (group)
    float reflectionInclination = 0;                            // degrees (group)
    float reflectionSeam = 1;                                   // 1 / Seam (group)
    float reflectionFresnel = 0;                                // (group)
    float reflectionFresnelDepth = 0;                           // 3 x Fresnel Depth (group)
    int32_t reflectionTileMode = TILE_REPEAT;                   // (group)
    int32_t reflectionBlend = BLEND_NORMAL;                     // (group)
    float reflectionIndexOfRefraction = 0;                      // (group)

    float refractionAmount = 0;                // (group)
    float refractionGamma = 1;                 // (group)
    Color refractionColor{};                   // bytes x 1/127 (group)
    int32_t refractionOffsetX = 0;             // (group)
    int32_t refractionOffsetY = 0;             // (group)
    float refractionScale = 1;                 // 1 / Scale (group)
    int32_t refractionBlur = 1;                // Blur + 1 (group)
    float refractionIndexOfRefraction = 0;     // (group)
    float refractionFresnel = 0;               // (group)
    float refractionFresnelDepth = 0;          // (group)
    int32_t refractionBlend = BLEND_NORMAL;    // (group)
    int32_t refractionTileMode = TILE_REPEAT;  // (group)

    float textureAmount = 0;                 // (group)
    int32_t textureTileMode = TILE_EDGE;     // (group)
    int32_t textureUvMirror = UV_MIRROR_X;   // (group)
    int32_t textureOffsetX = 0;              // (group)
    int32_t textureOffsetY = 0;              // (group)
    int32_t textureFilter = FILTER_OFF + 1;  // Filter + 1 (group)
    int32_t textureBlend = BLEND_NORMAL;     // (group)

    float bumpIntensity = 0;              // (group)
    int32_t bumpTileMode = TILE_EDGE;     // (group)
    float bumpScale = 1;                  // 1 / Scale (group)
    int32_t bumpOffsetX = 0;              // (group)
    int32_t bumpOffsetY = 0;              // (group)
    int32_t bumpFilter = FILTER_OFF + 1;  // Filter + 1 (group)

    float layerWidth = 0;  // the layer's size at the render's downsampling
    float layerHeight = 0;
    Vector3 cameraPosition{};
    int32_t lightCount = 0;
    int32_t lightType[MAX_LIGHTS] = {};

    int32_t blendTransferMode = BLEND_NORMAL;
    float blendAmount = 0;

    float channelMax = 1.0f;  // 255 for 8-bit, 32768 for 16-bit, 1 for float

    PF_InData* inData = nullptr;

    // Worked out from all of the above once per frame (PrepareFrame).
    FrameConstants frame{};
};

// The pre-render block is a host handle laid out as a RenderContext and
// copied into the render's own context, so the record must stay copyable
// as bytes.
static_assert(std::is_trivially_copyable_v<RenderContext>);

}  // namespace lumeshade
