#include "tools/region.h"

#include <charconv>
#include <string>

#include "tools/input_error.h"

namespace lumeshade::tools {

PF_LRect ParseRegion(std::string_view text, int width, int height) {
    const std::string given(text);
    const auto fail = [&](const std::string& what) { Fail({"--region", ""}, what); };
    int v[4] = {};
    std::string_view rest = text;
    for (int i = 0; i < 4; ++i) {
        const std::size_t comma = i < 3 ? rest.find(',') : rest.size();
        const std::string_view part = rest.substr(0, comma);
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), v[i]);
        if (comma == std::string_view::npos || part.empty() || ec != std::errc() ||
            end != part.data() + part.size() || v[i] < (i < 2 ? 0 : 1)) {
            fail(
                "expected X,Y,W,H with whole pixel numbers, a corner from 0 and a size from 1, "
                "got \"" +
                given + "\"");
        }
        rest = i < 3 ? rest.substr(comma + 1) : std::string_view();
    }
    // Compared as differences, so that no sum can overflow.
    if (v[0] >= width || v[2] > width - v[0] || v[1] >= height || v[3] > height - v[1]) {
        fail(given + " reaches past the " + std::to_string(width) + " x " + std::to_string(height) +
             " output");
    }
    return {v[0], v[1], v[0] + v[2], v[1] + v[3]};
}

}  // namespace lumeshade::tools
