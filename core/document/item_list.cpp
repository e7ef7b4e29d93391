#include "document/item_list.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace kestra {

void ItemList::setProperties(std::span<const PropertyDescriptor> descriptors,
                             StringWidth stringWidth, const PropertyNames& names) {
    std::vector<PropertyFacts> facts;
    facts.reserve(descriptors.size());
    for (const PropertyDescriptor& descriptor : descriptors)
        facts.push_back(propertyFacts(descriptor, stringWidth, names(descriptor.id)));
    layOut(std::move(facts));
}

void ItemList::layOut(std::vector<PropertyFacts> facts) {
    std::vector<PropertySlot> slots;
    slots.reserve(facts.size());
    std::size_t offset = 0;
    for (const PropertyFacts& property : facts) {
        slots.push_back({property, offset});
        offset += valueWidth(property.typeCode);
    }
    properties_ = std::move(slots);
    stride_ = offset;
    count_ = 0;
    bytes_ = PageBuffer();
}

ItemRef ItemList::at(std::size_t item) {
    if (item >= count_)
        throw std::out_of_range("no such item");
    return (*this)[item];
}

ConstItemRef ItemList::at(std::size_t item) const {
    if (item >= count_)
        throw std::out_of_range("no such item");
    return (*this)[item];
}

template <typename Values> void ItemList::append(const Values& values) {
    if (count_ == 0) {
        std::vector<PropertyFacts> facts;
        facts.reserve(values.size());
        for (const auto& value : values)
            facts.push_back(ConstValueRef(value));
        layOut(std::move(facts));
    } else if (values.size() != properties_.size() ||
               !std::equal(properties_.begin(), properties_.end(), values.begin(),
                           [](const PropertySlot& slot, const auto& value) {
                               return slot.facts.typeCode == ConstValueRef(value).typeCode;
                           })) {
        throw std::invalid_argument("the item does not have the list's properties");
    }
    // Gathered first: the values may lie in this list's own buffer, which growing can move.
    std::vector<std::uint8_t> item(stride_);
    for (std::size_t k = 0; k < properties_.size(); ++k) {
        const ConstValueRef value = values[k];
        std::copy_n(value.bytes, valueWidth(value.typeCode), item.begin() + properties_[k].offset);
    }
    resize(count_ + 1);
    std::copy(item.begin(), item.end(), bytes_.data() + (count_ - 1) * stride_);
}

void ItemList::push_back(const ItemRecord& item) {
    append(item.values);
}

void ItemList::push_back(ConstItemRef item) {
    append(item.values);
}

ItemList::iterator ItemList::erase(iterator position) {
    const std::size_t item = position.index();
    if (item >= count_)
        throw std::out_of_range("no such item");
    std::uint8_t* const removed = bytes_.data() + item * stride_;
    std::copy(removed + stride_, bytes_.data() + count_ * stride_, removed);
    resize(count_ - 1);
    return {{this}, item};
}

void ItemList::insertPacked(std::size_t position, std::span<const std::uint8_t> item) {
    if (position > count_)
        throw std::out_of_range("no such place for an item");
    if (item.size() != stride_)
        throw std::invalid_argument("the item does not have the list's properties");
    resize(count_ + 1);
    std::uint8_t* const place = bytes_.data() + position * stride_;
    std::copy_backward(place, bytes_.data() + (count_ - 1) * stride_,
                       bytes_.data() + count_ * stride_);
    std::copy(item.begin(), item.end(), place);
}

void ItemList::resize(std::size_t count) {
    if (stride_ != 0 && count > std::numeric_limits<std::size_t>::max() / stride_)
        throw std::bad_alloc();
    bytes_.resize(count * stride_);
    count_ = count;
}

} // namespace kestra
