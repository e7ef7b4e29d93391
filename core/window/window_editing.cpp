#include "window/window_editing.h"

#include "editing/edit_step.h"
#include "editing/item_editing.h"
#include "values/value_text.h"

#include <cstdint>
#include <optional>
#include <tuple>
#include <utility>

namespace kestra {

namespace {

// Item rows show the first three values; a rewritten property row among them is copied there.
bool copyIntoItemRow(WindowState& state, std::size_t item, std::size_t property) {
    if (property >= std::tuple_size_v<decltype(ItemRow::valueTexts)>)
        return false;
    state.itemRows.setValueText(item, property, state.propertyRows[property].valueText.view());
    return true;
}

} // namespace

ApplyResult applyEditText(WindowState& state, std::u16string_view editText) {
    ApplyResult result;
    if (state.selectedProperty < 0 || state.selectedItem < 0)
        return result;
    const auto item = std::size_t(state.selectedItem);
    const auto chosen = std::size_t(state.selectedProperty);
    if (item >= state.document.items.size() || item >= state.itemRows.size())
        return result;
    const ConstValueList values = std::as_const(state.document).items[item].values;
    if (chosen >= values.size() || values.size() != state.propertyRows.size())
        return result;

    const std::vector<std::uint8_t> before = packedItem(state.document, item);
    const ValueTextOutcome outcome =
        applyValueText(state.document, item, chosen, narrowText(editText));
    if (std::optional<EditStep> step = valuesChangedStep(state.document, item, before))
        state.history.record(std::move(*step));
    // A value that took the text shows it as typed; one that refused it shows what it holds.
    auto showRow = [&](std::size_t property, std::u16string_view text) {
        state.propertyRows.setValueText(property, text);
        result.rewrittenPropertyRows.push_back(property);
        result.itemRowRewritten = copyIntoItemRow(state, item, property) || result.itemRowRewritten;
    };
    for (const std::size_t property : outcome.stored)
        showRow(property, editText);
    for (const std::size_t property : outcome.refused)
        showRow(property, formatValueText(values[property]));
    result.allStored = outcome.refused.empty();
    if (!result.allStored) {
        result.problem = outcome.firstProblem;
        result.refusedType = values[outcome.refused.front()].typeCode;
    }
    return result;
}

bool copyItem(WindowState& state, int source) {
    if (source < 0 || !copyItem(state.document, std::size_t(source)))
        return false;
    state.history.record(itemAddedStep(state.document, EditKind::CopyItem));
    state.itemRows.appendRow(state.document);
    return true;
}

bool newItem(WindowState& state) {
    if (!newItem(state.document, state.documentation))
        return false;
    state.history.record(itemAddedStep(state.document, EditKind::NewItem));
    state.itemRows.appendRow(state.document);
    return true;
}

DeleteEffect deleteItem(WindowState& state, int index) {
    if (index < 0 || std::size_t(index) >= state.document.items.size())
        return DeleteEffect::Nothing;
    EditStep step = itemRemovedStep(state.document, std::size_t(index));
    deleteItem(state.document, std::size_t(index));
    state.history.record(std::move(step));
    return forgetItemRow(state, index);
}

DeleteEffect forgetItemRow(WindowState& state, int index) {
    state.itemRows.removeRow(std::size_t(index));

    if (state.selectedItem == index) {
        state.selectedItem = -1;
        state.selectedProperty = -1;
        state.propertyRows.clear();
        return DeleteEffect::RemovedShownItem;
    }
    if (state.selectedItem > index)
        --state.selectedItem;
    state.propertyRows.itemRemoved(std::size_t(index));
    return DeleteEffect::Removed;
}

} // namespace kestra
