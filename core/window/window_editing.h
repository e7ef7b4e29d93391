#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "values/value_text.h"
#include "window/window_state.h"

namespace kestra {

// What an Apply changed, so the window redraws those rows and tells the user once about values
// that could not be stored.
struct ApplyResult {
    std::vector<std::size_t> rewrittenPropertyRows; // in the order they were written
    bool itemRowRewritten = false;                  // a cell of itemRows[selectedItem] changed
    bool allStored = true;
    // Why the first property that refused the text refused it, and that property's type.
    ValueTextProblem problem = ValueTextProblem::None;
    TypeCode refusedType = TypeCode::I4;
};

// Stores `editText` into the selected property of the selected item and, when that property is
// linked, into every linked property of the item in ascending order, each parsed by its own type.
// The rows show the text as typed; a property the text cannot be stored into keeps its value and
// its rows show that value. Nothing happens without a selected property of an existing item.
ApplyResult applyEditText(WindowState& state, std::u16string_view editText);

// Appends a deep copy of item `source` and its row. False when there is no such item or the
// item count is full.
bool copyItem(WindowState& state, int source);

// Appends an item with one value per descriptor: strings "(null)" (32 or 16 bytes wide by the
// path the document was opened from), floats and integers 0. False when the item count is full.
bool newItem(WindowState& state);

enum class DeleteEffect {
    Nothing,         // no such item
    Removed,         // an item other than the shown one went
    RemovedShownItem // the shown item went: property rows emptied, nothing selected
};

// Removes item `index` and its row and renumbers the rows after it. Keeps `selectedItem` on the
// item whose properties are shown, so a later Apply never stores into another item.
DeleteEffect deleteItem(WindowState& state, int index);
// The rows' part of deleteItem, once item `index` has left the document.
DeleteEffect forgetItemRow(WindowState& state, int index);

} // namespace kestra
