#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "document/info_file.h"
#include "window/fixed_text.h"

namespace kestra {

// Value cells hold 32 units: the 31 of any rendered value plus the one an "s32" field without a
// zero byte needs to show all of its bytes.
using ValueCellText = FixedText<33>;

struct ItemRow {
    FixedText<20> indexText;                 // the item's position, "%d"
    std::array<ValueCellText, 3> valueTexts; // its first three values; empty where none exists
};

struct PropertyRow {
    FixedText<66> nameText;     // the name widened byte for byte, up to 65 units or a zero byte
    FixedText<20> idText;       // "%u"
    ValueCellText valueText;    // formatValueText, or the text last applied
    FixedText<10> typeCodeText; // "s32", "s16", "f4", "i4"
    FixedText<40> typeText;     // typeDisplayName
};

// The bytes of a name that are shown: 8-bit text ends at its first zero byte, should one be
// stored inside it.
std::string_view nameBytes(std::string_view name);

// The row of item `item`, rendered from the document.
ItemRow buildItemRow(const InfoFile& document, std::size_t item);
PropertyRow buildPropertyRow(ConstValueRef value);
// The values item `item` shows: its properties, bounded by the header so that a row never reads
// past either.
std::size_t shownValueCount(const InfoFile& document, std::size_t item);

struct ColumnSpec {
    std::u16string_view name;
    int width;         // pixels
    bool rightAligned; // columns 2 and 3
};

// "Item #", "First Value", "Second Value", "Third Value".
extern const std::array<ColumnSpec, 4> itemListColumns;
// "Property Name", "Property Value", "Property ID#", "Property Type" (value before ID).
extern const std::array<ColumnSpec, 4> propertyListColumns;

// The text a list shows in cell (row, column); empty for a column outside 0..3.
std::u16string_view cellText(const ItemRow& row, int column);
std::u16string_view cellText(const PropertyRow& row, int column);

// "Properties: %u", "Items: %u", "Item Length: %X", "First Item Offset: %X".
std::array<std::u16string, 4> statusBarTexts(const InfoHeader& header);

} // namespace kestra
