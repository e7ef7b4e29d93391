#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/info_file.h"

namespace kestra::tool {

// The bytes [begin, end) a save writes for one part of the document.
struct LayoutSpan {
    enum class Kind : std::uint8_t { Header, PropertyTable, Value };
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    Kind kind = Kind::Value;
    std::uint32_t item = 0;
    std::uint32_t property = 0;
};

// Every part a save writes, in the order it writes them: the header, the property table, then
// each item's values in descriptor order.
std::vector<LayoutSpan> documentLayout(const InfoFile& document);
// "the header", "the property table", "item 2 property 1 (ID 20)".
std::string spanLabel(const InfoFile& document, const LayoutSpan& span);

// A span that begins before an earlier-starting span has ended: `later` overlaps `earlier`.
struct Overlap {
    LayoutSpan earlier;
    LayoutSpan later;
};
// Every span that overlaps one starting before it (or at the same byte), found in one sweep.
std::vector<Overlap> findOverlaps(std::vector<LayoutSpan> spans);

// Where a save stops writing before its "@" padding, and where the padding ends.
std::uint64_t writtenEnd(const std::vector<LayoutSpan>& spans);
std::uint64_t paddedEnd(std::uint64_t end);

} // namespace kestra::tool
