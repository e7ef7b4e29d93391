#include "window/window_history.h"

#include "window/window_editing.h"

namespace kestra {

namespace {

HistoryMove::Effect effectOf(EditKind kind, bool undone) {
    switch (kind) {
    case EditKind::NewItem:
    case EditKind::CopyItem:
        return undone ? HistoryMove::Effect::ItemRemoved : HistoryMove::Effect::ItemInserted;
    case EditKind::DeleteItem:
        return undone ? HistoryMove::Effect::ItemInserted : HistoryMove::Effect::ItemRemoved;
    case EditKind::Apply:
        break;
    }
    return HistoryMove::Effect::ValuesChanged;
}

HistoryMove showMove(WindowState& state, const EditStep* step, bool undone) {
    if (!step)
        return {};
    state.selectedProperty = -1;
    const HistoryMove move{effectOf(step->kind, undone), step->item};
    switch (move.effect) {
    case HistoryMove::Effect::ItemRemoved:
        forgetItemRow(state, int(step->item));
        return move;
    case HistoryMove::Effect::ItemInserted:
        state.itemRows.insertRow(step->item);
        break;
    default:
        state.itemRows.forgetTypedTexts(step->item);
        break;
    }
    state.selectedItem = int(step->item);
    state.propertyRows.show(state.document, step->item);
    return move;
}

} // namespace

HistoryMove undoEdit(WindowState& state) {
    return showMove(state, state.history.undo(state.document), true);
}

HistoryMove redoEdit(WindowState& state) {
    return showMove(state, state.history.redo(state.document), false);
}

} // namespace kestra
