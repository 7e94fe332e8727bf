// Suggestions for misspelt names: the known name closest to what was typed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumeshade::tools {

// The number of single-character insertions, deletions, substitutions and
// swaps of neighbours that turn one text into the other (case is ignored).
std::size_t EditDistance(std::string_view a, std::string_view b);

// The candidate closest to `word`, or "" when none is close enough to be a
// plausible misspelling (at most a third of the word's length, and at least
// two, edits away).
std::string NearestName(std::string_view word, const std::vector<std::string>& candidates);

// " (did you mean \"x\"?)" for the nearest candidate, or "".
std::string DidYouMean(std::string_view word, const std::vector<std::string>& candidates);

}  // namespace lumeshade::tools
