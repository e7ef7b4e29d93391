#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "document/info_file.h"
#include "format/write_plan.h"

namespace kestra {

// The field a save writes for a value of type `code`. The descriptor says string, float or
// integer; a string's width is its type code's, fixed when the document was loaded or made.
std::uint32_t savedWidth(const PropertyDescriptor& descriptor, TypeCode code);

// The bytes a save writes for one value: a string's whole field as held (bytes after its first
// zero included), or a number's four big-endian bytes (a float's bits unchanged).
struct SavedValue {
    std::array<std::uint8_t, 32> bytes{};
    std::uint32_t width = 0;

    std::span<const std::uint8_t> view() const { return std::span(bytes).first(width); }
};
SavedValue savedValue(const PropertyDescriptor& descriptor, ConstValueRef value);

// What a saved file holds where a value is written: the value's own bytes, except where a later
// write overlaps them (two properties at one offset, items closer together than their values
// reach) and so wins. A tool that reports what it stored reports this.
class SavedFileValues {
public:
    explicit SavedFileValues(const InfoFile& document);
    SavedValue at(std::uint32_t item, std::uint32_t property) const;

private:
    const InfoFile& document_;
    bool itemsMayOverlap_;
};

// The parts a save of `document` writes, in write order: its current item count, each value at
// its saved width.
template <typename Visit> void forEachWrite(const InfoFile& document, Visit&& visit) {
    InfoHeader header = document.header;
    header.itemCount = std::uint32_t(document.items.size());
    const std::span<const PropertySlot> properties = document.items.properties();
    forEachWrite(
        header, document.descriptors,
        [&](std::uint32_t, std::uint32_t property) {
            return savedWidth(document.descriptors[property], properties[property].facts.typeCode);
        },
        visit);
}

} // namespace kestra
