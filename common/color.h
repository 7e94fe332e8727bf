// The colour record handed between shading steps: red, green, blue and a
// fourth value that every blend carries along unchanged. Channels are
// normalised to 0..1 nominal; float rendering lets them leave that range.
#pragma once

namespace lumeshade {

struct Color {
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    float fourth = 0.0f;
};

}  // namespace lumeshade
