// Writes the fuzzer's seed corpus: frames that switch every group on and go
// through each pixel format, Display choice, tile mode, bound of the
// controls, map size, downsample factor and quality, so that the fuzzer
// starts from inputs that reach every lookup. Run it again when the layout
// of frame_case.h changes:
//     lumeshade_fuzz_seeds tests/fuzz/corpus
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "params/param_table.h"
#include "tests/fuzz/frame_case.h"

namespace lumeshade::fuzz {
namespace {

constexpr ParamId kSwitches[] = {
    PARAM_SHADING_ENABLE,   PARAM_SPECULAR_ENABLE,   PARAM_INCIDENCE_ENABLE,
    PARAM_RIM_LIGHT_ENABLE, PARAM_TOON_ENABLE,       PARAM_GRADIENT_ENABLE,
    PARAM_MATCAP_ENABLE,    PARAM_REFLECTION_ENABLE, PARAM_REFRACTION_ENABLE,
    PARAM_TEXTURE_ENABLE,   PARAM_BUMP_ENABLE,       PARAM_LIGHTS_ENABLE_INVISIBLE_LIGHTS};
constexpr ParamId kTileModes[] = {PARAM_MATCAP_MODE, PARAM_REFLECTION_TILE_MODE,
                                  PARAM_REFRACTION_TILE_MODE, PARAM_TEXTURE_TILE_MODE,
                                  PARAM_BUMP_TILE_MODE};

// Selectors of ControlValue.
constexpr std::uint8_t kMin = 1, kMax = 2, kAnywhere = 4, kWhole = 6;

class Seed {
public:
    // Every seed renders a part of the layer away from its corner too.
    Seed() : bytes_(layout::kTotal, 0) { Region(5, 3, 9, 7); }

    void U8(std::size_t at, std::uint8_t v) { bytes_[at] = v; }
    void U32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
    }
    // depth: 0 float, 1 8-bit, 2 16-bit; factor: an index into the decoder's
    // table of factors.
    void Header(int depth, int factorIndex = 0, bool lowQuality = false, bool converted = false) {
        U8(layout::kHeader, std::uint8_t(depth));
        U8(layout::kHeader + 1, std::uint8_t(factorIndex));
        U8(layout::kHeader + 2, lowQuality ? 1 : 0);
        U8(layout::kHeader + 3, converted ? 1 : 0);
    }
    void Layer(std::size_t at, int width, int height, PixelKind kind, std::uint8_t hostility,
               std::uint32_t seed) {
        U8(at, 1);  // footage of its own
        U8(at + 1, std::uint8_t(width - 1));
        U8(at + 2, std::uint8_t(height - 1));
        U8(at + 3, std::uint8_t(kind));
        U8(at + 4, hostility);
        U32(at + 5, seed);
    }
    void Input(int width, int height, PixelKind kind = PixelKind::kSurface) {
        Layer(layout::kInput, width, height, kind, 0, 1);
    }
    void Map(std::size_t i, int width, int height, PixelKind kind, std::uint8_t hostility = 0) {
        Layer(layout::OfMap(i), width, height, kind, hostility, std::uint32_t(100 + i));
    }
    void AllMaps(int width, int height, PixelKind kind, std::uint8_t hostility = 0) {
        for (std::size_t i = 0; i < kMapControls.size(); ++i) {
            // The normal map keeps a surface, so that the lookups have one.
            Map(i, width, height, kMapControls[i] == PARAM_NORMAL_MAP ? PixelKind::kSurface : kind,
                hostility);
        }
        // Textures read their UV map at in-range values.
        if (kind == PixelKind::kSurface) Map(8, width, height, PixelKind::kInRange);
    }
    // count: 0..6, or 7 for more lights than the tables hold.
    void Lights(int count) { U8(layout::kLights, std::uint8_t(count)); }
    void Light(int slot, int type, std::uint8_t hostileNumbers = 0) {
        const std::size_t at = layout::OfLight(std::size_t(slot));
        U8(at, std::uint8_t(type));
        if (hostileNumbers != 0) {
            for (int n = 0; n < 12; ++n) {
                const std::size_t number = at + 3 + layout::kNumberSize * std::size_t(n);
                U8(number, std::uint8_t(hostileNumbers + n));
                U32(number + 1, std::uint32_t(0x9E3779B9u * std::uint32_t(n + 1)));
            }
        }
    }
    // The part rendered on its own, as the decoder reads its bytes.
    void Region(std::uint8_t left, std::uint8_t top, std::uint8_t width, std::uint8_t height) {
        U8(layout::kRegion, left);
        U8(layout::kRegion + 1, top);
        U8(layout::kRegion + 2, width);
        U8(layout::kRegion + 3, height);
    }
    void Camera(std::uint8_t zSelector) {
        U8(layout::kCamera, 1);
        U8(layout::kCamera + 1 + 2 * layout::kNumberSize, zSelector);
    }
    // The nth call of function number `function` (1-based, in the decoder's
    // list) fails with the decoder's outcome number `outcome`.
    void Fault(int function, int nth, int outcome) {
        U8(layout::kFault, std::uint8_t(function));
        U8(layout::kFault + 1, std::uint8_t(nth - 1));
        U8(layout::kFault + 3, std::uint8_t(outcome));
    }
    void Control(ParamId id, std::uint8_t selector, std::uint32_t payload = 0) {
        U8(layout::OfControl(id), selector);
        U32(layout::OfControl(id) + 1, payload);
    }
    // A popup at choice n (1-based).
    void Choice(ParamId id, int n) { Control(id, kAnywhere, std::uint32_t(n - 1)); }
    void EverythingOn() {
        for (ParamId id : kSwitches) Control(id, kMax);
        Control(PARAM_BLEND_AMOUNT, kAnywhere, 20000);
    }
    // Every control that has a value at the selector (switches stay on and
    // Display at All).
    void Every(std::uint8_t selector) {
        for (const ControlRow& row : kControls) {
            if (row.type == PF_Param_LAYER || row.type == PF_Param_GROUP_START ||
                row.type == PF_Param_GROUP_END || row.type == PF_Param_CHECKBOX) {
                continue;
            }
            Control(row.index, selector, 0x12345678u);
        }
        EverythingOn();
        Control(PARAM_DISPLAY, kMax);
    }

    void Write(const std::filesystem::path& folder, const std::string& name) const {
        std::ofstream out(folder / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes_.data()), std::streamsize(bytes_.size()));
    }

private:
    std::vector<std::uint8_t> bytes_;
};

// A lit sphere with every group on and every map bound.
Seed Lit(int depth) {
    Seed s;
    s.Header(depth);
    s.Input(24, 16);
    s.AllMaps(16, 16, PixelKind::kSurface);
    s.Lights(3);
    s.Light(0, 0);  // point
    s.Light(1, 2);  // spot
    s.Light(2, 3);  // ambient
    s.EverythingOn();
    return s;
}

const char* const kDepthNames[] = {"float", "8bit", "16bit"};

}  // namespace
}  // namespace lumeshade::fuzz

int main(int argc, char** argv) {
    using namespace lumeshade;
    using namespace lumeshade::fuzz;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "defaults", std::ios::binary);  // empty: the default frame

    for (int d = 0; d < 3; ++d) {
        const std::string depth = kDepthNames[d];
        Lit(d).Write(folder, "lit_" + depth);

        Seed zeros = Lit(d);
        zeros.Every(kMin);
        zeros.Write(folder, "minima_" + depth);

        Seed maxima = Lit(d);
        maxima.Every(kMax);
        maxima.Write(folder, "maxima_" + depth);

        Seed whole = Lit(d);
        whole.Every(kWhole);
        whole.Write(folder, "whole_units_" + depth);

        Seed hostile = Lit(d);
        hostile.Input(20, 20, PixelKind::kHostile);
        hostile.AllMaps(12, 9, PixelKind::kHostile);
        hostile.Light(0, 0, 3);
        hostile.Light(1, 1, 7);
        hostile.Write(folder, "hostile_" + depth);

        Seed raw = Lit(d);
        raw.Input(16, 16, PixelKind::kRawBits);
        raw.AllMaps(16, 16, PixelKind::kRawBits);
        raw.Write(folder, "raw_bits_" + depth);

        Seed tiny = Lit(d);
        tiny.Input(1, 1);
        for (std::size_t i = 0; i < kMapControls.size(); ++i) {
            const int sizes[][2] = {{1, 1}, {1, 64}, {64, 1}, {2, 1}, {1, 2}};
            const auto& size = sizes[i % 5];
            tiny.Map(i, size[0], size[1], PixelKind::kSprinkled, 64);
        }
        tiny.Write(folder, "tiny_" + depth);

        Seed thin = Lit(d);
        thin.Input(64, 1);
        thin.Write(folder, "one_row_" + depth);
        thin.Input(1, 64);
        thin.Write(folder, "one_column_" + depth);

        Seed converted = Lit(d);
        converted.Header(d, 0, false, true);
        converted.Write(folder, "converted_" + depth);
    }

    for (int display = 1; display <= 19; ++display) {
        Seed s = Lit(display % 3);
        s.Choice(PARAM_DISPLAY, display);
        // Parts of other places and shapes, some one pixel across, some at
        // the edges of the layer.
        s.Region(std::uint8_t(display * 5), std::uint8_t(display * 3), std::uint8_t(display % 4),
                 std::uint8_t(display % 5 * 7));
        s.Write(folder, "display_" + std::to_string(display));
    }
    for (int mode = 1; mode <= 4; ++mode) {
        Seed s = Lit(mode % 3);
        for (ParamId id : kTileModes) s.Choice(id, mode);
        // Offsets of a few pixels push the lookups over the map edges.
        for (ParamId id : {PARAM_MATCAP_OFFSET, PARAM_REFRACTION_OFFSET, PARAM_TEXTURE_OFFSET,
                           PARAM_BUMP_OFFSET}) {
            s.Control(id, 4, 0x00F30011u * std::uint32_t(mode));
        }
        s.Write(folder, "tile_" + std::to_string(mode));
    }
    // Factors 2, 3, 8 and 64 (their places in the decoder's table).
    for (int index : {6, 9, 13, 15}) {
        Seed s = Lit(index % 3);
        s.Header(index % 3, index);
        s.Write(folder, "downsample_" + std::to_string(index));
    }
    Seed low = Lit(1);
    low.Header(1, 0, true);
    low.Write(folder, "low_quality");

    Seed filters = Lit(0);
    for (ParamId id : {PARAM_MATCAP_BLUR, PARAM_REFLECTION_BLUR, PARAM_REFRACTION_BLUR,
                       PARAM_NORMALS_PRE_BLUR}) {
        filters.Control(id, kMax);
    }
    filters.Choice(PARAM_TEXTURE_FILTER, 4);
    filters.Choice(PARAM_BUMP_FILTER, 4);
    filters.Write(folder, "filters_float");

    Seed many = Lit(2);
    many.Input(8, 8);
    many.Lights(7);
    many.Write(folder, "many_lights");

    Seed camera = Lit(0);
    camera.Camera(9);  // z not a number
    camera.Write(folder, "camera");

    // Each host call the module makes fails once, at its first call, with
    // out of memory (outcome 0); a few of them throw instead (outcomes 5, 6).
    for (int function = 1; function <= FaultFunctionCount(); ++function) {
        Seed s = Lit(function % 3);
        s.Fault(function, 1 + function % 3, function % 7 == 0 ? 5 + function % 2 : 0);
        s.Write(folder, "fault_" + std::to_string(function));
    }

    Seed unbound = Lit(1);
    for (std::size_t i = 0; i < kMapControls.size(); ++i) unbound.U8(layout::OfMap(i), 2);
    unbound.Write(folder, "layers_without_pixels");
    return 0;
}
