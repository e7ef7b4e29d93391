#include "text/suggestion.h"

#include <algorithm>
#include <vector>

namespace kestra::tool {

std::size_t editDistance(std::string_view a, std::string_view b) {
    // Three rows of the Damerau-Levenshtein table (optimal string alignment): the swap of two
    // neighbours, the commonest typing slip, counts as one edit.
    std::vector<std::size_t> beforeLast(b.size() + 1), last(b.size() + 1), row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        last[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t substitution = last[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, substitution});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                row[j] = std::min(row[j], beforeLast[j - 2] + 1);
        }
        beforeLast.swap(last);
        last.swap(row);
    }
    return last[b.size()];
}

std::vector<std::string_view> closestCandidates(std::string_view typed,
                                                std::span<const std::string_view> candidates) {
    const std::size_t limit = std::max<std::size_t>(1, typed.size() / 3);
    std::size_t best = limit + 1;
    std::vector<std::string_view> closest;
    for (const std::string_view candidate : candidates) {
        const std::size_t distance = editDistance(typed, candidate);
        if (distance > limit)
            continue;
        if (distance < best) {
            best = distance;
            closest.clear();
        }
        if (distance == best)
            closest.push_back(candidate);
    }
    return closest;
}

std::string didYouMean(std::string_view typed, std::span<const std::string_view> candidates) {
    const std::vector<std::string_view> closest = closestCandidates(typed, candidates);
    if (closest.empty())
        return {};
    std::string text = "; did you mean ";
    for (std::size_t k = 0; k < closest.size(); ++k) {
        if (k > 0)
            text += k + 1 == closest.size() ? " or " : ", ";
        text += closest[k];
    }
    return text + "?";
}

} // namespace kestra::tool
