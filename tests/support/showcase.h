// The showcase scene, where every term is visible, and the regression frames
// rendered from it whose every byte is pinned. The frames are shared by the
// Linux pixel-pass tests and by the Windows loader test, which renders them
// through the built Lumeshade.aex: equal sums prove equal bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <vector>

#include "tests/support/module_host.h"
#include "tests/support/pixels.h"

namespace lumeshade::testing {

inline constexpr ParamId kAllSwitches[] = {
    PARAM_SHADING_ENABLE,    PARAM_SPECULAR_ENABLE, PARAM_INCIDENCE_ENABLE, PARAM_RIM_LIGHT_ENABLE,
    PARAM_TOON_ENABLE,       PARAM_GRADIENT_ENABLE, PARAM_MATCAP_ENABLE,    PARAM_REFLECTION_ENABLE,
    PARAM_REFRACTION_ENABLE, PARAM_TEXTURE_ENABLE,  PARAM_BUMP_ENABLE};

inline std::shared_ptr<host::World> Map(A_long w, A_long h, host::Depth d,
                                        const std::function<Rgba(A_long, A_long)>& f) {
    auto world = std::make_shared<host::World>(w, h, d);
    Fill(*world, f);
    return world;
}

// A sphere lit by two lights, with every map bound and every term's own
// settings chosen so that it shows. `on` lists the switches to turn on.
inline void Showcase(ModuleHost& m, host::Depth d, const std::vector<ParamId>& on, int display) {
    const A_long size = m.Input().Width();
    Fill(m.Input(), [size](A_long x, A_long y) { return SphereNormal(x, y, size, size); });
    // Dim lights, so that the terms do not saturate integer pixels.
    m.AddLight("Light 1", AEGP_LightType_POINT, {8, 6, 60}).intensity = host::Keyed<double>(15.0);
    host::CompLayer& second = m.AddLight("Light 2", AEGP_LightType_POINT, {28, 20, 40});
    second.color = host::Keyed<host::ColorD>(host::ColorD{1, 1.0, 0.6, 0.3});
    second.intensity = host::Keyed<double>(10.0);
    const int matcap = m.AddFootage("Matcap", Map(16, 16, d, [](A_long x, A_long y) {
                                        return Rgba{1, x / 15.0f, y / 15.0f, 0.4f};
                                    }));
    const int env = m.AddFootage("Environment", Map(24, 12, d, [](A_long x, A_long y) {
                                     return Rgba{1, 0.2f + x / 40.0f, 0.3f, y / 12.0f};
                                 }));
    const int refr = m.AddFootage("Refraction", Map(20, 20, d, [](A_long x, A_long y) {
                                      return Rgba{1, ((x / 4 + y / 4) % 2) * 0.8f, 0.4f, 0.6f};
                                  }));
    const int uv = m.AddFootage("UV", Map(size, size, d, [size](A_long x, A_long y) {
                                    return Rgba{1, x / float(size), 1 - y / float(size), 0};
                                }));
    const int tex = m.AddFootage("Texture", Map(8, 8, d, [](A_long x, A_long y) {
                                     return Rgba{1, (x + y) % 2 ? 0.9f : 0.1f, 0.5f, 0.2f};
                                 }));
    const int bump =
        m.AddFootage("Bump", Map(8, 8, d, [](A_long x, A_long y) {
                         return Rgba{1, 0.5f + 0.05f * (x % 3), 0.5f, 0.5f + 0.1f * (y % 2)};
                     }));
    m.Host().BindLayerParam(PARAM_MATCAP_MAP, matcap);
    m.Host().BindLayerParam(PARAM_REFLECTION_ENVIRONMENT_MAP, env);
    m.Host().BindLayerParam(PARAM_REFRACTION_MAP, refr);
    m.Host().BindLayerParam(PARAM_TEXTURE_UV_MAP, uv);
    m.Host().BindLayerParam(PARAM_TEXTURE_MAP, tex);
    m.Host().BindLayerParam(PARAM_BUMP_MAP, bump);
    m.SetFixed(PARAM_MATCAP_AMOUNT, 0.6);
    m.SetFixed(PARAM_REFLECTION_AMOUNT, 0.5);
    m.SetFixed(PARAM_REFRACTION_AMOUNT, 0.5);
    m.SetChoice(PARAM_GRADIENT_BLEND, BLEND_ADD);
    m.SetFixed(PARAM_GRADIENT_AMOUNT, 0.3);
    m.SetChoice(PARAM_TOON_BLEND, BLEND_AVERAGE);
    for (ParamId sw : kAllSwitches) {
        bool enable = false;
        for (ParamId o : on) enable |= (o == sw);
        m.SetSwitch(sw, enable);
    }
    m.SetChoice(PARAM_DISPLAY, display);
}

// The regression frames are 64 x 64, in each of these formats, in this order.
inline constexpr A_long kFrameSize = 64;
inline constexpr host::Depth kFrameDepths[] = {host::Depth::k8, host::Depth::k16,
                                               host::Depth::kFloat};
inline constexpr const char* kFrameDepthNames[] = {"8-bit", "16-bit", "float"};

struct RegressionFrame {
    const char* name;
    std::vector<ParamId> on;
    int display;
    bool filtered;
    uint64_t sums[3];  // Checksum of the output, per kFrameDepths
};

// When a change to the output is intended, the failing tests print the new
// sums.
inline const std::vector<RegressionFrame>& RegressionFrames() {
    static const std::vector<ParamId> all(std::begin(kAllSwitches), std::end(kAllSwitches));
    static const std::vector<RegressionFrame> frames = {
        {"everything",
         all,
         DISPLAY_CHOICE_ALL,
         false,
         {0x965de06804b5ba0dull, 0x5dc39475769fba76ull, 0x8200795cecdb9b44ull}},
        {"lights",
         {PARAM_SHADING_ENABLE, PARAM_SPECULAR_ENABLE, PARAM_TOON_ENABLE},
         DISPLAY_CHOICE_ALL,
         false,
         {0x74986ddfc6ad8334ull, 0x20ce5f8320a78371ull, 0x5b354d89ee22135aull}},
        {"maps filtered",
         {PARAM_MATCAP_ENABLE, PARAM_REFLECTION_ENABLE, PARAM_TEXTURE_ENABLE, PARAM_BUMP_ENABLE},
         DISPLAY_CHOICE_ALL,
         true,
         {0xa1ccc3f538f9e471ull, 0x5f76a7cc8ee27d6full, 0x653f4a1c7c343eb9ull}},
        {"adjusted normals",
         {PARAM_BUMP_ENABLE},
         DISPLAY_CHOICE_ADJUSTED_NORMALS,
         false,
         {0x68644d0bd3a2fa6full, 0x84dba6885e9abdbfull, 0xce65282a15d532bfull}},
    };
    return frames;
}

// Sets up frame `f` on a host made at kFrameSize in the frame's format.
inline void SetUpFrame(ModuleHost& m, host::Depth d, const RegressionFrame& f) {
    Showcase(m, d, f.on, f.display);
    if (f.filtered) {
        m.SetInteger(PARAM_MATCAP_BLUR, 2);
        m.SetInteger(PARAM_REFLECTION_BLUR, 1);
        m.SetChoice(PARAM_TEXTURE_FILTER, FILTER_LOW);
        m.SetChoice(PARAM_BUMP_FILTER, FILTER_MEDIUM);
    }
}

}  // namespace lumeshade::testing
