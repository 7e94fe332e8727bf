// "AEGP PF Interface Suite" 1: the effect's layer, its time in composition
// time, and the composition camera. AEGP_GetNewEffectForEffect belongs to
// host/effect_streams.cpp.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "host/call_site.h"
#include "host/host.h"
#include "host/host_state.h"
#include "host/rounding.h"
#include "host/suites.h"

namespace lumeshade::host {
namespace {

HostState& State() { return Host::Current().State(); }

// The camera the effect sees at composition frame `frame`: the topmost
// camera layer whose video is on, or -1.
int CameraIndex(const Composition& comp, double frame) {
    for (size_t i = 0; i < comp.layers.size(); ++i) {
        const CompLayer& l = comp.layers[i];
        if (l.type == AEGP_ObjectType_CAMERA && l.videoOn.Held(frame)) return int(i);
    }
    return -1;
}

A_Err GetEffectLayer(PF_ProgPtr effect_ref, AEGP_LayerH* layer) {
    if (const A_long err = CountCall<"AEGP_GetEffectLayer">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (effect_ref != s.EffectRef() || layer == nullptr) return A_Err_PARAMETER;
    const int index = s.render.comp.effectLayer;
    // An effect always sits on a layer in a real host; a composition set up
    // without one cannot answer.
    if (index < 0 || size_t(index) >= s.render.comp.layers.size()) return A_Err_GENERIC;
    *layer = LayerHandleLocked(s, index);
    return A_Err_NONE;
}

A_Err ConvertEffectToCompTime(PF_ProgPtr effect_ref, A_long what_time, A_u_long time_scale,
                              A_Time* comp_time) {
    if (const A_long err = CountCall<"AEGP_ConvertEffectToCompTime">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (effect_ref != s.EffectRef() || comp_time == nullptr || time_scale == 0) {
        return A_Err_PARAMETER;
    }
    const double offset = std::round(s.render.comp.effectLayerOffset * double(time_scale));
    const double value = double(what_time) + offset;
    if (!(value >= double(std::numeric_limits<A_long>::min()) &&
          value <= double(std::numeric_limits<A_long>::max()))) {
        return A_Err_PARAMETER;
    }
    *comp_time = {RoundedInt(value), time_scale};
    return A_Err_NONE;
}

// No camera is not an error: the handle comes back null.
A_Err GetEffectCamera(PF_ProgPtr effect_ref, const A_Time* comp_time, AEGP_LayerH* camera) {
    if (const A_long err = CountCall<"AEGP_GetEffectCamera">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const std::optional<double> frame = CompFrame(s, -1, AEGP_LTimeMode_CompTime, comp_time);
    if (effect_ref != s.EffectRef() || camera == nullptr || !frame) return A_Err_PARAMETER;
    const int index = CameraIndex(s.render.comp, *frame);
    *camera = index < 0 ? nullptr : LayerHandleLocked(s, index);
    return A_Err_NONE;
}

Vec3d Sub(const Vec3d& a, const Vec3d& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3d Cross(const Vec3d& a, const Vec3d& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3d Normalised(const Vec3d& v, const Vec3d& fallback) {
    const double len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return len > 1e-12 ? Vec3d{v.x / len, v.y / len, v.z / len} : fallback;
}

// The camera's matrix, camera to world with row vectors (rows: the
// camera's x, y and z axes, then its position), looking from its Position at
// its point of interest (Anchor Point), y down. With no camera it is the
// host's default camera: centred on the layer, a 50 mm lens (39.6 degrees
// across the width) away from it.
A_Err GetEffectCameraMatrix(PF_ProgPtr effect_ref, const A_Time* comp_time, A_Matrix4* matrix,
                            A_FpLong* distance, A_short* planeWidth, A_short* planeHeight) {
    if (const A_long err = CountCall<"AEGP_GetEffectCameraMatrix">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const std::optional<double> t = CompFrame(s, -1, AEGP_LTimeMode_CompTime, comp_time);
    if (effect_ref != s.EffectRef() || !t || matrix == nullptr || distance == nullptr ||
        planeWidth == nullptr || planeHeight == nullptr) {
        return A_Err_PARAMETER;
    }
    const double width = std::max<A_long>(1, s.inData.width);
    const double height = std::max<A_long>(1, s.inData.height);
    const double zoom = (width / 2.0) / std::tan(39.6 / 2.0 * 3.14159265358979323846 / 180.0);
    Vec3d position{width / 2.0, height / 2.0, -zoom};
    Vec3d target{width / 2.0, height / 2.0, 0.0};
    if (const int index = CameraIndex(s.render.comp, *t); index >= 0) {
        const CompLayer& camera = s.render.comp.layers[size_t(index)];
        position = camera.position.At(*t);
        target = camera.anchorPoint.At(*t);
    }
    const Vec3d forward = Normalised(Sub(target, position), {0, 0, 1});
    const Vec3d right = Normalised(Cross({0, 1, 0}, forward), {1, 0, 0});
    const Vec3d down = Cross(forward, right);
    const Vec3d rows[4] = {right, down, forward, position};
    for (int r = 0; r < 4; ++r) {
        matrix->mat[r][0] = rows[r].x;
        matrix->mat[r][1] = rows[r].y;
        matrix->mat[r][2] = rows[r].z;
        matrix->mat[r][3] = r == 3 ? 1.0 : 0.0;
    }
    *distance = zoom;
    *planeWidth = A_short(TruncatedInt(std::min(width, 32767.0)));
    *planeHeight = A_short(TruncatedInt(std::min(height, 32767.0)));
    return A_Err_NONE;
}

}  // namespace

const AEGP_PFInterfaceSuite1 kPFInterfaceSuite = {
    GetEffectLayer, EffectStreamsGetNewEffectForEffect, ConvertEffectToCompTime, GetEffectCamera,
    GetEffectCameraMatrix};

}  // namespace lumeshade::host
