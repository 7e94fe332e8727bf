#include "tools/procedural.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <stdexcept>

#include "common/convert.h"

namespace lumeshade::tools {
namespace {

constexpr double kPi = std::numbers::pi;

struct KindName {
    MapKind kind;
    const char* name;
};
constexpr KindName kKindNames[] = {
    {MapKind::kSphere, "sphere"}, {MapKind::kTorus, "torus"},
    {MapKind::kMatcap, "matcap"}, {MapKind::kEnvironment, "environment"},
    {MapKind::kUv, "uv"},         {MapKind::kChecker, "checker"},
    {MapKind::kBump, "bump"},     {MapKind::kDepth, "depth"},
};

struct Normal {
    double x = 0.0, y = 0.0, z = 0.0;
};

// A surface seen from the front: the unit normal at a point given in pixels
// from the image's centre (y up), or nothing off the surface.
using Surface = std::function<std::optional<Normal>(double dx, double dy)>;

void Store(float* pixel, double r, double g, double b, double a) {
    pixel[0] = float(r), pixel[1] = float(g), pixel[2] = float(b), pixel[3] = float(a);
}

// Coverage is the share of a 4 x 4 grid of samples on the surface, so edges
// are smooth. The colour is the normal at the pixel's centre or, for an edge
// pixel whose centre is off the surface, at the covered sample nearest it.
Image RenderNormals(const MapParams& params, const Surface& surface, bool asDepth) {
    Image image = MakeImage(params.width, params.height, BitDepth::kFloat);
    const double cx = params.width * 0.5, cy = params.height * 0.5;
    for (int y = 0; y < params.height; ++y) {
        for (int x = 0; x < params.width; ++x) {
            int covered = 0;
            std::optional<Normal> nearest = surface(x + 0.5 - cx, cy - (y + 0.5));
            double nearestDistance = nearest ? 0.0 : 1e300;
            for (int sy = 0; sy < 4; ++sy) {
                for (int sx = 0; sx < 4; ++sx) {
                    const double ox = (sx + 0.5) / 4.0 - 0.5, oy = (sy + 0.5) / 4.0 - 0.5;
                    const auto n = surface(x + 0.5 + ox - cx, cy - (y + 0.5 + oy));
                    if (!n) continue;
                    ++covered;
                    if (ox * ox + oy * oy < nearestDistance) {
                        nearest = n, nearestDistance = ox * ox + oy * oy;
                    }
                }
            }
            float* pixel = image.Pixel(x, y);
            if (asDepth) {
                const double z = nearest ? nearest->z * covered / 16.0 : 0.0;
                Store(pixel, z, z, z, 1.0);
            } else if (nearest && covered > 0) {
                Store(pixel, (nearest->x + 1) / 2, (nearest->y + 1) / 2, (nearest->z + 1) / 2,
                      params.background ? 1.0 : covered / 16.0);
            } else if (params.background) {
                Store(pixel, 0.5, 0.5, 1.0, 1.0);
            }
        }
    }
    return image;
}

double HalfSide(const MapParams& params) { return std::min(params.width, params.height) * 0.5; }

Surface Sphere(double radius) {
    return [radius](double dx, double dy) -> std::optional<Normal> {
        const double x = dx / radius, y = dy / radius, r2 = x * x + y * y;
        if (r2 > 1.0) return std::nullopt;
        return Normal{x, y, std::sqrt(1.0 - r2)};
    };
}

Surface Torus(double ring, double tube) {
    return [ring, tube](double dx, double dy) -> std::optional<Normal> {
        const double rho = std::hypot(dx, dy);
        const double t = (rho - ring) / tube;  // across the tube, -1..1
        if (std::abs(t) > 1.0 || rho == 0.0) return std::nullopt;
        return Normal{t * dx / rho, t * dy / rho, std::sqrt(1.0 - t * t)};
    };
}

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

Normal Normalised(double x, double y, double z) {
    const double l = std::sqrt(x * x + y * y + z * z);
    return {x / l, y / l, z / l};
}

// A ball lit from the upper left with a highlight and a cool rim, filling the
// image; outside the disc the rim's colour continues outward, so a lookup
// just off the silhouette finds no dark seam.
Image RenderMatcap(const MapParams& params) {
    Image image = MakeImage(params.width, params.height, BitDepth::kFloat);
    const Normal light = Normalised(-0.5, 0.6, 0.65);
    const Normal half = Normalised(light.x, light.y, light.z + 1.0);
    const double rx = params.width * 0.5, ry = params.height * 0.5;
    for (int y = 0; y < params.height; ++y) {
        for (int x = 0; x < params.width; ++x) {
            double nx = (x + 0.5 - rx) / rx, ny = (ry - (y + 0.5)) / ry;
            const double r2 = nx * nx + ny * ny;
            if (r2 > 1.0) nx /= std::sqrt(r2), ny /= std::sqrt(r2);
            const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));
            const double diffuse = std::max(0.0, nx * light.x + ny * light.y + nz * light.z);
            const double spec40 =
                std::pow(std::max(0.0, nx * half.x + ny * half.y + nz * half.z), 40.0);
            const double rim = std::pow(1.0 - nz, 3.0) * 0.35;
            const Rgb sky{0.45, 0.55, 0.75};
            double c[3];
            for (int i = 0; i < 3; ++i) {
                c[i] = Clamp01(params.color[i] * (0.12 + 0.88 * diffuse) + 0.9 * spec40 +
                               rim * sky[i]);
            }
            Store(image.Pixel(x, y), c[0], c[1], c[2], 1.0);
        }
    }
    return image;
}

// An equirectangular panorama: azimuth across, elevation down from the
// zenith. A graded sky with a sun, and a tiled ground fading into haze at the
// horizon.
Image RenderEnvironment(const MapParams& params) {
    Image image = MakeImage(params.width, params.height, BitDepth::kFloat);
    const double sunAzimuth = kPi / 3, sunElevation = 35.0 * kPi / 180.0;
    const Normal sun{std::cos(sunElevation) * std::cos(sunAzimuth),
                     std::cos(sunElevation) * std::sin(sunAzimuth), std::sin(sunElevation)};
    for (int y = 0; y < params.height; ++y) {
        const double elevation = kPi / 2 - kPi * (y + 0.5) / params.height;
        for (int x = 0; x < params.width; ++x) {
            const double azimuth = 2 * kPi * (x + 0.5) / params.width;
            double c[3];
            const Rgb haze{0.82, 0.86, 0.92};
            if (elevation >= 0.0) {
                const double t = std::pow(elevation / (kPi / 2), 0.6);
                const Rgb zenith{0.18, 0.36, 0.78};
                const Normal d{std::cos(elevation) * std::cos(azimuth),
                               std::cos(elevation) * std::sin(azimuth), std::sin(elevation)};
                const double cosine = d.x * sun.x + d.y * sun.y + d.z * sun.z;
                const double glow =
                    std::pow(std::max(0.0, cosine), 200.0) * 0.6 + (cosine > 0.9995 ? 1.0 : 0.0);
                for (int i = 0; i < 3; ++i) c[i] = haze[i] * (1 - t) + zenith[i] * t + glow;
            } else {
                const double down = -elevation;
                const double distance = 2.0 / std::tan(std::max(down, 1e-3));
                const int tile =
                    FloorToInt(azimuth * 16 / (2 * kPi)) + FloorToInt(std::min(distance, 1e6));
                const double shade = (tile % 2 == 0) ? 0.34 : 0.24;
                const Rgb ground{shade * 1.1, shade, shade * 0.8};
                const double fog = std::exp(-down * 6.0);
                for (int i = 0; i < 3; ++i) c[i] = ground[i] * (1 - fog) + haze[i] * 0.8 * fog;
            }
            Store(image.Pixel(x, y), Clamp01(c[0]), Clamp01(c[1]), Clamp01(c[2]), 1.0);
        }
    }
    return image;
}

// Red carries u and green 1 - v at each pixel's centre, which the texture
// lookup reads back as (u, v) = the pixel's own place in the map.
Image RenderUv(const MapParams& params) {
    Image image = MakeImage(params.width, params.height, BitDepth::kFloat);
    for (int y = 0; y < params.height; ++y) {
        for (int x = 0; x < params.width; ++x) {
            Store(image.Pixel(x, y), (x + 0.5) / params.width, 1.0 - (y + 0.5) / params.height, 0.0,
                  1.0);
        }
    }
    return image;
}

Image RenderChecker(const MapParams& params) {
    Image image = MakeImage(params.width, params.height, BitDepth::kFloat);
    for (int y = 0; y < params.height; ++y) {
        for (int x = 0; x < params.width; ++x) {
            const Rgb& c = ((x / params.squareSize + y / params.squareSize) % 2 == 0)
                               ? params.color1
                               : params.color2;
            Store(image.Pixel(x, y), c[0], c[1], c[2], 1.0);
        }
    }
    return image;
}

// Egg-crate ripples h = sin(kx) sin(ky), stored as the encoded normals of
// the height field: the form the bump lookup reads (a flat spot is
// (0.5, 0.5, 1.0)).
Image RenderBump(const MapParams& params) {
    Image image = MakeImage(params.width, params.height, BitDepth::kFloat);
    const double k = 2 * kPi / params.period;
    for (int y = 0; y < params.height; ++y) {
        for (int x = 0; x < params.width; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double slopeX = params.strength * std::cos(k * px) * std::sin(k * py);
            const double slopeDown = params.strength * std::sin(k * px) * std::cos(k * py);
            // Rows grow downward, so the slope toward the top is -slopeDown.
            const Normal n = Normalised(-slopeX, slopeDown, 1.0);
            Store(image.Pixel(x, y), (n.x + 1) / 2, (n.y + 1) / 2, (n.z + 1) / 2, 1.0);
        }
    }
    return image;
}

}  // namespace

std::optional<MapKind> ParseMapKind(std::string_view name) {
    for (const KindName& k : kKindNames) {
        if (name == k.name) return k.kind;
    }
    return std::nullopt;
}

const char* MapKindName(MapKind kind) {
    for (const KindName& k : kKindNames) {
        if (kind == k.kind) return k.name;
    }
    return "";
}

std::vector<std::string> MapParameterKeys(MapKind kind) {
    switch (kind) {
        case MapKind::kSphere:
            return {"radius", "background"};
        case MapKind::kDepth:
            return {"radius"};
        case MapKind::kTorus:
            return {"ring_radius", "tube_radius", "background"};
        case MapKind::kMatcap:
            return {"color"};
        case MapKind::kChecker:
            return {"square_size", "color1", "color2"};
        case MapKind::kBump:
            return {"period", "strength"};
        case MapKind::kEnvironment:
        case MapKind::kUv:
            break;
    }
    return {};
}

std::vector<std::string> MapKindNames() {
    std::vector<std::string> names;
    for (const KindName& k : kKindNames) names.emplace_back(k.name);
    return names;
}

Image GenerateMap(const MapParams& params) {
    if (params.width < 1 || params.height < 1) throw std::invalid_argument("empty map size");
    switch (params.kind) {
        case MapKind::kSphere:
            return RenderNormals(params, Sphere(params.radius * HalfSide(params)), false);
        case MapKind::kDepth:
            return RenderNormals(params, Sphere(params.radius * HalfSide(params)), true);
        case MapKind::kTorus:
            if (!(params.tubeRadius > 0 && params.tubeRadius < params.ringRadius)) {
                throw std::invalid_argument("torus tube must be thinner than its ring");
            }
            return RenderNormals(
                params,
                Torus(params.ringRadius * HalfSide(params), params.tubeRadius * HalfSide(params)),
                false);
        case MapKind::kMatcap:
            return RenderMatcap(params);
        case MapKind::kEnvironment:
            return RenderEnvironment(params);
        case MapKind::kUv:
            return RenderUv(params);
        case MapKind::kChecker:
            if (params.squareSize < 1) throw std::invalid_argument("checker square size");
            return RenderChecker(params);
        case MapKind::kBump:
            if (!(params.period > 0)) throw std::invalid_argument("bump period");
            return RenderBump(params);
    }
    throw std::invalid_argument("unknown map kind");
}

}  // namespace lumeshade::tools
