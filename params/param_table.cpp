#include "params/param_table.h"

namespace lumeshade {
namespace {

using namespace table_rows;

#define ID(p) p, #p

}  // namespace

constexpr std::array<ControlRow, kControlCount> kControls = {{
    Popup(ID(PARAM_DISPLAY), "Display", DISPLAY_CHOICE_ALL, kDisplayList),

    Group(ID(PARAM_NORMALS_GROUP), "Normals", kCollapsed),
    Layer(ID(PARAM_NORMAL_MAP), "Normal Map"),
    Layer(ID(PARAM_ALPHA_MAP), "Alpha Map"),
    Popup(ID(PARAM_NORMALS_X_CHANNEL), "X", CHANNEL_RED, kChannelList),
    Checkbox(ID(PARAM_NORMALS_INVERT_X), "Invert X", false),
    Popup(ID(PARAM_NORMALS_Y_CHANNEL), "Y", CHANNEL_GREEN, kChannelList),
    Checkbox(ID(PARAM_NORMALS_INVERT_Y), "Invert Y", false),
    Popup(ID(PARAM_NORMALS_Z_CHANNEL), "Z", CHANNEL_BLUE, kChannelList),
    Checkbox(ID(PARAM_NORMALS_INVERT_Z), "Invert Z", false),
    Fixed(ID(PARAM_NORMALS_PRE_BLUR), "Pre Blur", 0, 0, 10, 0, 1),
    GroupEnd(ID(PARAM_NORMALS_GROUP_END)),

    Group(ID(PARAM_DEPTH_GROUP), "Depth", kCollapsed),
    Layer(ID(PARAM_DEPTH_MAP), "Depth Map", kSupervised),
    Checkbox(ID(PARAM_DEPTH_INVERT), "Invert", false),
    Popup(ID(PARAM_DEPTH_CHANNEL), "Channel", DEPTH_LUMINANCE, kDepthChannelList),
    Fixed(ID(PARAM_DEPTH_GAMMA), "Gamma", 1, 0, 10, 0, 5),
    Fixed(ID(PARAM_DEPTH_MULTIPLIER), "Multiplier", 1, 0, 100, 0, 10),
    GroupEnd(ID(PARAM_DEPTH_GROUP_END)),

    Group(ID(PARAM_LIGHTS_GROUP), "Lights", kCollapsed),
    Popup(ID(PARAM_LIGHTS_RENDER), "Render", LIGHTS_RENDER_ALL, kLightList, kSupervised),
    Checkbox(ID(PARAM_LIGHTS_ENABLE_INVISIBLE_LIGHTS), "Enable invisible lights", false, kNoFlags,
             kInvisibleLightsLabel),
    Popup(ID(PARAM_LIGHTS_FALLOFF_MODE), "Falloff Mode", FALLOFF_LINEAR, kFalloffList),
    Fixed(ID(PARAM_LIGHTS_FALLOFF), "Falloff", 2, 0, 10, 0, 5),
    Fixed(ID(PARAM_LIGHTS_EXPOSURE), "Exposure", 0, -16, 16, -2, 2),
    Fixed(ID(PARAM_LIGHTS_GAMMA), "Gamma", 1, 0, 10, 0, 5),
    GroupEnd(ID(PARAM_LIGHTS_GROUP_END)),

    // The only group shown open when the effect is applied.
    Group(ID(PARAM_SHADING_GROUP), "Shading", kNoFlags),
    Checkbox(ID(PARAM_SHADING_ENABLE), "Enable Shading", true, kSupervised),
    Fixed(ID(PARAM_SHADING_DIFFUSE), "Diffuse", 1, 0, 5, 0, 5),
    Colour(ID(PARAM_SHADING_COLOR), "color", 255, 255, 255),
    Colour(ID(PARAM_SHADING_AMBIENT), "Ambient", 127, 127, 127),
    Colour(ID(PARAM_SHADING_INCANDESCENCE), "Incandescence", 0, 0, 0),
    Popup(ID(PARAM_SHADING_BLEND), "Blend", BLEND_NORMAL, kBlendModeList),
    GroupEnd(ID(PARAM_SHADING_GROUP_END)),

    Group(ID(PARAM_SPECULAR_GROUP), "Specular", kCollapsed),
    Checkbox(ID(PARAM_SPECULAR_ENABLE), "Enable", false, kSupervised),
    Fixed(ID(PARAM_SPECULAR_AMOUNT), "Specular", 1, 0, 10, 0, 1),
    Fixed(ID(PARAM_SPECULAR_SPREAD), "Spread", 0.5, 0, 10, 0, 1),
    Colour(ID(PARAM_SPECULAR_COLOR), "color", 255, 255, 255),
    Popup(ID(PARAM_SPECULAR_BLEND), "Blend", BLEND_ADD, kBlendModeList),
    GroupEnd(ID(PARAM_SPECULAR_GROUP_END)),

    Group(ID(PARAM_INCIDENCE_GROUP), "Incidence", kCollapsed),
    Checkbox(ID(PARAM_INCIDENCE_ENABLE), "Enable", false, kSupervised),
    Fixed(ID(PARAM_INCIDENCE_AMOUNT), "Incidence", 1, 0, 20, 0, 1),
    Fixed(ID(PARAM_INCIDENCE_FALLOFF), "Falloff", 0.4, 0, 10, 0, 1),
    Colour(ID(PARAM_INCIDENCE_COLOR), "color", 255, 255, 255),
    Popup(ID(PARAM_INCIDENCE_BLEND), "Blend", BLEND_ADD, kBlendModeList),
    GroupEnd(ID(PARAM_INCIDENCE_GROUP_END)),

    Group(ID(PARAM_RIM_LIGHT_GROUP), "Rim Light", kCollapsed),
    Checkbox(ID(PARAM_RIM_LIGHT_ENABLE), "Enable", false, kSupervised),
    Fixed(ID(PARAM_RIM_LIGHT_AMOUNT), "Rim Light", 1, 0, 10, 0, 1),
    Fixed(ID(PARAM_RIM_LIGHT_SIZE), "Size", 0.8, 0, 10, 0, 1),
    Fixed(ID(PARAM_RIM_LIGHT_WIDTH), "Width", 0.5, 0, 10, 0, 1),
    Colour(ID(PARAM_RIM_LIGHT_COLOR), "color", 255, 255, 255),
    Angle(ID(PARAM_RIM_LIGHT_ANGLE), "Angle"),
    Popup(ID(PARAM_RIM_LIGHT_BLEND), "Blend", BLEND_ADD, kBlendModeList),
    GroupEnd(ID(PARAM_RIM_LIGHT_GROUP_END)),

    // After the "Shadow" colour come the shadow tone's intensity and width;
    // the "Width" before "Highlight" and the "Intensity" after it belong to
    // the highlight tone; the "color" between them is the middle tone.
    Group(ID(PARAM_TOON_GROUP), "Toon", kCollapsed),
    Checkbox(ID(PARAM_TOON_ENABLE), "Enable", false, kSupervised),
    Fixed(ID(PARAM_TOON_AMOUNT), "Toon", 1, 0, 10, 0, 1),
    Fixed(ID(PARAM_TOON_SMOOTHING), "Smoothing", 0.2, 0, 1, 0, 1),
    Colour(ID(PARAM_TOON_SHADOW_COLOR), "Shadow", 88, 88, 88),
    Fixed(ID(PARAM_TOON_SHADOW_INTENSITY), "Intensity", 1, 0, 1, 0, 1),
    Fixed(ID(PARAM_TOON_SHADOW_WIDTH), "Width", 0.3, 0, 1, 0, 1),
    Colour(ID(PARAM_TOON_COLOR), "color", 127, 127, 127),
    Fixed(ID(PARAM_TOON_HIGHLIGHT_WIDTH), "Width", 0.7, 0, 1, 0, 1),
    Colour(ID(PARAM_TOON_HIGHLIGHT_COLOR), "Highlight", 172, 172, 172),
    Fixed(ID(PARAM_TOON_HIGHLIGHT_INTENSITY), "Intensity", 1, 0, 1, 0, 1),
    Popup(ID(PARAM_TOON_BLEND), "Blend", BLEND_NORMAL, kBlendModeList),
    GroupEnd(ID(PARAM_TOON_GROUP_END)),

    Group(ID(PARAM_GRADIENT_GROUP), "Gradient", kCollapsed),
    Checkbox(ID(PARAM_GRADIENT_ENABLE), "Enable", false, kSupervised),
    Fixed(ID(PARAM_GRADIENT_AMOUNT), "Gradient", 1, 0, 5, 0, 1),
    Colour(ID(PARAM_GRADIENT_COLOR), "color", 255, 255, 255),
    Popup(ID(PARAM_GRADIENT_BLEND), "Blend", BLEND_AVERAGE, kBlendModeList),
    GroupEnd(ID(PARAM_GRADIENT_GROUP_END)),

    // The switch and the amount slider share the name "Matcap".
    Group(ID(PARAM_MATCAP_GROUP), "Matcap", kCollapsed),
    Checkbox(ID(PARAM_MATCAP_ENABLE), "Matcap", false, kSupervised),
    Layer(ID(PARAM_MATCAP_MAP), "Matcap Map"),
    Fixed(ID(PARAM_MATCAP_AMOUNT), "Matcap", 1, 0, 10, 0, 1),
    Point(ID(PARAM_MATCAP_OFFSET), "Offset"),
    Popup(ID(PARAM_MATCAP_MODE), "Mode", TILE_EDGE, kTileList),
    Slider(ID(PARAM_MATCAP_BLUR), "Blur", 0, 0, 20, 0, 20),
    Popup(ID(PARAM_MATCAP_BLEND), "Blend", BLEND_NORMAL, kBlendModeList),
    GroupEnd(ID(PARAM_MATCAP_GROUP_END)),

    Group(ID(PARAM_REFLECTION_GROUP), "Reflection", kCollapsed),
    Checkbox(ID(PARAM_REFLECTION_ENABLE), "Enable", false, kSupervised),
    Layer(ID(PARAM_REFLECTION_ENVIRONMENT_MAP), "Environment Map"),
    Fixed(ID(PARAM_REFLECTION_AMOUNT), "Reflection", 1, 0, 10, 0, 1),
    Popup(ID(PARAM_REFLECTION_ENVIRONMENT_MODE), "Environment Mode", ENVIRONMENT_SPHERICAL,
          kEnvironmentList),
    Fixed(ID(PARAM_REFLECTION_GAMMA), "Gamma", 1, 0, 3, 0, 1),
    Popup(ID(PARAM_REFLECTION_TILE_MODE), "Tile Mode", TILE_REPEAT, kTileList),
    Slider(ID(PARAM_REFLECTION_BLUR), "Blur", 0, 0, 20, 0, 20),
    Colour(ID(PARAM_REFLECTION_COLOR), "color", 127, 127, 127),
    Angle(ID(PARAM_REFLECTION_INCLINATION), "Inclination"),
    Angle(ID(PARAM_REFLECTION_AZIMUTH), "Azimuth"),
    Fixed(ID(PARAM_REFLECTION_SEAM), "Seam", 1, 0, 10, 0, 10),
    Fixed(ID(PARAM_REFLECTION_INDEX_OF_REFRACTION), "Index of Refraction", 0, -50, 50, -3, 3),
    Fixed(ID(PARAM_REFLECTION_FRESNEL), "Fresnel", 0, 0, 10, 0, 1),
    Fixed(ID(PARAM_REFLECTION_FRESNEL_DEPTH), "Fresnel Depth", 0.5, -5, 5, -1, 1),
    Popup(ID(PARAM_REFLECTION_BLEND), "Blend", BLEND_ADD, kBlendModeList),
    GroupEnd(ID(PARAM_REFLECTION_GROUP_END)),

    Group(ID(PARAM_REFRACTION_GROUP), "Refraction", kCollapsed),
    Checkbox(ID(PARAM_REFRACTION_ENABLE), "Enable", false, kSupervised),
    Layer(ID(PARAM_REFRACTION_MAP), "Refraction Map"),
    Fixed(ID(PARAM_REFRACTION_AMOUNT), "Refraction", 1, 0, 10, 0, 1),
    Fixed(ID(PARAM_REFRACTION_INDEX_OF_REFRACTION), "Index of Refraction", 1.5, -10, 10, -3, 3),
    Fixed(ID(PARAM_REFRACTION_GAMMA), "Gamma", 1, 0, 3, 0, 1),
    Popup(ID(PARAM_REFRACTION_TILE_MODE), "Tile Mode", TILE_REPEAT, kTileList),
    Slider(ID(PARAM_REFRACTION_BLUR), "Blur", 0, 0, 50, 0, 50),
    Point(ID(PARAM_REFRACTION_OFFSET), "Offset"),
    Fixed(ID(PARAM_REFRACTION_SCALE), "Scale", 1, 0, 10, 0, 10),
    Colour(ID(PARAM_REFRACTION_COLOR), "color", 127, 127, 127),
    Fixed(ID(PARAM_REFRACTION_FRESNEL), "Fresnel", 0, 0, 10, 0, 1),
    Fixed(ID(PARAM_REFRACTION_FRESNEL_DEPTH), "Fresnel Depth", 0.5, -5, 5, -1, 1),
    Popup(ID(PARAM_REFRACTION_BLEND), "Blend", BLEND_ADD, kBlendModeList),
    GroupEnd(ID(PARAM_REFRACTION_GROUP_END)),

    Group(ID(PARAM_TEXTURE_GROUP), "Texture", kCollapsed),
    Checkbox(ID(PARAM_TEXTURE_ENABLE), "Enable", false, kSupervised),
    Layer(ID(PARAM_TEXTURE_UV_MAP), "UV Map"),
    Layer(ID(PARAM_TEXTURE_MAP), "Texture Map"),
    Fixed(ID(PARAM_TEXTURE_AMOUNT), "Texture", 1, 0, 10, 0, 1, kPrecisionHundredths),
    Popup(ID(PARAM_TEXTURE_TILE_MODE), "Tile Mode", TILE_EDGE, kTileList),
    Popup(ID(PARAM_TEXTURE_UV_MIRROR), "UV Mirror", UV_MIRROR_X, kMirrorList),
    Popup(ID(PARAM_TEXTURE_FILTER), "Filter", FILTER_OFF, kFilterList),
    Point(ID(PARAM_TEXTURE_OFFSET), "Offset"),
    Popup(ID(PARAM_TEXTURE_BLEND), "Blend", BLEND_NORMAL, kBlendModeList),
    GroupEnd(ID(PARAM_TEXTURE_GROUP_END)),

    Group(ID(PARAM_BUMP_GROUP), "Bump", kCollapsed),
    Checkbox(ID(PARAM_BUMP_ENABLE), "Enable", false, kSupervised),
    Layer(ID(PARAM_BUMP_MAP), "Bump/Normal Map"),
    Fixed(ID(PARAM_BUMP_INTENSITY), "Intensity", 0.2, -1, 1, -1, 1, kPrecisionHundredths),
    Popup(ID(PARAM_BUMP_TILE_MODE), "Tile Mode", TILE_EDGE, kTileList),
    Popup(ID(PARAM_BUMP_FILTER), "Filter", FILTER_OFF, kFilterList),
    Point(ID(PARAM_BUMP_OFFSET), "Offset"),
    Fixed(ID(PARAM_BUMP_SCALE), "Scale", 1, 0, 10, 0, 10, kPrecisionHundredths),
    GroupEnd(ID(PARAM_BUMP_GROUP_END)),

    Group(ID(PARAM_BLEND_GROUP), "Blend", kCollapsed),
    Popup(ID(PARAM_BLEND_TRANSFER_MODE), "Transfer Mode", BLEND_NORMAL, kBlendModeList),
    Fixed(ID(PARAM_BLEND_AMOUNT), "Blend", 0, 0, 1, 0, 1),
    GroupEnd(ID(PARAM_BLEND_GROUP_END)),
}};

#undef ID

namespace {

constexpr bool RowsFollowIndexOrder() {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (kControls[i].index != static_cast<A_long>(i + 1)) return false;
    }
    return true;
}
static_assert(RowsFollowIndexOrder(), "every row must sit at its control index");

constexpr bool NamesFitTheHostsRecord() {
    for (const ControlRow& row : kControls) {
        std::size_t n = 0;
        while (row.name[n] != '\0') ++n;
        if (n > PF_MAX_EFFECT_PARAM_NAME_LEN) return false;
    }
    return true;
}
static_assert(NamesFitTheHostsRecord(), "control names are limited to 31 characters");

// Every popup registers one of the lists of params/choices.h (each checked
// there against its named choices); its default must be one of the entries.
constexpr bool PopupDefaultsAreChoices() {
    for (const ControlRow& row : kControls) {
        if (row.type != PF_Param_POPUP) continue;
        if (!(row.dflt >= 1.0 && row.dflt <= row.choiceCount)) return false;
    }
    return true;
}
static_assert(PopupDefaultsAreChoices(), "a popup's default lies outside its choice list");

}  // namespace

}  // namespace lumeshade
