#pragma once

#include <bit>
#include <cstdint>
#include <span>
#include <string>
#include <type_traits>

#include "format/byte_order.h"
#include "format/info_format.h"

namespace kestra {

// What a value shares with every value of its property. A document keeps it once per property;
// a view of one value carries a copy.
struct PropertyFacts {
    PropertyDescriptor descriptor;
    std::uint32_t id = 0;
    TypeCode typeCode = TypeCode::I4;
    bool linked = false;
    // Points into the documentation table (which outlives every document) or at a static text,
    // so that no value carries a copy of its name.
    const std::string* name = &emptyName();

    static const std::string& emptyName();
};

// The facts of a property of `descriptor`: its type code, linked flag, ID and name.
PropertyFacts propertyFacts(const PropertyDescriptor& descriptor, StringWidth stringWidth,
                            const std::string& name);

// One value seen in place: its property's facts and its field, valueWidth(typeCode) bytes held as
// the file holds them (a string's bytes, a number's four bytes big-endian, a float's bits
// unchanged). Reading decodes; writing encodes into the field. `Byte` is const for a read-only
// view. A view is cheap to copy and every copy sees the same field: to keep a value aside, copy
// it into a PropertyValue.
template <typename Byte> struct BasicValueRef : PropertyFacts {
    Byte* bytes = nullptr;

    BasicValueRef() = default;
    BasicValueRef(const PropertyFacts& facts, Byte* field) : PropertyFacts(facts), bytes(field) {}
    // A writable view is also a read-only one.
    template <typename Other>
    requires(std::is_const_v<Byte> && !std::is_const_v<Other>)
        BasicValueRef(const BasicValueRef<Other>& other)
        : PropertyFacts(other), bytes(other.bytes) {}

    std::span<Byte> field() const { return {bytes, valueWidth(typeCode)}; }
    // The field of an "s32" or an "s16" value.
    std::span<Byte, 32> text32() const { return std::span<Byte, 32>(bytes, 32); }
    std::span<Byte, 16> text16() const { return std::span<Byte, 16>(bytes, 16); }

    std::uint32_t intValue() const { return readBigEndian32(bytes); }
    std::uint32_t floatBits() const { return intValue(); }
    float floatValue() const { return std::bit_cast<float>(floatBits()); }

    void setIntValue(std::uint32_t value) const requires(!std::is_const_v<Byte>) {
        writeBigEndian32(bytes, value);
    }
    void setFloatBits(std::uint32_t bits) const requires(!std::is_const_v<Byte>) {
        setIntValue(bits);
    }
    void setFloatValue(float value) const requires(!std::is_const_v<Byte>) {
        setFloatBits(std::bit_cast<std::uint32_t>(value));
    }
};

using ValueRef = BasicValueRef<std::uint8_t>;
using ConstValueRef = BasicValueRef<const std::uint8_t>;

} // namespace kestra
