#include "maps/sample_area.h"

#include <cstdint>
#include <limits>
#include <type_traits>

#include "AE_EffectCB.h"
#include "common/convert.h"
#include "shell/host_suites.h"

namespace lumeshade {
namespace {

constexpr double kFixedOne = 65536.0;

// A whole-pixel position as 16.16. Map indices stay far below 32768, the
// largest whole number 16.16 holds; anything beyond saturates instead of
// wrapping.
PF_Fixed ToFixed(A_long v) {
    constexpr int64_t kMaxFixed = std::numeric_limits<PF_Fixed>::max();
    constexpr int64_t kMinFixed = std::numeric_limits<PF_Fixed>::min();
    const int64_t f = static_cast<int64_t>(v) * 65536;
    return static_cast<PF_Fixed>(f > kMaxFixed ? kMaxFixed : (f < kMinFixed ? kMinFixed : f));
}

// The sampling record. Everything not named here stays zero, which is what
// the host expects of a plain area sample: edge behaviour ZERO (the only one
// it defines), no motion blur, no mask, a copy transfer and no transfer
// tables; `area` is left to the host to derive from the radii.
PF_SampPB MakeSamplingRecord(const PF_EffectWorld& map, float radius) {
    PF_SampPB params{};
    const PF_Fixed r = SamplingRadius(radius);
    params.x_radius = r;
    params.y_radius = r;
    params.src = const_cast<PF_EffectWorld*>(&map);  // the host only reads it
    params.samp_behave = PF_SampleEdgeBehav_ZERO;
    params.allow_asynch = 1;
    return params;
}

[[noreturn]] void NoSampler() { throw static_cast<A_long>(PF_Err_BAD_CALLBACK_PARAM); }

}  // namespace

PF_Fixed SamplingRadius(float radius) {
    return RoundToInt(static_cast<double>(radius) * kFixedOne);
}

A_long SampleReach(float radius) {
    const PF_Fixed r = SamplingRadius(radius);
    if (r <= 0) return 0;
    return static_cast<A_long>((static_cast<int64_t>(r) + 65535) / 65536);  // whole pixels, up
}

template <class Pixel>
Pixel SampleArea(const PF_EffectWorld& map, A_long x, A_long y, float radius,
                 const PF_InData* in_data) {
    const PF_SampPB params = MakeSamplingRecord(map, radius);
    Pixel dst{};
    if constexpr (std::is_same_v<Pixel, PF_PixelFloat>) {
        HostSuites suites(in_data);
        const auto sample = suites.SamplingFloat().area_sample_float;
        if (sample == nullptr) NoSampler();
        sample(in_data->effect_ref, ToFixed(x), ToFixed(y), &params, &dst);
    } else {
        const PF_UtilCallbacks* utils = in_data != nullptr ? in_data->utils : nullptr;
        if (utils == nullptr) NoSampler();
        if constexpr (std::is_same_v<Pixel, PF_Pixel16>) {
            if (utils->area_sample16 == nullptr) NoSampler();
            utils->area_sample16(in_data->effect_ref, ToFixed(x), ToFixed(y), &params, &dst);
        } else {
            if (utils->area_sample == nullptr) NoSampler();
            utils->area_sample(in_data->effect_ref, ToFixed(x), ToFixed(y), &params, &dst);
        }
    }
    return dst;
}

template PF_Pixel8 SampleArea<PF_Pixel8>(const PF_EffectWorld&, A_long, A_long, float,
                                         const PF_InData*);
template PF_Pixel16 SampleArea<PF_Pixel16>(const PF_EffectWorld&, A_long, A_long, float,
                                           const PF_InData*);
template PF_PixelFloat SampleArea<PF_PixelFloat>(const PF_EffectWorld&, A_long, A_long, float,
                                                 const PF_InData*);

}  // namespace lumeshade
