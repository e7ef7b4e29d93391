#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestra::tool {

// How many single-character insertions, deletions, substitutions or swaps of neighbours turn
// one text into the other.
std::size_t editDistance(std::string_view a, std::string_view b);

// The candidates a mistyped word most likely meant, as git suggests commands: those within a
// small edit distance of it (about a third of its length, at least 1), the closest first, in
// their given order among equals. Empty when nothing is that close.
std::vector<std::string_view> closestCandidates(std::string_view typed,
                                                std::span<const std::string_view> candidates);

// "; did you mean dump?" or "; did you mean --format or --exact?" for closestCandidates, or "".
std::string didYouMean(std::string_view typed, std::span<const std::string_view> candidates);

} // namespace kestra::tool
