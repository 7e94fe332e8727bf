/// The composition the effect lives in: an ordered stack of layers (footage,
/// lights, cameras) whose streams change over composition time.
#pragma once

#include <cmath>
#include <cstddef>
#include <iterator>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "AE_GeneralPlug.h"
#include "host/world.h"

namespace lumeshade::host {

struct Vec3d {
    double x = 0, y = 0, z = 0;
};

/// A colour as the Color stream gives it: doubles, alpha first, 0..1.
struct ColorD {
    double alpha = 1, red = 1, green = 1, blue = 1;
};

inline double Lerp(double a, double b, double t) { return a + (b - a) * t; }
inline Vec3d Lerp(const Vec3d& a, const Vec3d& b, double t) {
    return {Lerp(a.x, b.x, t), Lerp(a.y, b.y, t), Lerp(a.z, b.z, t)};
}
inline ColorD Lerp(const ColorD& a, const ColorD& b, double t) {
    return {Lerp(a.alpha, b.alpha, t), Lerp(a.red, b.red, t), Lerp(a.green, b.green, t),
            Lerp(a.blue, b.blue, t)};
}

/// A value over composition time (seconds): a constant until the first key
/// is set, then keys with linear interpolation between them, holding the
/// first key's value before it and the last key's value after it.
template <class T>
struct Animated {
    Animated(T constant = T{}) : constant_(constant) {}

    /// Adds a key, or replaces the key at the same time. Throws
    /// std::invalid_argument for a time that is not finite.
    void SetKey(double seconds, T value) {
        if (!std::isfinite(seconds)) throw std::invalid_argument("key time must be finite");
        keys_[seconds] = value;
    }
    /// Removes every key and holds `value` at all times.
    void SetConstant(T value) {
        keys_.clear();
        constant_ = value;
    }
    std::size_t KeyCount() const { return keys_.size(); }

    T At(double seconds) const {
        if (keys_.empty()) return constant_;
        auto next = keys_.upper_bound(seconds);
        if (next == keys_.begin()) return next->second;
        auto prev = std::prev(next);
        if (next == keys_.end() || prev->first == seconds) return prev->second;
        const double t = (seconds - prev->first) / (next->first - prev->first);
        return Lerp(prev->second, next->second, t);
    }

private:
    T constant_;
    std::map<double, T> keys_;
};

struct CompLayer {
    std::string name;
    AEGP_ObjectType type = AEGP_ObjectType_AV;        ///< AV (footage), LIGHT or CAMERA
    AEGP_LightType lightType = AEGP_LightType_POINT;  ///< lights only
    bool videoOn = true;                              ///< the layer's video switch
    bool threeD = false;  ///< AV layers only: lights and cameras are always 3-D
    /// Position and Anchor Point (the point of interest of lights and
    /// cameras), in composition pixels.
    Animated<Vec3d> position, anchorPoint;
    /// Light streams: Intensity in percent, Cone Angle and Cone Feather in
    /// degrees and percent.
    Animated<double> intensity{100.0}, coneAngle{90.0}, coneFeather{50.0};
    Animated<ColorD> color;
    /// The layer's pixels (AV layers); any format, any size.
    std::shared_ptr<const World> footage;
};

struct Composition {
    std::vector<CompLayer> layers;  ///< index 0 is the top of the stack
    double frameRate = 24.0;        ///< frames per second
    int effectLayer = -1;           ///< the layer the effect is applied to (or -1: none)
    /// The effect layer's time offset: comp time = layer time + offset
    /// (seconds). Every other layer starts at composition time 0.
    double effectLayerOffset = 0.0;

    /// The offset of layer `index` in seconds.
    double LayerOffset(int index) const { return index == effectLayer ? effectLayerOffset : 0.0; }
};

}  // namespace lumeshade::host
