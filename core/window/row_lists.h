#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/info_file.h"
#include "window/display_rows.h"

namespace kestra {

// The rows of a list of items: the document's items in order (the item list), or the items a
// search found (the Search dialog). A row's texts are rendered from the document when the list
// asks for them; all that is kept is what Apply typed into a cell, which shows until the rows are
// shown anew. The document must outlive the rows, or be shown anew when it is replaced.
class ItemRows {
public:
    // Row k shows item k, for every item of `document`.
    void showAll(const InfoFile& document);
    // Row r shows item items[r] of `document`.
    void showItems(const InfoFile& document, std::vector<std::int32_t> items);

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    ItemRow operator[](std::size_t row) const;
    ItemRow back() const { return (*this)[count_ - 1]; }
    // The text of one cell, as cellText(rows[row], column) but rendering only that cell.
    std::u16string cellText(std::size_t row, int column) const;

    // Apply wrote `text` into the cell of value `property` (0 to 2) of row `row`.
    void setValueText(std::size_t row, std::size_t property, std::u16string_view text);
    // An item was appended to `document` (the item list only): one more row, showing it.
    void appendRow(const InfoFile& document);
    // Item `row` was removed from the document (the item list only): its row goes, the later
    // rows move up and show their items' new positions, typed texts and all.
    void removeRow(std::size_t row);
    // Item `row` was put back into the document (the item list only): one more row there, the
    // later rows move down with their typed texts.
    void insertRow(std::size_t row);
    // The row shows its item's values as the document holds them, whatever Apply typed.
    void forgetTypedTexts(std::size_t row) { typed_.erase(row); }

private:
    static constexpr std::size_t shownValues = 3;
    using TypedTexts = std::array<std::optional<ValueCellText>, shownValues>;

    std::size_t itemOf(std::size_t row) const;
    // The typed texts of rows `first` and later move `by` rows.
    void shiftTypedRows(std::size_t first, std::ptrdiff_t by);
    std::u16string valueText(std::size_t row, std::size_t property) const;

    const InfoFile* document_ = nullptr;
    std::size_t count_ = 0;
    bool found_ = false; // rows show foundItems_ rather than every item
    std::vector<std::int32_t> foundItems_;
    std::map<std::size_t, TypedTexts> typed_; // by row
};

// The rows of the properties of one item, rendered when the list asks for them, and the texts
// Apply typed into their value cells.
class PropertyRows {
public:
    // Row p shows property p of item `item` of `document`.
    void show(const InfoFile& document, std::size_t item);
    void clear();

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    PropertyRow operator[](std::size_t row) const;
    std::u16string cellText(std::size_t row, int column) const;

    // Apply wrote `text` into the value cell of row `row`.
    void setValueText(std::size_t row, std::u16string_view text);
    // Item `removed`, before the shown one, was removed from the document: the rows keep showing
    // the same item at its new position.
    void itemRemoved(std::size_t removed);

private:
    const InfoFile* document_ = nullptr;
    std::size_t item_ = 0;
    std::size_t count_ = 0;
    std::map<std::size_t, ValueCellText> typed_; // by row
};

// The names the list operations go by: rebuild every item row, or the property rows of one item.
void buildItemRows(const InfoFile& document, ItemRows& rows);
void buildPropertyRows(const InfoFile& document, std::size_t item, PropertyRows& rows);

} // namespace kestra
