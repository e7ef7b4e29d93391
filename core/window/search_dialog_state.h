#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/info_file.h"
#include "names/documentation_table.h"
#include "search/search_matching.h"
#include "window/row_lists.h"

namespace kestra {

// What the Search dialog keeps from one run to the next: the last results and the rows its two
// lists show. Row r of the found-item list is item results[r] of the search that found them. It
// stays where it was made: its rows point at the document.
struct SearchDialogState {
    SearchDialogState() = default;
    SearchDialogState(const SearchDialogState&) = delete;
    SearchDialogState& operator=(const SearchDialogState&) = delete;

    SearchResults results;
    ItemRows foundItemRows;
    PropertyRows foundPropertyRows;
};

// The longest search text; a longer one is searched as its start.
inline constexpr std::size_t searchTextLimit = 31;

// The entries of the type/property box for `mode`: the four type entries ("1: String (32 Bytes)"
// ... "4: Integer (4 Bytes)"), one "%03d: %u (%s)" entry per property (ID and name from item 0,
// or from the descriptors and the documentation when there are no items), or none. A name ends
// at a zero byte stored inside it, as in the property rows, and is otherwise never cut, however
// long.
std::vector<std::u16string> modeChoiceEntries(SearchMode mode, const InfoFile& document,
                                              const DocumentationTable& documentation);

// The type code a type entry stands for, by its first character; none for any other entry.
std::optional<TypeCode> typeCodeForEntry(std::u16string_view entry);
// The property index at the start of a property entry ("1234: ..." gives 1234).
std::optional<std::size_t> propertyIndexForEntry(std::u16string_view entry);

// Empties the results and searches `document` for `text` in `mode` (no mode: nothing found),
// `entry` being the selected type or property entry. When something is found the found-item
// rows are rebuilt; otherwise the rows stay as they were. Returns whether something was found.
bool runSearch(SearchDialogState& state, const InfoFile& document, std::u16string_view text,
               std::optional<SearchMode> mode, std::u16string_view entry);

// The item shown in found-item row `row`, with its property rows rebuilt; nothing for a row that
// has no entry in the results (rows left from an earlier search after one that found nothing).
std::optional<std::int32_t> openFoundItem(SearchDialogState& state, const InfoFile& document,
                                          std::size_t row);

} // namespace kestra
