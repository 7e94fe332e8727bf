#include "tests/fuzz/frame_case.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>

namespace lumeshade::fuzz {
namespace {

using host::Depth;
using host::World;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Reads the input at fixed offsets; what lies past its end reads as zero.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t U8(std::size_t at) const { return at < size_ ? data_[at] : 0; }
    std::uint32_t U32(std::size_t at) const {
        return std::uint32_t(U8(at)) | std::uint32_t(U8(at + 1)) << 8 |
               std::uint32_t(U8(at + 2)) << 16 | std::uint32_t(U8(at + 3)) << 24;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// A number for a light or the camera: `fallback` for selector 0, else an
// extreme (huge, infinite, not a number) or a value made from the payload.
double Number(const Bytes& b, std::size_t at, double fallback) {
    const std::uint8_t selector = b.U8(at);
    const auto p = std::int32_t(b.U32(at + 1));
    switch (selector % 16) {
        case 0:
            return fallback;
        case 1:
            return 0.0;
        case 2:
            return -0.0;
        case 3:
            return 1e30;
        case 4:
            return -1e30;
        case 5:
            return 1e300;
        case 6:
            return -1e300;
        case 7:
            return kInf;
        case 8:
            return -kInf;
        case 9:
            return kNaN;
        case 10:
            return std::numeric_limits<double>::denorm_min();
        case 11:
        case 12:
            return p / 65536.0;  // within +-32768, with fractions
        case 13:
            return double(std::int8_t(p));  // a few whole pixels
        case 14:
            return double(p);
        default:
            return fallback + double(std::int16_t(p)) / 16.0;  // near the fallback
    }
}

LayerSpec Layer(const Bytes& b, std::size_t at, bool alwaysBound) {
    LayerSpec s;
    const std::uint8_t binding = b.U8(at);
    s.binding = alwaysBound || binding % 4 == 1 || binding % 4 == 3 ? Binding::kFootage
                : binding % 4 == 2                                  ? Binding::kNoPixels
                                                                    : Binding::kNone;
    s.width = 1 + b.U8(at + 1) % 64;
    s.height = 1 + b.U8(at + 2) % 64;
    s.pixels.kind = PixelKind(b.U8(at + 3) % std::uint8_t(PixelKind::kCount));
    s.pixels.hostility = b.U8(at + 4);
    s.pixels.seed = b.U32(at + 5);
    return s;
}

constexpr AEGP_LightType kLightTypes[] = {AEGP_LightType_POINT, AEGP_LightType_PARALLEL,
                                          AEGP_LightType_SPOT, AEGP_LightType_AMBIENT,
                                          AEGP_LightType(AEGP_LightType_NONE)};
// Names the Render popup selects by, and some it must not.
const char* const kLightNames[] = {"Light 1", "Light 2", "Light 3", "Light 4",
                                   "Light 5", "Light 6", "Light",   "Light 12",
                                   "Lig",     "",        "light 1", "Fill"};

LightSpec Light(const Bytes& b, std::size_t at, int slot, A_long width, A_long height) {
    LightSpec l;
    l.type = kLightTypes[b.U8(at) % std::size(kLightTypes)];
    const std::uint8_t name = b.U8(at + 1);
    l.name = name == 0 ? "Light " + std::to_string(slot + 1)
                       : kLightNames[(name - 1) % std::size(kLightNames)];
    l.videoOn = b.U8(at + 2) % 2 == 0;
    std::size_t n = at + 3;
    auto next = [&](double fallback) {
        const double v = Number(b, n, fallback);
        n += layout::kNumberSize;
        return v;
    };
    const double cx = width / 2.0, cy = height / 2.0;
    l.position = {next(cx), next(cy), next(-double(width))};
    l.anchor = {next(cx), next(cy), next(0.0)};
    l.intensity = next(100.0);
    l.coneAngle = next(90.0);
    l.coneFeather = next(50.0);
    l.color = {1.0, next(1.0), next(1.0), next(1.0)};
    return l;
}

// splitmix64: a small generator whose whole state is the seed.
struct Random {
    std::uint64_t state;
    std::uint64_t Next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Unit() { return double(Next() >> 11) / 9007199254740992.0; }
};

constexpr float kFloatPalette[] = {0.0f,
                                   -0.0f,
                                   1.0f,
                                   0.5f,
                                   0.999999f,
                                   -0.5f,
                                   -1.0f,
                                   2.0f,
                                   1e-40f,  // subnormal
                                   1e30f,
                                   -1e30f,
                                   std::numeric_limits<float>::max(),
                                   std::numeric_limits<float>::lowest(),
                                   std::numeric_limits<float>::infinity(),
                                   -std::numeric_limits<float>::infinity(),
                                   std::numeric_limits<float>::quiet_NaN(),
                                   -std::numeric_limits<float>::quiet_NaN(),
                                   2147483648.0f,
                                   65536.5f};
// 16-bit channels run 0..32768; everything above is out of range.
constexpr A_u_short kPalette16[] = {0, 1, 16384, 32767, 32768, 32769, 40000, 65534, 65535};
constexpr A_u_char kPalette8[] = {0, 1, 127, 128, 254, 255};

// One channel as a value 0..1 nominal, or a hostile one.
struct Channel {
    Random& random;
    const PixelRecipe& recipe;

    double InRange() { return random.Unit(); }

    // The channel in the world's units; `unit` is a nominal 0..1 value.
    void Store(double unit, float& f) { f = float(unit); }
    void Store(double unit, A_u_short& v) { v = A_u_short(std::lround(unit * 32768.0)); }
    void Store(double unit, A_u_char& v) { v = A_u_char(std::lround(unit * 255.0)); }

    void Hostile(float& f) { f = kFloatPalette[random.Next() % std::size(kFloatPalette)]; }
    void Hostile(A_u_short& v) { v = kPalette16[random.Next() % std::size(kPalette16)]; }
    void Hostile(A_u_char& v) { v = kPalette8[random.Next() % std::size(kPalette8)]; }

    void Raw(float& f) {
        const auto bits = std::uint32_t(random.Next());
        std::memcpy(&f, &bits, sizeof f);
    }
    void Raw(A_u_short& v) { v = A_u_short(random.Next()); }
    void Raw(A_u_char& v) { v = A_u_char(random.Next()); }

    template <class C>
    void Make(C& c) {
        switch (recipe.kind) {
            case PixelKind::kInRange:
                Store(InRange(), c);
                break;
            case PixelKind::kSprinkled:
                if (random.Next() % 255 < recipe.hostility) {
                    Hostile(c);
                } else {
                    Store(InRange(), c);
                }
                break;
            case PixelKind::kHostile:
                Hostile(c);
                break;
            case PixelKind::kRawBits:
                Raw(c);
                break;
            default:
                break;
        }
    }
};

template <class Pixel>
void Fill(World& w, const PixelRecipe& recipe) {
    Random random{recipe.seed};
    Channel channel{random, recipe};
    // The value every pixel of a constant layer holds.
    Pixel constant{};
    channel.Hostile(constant.alpha);
    channel.Hostile(constant.red);
    channel.Hostile(constant.green);
    channel.Hostile(constant.blue);
    for (A_long y = 0; y < w.Height(); ++y) {
        for (A_long x = 0; x < w.Width(); ++x) {
            Pixel& p = w.At<Pixel>(x, y);
            if (recipe.kind == PixelKind::kConstant) {
                p = constant;
            } else if (recipe.kind == PixelKind::kSurface) {
                // A dome over the layer, facing the viewer at its centre.
                const double nx = (x + 0.5) / w.Width() * 2.0 - 1.0;
                const double ny = (y + 0.5) / w.Height() * 2.0 - 1.0;
                const double nz = std::sqrt(std::max(0.0, 1.0 - (nx * nx + ny * ny) * 0.5));
                channel.Store(1.0, p.alpha);
                channel.Store(nx * 0.5 + 0.5, p.red);
                channel.Store(-ny * 0.5 + 0.5, p.green);
                channel.Store(nz * 0.5 + 0.5, p.blue);
            } else {
                channel.Make(p.alpha);
                channel.Make(p.red);
                channel.Make(p.green);
                channel.Make(p.blue);
            }
        }
    }
}

std::string DepthName(Depth d) {
    return d == Depth::k8 ? "8-bit" : d == Depth::k16 ? "16-bit" : "float";
}

const char* const kKindNames[] = {"surface",   "constant", "in range",
                                  "sprinkled", "hostile",  "raw bits"};

std::string LayerText(const LayerSpec& s) {
    if (s.binding == Binding::kNone) return "none";
    if (s.binding == Binding::kNoPixels) return "a layer without pixels";
    std::ostringstream t;
    t << s.width << " x " << s.height << ", " << kKindNames[int(s.pixels.kind)] << " (hostility "
      << int(s.pixels.hostility) << ", seed " << s.pixels.seed << ")";
    return t.str();
}

std::string ValueText(const PF_ParamDef& def, const PF_ParamDefUnion& v) {
    std::ostringstream t;
    switch (def.param_type) {
        case PF_Param_SLIDER:
            t << v.sd.value;
            break;
        case PF_Param_FIX_SLIDER:
            t << v.fd.value << " (" << v.fd.value / 65536.0 << ")";
            break;
        case PF_Param_FLOAT_SLIDER:
            t << v.fs_d.value;
            break;
        case PF_Param_ANGLE:
            t << v.ad.value << " (" << v.ad.value / 65536.0 << " degrees)";
            break;
        case PF_Param_CHECKBOX:
            t << v.bd.value;
            break;
        case PF_Param_COLOR:
            t << "argb " << int(v.cd.value.alpha) << " " << int(v.cd.value.red) << " "
              << int(v.cd.value.green) << " " << int(v.cd.value.blue);
            break;
        case PF_Param_POINT:
            t << v.td.x_value << ", " << v.td.y_value << " (" << v.td.x_value / 65536.0 << ", "
              << v.td.y_value / 65536.0 << ")";
            break;
        case PF_Param_POPUP:
            t << "choice " << v.pd.value;
            break;
        default:
            t << "?";
            break;
    }
    return t.str();
}

// v limited to lo..hi, computed wide.
std::int32_t Within(std::int64_t v, std::int32_t lo, std::int32_t hi) {
    return std::int32_t(std::clamp<std::int64_t>(v, lo, hi));
}

// A value in lo..hi for setting `s`: the bounds, 0, anywhere, whole units
// (for 16.16 values, `unit` 65536) or just above the lower bound.
std::int32_t InRange(const ControlSetting& s, std::int32_t lo, std::int32_t hi, std::int64_t unit) {
    const std::uint64_t span = std::uint64_t(std::int64_t(hi) - lo) + 1;
    switch (s.selector % 8) {
        case 1:
            return lo;
        case 2:
            return hi;
        case 3:
            return Within(0, lo, hi);
        case 6:
            return Within(lo + std::int64_t(s.payload % (span / unit + 1)) * unit, lo, hi);
        case 7:
            return Within(std::int64_t(lo) + s.payload % 256, lo, hi);
        default:
            return std::int32_t(lo + std::int64_t(s.payload % span));
    }
}

// Angles and points have no valid range the host checks: any 16.16 value.
PF_Fixed AnyFixed(std::uint8_t mode, std::uint32_t bits) {
    switch (mode % 8) {
        case 1:
            return std::numeric_limits<PF_Fixed>::min();
        case 2:
            return std::numeric_limits<PF_Fixed>::max();
        case 3:
            return 0;
        case 4:
        case 5:
            return PF_Fixed(std::int8_t(bits)) * 65536;  // a few whole units
        case 6:
            return PF_Fixed(std::int16_t(bits)) * 65536;  // whole units, +-32767
        default:
            return PF_Fixed(bits);  // anything
    }
}

// The host calls the module makes, by the names the host counts them under.
const char* const kFaultFunctions[] = {"AcquireSuite",
                                       "ReleaseSuite",
                                       "add_param",
                                       "checkout_param",
                                       "checkin_param",
                                       "checkout_layer",
                                       "checkout_layer_pixels",
                                       "checkin_layer_pixels",
                                       "checkout_output",
                                       "host_new_handle",
                                       "host_lock_handle",
                                       "host_unlock_handle",
                                       "host_dispose_handle",
                                       "abort",
                                       "progress",
                                       "sprintf",
                                       "area_sample",
                                       "area_sample16",
                                       "area_sample_float",
                                       "iterate",
                                       "iterate16",
                                       "iterateFloat",
                                       "PF_GetPixelFormat",
                                       "AEGP_RegisterWithAEGP",
                                       "AEGP_SetMemReportingOn",
                                       "AEGP_GetEffectLayer",
                                       "AEGP_GetLayerParentComp",
                                       "AEGP_ConvertEffectToCompTime",
                                       "AEGP_GetCompNumLayers",
                                       "AEGP_GetEffectCamera",
                                       "AEGP_GetCompLayerByIndex",
                                       "AEGP_GetLayerObjectType",
                                       "AEGP_IsLayerVideoReallyOn",
                                       "AEGP_GetLightType",
                                       "AEGP_GetLayerName",
                                       "AEGP_GetLayerStreamValue",
                                       "AEGP_GetNewEffectForEffect",
                                       "AEGP_GetNewEffectStreamByIndex",
                                       "AEGP_GetDynamicStreamFlags",
                                       "AEGP_SetDynamicStreamFlag",
                                       "AEGP_DisposeStream",
                                       "AEGP_DisposeEffect",
                                       "AEGP_StartUndoGroup",
                                       "AEGP_EndUndoGroup",
                                       "iterate_origin",
                                       "iterate_originFloat",
                                       "iterate_generic"};

std::optional<FaultSpec> Fault(const Bytes& b, std::size_t at) {
    const std::uint8_t function = b.U8(at);
    if (function == 0) return std::nullopt;
    FaultSpec f;
    f.function = kFaultFunctions[(function - 1) % std::size(kFaultFunctions)];
    const std::uint32_t nth = std::uint32_t(b.U8(at + 1)) | std::uint32_t(b.U8(at + 2)) << 8;
    // Mostly one of the first calls; per-pixel calls are many.
    f.nth = 1 + int(nth < 0x8000 ? nth % 16 : nth % 4096);
    constexpr A_long kCodes[] = {PF_Err_OUT_OF_MEMORY, PF_Err_BAD_CALLBACK_PARAM,
                                 PF_Err_INTERNAL_STRUCT_DAMAGED, A_Err_GENERIC,
                                 PF_Interrupt_CANCEL};
    const std::uint8_t outcome = b.U8(at + 3) % (std::size(kCodes) + 2);
    if (outcome < std::size(kCodes)) {
        f.code = kCodes[outcome];
    } else {
        f.kind = outcome == std::size(kCodes) ? FaultSpec::Kind::kBadAlloc
                                              : FaultSpec::Kind::kRuntimeError;
    }
    return f;
}

// A rectangle of a width x height output: any corner inside it, any size
// from one pixel to what fits.
PF_LRect Region(const Bytes& b, std::size_t at, A_long width, A_long height) {
    const A_long left = b.U8(at) % width, top = b.U8(at + 1) % height;
    const A_long w = 1 + b.U8(at + 2) % (width - left), h = 1 + b.U8(at + 3) % (height - top);
    return {left, top, left + w, top + h};
}

}  // namespace

int FaultFunctionCount() { return int(std::size(kFaultFunctions)); }

FrameCase DecodeFrameCase(const std::uint8_t* data, std::size_t size) {
    const Bytes b(data, size);
    FrameCase c;
    const std::uint8_t format = b.U8(layout::kHeader);
    c.depth = format % 3 == 0 ? Depth::kFloat : format % 3 == 1 ? Depth::k8 : Depth::k16;
    constexpr A_long kFactors[] = {1, 1, 1, 1, 1, 1, 2, 2, 2, 3, 3, 4, 5, 8, 16, 64};
    c.downsample = kFactors[b.U8(layout::kHeader + 1) % std::size(kFactors)];
    c.quality = b.U8(layout::kHeader + 2) % 2 == 0 ? PF_Quality_HI : PF_Quality_LO;
    c.footageInOtherDepth = (b.U8(layout::kHeader + 3) & 1) != 0;

    c.input = Layer(b, layout::kInput, true);
    for (std::size_t i = 0; i < c.maps.size(); ++i) c.maps[i] = Layer(b, layout::OfMap(i), false);

    // 0 to 6 lights from the slots (taken in turn), or more than the light
    // tables hold.
    const std::uint8_t lights = b.U8(layout::kLights) % 8;
    const int count = lights == 7 ? 257 : lights;
    for (int i = 0; i < count; ++i) {
        const int slot = i % kLightSlots;
        c.lights.push_back(
            Light(b, layout::OfLight(std::size_t(slot)), i, c.input.width, c.input.height));
    }
    if (b.U8(layout::kCamera) % 2 == 1) {
        const std::size_t at = layout::kCamera + 1;
        c.camera = host::Vec3d{Number(b, at, c.input.width / 2.0),
                               Number(b, at + layout::kNumberSize, c.input.height / 2.0),
                               Number(b, at + 2 * layout::kNumberSize, -500.0)};
    }
    for (A_long id = 1; id < PARAM_COUNT; ++id) {
        const std::size_t at = layout::OfControl(ParamId(id));
        c.controls[std::size_t(id)] = {b.U8(at), b.U32(at + 1)};
    }
    c.fault = Fault(b, layout::kFault);
    const A_long f = c.downsample;
    c.region =
        Region(b, layout::kRegion, (c.input.width + f - 1) / f, (c.input.height + f - 1) / f);
    return c;
}

std::optional<PF_ParamDefUnion> ControlValue(const PF_ParamDef& def, const ControlSetting& s) {
    if (s.selector == 0) return std::nullopt;
    PF_ParamDefUnion v = def.u;
    switch (def.param_type) {
        case PF_Param_SLIDER:
            v.sd.value = InRange(s, def.u.sd.valid_min, def.u.sd.valid_max, 1);
            break;
        case PF_Param_FIX_SLIDER:
            v.fd.value = InRange(s, def.u.fd.valid_min, def.u.fd.valid_max, 65536);
            break;
        case PF_Param_FLOAT_SLIDER: {
            const double lo = def.u.fs_d.valid_min, hi = def.u.fs_d.valid_max;
            const double t = s.selector % 8 == 1   ? 0.0
                             : s.selector % 8 == 2 ? 1.0
                                                   : s.payload / 4294967295.0;
            v.fs_d.value = std::clamp(lo + (hi - lo) * t, lo, hi);
            break;
        }
        case PF_Param_POPUP:
            v.pd.value = InRange(s, 1, def.u.pd.num_choices, 1);
            break;
        case PF_Param_CHECKBOX:
            // Any non-zero value is on.
            v.bd.value = s.selector % 4 == 1   ? 0
                         : s.selector % 4 == 2 ? 1
                         : s.selector % 4 == 3 ? PF_ParamValue(s.payload | 1)
                                               : PF_ParamValue(s.payload & 1);
            break;
        case PF_Param_COLOR:
            if (s.selector % 4 == 1) {
                v.cd.value = {0, 0, 0, 0};
            } else if (s.selector % 4 == 2) {
                v.cd.value = {255, 255, 255, 255};
            } else {
                v.cd.value = {A_u_char(s.payload >> 24), A_u_char(s.payload),
                              A_u_char(s.payload >> 8), A_u_char(s.payload >> 16)};
            }
            break;
        case PF_Param_ANGLE:
            v.ad.value = AnyFixed(s.selector, s.payload);
            break;
        case PF_Param_POINT:
            if (s.selector % 8 == 1 || s.selector % 8 == 2) {
                // The extremes, one coordinate at each end.
                v.td.x_value = AnyFixed(s.selector, 0);
                v.td.y_value = AnyFixed(std::uint8_t(3 - s.selector % 8), 0);
            } else {
                v.td.x_value = AnyFixed(s.selector, s.payload & 0xFFFF);
                v.td.y_value = AnyFixed(s.selector, s.payload >> 16);
                if (s.selector % 8 == 7) v.td.y_value = PF_Fixed(s.payload);
            }
            break;
        default:
            return std::nullopt;
    }
    return v;
}

World MakeLayer(const LayerSpec& spec, Depth depth) {
    World w(spec.width, spec.height, depth);
    switch (depth) {
        case Depth::k8:
            Fill<PF_Pixel8>(w, spec.pixels);
            break;
        case Depth::k16:
            Fill<PF_Pixel16>(w, spec.pixels);
            break;
        case Depth::kFloat:
            Fill<PF_PixelFloat>(w, spec.pixels);
            break;
    }
    return w;
}

std::string DescribeFrame(const FrameCase& c) {
    std::ostringstream t;
    t << DepthName(c.depth) << (c.footageInOtherDepth ? " (layers in another depth)" : "")
      << ", downsample " << c.downsample << ", quality "
      << (c.quality == PF_Quality_HI ? "high" : "low") << "\n";
    t << "  input: " << LayerText(c.input) << "\n";
    for (std::size_t i = 0; i < c.maps.size(); ++i) {
        if (c.maps[i].binding != Binding::kNone) {
            t << "  map control " << kMapControls[i] << ": " << LayerText(c.maps[i]) << "\n";
        }
    }
    t << "  lights: " << c.lights.size() << "\n";
    for (std::size_t i = 0; i < c.lights.size() && i < std::size_t(kLightSlots); ++i) {
        const LightSpec& l = c.lights[i];
        t << "    \"" << l.name << "\" type " << int(l.type) << (l.videoOn ? "" : " (off)")
          << " at " << l.position.x << ", " << l.position.y << ", " << l.position.z << " aiming at "
          << l.anchor.x << ", " << l.anchor.y << ", " << l.anchor.z << ", intensity " << l.intensity
          << ", cone " << l.coneAngle << " / " << l.coneFeather << ", colour " << l.color.red << " "
          << l.color.green << " " << l.color.blue << "\n";
    }
    if (c.camera) {
        t << "  camera at " << c.camera->x << ", " << c.camera->y << ", " << c.camera->z << "\n";
    }
    t << "  part: (" << c.region.left << ", " << c.region.top << ")-(" << c.region.right << ", "
      << c.region.bottom << ")\n";
    if (c.fault) {
        t << "  call " << c.fault->nth << " of " << c.fault->function << " "
          << (c.fault->kind == FaultSpec::Kind::kCode
                  ? "fails with " + std::to_string(c.fault->code)
              : c.fault->kind == FaultSpec::Kind::kBadAlloc ? "throws std::bad_alloc"
                                                            : "throws std::runtime_error")
          << "\n";
    }
    return t.str();
}

std::string DescribeControls(const FrameCase& c, const std::vector<PF_ParamDef>& registered) {
    std::ostringstream t;
    for (std::size_t i = 0; i < registered.size(); ++i) {
        const std::optional<PF_ParamDefUnion> v = ControlValue(registered[i], c.controls[i + 1]);
        if (v) {
            t << "  " << i + 1 << " " << registered[i].name << ": " << ValueText(registered[i], *v)
              << "\n";
        }
    }
    return t.str();
}

}  // namespace lumeshade::fuzz
