#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string_view>

#include "document/info_file.h"
#include "format/byte_order.h"
#include "names/documentation_table.h"

// What the fuzz targets share: a way to stop on a broken invariant, the documentation table the
// documents are loaded against, and comparisons of documents as the format writes them.
namespace kestra::fuzz {

// libFuzzer keeps the input that reached an abort, so a broken invariant is reported like a crash.
inline void require(bool holds, const char* invariant) {
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", invariant);
        std::abort();
    }
}

// Per item one value per property and one more: the work a header makes a load do.
inline std::uint64_t claimedEntries(std::span<const std::uint8_t> file) {
    if (file.size() < headerSize)
        return 0;
    const std::uint64_t items = readBigEndian32(&file[0]);
    const std::uint64_t properties = readBigEndian32(&file[4]);
    return items * (properties + 1);
}

// Loads of many entries differ from small ones only in repetition but cost milliseconds each,
// which would starve the search for new paths; the targets that work per value skip them. The
// hostile-document tests load such documents.
inline constexpr std::uint64_t entryBudget = 1 << 12;

inline std::span<const std::uint8_t> asBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// A few documented IDs (one listed twice, one with an empty name) so that loads look names up.
inline const DocumentationTable& documentation() {
    static const DocumentationTable table =
        parseDocumentation(asBytes("(1) \"One\"\n(2) \"Two\"\n(1) \"Shadowed\"\n(7)\n"));
    return table;
}

inline bool sameDescriptor(const PropertyDescriptor& a, const PropertyDescriptor& b) {
    return a.id == b.id && a.linkWord1 == b.linkWord1 && a.linkWord2 == b.linkWord2 &&
           a.offset == b.offset && a.type == b.type;
}

inline bool sameHeader(const InfoHeader& a, const InfoHeader& b) {
    return a.itemCount == b.itemCount && a.propertyCount == b.propertyCount &&
           a.firstItemOffset == b.firstItemOffset && a.itemLength == b.itemLength;
}

inline bool sameValue(ConstValueRef a, ConstValueRef b) {
    return sameDescriptor(a.descriptor, b.descriptor) && a.typeCode == b.typeCode &&
           a.linked == b.linked && *a.name == *b.name && std::ranges::equal(a.field(), b.field());
}

inline bool sameHeaderAndDescriptors(const InfoFile& a, const InfoFile& b) {
    return sameHeader(a.header, b.header) &&
           std::ranges::equal(a.descriptors, b.descriptors, sameDescriptor);
}

inline bool sameDocument(const InfoFile& a, const InfoFile& b) {
    return sameHeaderAndDescriptors(a, b) &&
           std::ranges::equal(a.items, b.items, [](ConstItemRef x, ConstItemRef y) {
               return std::ranges::equal(x.values, y.values, sameValue);
           });
}

} // namespace kestra::fuzz
