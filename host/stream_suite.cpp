// "AEGP Stream Suite" 7 (AEGP_StreamSuite2): the streams of composition
// layers at a time. The effect-stream slots belong to host/effect_streams.cpp.
//
// Which streams a layer has follows the interface's table: camera streams
// only on cameras, light streams only on lights, material streams only on
// footage layers; asking a layer for a stream it does not have is an error
// (A_Err_PARAMETER). Of the streams a layer has, this host models Position,
// Anchor Point, Intensity, Color, Cone Angle and Cone Feather; the others
// answer A_Err_GENERIC (not supported by this host).
#include <algorithm>
#include <cstring>
#include <string>

#include "host/call_site.h"
#include "host/host.h"
#include "host/host_state.h"
#include "host/suites.h"
#include "host/unsupported.h"

namespace lumeshade::host {
namespace {

HostState& State() { return Host::Current().State(); }

bool IsFootageKind(AEGP_ObjectType t) {
    return t == AEGP_ObjectType_AV || t == AEGP_ObjectType_TEXT || t == AEGP_ObjectType_VECTOR;
}

bool InRange(AEGP_LayerStream s, AEGP_LayerStream first, AEGP_LayerStream last) {
    return s >= first && s <= last;
}

bool Legal(AEGP_LayerStream s, AEGP_ObjectType type) {
    if (s < AEGP_LayerStream_BEGIN || s >= AEGP_LayerStream_END) return false;
    if (InRange(s, AEGP_LayerStream_ZOOM, AEGP_LayerStream_BLUR_LEVEL) ||
        InRange(s, AEGP_LayerStream_IRIS_SHAPE, AEGP_LayerStream_IRIS_HIGHLIGHT_SATURATION)) {
        return type == AEGP_ObjectType_CAMERA;
    }
    if (InRange(s, AEGP_LayerStream_INTENSITY, AEGP_LayerStream_SHADOW_DIFFUSION) ||
        InRange(s, AEGP_LayerStream_LIGHT_FALLOFF_TYPE, AEGP_LayerStream_LIGHT_FALLOFF_DISTANCE)) {
        return type == AEGP_ObjectType_LIGHT;
    }
    if (s == AEGP_LayerStream_CASTS_SHADOWS) {
        return type == AEGP_ObjectType_LIGHT || IsFootageKind(type);
    }
    if (s == AEGP_LayerStream_SOURCE_TEXT) return type == AEGP_ObjectType_TEXT;
    if (s >= AEGP_LayerStream_ACCEPTS_SHADOWS) return IsFootageKind(type);
    return true;
}

struct Modelled {
    AEGP_LayerStream stream;
    const char* name;
    AEGP_StreamType type;
};

constexpr Modelled kModelled[] = {
    {AEGP_LayerStream_ANCHORPOINT, "Anchor Point", AEGP_StreamType_ThreeD_SPATIAL},
    {AEGP_LayerStream_POSITION, "Position", AEGP_StreamType_ThreeD_SPATIAL},
    {AEGP_LayerStream_INTENSITY, "Intensity", AEGP_StreamType_OneD},
    {AEGP_LayerStream_COLOR, "Color", AEGP_StreamType_COLOR},
    {AEGP_LayerStream_CONE_ANGLE, "Cone Angle", AEGP_StreamType_OneD},
    {AEGP_LayerStream_CONE_FEATHER, "Cone Feather", AEGP_StreamType_OneD},
};

const Modelled* FindModelled(AEGP_LayerStream s) {
    for (const Modelled& m : kModelled) {
        if (m.stream == s) return &m;
    }
    return nullptr;
}

// The error for a stream the layer lacks or the host does not model.
A_Err StreamCheck(const CompLayer& l, AEGP_LayerStream s) {
    if (!Legal(s, l.type)) return A_Err_PARAMETER;
    return FindModelled(s) ? A_Err_NONE : A_Err_GENERIC;
}

AEGP_StreamVal ValueAt(const CompLayer& l, AEGP_LayerStream s, double compFrame) {
    AEGP_StreamVal v;
    std::memset(&v, 0, sizeof v);
    auto three = [&v](const Vec3d& p) { v.three_d = {p.x, p.y, p.z}; };
    switch (s) {
        case AEGP_LayerStream_ANCHORPOINT:
            three(l.anchorPoint.At(compFrame));
            break;
        case AEGP_LayerStream_POSITION:
            three(l.position.At(compFrame));
            break;
        case AEGP_LayerStream_INTENSITY:
            v.one_d = l.intensity.At(compFrame);
            break;
        case AEGP_LayerStream_COLOR: {
            const ColorD c = l.color.At(compFrame);
            v.color = {c.alpha, c.red, c.green, c.blue};
            break;
        }
        case AEGP_LayerStream_CONE_ANGLE:
            v.one_d = l.coneAngle.At(compFrame);
            break;
        default:
            v.one_d = l.coneFeather.At(compFrame);
            break;
    }
    return v;
}

bool KnownPlugin(const HostState& s, AEGP_PluginID id) {
    return std::any_of(s.aegpClients.begin(), s.aegpClients.end(),
                       [id](const auto& client) { return client.second == id; });
}

// A layer stream this host handed out and the layer it still names.
const LayerStreamRef* FindStream(const HostState& s, AEGP_StreamRefH stream,
                                 const CompLayer** layer) {
    auto it = s.render.layerStreams.find(reinterpret_cast<void**>(stream));
    if (it == s.render.layerStreams.end()) return nullptr;
    const auto& layers = s.render.comp.layers;
    if (size_t(it->second.layer) >= layers.size()) return nullptr;
    *layer = &layers[size_t(it->second.layer)];
    return &it->second;
}

AEGP_StreamRefH NewStreamLocked(HostState& s, const LayerStreamRef& ref) {
    s.render.streamSlots.push_back(nullptr);
    void** slot = &s.render.streamSlots.back();
    s.render.layerStreams[slot] = ref;
    return reinterpret_cast<AEGP_StreamRefH>(slot);
}

A_Err IsStreamLegal(AEGP_LayerH layer, AEGP_LayerStream which, A_Boolean* legal) {
    if (const A_long err = CountCall<"AEGP_IsStreamLegal">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const int index = LayerIndexLocked(s, layer);
    if (index < 0 || legal == nullptr) return A_Err_PARAMETER;
    *legal = Legal(which, s.render.comp.layers[size_t(index)].type);
    return A_Err_NONE;
}

A_Err GetNewLayerStream(AEGP_PluginID plugin, AEGP_LayerH layer, AEGP_LayerStream which,
                        AEGP_StreamRefH* stream) {
    if (const A_long err = CountCall<"AEGP_GetNewLayerStream">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const int index = LayerIndexLocked(s, layer);
    if (index < 0 || stream == nullptr || !KnownPlugin(s, plugin)) return A_Err_PARAMETER;
    if (const A_Err err = StreamCheck(s.render.comp.layers[size_t(index)], which)) return err;
    *stream = NewStreamLocked(s, {index, which});
    return A_Err_NONE;
}

// Layer streams are this host's; any other reference goes to the effect
// streams.
A_Err DisposeStream(AEGP_StreamRefH stream) {
    if (const A_long err = CountCall<"AEGP_DisposeStream">()) return err;
    HostState& s = State();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.render.layerStreams.erase(reinterpret_cast<void**>(stream)) == 1) return A_Err_NONE;
    }
    return EffectStreamsDisposeStream(stream);
}

A_Err GetStreamName(AEGP_StreamRefH stream, A_Boolean, A_char* name) {
    if (const A_long err = CountCall<"AEGP_GetStreamName">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const CompLayer* l = nullptr;
    const LayerStreamRef* ref = FindStream(s, stream, &l);
    if (ref == nullptr || name == nullptr) return A_Err_PARAMETER;
    std::strcpy(name, FindModelled(ref->stream)->name);  // each fits AEGP_MAX_STREAM_NAME_SIZE
    return A_Err_NONE;
}

A_Err GetNewStreamValue(AEGP_PluginID plugin, AEGP_StreamRefH stream, AEGP_LTimeMode mode,
                        const A_Time* time, A_Boolean, AEGP_StreamValue* value) {
    if (const A_long err = CountCall<"AEGP_GetNewStreamValue">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const CompLayer* l = nullptr;
    const LayerStreamRef* ref = FindStream(s, stream, &l);
    if (ref == nullptr || value == nullptr || !KnownPlugin(s, plugin)) return A_Err_PARAMETER;
    const std::optional<double> t = CompFrame(s, ref->layer, mode, time);
    if (!t) return A_Err_PARAMETER;
    value->streamH = stream;
    value->val = ValueAt(*l, ref->stream, *t);
    ++s.render.openStreamValues;
    return A_Err_NONE;
}

A_Err DisposeStreamValue(AEGP_StreamValue* value) {
    if (const A_long err = CountCall<"AEGP_DisposeStreamValue">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (value == nullptr) return A_Err_PARAMETER;
    if (s.render.openStreamValues == 0) {
        s.Violation("disposed a stream value that is not open");
        return A_Err_PARAMETER;
    }
    --s.render.openStreamValues;
    std::memset(&value->val, 0, sizeof value->val);
    return A_Err_NONE;
}

// Pre-expression values equal the values: the host has no expressions.
A_Err GetLayerStreamValue(AEGP_LayerH layer, AEGP_LayerStream which, AEGP_LTimeMode mode,
                          const A_Time* time, A_Boolean, AEGP_StreamVal* value,
                          AEGP_StreamType* type) {
    if (const A_long err = CountCall<"AEGP_GetLayerStreamValue">()) return err;
    HostState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const int index = LayerIndexLocked(s, layer);
    if (index < 0 || value == nullptr) return A_Err_PARAMETER;
    const CompLayer& l = s.render.comp.layers[size_t(index)];
    if (const A_Err err = StreamCheck(l, which)) return err;
    const std::optional<double> t = CompFrame(s, index, mode, time);
    if (!t) return A_Err_PARAMETER;
    *value = ValueAt(l, which, *t);
    if (type) *type = FindModelled(which)->type;
    return A_Err_NONE;
}

using Suite = AEGP_StreamSuite2;

}  // namespace

const AEGP_StreamSuite2 kStreamSuite = {
    IsStreamLegal,
    LUMESHADE_UNSUPPORTED(Suite, AEGP_CanVaryOverTime),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetValidInterpolations),
    GetNewLayerStream,
    EffectStreamsGetEffectNumParamStreams,
    EffectStreamsGetNewEffectStreamByIndex,
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetNewMaskStream),
    DisposeStream,
    GetStreamName,
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetStreamUnitsText),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetStreamProperties),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_IsStreamTimevarying),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetStreamType),
    GetNewStreamValue,
    DisposeStreamValue,
    LUMESHADE_UNSUPPORTED(Suite, AEGP_SetStreamValue),
    GetLayerStreamValue,
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetExpressionState),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_SetExpressionState),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_GetExpression),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_SetExpression),
    LUMESHADE_UNSUPPORTED(Suite, AEGP_DuplicateStreamRef),
};

int Host::OpenLayerStreams() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return int(state_->render.layerStreams.size());
}

int Host::OpenStreamValues() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return int(state_->render.openStreamValues);
}

}  // namespace lumeshade::host
