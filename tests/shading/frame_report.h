// What a pinned frame whose sum changed leaves behind: where it first
// differs from the pinned frame, by how much at most, and the frame as an
// image file in the test's folder of the build.
//
// Only the sums are pinned, so the pinned pixels come from this build's own
// earlier run: each frame that matches its sum is kept there, and a later
// mismatch is compared with it.
#pragma once

#include <cstdint>
#include <string>

#include "host/world.h"

namespace lumeshade::testing {

// Keeps the pixels of `frame`, which matched its pinned sum, under `name`.
void KeepPinnedFrame(const std::string& name, const host::World& frame);

// Describes how `frame` differs from the kept frame of `name` whose sum is
// `pinned`, and writes both as images where the build has an image library.
std::string ReportChangedFrame(const std::string& name, const host::World& frame,
                               std::uint64_t pinned);

}  // namespace lumeshade::testing
