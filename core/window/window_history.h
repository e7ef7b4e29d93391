#pragma once

#include <cstddef>

#include "window/window_state.h"

namespace kestra {

// What an Undo or Redo did to the item list, so the window updates those rows.
struct HistoryMove {
    enum class Effect {
        Nothing,       // there was no step to move over
        ValuesChanged, // values of `item` went back or forward
        ItemInserted,  // `item` came (back) into the document
        ItemRemoved    // `item` left it
    };
    Effect effect = Effect::Nothing;
    std::size_t item = 0;
};

// Undoes the last edit step, or redoes the last undone one. The item the step touched becomes the
// selected item, its property rows are rendered from the document (typed texts of undone Applies
// are no longer shown) and no property is loaded for editing. When the step removed the item, the
// selection follows as for Delete Item.
HistoryMove undoEdit(WindowState& state);
HistoryMove redoEdit(WindowState& state);

} // namespace kestra
