#include "bench/scenes.h"

#include <functional>
#include <utility>

#include "tests/support/pixels.h"

namespace lumeshade::bench {
namespace {

using host::Depth;
using host::World;
using testing::ModuleHost;
using testing::Rgba;

// Map pictures use only arithmetic that rounds the same everywhere (no
// library sine or power), so that the pinned scene sums depend on the
// module's code alone.
std::shared_ptr<World> Picture(A_long w, A_long h, Depth d,
                               const std::function<Rgba(A_long, A_long)>& f) {
    auto world = std::make_shared<World>(w, h, d);
    testing::Fill(*world, f);
    return world;
}

// 0..1..0 over one period: a ripple without a library sine.
float Triangle(A_long v, A_long period) {
    const float phase = float(v % period) / float(period);
    return phase < 0.5f ? 2.0f * phase : 2.0f - 2.0f * phase;
}

float Fraction(A_long v, A_long size) { return size > 1 ? float(v) / float(size - 1) : 0.0f; }

// A lit ball: the picture a matcap is made of.
Rgba MatcapPixel(A_long x, A_long y, A_long side) {
    const Rgba n = testing::SphereNormal(x, y, side, side);
    if (n.red == 0 && n.green == 0 && n.blue == 0) return {1, 0.05f, 0.05f, 0.08f};
    const float lit = 0.15f + 0.85f * (0.3f * n.red + 0.5f * n.green + 0.2f * n.blue);
    return {1, 0.8f * lit, 0.4f * lit, 0.25f * lit};
}

struct Maps {
    int normal, alpha, depth, matcap, environment, refraction, bump, texture, uv;
};

int AddMatcap(ModuleHost& m, Depth d, A_long side) {
    return m.AddFootage("Matcap", Picture(side, side, d, [side](A_long x, A_long y) {
                            return MatcapPixel(x, y, side);
                        }));
}

Maps AddEveryMap(ModuleHost& m, Depth d, A_long side) {
    const A_long square = side / 16 > 0 ? side / 16 : 1;
    Maps maps{};
    maps.normal = m.AddFootage("Normals", Picture(side, side, d, [side](A_long x, A_long y) {
                                   return testing::SphereNormal(x, y, side, side);
                               }));
    // Opaque but for a corner, where the layer is not covered.
    maps.alpha =
        m.AddFootage("Alpha", Picture(side, side, d, [side](A_long x, A_long y) {
                         const bool corner = x < side / 8 && y < side / 8;
                         return Rgba{corner ? 0.0f : 0.5f + 0.5f * Fraction(x, side), 1, 1, 1};
                     }));
    maps.depth = m.AddFootage("Depth", Picture(side, side, d, [side](A_long x, A_long y) {
                                  const float v =
                                      0.2f + 0.3f * Fraction(x, side) + 0.3f * Fraction(y, side);
                                  return Rgba{1, v, v, v};
                              }));
    maps.matcap = AddMatcap(m, d, side);
    maps.environment =
        m.AddFootage("Environment", Picture(side, side, d, [side](A_long x, A_long y) {
                         const float u = Fraction(x, side), v = Fraction(y, side);
                         return Rgba{1, 0.2f + 0.6f * u, 0.3f + 0.5f * v, 0.8f - 0.5f * v};
                     }));
    maps.refraction =
        m.AddFootage("Refraction", Picture(side, side, d, [square](A_long x, A_long y) {
                         const bool dark = (x / square + y / square) % 2 != 0;
                         return Rgba{1, dark ? 0.1f : 0.8f, 0.4f, dark ? 0.3f : 0.6f};
                     }));
    maps.bump = m.AddFootage("Bump", Picture(side, side, d, [square](A_long x, A_long y) {
                                 return Rgba{1, 0.3f + 0.4f * Triangle(x, square),
                                             0.3f + 0.4f * Triangle(y, square), 0.9f};
                             }));
    maps.texture = m.AddFootage("Texture", Picture(side, side, d, [square](A_long x, A_long y) {
                                    const bool odd = (x / square + y / square) % 2 != 0;
                                    return Rgba{1, odd ? 0.9f : 0.2f, 0.5f, odd ? 0.1f : 0.7f};
                                }));
    maps.uv = m.AddFootage("UV", Picture(side, side, d, [side](A_long x, A_long y) {
                               return Rgba{1, Fraction(x, side), 1 - Fraction(y, side), 0};
                           }));
    return maps;
}

// `count` point lights spread over the layer, dimmer the more there are so
// that the sum stays in range; every third is tinted.
void AddLights(ModuleHost& m, int count, SceneSize size) {
    for (int i = 0; i < count; ++i) {
        const double column = (i % 8 + 0.5) / 8.0, row = (i / 8 % 8 + 0.5) / 8.0;
        const double x = count == 1 ? 0.3 : column, y = count == 1 ? 0.3 : row;
        host::CompLayer& light =
            m.AddLight("Light", AEGP_LightType_POINT,
                       {x * size.width, y * size.height, 0.3 * size.width + 10.0 * (i % 5)});
        light.intensity = host::Keyed<double>(count > 4 ? 400.0 / count : 100.0 - 10.0 * i);
        if (i % 3 == 2) light.color = host::Keyed<host::ColorD>(host::ColorD{1, 1.0, 0.7, 0.4});
    }
}

void TurnOn(ModuleHost& m, std::initializer_list<ParamId> switches) {
    for (ParamId id : switches) m.SetSwitch(id, true);
}

// At their defaults the matcap (Normal at amount 1) replaces everything
// before it, and so do the texture and toon steps within each light: these
// amounts and modes let every term of the scene show in the picture.
void LetEveryTermShow(ModuleHost& m) {
    m.SetFixed(PARAM_MATCAP_AMOUNT, 0.5);
    m.SetChoice(PARAM_TEXTURE_BLEND, BLEND_MULTIPLY);
    m.SetFixed(PARAM_TOON_AMOUNT, 0.5);
    m.SetFixed(PARAM_GRADIENT_AMOUNT, 0.3);
    m.SetFixed(PARAM_REFLECTION_AMOUNT, 0.5);
    m.SetFixed(PARAM_REFRACTION_AMOUNT, 0.5);
}

}  // namespace

const char* SceneName(Scene scene) {
    switch (scene) {
        case Scene::kDefaults:
            return "defaults";
        case Scene::kTypical:
            return "typical";
        case Scene::kEverything:
            return "everything";
        case Scene::kManyLights:
            return "many_lights";
    }
    return "?";
}

const char* DepthName(Depth depth) {
    switch (depth) {
        case Depth::k8:
            return "8";
        case Depth::k16:
            return "16";
        case Depth::kFloat:
            return "float";
    }
    return "?";
}

std::unique_ptr<ModuleHost> MakeScene(Scene scene, Depth depth, SceneSize size) {
    auto m = std::make_unique<ModuleHost>(size.width, size.height, depth);
    m->Host().EnableCallLog(false);
    m->Host().FillFreshOutput(false);
    testing::Fill(m->Input(), [size](A_long x, A_long y) {
        return testing::SphereNormal(x, y, size.width, size.height);
    });

    switch (scene) {
        case Scene::kDefaults:
            AddLights(*m, 1, size);
            break;
        case Scene::kTypical:
            AddLights(*m, 3, size);
            TurnOn(*m, {PARAM_SHADING_ENABLE, PARAM_SPECULAR_ENABLE, PARAM_RIM_LIGHT_ENABLE,
                        PARAM_MATCAP_ENABLE});
            m->Host().BindLayerParam(PARAM_MATCAP_MAP, AddMatcap(*m, depth, size.mapSide));
            LetEveryTermShow(*m);
            break;
        case Scene::kEverything:
        case Scene::kManyLights: {
            AddLights(*m, scene == Scene::kEverything ? 4 : 64, size);
            TurnOn(*m, {PARAM_SHADING_ENABLE, PARAM_SPECULAR_ENABLE, PARAM_INCIDENCE_ENABLE,
                        PARAM_RIM_LIGHT_ENABLE, PARAM_TOON_ENABLE, PARAM_GRADIENT_ENABLE,
                        PARAM_MATCAP_ENABLE, PARAM_REFLECTION_ENABLE, PARAM_REFRACTION_ENABLE,
                        PARAM_TEXTURE_ENABLE, PARAM_BUMP_ENABLE});
            LetEveryTermShow(*m);
            const Maps maps = AddEveryMap(*m, depth, size.mapSide);
            host::Host& h = m->Host();
            h.BindLayerParam(PARAM_NORMAL_MAP, maps.normal);
            h.BindLayerParam(PARAM_ALPHA_MAP, maps.alpha);
            h.BindLayerParam(PARAM_DEPTH_MAP, maps.depth);
            h.BindLayerParam(PARAM_MATCAP_MAP, maps.matcap);
            h.BindLayerParam(PARAM_REFLECTION_ENVIRONMENT_MAP, maps.environment);
            h.BindLayerParam(PARAM_REFRACTION_MAP, maps.refraction);
            h.BindLayerParam(PARAM_BUMP_MAP, maps.bump);
            h.BindLayerParam(PARAM_TEXTURE_MAP, maps.texture);
            h.BindLayerParam(PARAM_TEXTURE_UV_MAP, maps.uv);
            break;
        }
    }
    return m;
}

}  // namespace lumeshade::bench
