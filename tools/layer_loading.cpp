#include "tools/layer_loading.h"

#include "tools/image_io.h"
#include "tools/limits.h"
#include "tools/world_images.h"

namespace lumeshade::tools {
namespace {

constexpr int kDefaultSide = 512;

MapParams SizedParams(const LayerSource& source, int width, int height) {
    MapParams params = *source.generate;
    params.width = source.width.value_or(width);
    params.height = source.height.value_or(height);
    CheckImageSize(params.width, params.height, source.where);
    return params;
}

}  // namespace

LoadedLayers LoadLayers(const Scene& scene, BitDepth depth,
                        const std::set<std::string>& normalMaps) {
    LoadedLayers loaded;
    const LayerSource* input = scene.FindLayer(scene.input);
    const auto sizeOf = [](const LayerSource& source, int width, int height) {
        if (source.generate) {
            const MapParams params = SizedParams(source, width, height);
            return ImageSize{params.width, params.height};
        }
        return ReadImageSize(source.path, source.where);
    };

    // Every size is settled, and the total checked, before any pixel is
    // made: the input's first, since the render's size follows from it.
    const ImageSize inputSize =
        sizeOf(*input, scene.width.value_or(kDefaultSide), scene.height.value_or(kDefaultSide));
    loaded.width = scene.width.value_or(inputSize.width);
    loaded.height = scene.height.value_or(inputSize.height);
    CheckImageSize(loaded.width, loaded.height, Location{scene.source, "width"});
    const bool stretched = inputSize.width != loaded.width || inputSize.height != loaded.height;
    std::int64_t pixels = stretched ? std::int64_t(loaded.width) * loaded.height : std::int64_t(0);
    for (const LayerSource& source : scene.layers) {
        const ImageSize size =
            &source == input ? inputSize : sizeOf(source, loaded.width, loaded.height);
        pixels += std::int64_t(size.width) * size.height;
        if (pixels > kMaxScenePixels) {
            Fail(source.where, "the scene's images would hold more than " +
                                   std::to_string(kMaxScenePixels) + " pixels together");
        }
    }

    for (const LayerSource& source : scene.layers) {
        const bool isInput = &source == input;
        const int width = isInput ? scene.width.value_or(kDefaultSide) : loaded.width;
        const int height = isInput ? scene.height.value_or(kDefaultSide) : loaded.height;
        NormalEvidence evidence;
        const bool normalMap = !source.generate && normalMaps.count(source.name) != 0;
        Image image;
        if (source.generate) {
            image = GenerateMap(SizedParams(source, width, height));
            if (image.depth != depth) image = ConvertDepth(image, depth);
        } else {
            image = ReadImage(source.path, depth, source.where, source.conversion,
                              normalMap ? &evidence : nullptr);
        }
        if (const auto doubt = NormalMapDoubt(evidence)) {
            loaded.warnings.push_back(source.where.Describe() + ": the normal map \"" +
                                      source.path.string() + "\" " + *doubt);
        }
        if (isInput) {
            loaded.input = loaded.layers.size();
            if (image.width != loaded.width || image.height != loaded.height) {
                image = Resample(image, loaded.width, loaded.height);
            }
        }
        loaded.layers.push_back({source.name, std::make_shared<const host::World>(ToWorld(image))});
    }
    return loaded;
}

}  // namespace lumeshade::tools
