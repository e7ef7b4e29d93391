#include "window/window_editing.h"

#include "editing/item_editing.h"
#include "values/value_text.h"

namespace kestra {

namespace {

// Item rows show the first three values; a rewritten property row among them is copied there.
bool copyIntoItemRow(AppState& state, std::size_t item, std::size_t property) {
    if (property >= state.itemRows[item].valueTexts.size())
        return false;
    state.itemRows[item].valueTexts[property] = state.propertyRows[property].valueText;
    return true;
}

void appendItemRow(AppState& state) {
    state.itemRows.push_back(buildItemRow(state.document, state.document.items.size() - 1));
}

} // namespace

ApplyResult applyEditText(AppState& state, std::u16string_view editText) {
    ApplyResult result;
    if (state.selectedProperty < 0 || state.selectedItem < 0)
        return result;
    const auto item = std::size_t(state.selectedItem);
    const auto chosen = std::size_t(state.selectedProperty);
    if (item >= state.document.items.size() || item >= state.itemRows.size())
        return result;
    const std::vector<PropertyValue>& values = state.document.items[item].values;
    if (chosen >= values.size() || values.size() != state.propertyRows.size())
        return result;

    const ValueTextOutcome outcome =
        applyValueText(state.document, item, chosen, narrowText(editText));
    // A value that took the text shows it as typed; one that refused it shows what it holds.
    auto showRow = [&](std::size_t property, std::u16string_view text) {
        state.propertyRows[property].valueText.assign(text);
        result.rewrittenPropertyRows.push_back(property);
        result.itemRowRewritten = copyIntoItemRow(state, item, property) || result.itemRowRewritten;
    };
    for (const std::size_t property : outcome.stored)
        showRow(property, editText);
    for (const std::size_t property : outcome.refused)
        showRow(property, formatValueText(values[property]));
    result.allStored = outcome.refused.empty();
    return result;
}

bool copyItem(AppState& state, int source) {
    if (source < 0 || !copyItem(state.document, std::size_t(source)))
        return false;
    appendItemRow(state);
    return true;
}

bool newItem(AppState& state) {
    if (!newItem(state.document, pathEndsInInfo(state.openedFilePath), state.documentation))
        return false;
    appendItemRow(state);
    return true;
}

DeleteEffect deleteItem(AppState& state, int index) {
    if (index < 0 || !deleteItem(state.document, std::size_t(index)))
        return DeleteEffect::Nothing;
    if (std::size_t(index) < state.itemRows.size())
        state.itemRows.erase(state.itemRows.begin() + index);
    renumberItemRows(state.itemRows);

    if (state.selectedItem == index) {
        state.selectedItem = -1;
        state.selectedProperty = -1;
        state.propertyRows.clear();
        return DeleteEffect::RemovedShownItem;
    }
    if (state.selectedItem > index)
        --state.selectedItem;
    return DeleteEffect::Removed;
}

} // namespace kestra
