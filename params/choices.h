// The entries of every popup: each choice list with the names the code
// gives its choices. Choice n of a popup is the n-th "|"-separated entry of
// the text registered with the host; a "-" entry is a separator that keeps
// its number and has no name here. Each list is checked at compile time
// to have exactly as many entries as its last named choice, and the control
// table (params/param_table.cpp) registers these texts and no others.
#pragma once

#include <cstdint>
#include <limits>

namespace lumeshade {

// A popup's choice list: the text as registered, and the number of entries
// it has (the last choice).
struct ChoiceList {
    const char* text;
    int32_t count;
};

// The entries of a choice list text.
constexpr int32_t CountChoiceEntries(const char* text) {
    int32_t n = 1;
    for (const char* p = text; *p; ++p) n += (*p == '|');
    return n;
}

// Each list below is followed by this check: its text has exactly as many
// entries as its last named choice says.
constexpr bool CountMatches(const ChoiceList& list) {
    return CountChoiceEntries(list.text) == list.count;
}

// Display, as chosen in the popup.
enum DisplayChoice : int32_t {
    DISPLAY_CHOICE_OFF = 1,
    DISPLAY_CHOICE_ADJUSTED_NORMALS = 3,
    DISPLAY_CHOICE_ORIGINAL_NORMALS,
    DISPLAY_CHOICE_DEPTH,
    DISPLAY_CHOICE_DIFFUSE = 7,
    DISPLAY_CHOICE_SPECULAR,
    DISPLAY_CHOICE_INCIDENCE,
    DISPLAY_CHOICE_RIM,
    DISPLAY_CHOICE_TOON,
    DISPLAY_CHOICE_GRADIENT,
    DISPLAY_CHOICE_MATCAP,
    DISPLAY_CHOICE_REFLECTION,
    DISPLAY_CHOICE_REFRACTION,
    DISPLAY_CHOICE_TEXTURE,
    DISPLAY_CHOICE_BUMP,
    DISPLAY_CHOICE_ALL = 19,
};
inline constexpr ChoiceList kDisplayList{
    "Off|-|Adjusted Normals|Original Normals|Depth|-|Diffuse|Specular|Incidence|Rim|Toon|"
    "Gradient|Matcap|Reflection|Refraction|Texture|Bump|-|All",
    DISPLAY_CHOICE_ALL};
static_assert(CountMatches(kDisplayList));

// Display as the render numbers it (RemapDisplay): the choices above 13
// move up by one, then those above 15 once more.
enum DisplayMode : int32_t {
    DISPLAY_OFF = 1,
    DISPLAY_ADJUSTED_NORMALS = 3,
    DISPLAY_ORIGINAL_NORMALS = 4,
    DISPLAY_DEPTH = 5,
    DISPLAY_DIFFUSE = 7,
    DISPLAY_SPECULAR = 8,
    DISPLAY_INCIDENCE = 9,
    DISPLAY_RIM = 10,
    DISPLAY_TOON = 11,
    DISPLAY_GRADIENT = 12,
    DISPLAY_MATCAP = 13,
    DISPLAY_REFLECTION = 15,
    DISPLAY_REFRACTION = 17,
    DISPLAY_TEXTURE = 18,
    DISPLAY_BUMP = 19,
    DISPLAY_ALL = 21,
};

// The Display choice as the render numbers it. A value past the list stays
// past it; nothing wraps.
constexpr int32_t RemapDisplay(int32_t choice) {
    if (choice > DISPLAY_CHOICE_MATCAP && choice < std::numeric_limits<int32_t>::max()) ++choice;
    if (choice > DISPLAY_REFLECTION && choice < std::numeric_limits<int32_t>::max()) ++choice;
    return choice;
}

// Each named Display choice and the code the render gives it.
struct DisplayCode {
    DisplayChoice chosen;
    DisplayMode shown;
};
// clang-format off
inline constexpr DisplayCode kDisplayCodes[] = {
    {DISPLAY_CHOICE_OFF, DISPLAY_OFF},
    {DISPLAY_CHOICE_ADJUSTED_NORMALS, DISPLAY_ADJUSTED_NORMALS},
    {DISPLAY_CHOICE_ORIGINAL_NORMALS, DISPLAY_ORIGINAL_NORMALS},
    {DISPLAY_CHOICE_DEPTH, DISPLAY_DEPTH},
    {DISPLAY_CHOICE_DIFFUSE, DISPLAY_DIFFUSE},
    {DISPLAY_CHOICE_SPECULAR, DISPLAY_SPECULAR},
    {DISPLAY_CHOICE_INCIDENCE, DISPLAY_INCIDENCE},
    {DISPLAY_CHOICE_RIM, DISPLAY_RIM},
    {DISPLAY_CHOICE_TOON, DISPLAY_TOON},
    {DISPLAY_CHOICE_GRADIENT, DISPLAY_GRADIENT},
    {DISPLAY_CHOICE_MATCAP, DISPLAY_MATCAP},
    {DISPLAY_CHOICE_REFLECTION, DISPLAY_REFLECTION},
    {DISPLAY_CHOICE_REFRACTION, DISPLAY_REFRACTION},
    {DISPLAY_CHOICE_TEXTURE, DISPLAY_TEXTURE},
    {DISPLAY_CHOICE_BUMP, DISPLAY_BUMP},
    {DISPLAY_CHOICE_ALL, DISPLAY_ALL},
};
// clang-format on

constexpr bool RemapGivesEachChoiceItsCode() {
    for (const DisplayCode& c : kDisplayCodes) {
        if (RemapDisplay(c.chosen) != c.shown) return false;
    }
    return true;
}
static_assert(RemapGivesEachChoiceItsCode(), "a Display choice and its code disagree");

// The Normals group's X, Y and Z channel popups.
enum NormalChannel : int32_t {
    CHANNEL_RED = 1,
    CHANNEL_GREEN,
    CHANNEL_BLUE,
    CHANNEL_FULL,
    CHANNEL_NONE,
};
inline constexpr ChoiceList kChannelList{"Red|Green|Blue|Full|None", CHANNEL_NONE};
static_assert(CountMatches(kChannelList));

// The Depth group's channel popup.
enum DepthChannel : int32_t {
    DEPTH_NONE = 1,
    DEPTH_RED = 3,
    DEPTH_GREEN,
    DEPTH_BLUE,
    DEPTH_LUMINANCE = 7,
};
inline constexpr ChoiceList kDepthChannelList{"None|-|Red|Green|Blue|-|Luminance", DEPTH_LUMINANCE};
static_assert(CountMatches(kDepthChannelList));

// The Lights group's Render popup: which light layers are gathered.
enum LightsRender : int32_t {
    LIGHTS_RENDER_NONE = 1,
    LIGHTS_RENDER_ALL,
    LIGHTS_RENDER_LIGHT_1,
    LIGHTS_RENDER_LIGHT_2,
    LIGHTS_RENDER_LIGHT_3,
    LIGHTS_RENDER_LIGHT_4,
    LIGHTS_RENDER_LIGHT_5,
    LIGHTS_RENDER_ANY_LIGHT,  // "Light *": every name that starts with "Light"
};
inline constexpr ChoiceList kLightList{"None|All|Light 1|Light 2|Light 3|Light 4|Light 5|Light *",
                                       LIGHTS_RENDER_ANY_LIGHT};
static_assert(CountMatches(kLightList));

// The Lights group's Falloff Mode popup.
enum FalloffMode : int32_t {
    FALLOFF_CONSTANT = 1,
    FALLOFF_LINEAR,
    FALLOFF_QUADRATIC,
    FALLOFF_CUBIC,
};
inline constexpr ChoiceList kFalloffList{"Constant|Linear|Quadratic|Cubic", FALLOFF_CUBIC};
static_assert(CountMatches(kFalloffList));

// Every "Blend" popup and "Transfer Mode".
enum BlendMode : int32_t {
    BLEND_NORMAL = 1,
    BLEND_AVERAGE,
    BLEND_DARKEN,
    BLEND_MULTIPLY,
    BLEND_COLOR_BURN,
    BLEND_INVERSE_COLOR_BURN,
    BLEND_SUBTRACT,
    BLEND_DARKER,
    BLEND_LIGHTEN,
    BLEND_ADD,
    BLEND_SCREEN,
    BLEND_COLOR_DODGE,
    BLEND_INVERSE_COLOR_DODGE,
    BLEND_LIGHTER,
    BLEND_DIVIDE,
    BLEND_OVERLAY,
    BLEND_SOFT_LIGHT,
    BLEND_HARD_LIGHT,
    BLEND_REFLECT,
    BLEND_GLOW,
    BLEND_DIFFERENCE,
    BLEND_EXCLUSION,
    BLEND_GRAIN_MERGE,
    BLEND_EXPONENTIAL_A_B,
    BLEND_EXPONENTIAL_B_A,
    BLEND_HUE,
    BLEND_SATURATION,
    BLEND_COLOR,
    BLEND_LUMINOSITY,
    BLEND_PHOENIX,
};
inline constexpr ChoiceList kBlendModeList{
    "Normal|Average|Darken|Multiply|Color Burn|Inverse Color Burn|Subtract|Darker|Lighten|"
    "Add|Screen|Color Dodge|Inverse Color Dodge|Lighter|Divide|Overlay|Soft Light|Hard Light|"
    "Reflect|Glow|Difference|Exclusion|Grain Merge|Exponential (A^B)|Exponential (B^A)|Hue|"
    "Saturation|Color|Luminosity|Phoenix",
    BLEND_PHOENIX};
static_assert(CountMatches(kBlendModeList));

// The tile-mode popups (Matcap's "Mode" among them): how a lookup addresses
// its map past the map's edges.
enum TileMode : int32_t {
    TILE_NONE = 1,
    TILE_EDGE,
    TILE_REPEAT,
    TILE_MIRROR,
};
inline constexpr ChoiceList kTileList{"None|Edge|Repeat|Mirror", TILE_MIRROR};
static_assert(CountMatches(kTileList));

// The Reflection group's Environment Mode popup.
enum EnvironmentMode : int32_t {
    ENVIRONMENT_SPHERICAL = 1,
    ENVIRONMENT_PANORAMA,
};
inline constexpr ChoiceList kEnvironmentList{"Spherical|Panorama", ENVIRONMENT_PANORAMA};
static_assert(CountMatches(kEnvironmentList));

// The Texture group's UV Mirror popup.
enum UvMirror : int32_t {
    UV_MIRROR_OFF = 1,
    UV_MIRROR_X,
    UV_MIRROR_Y,
    UV_MIRROR_BOTH,
};
inline constexpr ChoiceList kMirrorList{"Off|X|Y|Both", UV_MIRROR_BOTH};
static_assert(CountMatches(kMirrorList));

// The Texture and Bump groups' Filter popups. The render keeps the choice
// plus one, the radius of the area its map reads are sampled over.
enum MapFilter : int32_t {
    FILTER_OFF = 1,
    FILTER_LOW,
    FILTER_MEDIUM,
    FILTER_HIGH,
};
inline constexpr ChoiceList kFilterList{"Off|Low|Medium|High", FILTER_HIGH};
static_assert(CountMatches(kFilterList));

}  // namespace lumeshade
