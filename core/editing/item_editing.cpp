#include "editing/item_editing.h"
#include "names/documentation_table.h"

#include <algorithm>
#include <limits>

#include "values/value_text.h"

namespace kestra {

namespace {

void storeInto(ValueTextOutcome& result, ValueRef value, std::size_t property,
               std::string_view text) {
    const ValueTextProblem problem = storeValueText(value, text);
    if (problem != ValueTextProblem::None && result.refused.empty())
        result.firstProblem = problem;
    std::vector<std::size_t>& list =
        problem == ValueTextProblem::None ? result.stored : result.refused;
    if (std::find(list.begin(), list.end(), property) == list.end())
        list.push_back(property);
}

bool mayAddItem(const InfoFile& document) {
    return document.items.size() < std::numeric_limits<std::uint32_t>::max();
}

void syncItemCount(InfoFile& document) {
    document.header.itemCount = std::uint32_t(document.items.size());
}

} // namespace

ValueTextOutcome applyValueText(InfoFile& document, std::size_t item, std::size_t property,
                                std::string_view narrowedText) {
    ValueTextOutcome result;
    const ValueList values = document.items.at(item).values;
    storeInto(result, values.at(property), property, narrowedText);
    if (!values[property].linked)
        return result;
    // The edited property is visited again in its place: storing the same text twice leaves the
    // same bytes, so it is reported once.
    for (std::size_t j = 0; j < values.size(); ++j) {
        if (values[j].linked)
            storeInto(result, values[j], j, narrowedText);
    }
    return result;
}

bool copyItem(InfoFile& document, std::size_t item) {
    if (item >= document.items.size() || !mayAddItem(document))
        return false;
    document.items.push_back(document.items[item]);
    syncItemCount(document);
    return true;
}

bool newItem(InfoFile& document, const DocumentationTable& documentation) {
    if (!mayAddItem(document))
        return false;
    // The first item lays out the properties; later ones take the layout the items have.
    if (document.items.empty())
        document.items.setProperties(document.descriptors, document.stringWidth, documentation);
    document.items.resize(document.items.size() + 1);
    for (const ValueRef value : document.items.back().values) {
        if (isStringType(value.typeCode))
            parseValueText(value, newItemStringText);
    }
    syncItemCount(document);
    return true;
}

bool deleteItem(InfoFile& document, std::size_t item) {
    if (item >= document.items.size())
        return false;
    document.items.erase(document.items.begin() + std::ptrdiff_t(item));
    syncItemCount(document);
    return true;
}

} // namespace kestra
