#include "window/display_rows.h"

#include "values/value_text.h"
#include "window/number_digits.h"

#include <algorithm>
#include <tuple>

namespace kestra {

namespace {

constexpr std::size_t shownItemValues = std::tuple_size_v<decltype(ItemRow::valueTexts)>;
constexpr int columnWidth = 100;

} // namespace

std::string_view nameBytes(std::string_view name) {
    return name.substr(0, name.find('\0'));
}

std::size_t shownValueCount(const InfoFile& document, std::size_t item) {
    if (item >= document.items.size())
        return 0;
    return std::min<std::size_t>(document.header.propertyCount, document.items.properties().size());
}

ItemRow buildItemRow(const InfoFile& document, std::size_t item) {
    ItemRow row;
    row.indexText.assignWidened(decimalDigits(item).view());
    const std::size_t shown = std::min(shownItemValues, shownValueCount(document, item));
    for (std::size_t p = 0; p < shown; ++p)
        row.valueTexts[p].assign(formatValueText(document.items[item].values[p]));
    return row;
}

PropertyRow buildPropertyRow(ConstValueRef value) {
    PropertyRow row;
    row.nameText.assignWidened(nameBytes(*value.name));
    row.idText.assignWidened(decimalDigits(value.descriptor.id).view());
    row.valueText.assign(formatValueText(value));
    row.typeCodeText.assignWidened(typeCodeText(value.typeCode));
    row.typeText.assign(typeDisplayName(value.typeCode));
    return row;
}

const std::array<ColumnSpec, 4> itemListColumns = {{
    {u"Item #", columnWidth, false},
    {u"First Value", columnWidth, false},
    {u"Second Value", columnWidth, true},
    {u"Third Value", columnWidth, true},
}};

const std::array<ColumnSpec, 4> propertyListColumns = {{
    {u"Property Name", columnWidth, false},
    {u"Property Value", columnWidth, false},
    {u"Property ID#", columnWidth, true},
    {u"Property Type", columnWidth, true},
}};

std::u16string_view cellText(const ItemRow& row, int column) {
    switch (column) {
    case 0:
        return row.indexText.view();
    case 1:
    case 2:
    case 3:
        return row.valueTexts[std::size_t(column - 1)].view();
    default:
        return {};
    }
}

// The property list shows the value before the ID, unlike the order the row keeps them in.
std::u16string_view cellText(const PropertyRow& row, int column) {
    switch (column) {
    case 0:
        return row.nameText.view();
    case 1:
        return row.valueText.view();
    case 2:
        return row.idText.view();
    case 3:
        return row.typeText.view();
    default:
        return {};
    }
}

} // namespace kestra
