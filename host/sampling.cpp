// Sampling of layer worlds: in_data's 8- and 16-bit samplers and the float
// sampling suite.
//
// Coordinates are 16.16 pixels with pixel (i, j) centred on (i, j) and
// covering [i - 1/2, i + 1/2] x [j - 1/2, j + 1/2]. An area sample is the box
// average over [x - x_radius, x + x_radius] x [y - y_radius, y + y_radius],
// each pixel weighted by the part of it the box covers; a radius of 0 (or
// below) on an axis takes the one pixel under the centre on that axis. Edge
// behaviour is ZERO, the only one the host defines: the box keeps its full
// area at the edges and what lies outside the world counts as transparent
// black. Channels are averaged independently; integer results are rounded
// to the nearest value.
//
// These run once per pixel on the iterate threads: apart from counting, they
// take no lock and allocate nothing unless the call log is on or the module
// misuses the record.
#include <cmath>
#include <cstdint>
#include <string>
#include <type_traits>

#include "AE_EffectCBSuites.h"
#include "host/call_site.h"
#include "host/host.h"
#include "host/host_state.h"

namespace lumeshade::host {
namespace {

constexpr double kFixedOne = 65536.0;

template <class Pixel>
struct Format;
template <>
struct Format<PF_Pixel8> {
    using Channel = A_u_char;
    static constexpr bool kInteger = true;
    static constexpr double kLargest = 255.0;
    static constexpr bool kDeep = false;
    static constexpr const char* kName = "8-bit";
};
template <>
struct Format<PF_Pixel16> {
    using Channel = A_u_short;
    static constexpr bool kInteger = true;
    static constexpr double kLargest = 65535.0;  // the type's range; 32768 is white
    static constexpr bool kDeep = true;
    static constexpr const char* kName = "16-bit";
};
template <>
struct Format<PF_PixelFloat> {
    using Channel = PF_FpShort;
    static constexpr bool kInteger = false;
    static constexpr double kLargest = 0.0;
    static constexpr bool kDeep = false;
    static constexpr const char* kName = "float";
};

template <class Pixel>
const Pixel* Row(const PF_EffectWorld& world, A_long row) {
    return reinterpret_cast<const Pixel*>(reinterpret_cast<const char*>(world.data) +
                                          static_cast<intptr_t>(row) * world.rowbytes);
}

template <class Pixel>
typename Format<Pixel>::Channel Store(double v) {
    if constexpr (Format<Pixel>::kInteger) {
        v = std::floor(v + 0.5);
        if (!(v > 0.0)) v = 0.0;
        if (v > Format<Pixel>::kLargest) v = Format<Pixel>::kLargest;
    }
    return static_cast<typename Format<Pixel>::Channel>(v);
}

// One axis of a sample: the pixels it touches inside the world and the
// weight of each.
struct Axis {
    A_long first = 0;
    A_long last = -1;  // first > last: nothing inside the world
    double lo = 0.0;   // box edges
    double hi = 0.0;
    double area = 1.0;  // the box's full length, outside parts included
    bool point = true;

    double Weight(A_long i) const {
        if (point) return 1.0;
        const double from = lo > i - 0.5 ? lo : i - 0.5;
        const double to = hi < i + 0.5 ? hi : i + 0.5;
        return to - from;
    }
};

// Positions are at most 2^15 pixels from 0 and so are radii, so every index
// here fits an A_long.
Axis MakeAxis(PF_Fixed centre, PF_Fixed radius, A_long size) {
    Axis a;
    const double c = centre / kFixedOne;
    A_long first;
    A_long last;
    if (radius > 0) {
        const double r = radius / kFixedOne;
        a.point = false;
        a.lo = c - r;
        a.hi = c + r;
        a.area = 2.0 * r;
        // Pixels overlapping (lo, hi) by more than nothing.
        first = static_cast<A_long>(std::floor(a.lo - 0.5)) + 1;
        last = static_cast<A_long>(std::ceil(a.hi + 0.5)) - 1;
    } else {
        first = last = static_cast<A_long>(std::floor(c + 0.5));
    }
    a.first = first < 0 ? 0 : first;
    a.last = last > size - 1 ? size - 1 : last;
    return a;
}

// The column weights of a box are the same on every row; up to this many
// columns they are worked out once per sample instead of once per pixel.
constexpr A_long kWeighedColumns = 128;

template <class Pixel>
void BoxAverage(const PF_EffectWorld& world, PF_Fixed x, PF_Fixed y, PF_Fixed xRadius,
                PF_Fixed yRadius, Pixel* dst) {
    const Axis ax = MakeAxis(x, xRadius, world.width);
    const Axis ay = MakeAxis(y, yRadius, world.height);
    double alpha = 0.0, red = 0.0, green = 0.0, blue = 0.0;
    const A_long columns = ax.last - ax.first + 1;
    if (columns <= 0) {
        // The box lies beside the world: nothing but transparent black.
    } else if (columns <= kWeighedColumns) {
        double wx[kWeighedColumns];
        for (A_long i = 0; i < columns; ++i) wx[i] = ax.Weight(ax.first + i);
        for (A_long j = ay.first; j <= ay.last; ++j) {
            const Pixel* row = Row<Pixel>(world, j) + ax.first;
            const double wy = ay.Weight(j);
            for (A_long i = 0; i < columns; ++i) {
                const double w = wx[i] * wy;
                alpha += w * row[i].alpha;
                red += w * row[i].red;
                green += w * row[i].green;
                blue += w * row[i].blue;
            }
        }
    } else {
        for (A_long j = ay.first; j <= ay.last; ++j) {
            const Pixel* row = Row<Pixel>(world, j);
            const double wy = ay.Weight(j);
            for (A_long i = ax.first; i <= ax.last; ++i) {
                const double w = ax.Weight(i) * wy;
                alpha += w * row[i].alpha;
                red += w * row[i].red;
                green += w * row[i].green;
                blue += w * row[i].blue;
            }
        }
    }
    const double area = ax.area * ay.area;
    dst->alpha = Store<Pixel>(alpha / area);
    dst->red = Store<Pixel>(red / area);
    dst->green = Store<Pixel>(green / area);
    dst->blue = Store<Pixel>(blue / area);
}

// Bilinear interpolation between the four pixels around (x, y).
template <class Pixel>
void Bilinear(const PF_EffectWorld& world, PF_Fixed x, PF_Fixed y, Pixel* dst) {
    const double cx = x / kFixedOne;
    const double cy = y / kFixedOne;
    const A_long i0 = static_cast<A_long>(std::floor(cx));
    const A_long j0 = static_cast<A_long>(std::floor(cy));
    const double fx = cx - i0;
    const double fy = cy - j0;
    double alpha = 0.0, red = 0.0, green = 0.0, blue = 0.0;
    for (A_long j = j0; j <= j0 + 1; ++j) {
        if (j < 0 || j >= world.height) continue;
        const Pixel* row = Row<Pixel>(world, j);
        const double wy = j == j0 ? 1.0 - fy : fy;
        for (A_long i = i0; i <= i0 + 1; ++i) {
            if (i < 0 || i >= world.width) continue;
            const double w = (i == i0 ? 1.0 - fx : fx) * wy;
            alpha += w * row[i].alpha;
            red += w * row[i].red;
            green += w * row[i].green;
            blue += w * row[i].blue;
        }
    }
    dst->alpha = Store<Pixel>(alpha);
    dst->red = Store<Pixel>(red);
    dst->green = Store<Pixel>(green);
    dst->blue = Store<Pixel>(blue);
}

enum class Kind { kNearest, kSubpixel, kArea };

void Violation(HostState& s, const std::string& what) {
    std::lock_guard<std::mutex> lock(s.mutex);
    s.Violation(what);
}

// Checks the call as the host does and samples.
template <class Pixel>
PF_Err Sample(const char* name, Kind kind, PF_ProgPtr effect_ref, PF_Fixed x, PF_Fixed y,
              const PF_SampPB* params, Pixel* dst) {
    HostState& s = Host::Current().State();
    if (effect_ref != s.EffectRef() || params == nullptr || dst == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const PF_EffectWorld* src = params->src;
    if (src == nullptr || src->data == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    if (params->samp_behave != PF_SampleEdgeBehav_ZERO) {
        Violation(s, std::string(name) + " with an edge behaviour the host does not define");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (params->mask0 != nullptr || params->fcm_table != nullptr || params->fcd_table != nullptr) {
        Violation(s, std::string(name) + " with a mask or transfer tables");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if constexpr (!std::is_same_v<Pixel, PF_PixelFloat>) {
        if (((src->world_flags & PF_WorldFlag_DEEP) != 0) != Format<Pixel>::kDeep) {
            Violation(s, std::string(name) + " given a world that is not " + Format<Pixel>::kName);
            return PF_Err_BAD_CALLBACK_PARAM;
        }
    }
    switch (kind) {
        case Kind::kNearest:
            BoxAverage(*src, x, y, 0, 0, dst);
            break;
        case Kind::kSubpixel:
            Bilinear(*src, x, y, dst);
            break;
        case Kind::kArea:
            BoxAverage(*src, x, y, params->x_radius, params->y_radius, dst);
            break;
    }
    return PF_Err_NONE;
}

#define LUMESHADE_SAMPLER(Function, Pixel, Name, SampleKind)                                \
    PF_Err Function(PF_ProgPtr effect_ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params, \
                    Pixel* dst) {                                                           \
        if (const A_long err = CountCall<Name>()) return err;                               \
        return Sample(Name, SampleKind, effect_ref, x, y, params, dst);                     \
    }

LUMESHADE_SAMPLER(AreaSample8, PF_Pixel, "area_sample", Kind::kArea)
LUMESHADE_SAMPLER(SubpixelSample8, PF_Pixel, "subpixel_sample", Kind::kSubpixel)
LUMESHADE_SAMPLER(AreaSample16, PF_Pixel16, "area_sample16", Kind::kArea)
LUMESHADE_SAMPLER(SubpixelSample16, PF_Pixel16, "subpixel_sample16", Kind::kSubpixel)
LUMESHADE_SAMPLER(NnSampleFloat, PF_PixelFloat, "nn_sample_float", Kind::kNearest)
LUMESHADE_SAMPLER(SubpixelSampleFloat, PF_PixelFloat, "subpixel_sample_float", Kind::kSubpixel)
LUMESHADE_SAMPLER(AreaSampleFloat, PF_PixelFloat, "area_sample_float", Kind::kArea)

#undef LUMESHADE_SAMPLER

const PF_SamplingFloatSuite1 kSamplingFloatSuite = {NnSampleFloat, SubpixelSampleFloat,
                                                    AreaSampleFloat};

}  // namespace

void InstallSamplers(PF_UtilCallbacks& utils) {
    utils.area_sample = AreaSample8;
    utils.subpixel_sample = SubpixelSample8;
    utils.area_sample16 = AreaSample16;
    utils.subpixel_sample16 = SubpixelSample16;
}

void RegisterSamplingSuites(HostState& s) {
    s.suites[{kPFSamplingFloatSuite, kPFSamplingFloatSuiteVersion1}].table = &kSamplingFloatSuite;
}

}  // namespace lumeshade::host
