#include "app/item_editing_core.h"

#include "documentation/value_text.h"

namespace kestra {

namespace {

constexpr std::string_view newStringText = "(null)";

// Writes `editText` into value `property` of item `item` and into its property row. Returns
// whether the value took it.
bool storeValueText(AppState& state, std::size_t item, std::size_t property,
                    std::u16string_view editText) {
    PropertyValue& value = state.document.items[item].values[property];
    const bool stored = parseValueText(value, narrowText(editText));
    state.propertyRows[property].valueText.assign(stored ? editText : formatValueText(value));
    return stored;
}

// Item rows show the first three values; a rewritten property row among them is copied there.
bool copyIntoItemRow(AppState& state, std::size_t item, std::size_t property) {
    if (property >= state.itemRows[item].valueTexts.size())
        return false;
    state.itemRows[item].valueTexts[property] = state.propertyRows[property].valueText;
    return true;
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
    std::vector<PropertyValue>& values = state.document.items[item].values;
    if (chosen >= values.size() || values.size() != state.propertyRows.size())
        return result;

    auto store = [&](std::size_t property) {
        result.allStored = storeValueText(state, item, property, editText) && result.allStored;
        result.rewrittenPropertyRows.push_back(property);
        result.itemRowRewritten = copyIntoItemRow(state, item, property) || result.itemRowRewritten;
    };
    store(chosen);
    if (values[chosen].linked) {
        for (std::size_t property = 0; property < values.size(); ++property) {
            if (values[property].linked)
                store(property);
        }
    }
    return result;
}

bool copyItem(AppState& state, int source) {
    if (source < 0 || std::size_t(source) >= state.document.items.size())
        return false;
    ItemRecord copy = state.document.items[std::size_t(source)];
    state.document.items.push_back(std::move(copy));
    state.document.header.itemCount = std::uint32_t(state.document.items.size());
    state.itemRows.push_back(buildItemRow(state.document, state.document.items.size() - 1));
    return true;
}

void newItem(AppState& state) {
    const bool thirtyTwoByteStrings = pathEndsInInfo(state.openedFilePath);
    ItemRecord item;
    item.values.reserve(state.document.descriptors.size());
    for (const PropertyDescriptor& descriptor : state.document.descriptors) {
        PropertyValue value = makeValue(descriptor, thirtyTwoByteStrings, state.documentation);
        if (value.typeCode == TypeCode::S32 || value.typeCode == TypeCode::S16)
            parseValueText(value, newStringText);
        item.values.push_back(value);
    }
    state.document.items.push_back(std::move(item));
    state.document.header.itemCount = std::uint32_t(state.document.items.size());
    state.itemRows.push_back(buildItemRow(state.document, state.document.items.size() - 1));
}

DeleteEffect deleteItem(AppState& state, int index) {
    if (index < 0 || std::size_t(index) >= state.document.items.size())
        return DeleteEffect::Nothing;
    state.document.items.erase(state.document.items.begin() + index);
    state.document.header.itemCount = std::uint32_t(state.document.items.size());
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
