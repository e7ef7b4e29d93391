#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "document/index_iterator.h"
#include "document/property_names.h"
#include "document/property_value.h"
#include "io/page_buffer.h"

namespace kestra {

// A property of a document: its facts, and where its value lies within each packed item.
struct PropertySlot {
    PropertyFacts facts;
    std::size_t offset = 0;
};

// One item's values seen in place, in descriptor order. Like every view, it sees the document
// as it is now; copy it into a std::vector<PropertyValue> (or an ItemRecord) to keep it aside.
template <typename Byte> class BasicValueList {
public:
    BasicValueList() = default;
    BasicValueList(std::span<const PropertySlot> properties, Byte* item)
        : slots_(properties), item_(item) {}
    template <typename Other>
    requires(std::is_const_v<Byte> && !std::is_const_v<Other>)
        BasicValueList(const BasicValueList<Other>& other)
        : slots_(other.properties()), item_(other.item()) {}

    std::size_t size() const { return slots_.size(); }
    bool empty() const { return slots_.empty(); }
    BasicValueRef<Byte> operator[](std::size_t k) const {
        return {slots_[k].facts, item_ + slots_[k].offset};
    }
    BasicValueRef<Byte> at(std::size_t k) const {
        if (k >= size())
            throw std::out_of_range("no such property");
        return (*this)[k];
    }
    BasicValueRef<Byte> front() const { return (*this)[0]; }
    BasicValueRef<Byte> back() const { return (*this)[size() - 1]; }
    IndexIterator<BasicValueList> begin() const { return {*this, 0}; }
    IndexIterator<BasicValueList> end() const { return {*this, size()}; }

    operator std::vector<PropertyValue>() const { return {begin(), end()}; }

    std::span<const PropertySlot> properties() const { return slots_; }
    Byte* item() const { return item_; }

private:
    std::span<const PropertySlot> slots_;
    Byte* item_ = nullptr;
};

using ValueList = BasicValueList<std::uint8_t>;
using ConstValueList = BasicValueList<const std::uint8_t>;

// An item held on its own: one value per property, in descriptor order. New items are built as
// these and appended to a document's ItemList, and an item copied out of a document is one.
struct ItemRecord {
    std::vector<PropertyValue> values;
};

// One item of a document seen in place.
template <typename Byte> struct BasicItemRef {
    BasicValueList<Byte> values;

    template <typename Other>
    requires(std::is_const_v<Byte> && !std::is_const_v<Other>)
        BasicItemRef(const BasicItemRef<Other>& other)
        : values(other.values) {}
    explicit BasicItemRef(BasicValueList<Byte> list) : values(list) {}

    operator ItemRecord() const { return {values}; }
};

using ItemRef = BasicItemRef<std::uint8_t>;
using ConstItemRef = BasicItemRef<const std::uint8_t>;

class ItemList;

// How an iterator reaches the items of a list.
template <typename List> struct ItemsOf {
    List* list = nullptr;
    auto operator[](std::size_t item) const { return (*list)[item]; }
};

// The items of a document: every value packed at its field's width (4 bytes for "f4" and "i4",
// 16 or 32 for strings), in descriptor order, item after item in one buffer, and what belongs to a
// property (descriptor, ID, type code, linked flag, name) once per property. Items are reached as
// views (items[i].values[k]); views see the buffer as it is and are invalidated, like references
// into a vector, by appending, removing or resizing items.
class ItemList {
public:
    using iterator = IndexIterator<ItemsOf<ItemList>>;
    using const_iterator = IndexIterator<ItemsOf<const ItemList>>;

    // Empties the list and lays out its items for the properties of `descriptors`: type codes
    // by the string width, names from `names`.
    void setProperties(std::span<const PropertyDescriptor> descriptors, StringWidth stringWidth,
                       const PropertyNames& names);

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    ItemRef operator[](std::size_t item) {
        return ItemRef(ValueList(properties_, bytes_.data() + item * stride_));
    }
    ConstItemRef operator[](std::size_t item) const {
        return ConstItemRef(ConstValueList(properties_, bytes_.data() + item * stride_));
    }
    ItemRef at(std::size_t item);
    ConstItemRef at(std::size_t item) const;
    ItemRef front() { return (*this)[0]; }
    ConstItemRef front() const { return (*this)[0]; }
    ItemRef back() { return (*this)[count_ - 1]; }
    ConstItemRef back() const { return (*this)[count_ - 1]; }
    iterator begin() { return {{this}, 0}; }
    iterator end() { return {{this}, count_}; }
    const_iterator begin() const { return {{this}, 0}; }
    const_iterator end() const { return {{this}, count_}; }

    // Appends a copy of `item`. An empty list takes the item's properties as its own; otherwise
    // the item must have the list's properties (their number and type codes), or
    // std::invalid_argument is thrown. `item` may be an item of this list.
    void push_back(const ItemRecord& item);
    void push_back(ConstItemRef item);
    void push_back(ItemRef item) { push_back(ConstItemRef(item)); }
    // Removes the item; later items move up one place.
    iterator erase(iterator position);
    // Puts back an item of the list's properties from its packed bytes (stride() of them, as
    // packed() gave them) at `position`; the items from there on move down one place.
    void insertPacked(std::size_t position, std::span<const std::uint8_t> item);
    // The bytes of one item as the list packs them.
    std::span<const std::uint8_t> packed(std::size_t item) const {
        return {bytes_.data() + item * stride_, stride_};
    }
    // Appended items hold zero bytes. Throws std::bad_alloc when the memory cannot be had.
    void resize(std::size_t count);

    // The packed layout, for the loader, the saver and the search.
    std::span<const PropertySlot> properties() const { return properties_; }
    // The bytes of one item: the sum of its fields' widths.
    std::size_t stride() const { return stride_; }
    std::uint8_t* data() { return bytes_.data(); }
    const std::uint8_t* data() const { return bytes_.data(); }

private:
    void layOut(std::vector<PropertyFacts> facts);
    template <typename Values> void append(const Values& values);

    std::vector<PropertySlot> properties_;
    std::size_t stride_ = 0;
    std::size_t count_ = 0;
    PageBuffer bytes_;
};

} // namespace kestra
