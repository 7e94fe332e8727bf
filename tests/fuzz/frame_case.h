// One frame the fuzzer renders, decoded from its input bytes: the pixel
// format, the input layer and the nine map layers with their pixels, the
// lights and the camera, the downsample factor and quality, a setting for
// every control, possibly one host call that fails, and a part of the
// layer that is rendered on its own as well.
//
// The input is read front to back at fixed offsets (layout), so that a
// mutation of one byte changes one thing; bytes past the end read as zero,
// and zero always means "as a freshly applied effect has it", so an empty
// input is the default frame (its part on its own is the top-left pixel).
// Nothing here can hold a value the host would refuse: control settings
// become values inside the control's valid range only once the registered
// records are known (ControlValue), and map sizes lie in 1..64.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "AE_GeneralPlug.h"
#include "host/composition.h"
#include "host/world.h"
#include "params/param_ids.h"

namespace lumeshade::fuzz {

// How a layer's pixels are made from a seed (PixelRecipe::kind).
enum class PixelKind : std::uint8_t {
    kSurface,    // a plausible normal map: a dome of normals, opaque
    kConstant,   // every pixel the same value, drawn from the hostile palette
    kInRange,    // random channels inside the format's range
    kSprinkled,  // in range, with hostile values at a rate of `hostility` / 255
    kHostile,    // every channel from the hostile palette
    kRawBits,    // every channel an arbitrary bit pattern (any float, any 16-bit value)
    kCount
};

struct PixelRecipe {
    PixelKind kind = PixelKind::kSurface;
    std::uint8_t hostility = 0;
    std::uint32_t seed = 0;
};

// A map control's layer: none, a footage layer without pixels, or footage
// of its own.
enum class Binding : std::uint8_t { kNone, kNoPixels, kFootage };

struct LayerSpec {
    Binding binding = Binding::kNone;
    A_long width = 1;  // 1..64
    A_long height = 1;
    PixelRecipe pixels;
};

struct LightSpec {
    AEGP_LightType type = AEGP_LightType_POINT;
    std::string name;
    bool videoOn = true;
    host::Vec3d position, anchor;
    double intensity = 100, coneAngle = 90, coneFeather = 50;
    host::ColorD color;
};

// A control's setting as the input holds it; ControlValue turns it into a
// value of the control's type once its registered record is known.
struct ControlSetting {
    std::uint8_t selector = 0;  // 0 leaves the default
    std::uint32_t payload = 0;
};

// The nine map controls, in the order their layer specs are read.
inline constexpr std::array<ParamId, 9> kMapControls = {PARAM_NORMAL_MAP,
                                                        PARAM_ALPHA_MAP,
                                                        PARAM_DEPTH_MAP,
                                                        PARAM_MATCAP_MAP,
                                                        PARAM_REFLECTION_ENVIRONMENT_MAP,
                                                        PARAM_REFRACTION_MAP,
                                                        PARAM_BUMP_MAP,
                                                        PARAM_TEXTURE_MAP,
                                                        PARAM_TEXTURE_UV_MAP};

inline constexpr int kLightSlots = 4;

// A host call made to fail once: its nth call returns `code`, or throws.
struct FaultSpec {
    enum class Kind { kCode, kBadAlloc, kRuntimeError };
    std::string function;
    int nth = 1;
    Kind kind = Kind::kCode;
    A_long code = 0;
};

struct FrameCase {
    host::Depth depth = host::Depth::kFloat;
    bool footageInOtherDepth = false;  // the host converts the layers to the render's depth
    A_long downsample = 1;
    PF_Quality quality = PF_Quality_HI;
    LayerSpec input;  // always present: its size is the layer's
    std::array<LayerSpec, kMapControls.size()> maps;
    std::vector<LightSpec> lights;  // top of the stack first
    std::optional<host::Vec3d> camera;
    std::array<ControlSetting, PARAM_COUNT> controls;  // index 0 unused
    std::optional<FaultSpec> fault;
    // A rectangle of the output (at the render's resolution), at least one
    // pixel and inside the layer.
    PF_LRect region{0, 0, 1, 1};
};

// Byte offsets of the parts of an input. Every part has a fixed size.
namespace layout {
inline constexpr std::size_t kHeader = 0;  // depth, downsample, quality, flags
inline constexpr std::size_t kHeaderSize = 4;
inline constexpr std::size_t kLayerSize = 9;  // binding, width, height, kind, hostility, seed
inline constexpr std::size_t kInput = kHeader + kHeaderSize;
constexpr std::size_t OfMap(std::size_t i) { return kInput + kLayerSize * (1 + i); }
inline constexpr std::size_t kLights = OfMap(kMapControls.size());  // the count, then the slots
inline constexpr std::size_t kNumberSize = 5;                       // selector and payload
inline constexpr std::size_t kLightSize = 3 + 12 * kNumberSize;     // type, name, switch, numbers
constexpr std::size_t OfLight(std::size_t slot) { return kLights + 1 + kLightSize * slot; }
inline constexpr std::size_t kCamera = OfLight(kLightSlots);  // present, then x, y, z
inline constexpr std::size_t kControls = kCamera + 1 + 3 * kNumberSize;
inline constexpr std::size_t kControlSize = 5;  // selector and payload
constexpr std::size_t OfControl(ParamId id) {
    return kControls + kControlSize * std::size_t(id - 1);
}
inline constexpr std::size_t kFault = OfControl(PARAM_COUNT);  // function, nth (2), outcome
inline constexpr std::size_t kRegion = kFault + 4;             // left, top, width, height
inline constexpr std::size_t kTotal = kRegion + 4;
}  // namespace layout

FrameCase DecodeFrameCase(const std::uint8_t* data, std::size_t size);

// How many host calls a fault may name (the first byte of the fault block
// picks one of them, 1-based; 0 is no fault).
int FaultFunctionCount();

// The value a setting gives the control registered as `def`, inside the
// control's valid range; nothing for selector 0, for controls without a
// value (groups, layers) and for types the fuzzer does not know.
std::optional<PF_ParamDefUnion> ControlValue(const PF_ParamDef& def, const ControlSetting& s);

// The layer's pixels at `depth`.
host::World MakeLayer(const LayerSpec& spec, host::Depth depth);

// The case in words, for the report of a finding: the frame, and the
// controls it sets (which need the registered records).
std::string DescribeFrame(const FrameCase& c);
std::string DescribeControls(const FrameCase& c, const std::vector<PF_ParamDef>& registered);

}  // namespace lumeshade::fuzz
