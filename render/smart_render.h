// The two smart-rendering commands.
#pragma once

#include "AE_Effect.h"

namespace lumeshade {

// Checks out the effect's input for the requested rectangle, merges the
// result rectangles and hands the host a pre-render block the size of a
// RenderContext. For part of the layer the input is asked for the part
// grown by how far its pixels read their neighbours (Pre Blur), and the
// result still covers the part alone.
PF_Err SmartPreRender(PF_InData* in_data, PF_PreRenderExtra* extra);

// Merges a rectangle the host reported into one the effect reports: an empty
// one (left not less than right, or top not less than bottom) takes the
// other, two non-empty ones become their union, and a non-empty one stays
// when the other is empty.
void MergeRect(PF_LRect& into, const PF_LRect& from);

// Renders one frame: builds the RenderContext from the controls, the map
// layers, the camera and the lights, then has the host run the pixel
// function of the input's pixel format over the output, each output pixel
// with the input pixel at the same place in the layer.
PF_Err SmartRender(PF_InData* in_data, PF_OutData* out_data, PF_SmartRenderExtra* extra);

}  // namespace lumeshade
