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
#include "host/keyframes.h"
#include "host/rounding.h"
#include "host/world.h"

namespace lumeshade::host {

struct Vec3d {
    double x = 0, y = 0, z = 0;
};

/// A colour as the Color stream gives it: doubles, alpha first, 0..1.
struct ColorD {
    double alpha = 1, red = 1, green = 1, blue = 1;
};

inline Vec3d Lerp(const Vec3d& a, const Vec3d& b, double t) {
    return {Lerp(a.x, b.x, t), Lerp(a.y, b.y, t), Lerp(a.z, b.z, t)};
}
inline ColorD Lerp(const ColorD& a, const ColorD& b, double t) {
    return {Lerp(a.alpha, b.alpha, t), Lerp(a.red, b.red, t), Lerp(a.green, b.green, t),
            Lerp(a.blue, b.blue, t)};
}

struct CompLayer {
    std::string name;
    AEGP_ObjectType type = AEGP_ObjectType_AV;        ///< AV (footage), LIGHT or CAMERA
    AEGP_LightType lightType = AEGP_LightType_POINT;  ///< lights only
    Keyed<bool> videoOn{true};                        ///< the video switch (held between keys)
    bool threeD = false;  ///< AV layers only: lights and cameras are always 3-D
    /// Position and Anchor Point (the point of interest of lights and
    /// cameras), in composition pixels.
    Keyed<Vec3d> position, anchorPoint;
    /// Light streams: Intensity in percent, Cone Angle and Cone Feather in
    /// degrees and percent.
    Keyed<double> intensity{100.0}, coneAngle{90.0}, coneFeather{50.0};
    Keyed<ColorD> color;
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

    /// The frame rate in thousandths of a frame per second, the unit of the
    /// host's time grid (the most negative integer for a rate not a number).
    A_long RateThousandths() const { return RoundedInt(frameRate * 1000.0); }

    /// The frame (of this composition's rate) at `value` / `scale` seconds,
    /// where keys are looked up. With the rate taken as the time grid takes
    /// it, a time on the grid gives its frame number exactly.
    double FrameAt(double value, double scale) const {
        return value * double(RateThousandths()) / (scale * 1000.0);
    }
};

}  // namespace lumeshade::host
