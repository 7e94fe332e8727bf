// Control values over time: constants and keys set by tests, the value a
// check-out or the parameter array gets at a time, and the supervised-control
// command.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>

#include "host/host.h"
#include "host/host_state.h"
#include "host/rounding.h"

namespace lumeshade::host {
namespace {

// How a control's value moves between keys; nothing for controls without a
// value of their own (layers, groups).
std::optional<Interpolation> KeyingOf(PF_ParamType type) {
    switch (type) {
        case PF_Param_SLIDER:
        case PF_Param_FIX_SLIDER:
        case PF_Param_FLOAT_SLIDER:
        case PF_Param_ANGLE:
        case PF_Param_COLOR:
        case PF_Param_POINT:
        case PF_Param_POINT_3D:
            return Interpolation::kLinear;
        case PF_Param_CHECKBOX:
        case PF_Param_POPUP:
            return Interpolation::kHold;
        default:
            return std::nullopt;
    }
}

A_long LerpInt(A_long a, A_long b, double t) {
    return RoundedInt(double(a) + (double(b) - double(a)) * t);
}
A_u_char LerpByte(A_u_char a, A_u_char b, double t) { return A_u_char(LerpInt(a, b, t)); }
double LerpDouble(double a, double b, double t) { return a + (b - a) * t; }

// Copies the value fields of `type` from `from` into `to`, leaving the
// description fields (ranges, defaults, names) of `to` alone.
void CopyValue(PF_ParamType type, const PF_ParamDefUnion& from, PF_ParamDefUnion& to) {
    switch (type) {
        case PF_Param_SLIDER:
            to.sd.value = from.sd.value;
            break;
        case PF_Param_FIX_SLIDER:
            to.fd.value = from.fd.value;
            break;
        case PF_Param_FLOAT_SLIDER:
            to.fs_d.value = from.fs_d.value;
            break;
        case PF_Param_ANGLE:
            to.ad.value = from.ad.value;
            break;
        case PF_Param_CHECKBOX:
            to.bd.value = from.bd.value;
            break;
        case PF_Param_COLOR:
            to.cd.value = from.cd.value;
            break;
        case PF_Param_POINT:
            to.td.x_value = from.td.x_value;
            to.td.y_value = from.td.y_value;
            break;
        case PF_Param_POINT_3D:
            to.point3d_d.x_value = from.point3d_d.x_value;
            to.point3d_d.y_value = from.point3d_d.y_value;
            to.point3d_d.z_value = from.point3d_d.z_value;
            break;
        case PF_Param_POPUP:
            to.pd.value = from.pd.value;
            break;
        default:
            break;
    }
}

// The value fields of `type` a fraction `t` of the way from `a` to `b`.
PF_ParamDefUnion Between(PF_ParamType type, const PF_ParamDefUnion& a, const PF_ParamDefUnion& b,
                         double t) {
    PF_ParamDefUnion out = a;
    switch (type) {
        case PF_Param_SLIDER:
            out.sd.value = LerpInt(a.sd.value, b.sd.value, t);
            break;
        case PF_Param_FIX_SLIDER:
            out.fd.value = LerpInt(a.fd.value, b.fd.value, t);
            break;
        case PF_Param_FLOAT_SLIDER:
            out.fs_d.value = LerpDouble(a.fs_d.value, b.fs_d.value, t);
            break;
        case PF_Param_ANGLE:
            out.ad.value = LerpInt(a.ad.value, b.ad.value, t);
            break;
        case PF_Param_COLOR:
            out.cd.value = {LerpByte(a.cd.value.alpha, b.cd.value.alpha, t),
                            LerpByte(a.cd.value.red, b.cd.value.red, t),
                            LerpByte(a.cd.value.green, b.cd.value.green, t),
                            LerpByte(a.cd.value.blue, b.cd.value.blue, t)};
            break;
        case PF_Param_POINT:
            out.td.x_value = LerpInt(a.td.x_value, b.td.x_value, t);
            out.td.y_value = LerpInt(a.td.y_value, b.td.y_value, t);
            break;
        case PF_Param_POINT_3D:
            out.point3d_d.x_value = LerpDouble(a.point3d_d.x_value, b.point3d_d.x_value, t);
            out.point3d_d.y_value = LerpDouble(a.point3d_d.y_value, b.point3d_d.y_value, t);
            out.point3d_d.z_value = LerpDouble(a.point3d_d.z_value, b.point3d_d.z_value, t);
            break;
        default:
            break;
    }
    return out;
}

void CheckInRange(const PF_ParamDef& def, const PF_ParamDefUnion& v) {
    bool ok = true;
    const PF_ParamDefUnion& u = def.u;
    switch (def.param_type) {
        case PF_Param_SLIDER:
            ok = v.sd.value >= u.sd.valid_min && v.sd.value <= u.sd.valid_max;
            break;
        case PF_Param_FIX_SLIDER:
            ok = v.fd.value >= u.fd.valid_min && v.fd.value <= u.fd.valid_max;
            break;
        case PF_Param_FLOAT_SLIDER:
            ok = v.fs_d.value >= u.fs_d.valid_min && v.fs_d.value <= u.fs_d.valid_max;
            break;
        case PF_Param_POPUP:
            ok = v.pd.value >= 1 && v.pd.value <= u.pd.num_choices;
            break;
        default:
            break;
    }
    if (!ok) {
        throw std::invalid_argument(std::string("value outside the valid range of \"") + def.name +
                                    "\"");
    }
}

ParamTrack& TrackFor(HostState& s, A_long index) {
    if (index < 1 || size_t(index) >= s.render.tracks.size()) {
        throw std::out_of_range("no control at index " + std::to_string(index));
    }
    return s.render.tracks[size_t(index)];
}

ParamTrack& ValueTrack(HostState& s, A_long index, const PF_ParamDefUnion& value) {
    ParamTrack& track = TrackFor(s, index);
    if (!KeyingOf(track.record.param_type)) {
        throw std::invalid_argument(std::string("control \"") + track.record.name +
                                    "\" has no value to set");
    }
    CheckInRange(track.record, value);
    return track;
}

ParamTrack& LayerTrack(HostState& s, A_long index, int compLayer) {
    ParamTrack& track = TrackFor(s, index);
    if (track.record.param_type != PF_Param_LAYER) {
        throw std::invalid_argument("control " + std::to_string(index) + " is not a layer control");
    }
    const auto& layers = s.render.comp.layers;
    if (compLayer < -1 || compLayer >= int(layers.size()) ||
        (compLayer >= 0 && layers[size_t(compLayer)].type != AEGP_ObjectType_AV)) {
        throw std::invalid_argument("a layer control binds to a footage layer of the composition");
    }
    return track;
}

// The footage layer a layer control names at `frame`, or -1.
int BoundLayerLocked(const HostState& s, const ParamTrack& track, double frame) {
    const int layer = track.layer.Held(frame);
    const auto& layers = s.render.comp.layers;
    if (layer < 0 || size_t(layer) >= layers.size()) return -1;
    return layers[size_t(layer)].type == AEGP_ObjectType_AV ? layer : -1;
}

}  // namespace

void ResetParamTracksLocked(HostState& s) {
    s.render.tracks.clear();
    for (const PF_ParamDef& registered : s.current) {
        s.render.tracks.push_back({registered, Keyed<PF_ParamDefUnion>(registered.u), {-1}});
    }
}

PF_ParamDef ParamRecordAtLocked(const HostState& s, A_long index, double frame) {
    const ParamTrack& track = s.render.tracks[size_t(index)];
    PF_ParamDef rec = track.record;
    const PF_ParamType type = rec.param_type;
    if (const std::optional<Interpolation> keying = KeyingOf(type)) {
        const PF_ParamDefUnion value = track.value.At(
            frame, *keying, [type](const PF_ParamDefUnion& a, const PF_ParamDefUnion& b, double t) {
                return Between(type, a, b, t);
            });
        CopyValue(type, value, rec.u);
    }
    // A chosen layer shows in the first word of the value: the layer's id
    // (its index + 1, as the Layer suite reports it); no layer leaves it 0.
    if (rec.param_type == PF_Param_LAYER) {
        const int layer = BoundLayerLocked(s, track, frame);
        rec.u.ld.reserved0 =
            layer < 0 ? nullptr : reinterpret_cast<void*>(std::uintptr_t(layer) + 1);
    }
    return rec;
}

void RefreshParamArrayLocked(HostState& s) {
    if (s.render.tracks.size() != s.current.size()) return;  // before parameter set-up
    const double frame = CurrentLayerFrame(s);
    for (size_t i = 1; i < s.current.size(); ++i) {
        s.current[i] = ParamRecordAtLocked(s, A_long(i), frame);
    }
}

const World* ParamFootageLocked(const HostState& s, A_long index, double frame) {
    if (index == 0) return s.render.input.get();
    if (index < 0 || size_t(index) >= s.render.tracks.size()) return nullptr;
    const int layer = BoundLayerLocked(s, s.render.tracks[size_t(index)], frame);
    return layer < 0 ? nullptr : s.render.comp.layers[size_t(layer)].footage.get();
}

void Host::SetParam(A_long index, const PF_ParamDefUnion& value) {
    SetParamTrack(index, Keyed<PF_ParamDefUnion>(value));
}

void Host::SetParamKey(A_long index, double frame, const PF_ParamDefUnion& value) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    ParamTrack& track = ValueTrack(*state_, index, value);
    PF_ParamDefUnion key = track.record.u;
    CopyValue(track.record.param_type, value, key);
    track.value.SetKey(frame, key);
}

void Host::SetParamTrack(A_long index, const Keyed<PF_ParamDefUnion>& values) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    for (const PF_ParamDefUnion& value : values.Values()) ValueTrack(*state_, index, value);
    ParamTrack& track = TrackFor(*state_, index);
    track.value = values.Map([&track](const PF_ParamDefUnion& value) {
        PF_ParamDefUnion u = track.record.u;
        CopyValue(track.record.param_type, value, u);
        return u;
    });
}

void Host::BindLayerParam(A_long index, int compLayerIndex) {
    BindLayerParamTrack(index, Keyed<int>(compLayerIndex));
}

void Host::BindLayerParamKey(A_long index, double frame, int compLayerIndex) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    LayerTrack(*state_, index, compLayerIndex).layer.SetKey(frame, compLayerIndex);
}

void Host::BindLayerParamTrack(A_long index, const Keyed<int>& compLayers) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    for (const int layer : compLayers.Values()) LayerTrack(*state_, index, layer);
    TrackFor(*state_, index).layer = compLayers;
}

const PF_ParamDef& Host::ParamAt(A_long index, double frame) const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    TrackFor(*state_, index);
    state_->render.paramAtScratch = ParamRecordAtLocked(*state_, index, frame);
    return state_->render.paramAtScratch;
}

PF_Err Host::UserChangedParam(A_long index) {
    HostState& s = *state_;
    if (index < 1 || size_t(index) > s.registered.size()) {
        throw std::out_of_range("no control at index " + std::to_string(index));
    }
    if ((s.registered[size_t(index) - 1].flags & PF_ParamFlag_SUPERVISE) == 0) return PF_Err_NONE;
    // out_data goes as it stands: the module adds its flags to those there.
    PF_UserChangedParamExtra extra{index};
    return Send(PF_Cmd_USER_CHANGED_PARAM, &extra);
}

}  // namespace lumeshade::host
