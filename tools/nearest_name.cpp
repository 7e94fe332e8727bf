#include "tools/nearest_name.h"

#include <algorithm>
#include <cctype>

namespace lumeshade::tools {
namespace {

char Fold(char c) { return char(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

std::size_t EditDistance(std::string_view a, std::string_view b) {
    // Optimal string alignment over three rows of the table.
    const std::size_t n = b.size();
    std::vector<std::size_t> before(n + 1), previous(n + 1), current(n + 1);
    for (std::size_t j = 0; j <= n; ++j) previous[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= n; ++j) {
            const bool same = Fold(a[i - 1]) == Fold(b[j - 1]);
            current[j] =
                std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
            if (i > 1 && j > 1 && Fold(a[i - 1]) == Fold(b[j - 2]) &&
                Fold(a[i - 2]) == Fold(b[j - 1])) {
                current[j] = std::min(current[j], before[j - 2] + 1);
            }
        }
        before.swap(previous);
        previous.swap(current);
    }
    return previous[n];
}

std::string NearestName(std::string_view word, const std::vector<std::string>& candidates) {
    const std::size_t allowed = std::max<std::size_t>(2, word.size() / 3);
    std::string best;
    std::size_t bestDistance = allowed + 1;
    for (const std::string& candidate : candidates) {
        const std::size_t d = EditDistance(word, candidate);
        if (d < bestDistance) best = candidate, bestDistance = d;
    }
    return best;
}

std::string DidYouMean(std::string_view word, const std::vector<std::string>& candidates) {
    const std::string nearest = NearestName(word, candidates);
    return nearest.empty() ? std::string() : " (did you mean \"" + nearest + "\"?)";
}

}  // namespace lumeshade::tools
