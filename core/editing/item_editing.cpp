#include "editing/item_editing.h"
#include "names/documentation_table.h"

#include <algorithm>
#include <limits>

#include "values/value_text.h"

namespace kestra {

namespace {

void storeInto(ValueTextOutcome& result, PropertyValue& value, std::size_t property,
               std::string_view text) {
    const bool stored = parseValueText(value, text);
    std::vector<std::size_t>& list = stored ? result.stored : result.refused;
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
    std::vector<PropertyValue>& values = document.items.at(item).values;
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
    ItemRecord copy = document.items[item];
    document.items.push_back(std::move(copy));
    syncItemCount(document);
    return true;
}

bool newItem(InfoFile& document, bool thirtyTwoByteStrings,
             const DocumentationTable& documentation) {
    if (!mayAddItem(document))
        return false;
    ItemRecord record;
    record.values.reserve(document.descriptors.size());
    for (const PropertyDescriptor& descriptor : document.descriptors) {
        PropertyValue value = makeValue(descriptor, thirtyTwoByteStrings, documentation);
        if (value.typeCode == TypeCode::S32 || value.typeCode == TypeCode::S16)
            parseValueText(value, newItemStringText);
        record.values.push_back(value);
    }
    document.items.push_back(std::move(record));
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
