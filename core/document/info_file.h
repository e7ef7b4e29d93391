#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/property_names.h"
#include "format/info_format.h"
#include "io/file_error.h"

namespace kestra {

// One property of one item. Only the field matching `typeCode` carries meaning, so the four value
// fields share one 32-byte store; this keeps a value at 64 bytes, which matters for files with
// tens of millions of values. A float is kept as its bit pattern so that NaN payloads survive.
struct PropertyValue {
    PropertyDescriptor descriptor;
    std::uint32_t id = 0;
    TypeCode typeCode = TypeCode::I4;
    bool linked = false;
    // Points into the documentation table (which outlives every document) or at a static text,
    // so that a million values do not each carry a copy of their name.
    const std::string* name = &emptyName();

    std::span<std::uint8_t, 32> text32() { return std::span<std::uint8_t, 32>(store); }
    std::span<const std::uint8_t, 32> text32() const {
        return std::span<const std::uint8_t, 32>(store);
    }
    std::span<std::uint8_t, 16> text16() { return std::span<std::uint8_t, 32>(store).first<16>(); }
    std::span<const std::uint8_t, 16> text16() const {
        return std::span<const std::uint8_t, 32>(store).first<16>();
    }
    std::uint32_t intValue() const;
    void setIntValue(std::uint32_t value);
    std::uint32_t floatBits() const;
    void setFloatBits(std::uint32_t bits);
    float floatValue() const;
    void setFloatValue(float value);

    static const std::string& emptyName();

    std::array<std::uint8_t, 32> store{};
};

static_assert(sizeof(PropertyValue) <= 64, "a value must stay within 64 bytes");

struct ItemRecord {
    std::vector<PropertyValue> values;
};

// The open document. Invariants: descriptors.size() == header.propertyCount,
// items.size() == header.itemCount, every item has propertyCount values.
struct InfoFile {
    InfoHeader header;
    std::vector<PropertyDescriptor> descriptors;
    std::vector<ItemRecord> items;

    // Reads the file at `path` (UTF-8 on this platform). On failure returns false and leaves the
    // document exactly as it was; `error`, when given, receives one line saying why.
    bool load(const std::string& path, const PropertyNames& names, FileError* error = nullptr);
    // The same from bytes already in memory; `thirtyTwoByteStrings` is what the path would tell.
    bool loadFromBytes(std::span<const std::uint8_t> bytes, bool thirtyTwoByteStrings,
                       const PropertyNames& names, FileError* error = nullptr);

    // Writes the whole document to `path` through a temporary file in the same folder that is
    // flushed and renamed over the target (see replaceFile). On failure returns false and the
    // target is untouched, unless `error->targetReplaced` says otherwise.
    bool save(const std::string& path, FileError* error = nullptr) const;
    // The bytes `save` would write (for tests and tools). Throws std::length_error when the file
    // would be larger than `limit` bytes.
    std::vector<std::uint8_t> serialize(std::uint64_t limit) const;
};

// A value for descriptor `descriptor` with its type code, linked flag, ID and name, and zero data.
PropertyValue makeValue(const PropertyDescriptor& descriptor, bool thirtyTwoByteStrings,
                        const PropertyNames& names);

} // namespace kestra
