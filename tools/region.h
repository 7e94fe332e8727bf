// --region X,Y,W,H: the rectangle of the output a run renders and writes,
// as a host asks for part of a layer.
#pragma once

#include <string_view>

#include "AE_Effect.h"

namespace lumeshade::tools {

// "X,Y,W,H" in whole output pixels: the corner X,Y from 0, the size W x H
// from 1, all of it inside the width x height output. Fails with an
// InputError naming --region.
PF_LRect ParseRegion(std::string_view text, int width, int height);

}  // namespace lumeshade::tools
