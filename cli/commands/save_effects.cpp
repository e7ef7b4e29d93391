#include "commands/save_effects.h"

#include <algorithm>
#include <limits>

#include "commands/value_fields.h"
#include "document/saved_values.h"
#include "text/json_writer.h"

namespace kestra::tool {

namespace {

// Runs of changed bytes shown, and bytes shown of each; a file of garbage gaps stays readable.
constexpr std::size_t runsShown = 8;
constexpr std::size_t bytesShown = 16;

std::string shownBytes(std::span<const std::uint8_t> bytes) {
    return hexText(bytes.first(std::min(bytes.size(), bytesShown))) +
           (bytes.size() > bytesShown ? "…" : "");
}

// The bytes a save of the unedited document changes: the gaps and the tail the format does
// not keep.
bool writeRewrites(std::ostream& out, std::span<const std::uint8_t> before,
                   std::span<const std::uint8_t> after) {
    bool found = false;
    if (before.size() != after.size()) {
        out << "file size: " << before.size() << " | " << after.size() << '\n';
        found = true;
    }
    const std::size_t common = std::min(before.size(), after.size());
    std::size_t runs = 0;
    for (std::size_t at = 0; at < common;) {
        if (before[at] == after[at]) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < common && before[end] != after[end])
            ++end;
        if (runs++ < runsShown)
            out << "bytes " << hexNumber(at) << "-" << hexNumber(end - 1)
                << " no value covers: " << shownBytes(before.subspan(at, end - at)) << " | "
                << shownBytes(after.subspan(at, end - at)) << '\n';
        found = true;
        at = end;
    }
    if (runs > runsShown)
        out << "and " << runs - runsShown << " more runs of bytes no value covers\n";
    return found;
}

bool sameField(ConstValueRef a, ConstValueRef b) {
    return std::ranges::equal(a.field(), b.field());
}

// Edited values that the saved file would not hold, as a later overlapping write wins.
bool writeOverwritten(std::ostream& out, const InfoFile& original, const InfoFile& edited) {
    const SavedFileValues saved(edited);
    bool found = false;
    for (std::uint32_t i = 0; i < edited.items.size(); ++i) {
        for (std::uint32_t k = 0; k < edited.descriptors.size(); ++k) {
            const ConstValueRef value = edited.items[i].values[k];
            if (i < original.items.size() && sameField(value, original.items[i].values[k]))
                continue;
            const FileValue held = fileValue(edited, saved, i, k);
            if (!held.overwritten)
                continue;
            out << propertyLabel(i, k, held.value) << ": the file would hold "
                << jsonQuoted(displayText(held.value)) << ", written over by a later value\n";
            found = true;
        }
    }
    return found;
}

} // namespace

bool writeSaveEffects(std::ostream& out, std::span<const std::uint8_t> fileBytes,
                      const InfoFile& original, const InfoFile& edited) {
    const std::vector<std::uint8_t> rewritten =
        original.serialize(std::numeric_limits<std::uint64_t>::max());
    const bool rewrites = writeRewrites(out, fileBytes, rewritten);
    return writeOverwritten(out, original, edited) || rewrites;
}

} // namespace kestra::tool
