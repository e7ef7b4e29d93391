#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "document/property_names.h"
#include "document/value_ref.h"

namespace kestra {

// One value held on its own, outside any document: its property's facts and a 32-byte store whose
// first valueWidth(typeCode) bytes are its field, in the same encoding as a document holds it.
// Copying a value out of a document (PropertyValue copy = document.items[i].values[k]) gives one
// of these, which shares nothing with the document.
struct PropertyValue : PropertyFacts {
    std::array<std::uint8_t, 32> store{};

    PropertyValue() = default;
    template <typename Byte>
    PropertyValue(const BasicValueRef<Byte>& value) : PropertyFacts(value) {
        std::copy_n(value.bytes, valueWidth(value.typeCode), store.begin());
    }

    ValueRef ref() { return {*this, store.data()}; }
    ConstValueRef ref() const { return {*this, store.data()}; }
    operator ValueRef() { return ref(); }
    operator ConstValueRef() const { return ref(); }

    std::span<std::uint8_t> field() { return ref().field(); }
    std::span<const std::uint8_t> field() const { return ref().field(); }
    std::span<std::uint8_t, 32> text32() { return store; }
    std::span<const std::uint8_t, 32> text32() const { return store; }
    std::span<std::uint8_t, 16> text16() { return ref().text16(); }
    std::span<const std::uint8_t, 16> text16() const { return ref().text16(); }
    std::uint32_t intValue() const { return ref().intValue(); }
    std::uint32_t floatBits() const { return ref().floatBits(); }
    float floatValue() const { return ref().floatValue(); }
    void setIntValue(std::uint32_t value) { ref().setIntValue(value); }
    void setFloatBits(std::uint32_t bits) { ref().setFloatBits(bits); }
    void setFloatValue(float value) { ref().setFloatValue(value); }
};

static_assert(sizeof(PropertyValue) <= 64, "a value held on its own stays within 64 bytes");

// A value for descriptor `descriptor` with its type code, linked flag, ID and name, and zero data.
PropertyValue makeValue(const PropertyDescriptor& descriptor, StringWidth stringWidth,
                        const PropertyNames& names);

} // namespace kestra
