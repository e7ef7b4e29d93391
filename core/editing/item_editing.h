#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "document/info_file.h"
#include "values/value_text.h"

namespace kestra {

struct DocumentationTable;

// What an Apply did: the property positions of the item whose value took the text, and those
// whose type could not read it (left unchanged). Each position appears once, in the order Apply
// visited it: the edited property first, then the other linked properties in ascending order.
struct ValueTextOutcome {
    std::vector<std::size_t> stored;
    std::vector<std::size_t> refused;
    ValueTextProblem firstProblem = ValueTextProblem::None; // why refused.front() was refused
};

// Apply of the edit panel: stores `narrowedText` (already narrowed to 8-bit text) into property
// `property` of item `item` and, when that property is linked, into every linked property of the
// same item in ascending order, each parsed by its own type code. Other items and the item's
// unlinked properties are never touched. A refusal does not stop the remaining properties.
// Both positions must be in range.
ValueTextOutcome applyValueText(InfoFile& document, std::size_t item, std::size_t property,
                                std::string_view narrowedText);

// The text a new item's string values start with.
inline constexpr std::string_view newItemStringText = "(null)";

// Appends a deep copy of item `item`. False, nothing changed, when `item` is out of range or the
// item count would pass the header's 32-bit field.
bool copyItem(InfoFile& document, std::size_t item);
// Appends an item with one fresh value per descriptor: strings "(null)", floats and integers 0.
// The strings are as wide as the document's; a document without items lays its properties out
// anew, each named from `documentation`, which must outlive the document. False, nothing
// changed, when the item count would pass the header's 32-bit field.
bool newItem(InfoFile& document, const DocumentationTable& documentation);
// Removes item `item`; later items move up one place. False, nothing changed, when out of range.
bool deleteItem(InfoFile& document, std::size_t item);

} // namespace kestra
