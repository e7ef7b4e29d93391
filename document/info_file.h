#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestra {

struct DocumentationTable;

// The four value types. The on-disk descriptor only says string/float/other; whether a string is
// 16 or 32 bytes wide follows from the name of the file it was loaded from.
enum class TypeCode : std::uint8_t { S32, S16, F4, I4 };

// "s32", "s16", "f4", "i4".
std::string_view typeCodeText(TypeCode code);
// The code whose text is exactly `text` (case-sensitive, whole text); false for any other text.
bool typeCodeFromText(std::string_view text, TypeCode& code);

struct InfoHeader {
    std::uint32_t itemCount = 0;
    std::uint32_t propertyCount = 0;
    std::uint32_t firstItemOffset = 0;
    std::uint32_t itemLength = 0;
};

struct PropertyDescriptor {
    std::uint32_t id = 0;
    std::uint16_t linkWord1 = 0;
    std::uint16_t linkWord2 = 0;
    std::uint16_t offset = 0;
    std::uint16_t type = 0; // 1 = string, 2 = float, anything else = integer
};

inline constexpr std::uint16_t stringDescriptorType = 1;
inline constexpr std::uint16_t floatDescriptorType = 2;

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

// Why a load or save failed, for callers that tell the user more than yes or no.
struct FileError {
    std::string message; // empty when nothing failed
    // A failed save whose new file already took the target's place (only the flush after it
    // failed): the file holds the new bytes, though a crash could still bring the old ones back.
    bool targetReplaced = false;
};

// The open document. Invariants: descriptors.size() == header.propertyCount,
// items.size() == header.itemCount, every item has propertyCount values.
struct InfoFile {
    InfoHeader header;
    std::vector<PropertyDescriptor> descriptors;
    std::vector<ItemRecord> items;

    // Reads the file at `path` (UTF-8 on this platform). On failure returns false and leaves the
    // document exactly as it was; `error`, when given, receives one line saying why.
    bool load(const std::string& path, const DocumentationTable& documentation,
              FileError* error = nullptr);
    // The same from bytes already in memory; `thirtyTwoByteStrings` is what the path would tell.
    bool loadFromBytes(std::span<const std::uint8_t> bytes, bool thirtyTwoByteStrings,
                       const DocumentationTable& documentation, FileError* error = nullptr);

    // Writes the whole document to `path` through a temporary file in the same folder that is
    // flushed and renamed over the target (see replaceFile). On failure returns false and the
    // target is untouched, unless `error->targetReplaced` says otherwise.
    bool save(const std::string& path, FileError* error = nullptr) const;
    // The bytes `save` would write (for tests and tools). Throws std::length_error when the file
    // would be larger than `limit` bytes.
    std::vector<std::uint8_t> serialize(std::uint64_t limit) const;
};

// The shared format operations.
bool isLinked(std::uint16_t linkWord1, std::uint16_t linkWord2);
// True when the last four characters of the path are exactly "info".
bool pathEndsInInfo(std::string_view path);
TypeCode typeCodeFor(std::uint16_t descriptorType, bool thirtyTwoByteStrings);
std::uint32_t valueWidth(TypeCode code);
// firstItemOffset + item * itemLength + offset, in unsigned 32-bit arithmetic.
std::uint32_t valuePosition(const InfoHeader& header, std::uint32_t item,
                            const PropertyDescriptor& descriptor);

// A value for descriptor `descriptor` with its type code, linked flag, ID and name, and zero data.
PropertyValue makeValue(const PropertyDescriptor& descriptor, bool thirtyTwoByteStrings,
                        const DocumentationTable& documentation);

} // namespace kestra
