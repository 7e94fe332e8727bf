// Images handed to the host as worlds and taken back from its output.
#pragma once

#include "host/world.h"
#include "tools/image.h"

namespace lumeshade::tools {

host::Depth ToHostDepth(BitDepth depth);
BitDepth FromHostDepth(host::Depth depth);

// The image in a world of its own depth. Integer channels are clamped to
// their range (images made here already lie in it).
host::World ToWorld(const Image& image);
Image FromWorld(const host::World& world);

}  // namespace lumeshade::tools
