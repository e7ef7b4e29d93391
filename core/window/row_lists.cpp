#include "window/row_lists.h"

#include <utility>

namespace kestra {

void ItemRows::showAll(const InfoFile& document) {
    document_ = &document;
    count_ = std::min<std::size_t>(document.header.itemCount, document.items.size());
    found_ = false;
    foundItems_.clear();
    typed_.clear();
}

void ItemRows::showItems(const InfoFile& document, std::vector<std::int32_t> items) {
    document_ = &document;
    count_ = items.size();
    found_ = true;
    foundItems_ = std::move(items);
    typed_.clear();
}

std::size_t ItemRows::itemOf(std::size_t row) const {
    return found_ ? std::size_t(foundItems_[row]) : row;
}

ItemRow ItemRows::operator[](std::size_t row) const {
    const std::size_t item = itemOf(row);
    ItemRow rendered = document_ ? buildItemRow(*document_, item) : ItemRow{};
    const auto typed = typed_.find(row);
    if (typed != typed_.end()) {
        for (std::size_t p = 0; p < shownValues; ++p) {
            if (typed->second[p])
                rendered.valueTexts[p] = *typed->second[p];
        }
    }
    return rendered;
}

std::u16string ItemRows::cellText(std::size_t row, int column) const {
    return std::u16string(kestra::cellText((*this)[row], column));
}

void ItemRows::setValueText(std::size_t row, std::size_t property, std::u16string_view text) {
    if (property < shownValues)
        typed_[row][property].emplace().assign(text);
}

void ItemRows::appendRow(const InfoFile& document) {
    document_ = &document;
    ++count_;
}

void ItemRows::removeRow(std::size_t row) {
    if (row >= count_)
        return;
    --count_;
    typed_.erase(row);
    shiftTypedRows(row + 1, -1);
}

void ItemRows::insertRow(std::size_t row) {
    ++count_;
    shiftTypedRows(row, +1);
}

void ItemRows::shiftTypedRows(std::size_t first, std::ptrdiff_t by) {
    std::map<std::size_t, TypedTexts> moved;
    for (auto& [row, texts] : typed_)
        moved.emplace(row >= first ? std::size_t(std::ptrdiff_t(row) + by) : row, std::move(texts));
    typed_ = std::move(moved);
}

void PropertyRows::show(const InfoFile& document, std::size_t item) {
    document_ = &document;
    item_ = item;
    count_ = shownValueCount(document, item);
    typed_.clear();
}

void PropertyRows::clear() {
    count_ = 0;
    typed_.clear();
}

PropertyRow PropertyRows::operator[](std::size_t row) const {
    PropertyRow rendered;
    if (document_ && row < shownValueCount(*document_, item_))
        rendered = buildPropertyRow(document_->items[item_].values[row]);
    const auto typed = typed_.find(row);
    if (typed != typed_.end())
        rendered.valueText = typed->second;
    return rendered;
}

std::u16string PropertyRows::cellText(std::size_t row, int column) const {
    return std::u16string(kestra::cellText((*this)[row], column));
}

void PropertyRows::setValueText(std::size_t row, std::u16string_view text) {
    typed_[row].assign(text);
}

void PropertyRows::itemRemoved(std::size_t removed) {
    if (removed < item_)
        --item_;
}

void buildItemRows(const InfoFile& document, ItemRows& rows) {
    rows.showAll(document);
}

void buildPropertyRows(const InfoFile& document, std::size_t item, PropertyRows& rows) {
    rows.show(document, item);
}

} // namespace kestra
