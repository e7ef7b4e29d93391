#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/info_file.h"
#include "format/write_plan.h"

namespace kestra::tool {

// Every part a save of `document` writes, in the order it writes them.
std::vector<WriteSpan> documentLayout(const InfoFile& document);
// "the header", "the property table", "item 2 property 1 (ID 20)".
std::string spanLabel(const InfoFile& document, const WriteSpan& span);

// A span that begins before an earlier-starting span has ended: `later` overlaps `earlier`.
struct Overlap {
    WriteSpan earlier;
    WriteSpan later;
};
// Every span that overlaps one starting before it (or at the same byte), found in one sweep.
std::vector<Overlap> findOverlaps(std::vector<WriteSpan> spans);

// Where a save stops writing, before its "@" padding.
std::uint64_t writtenEnd(const std::vector<WriteSpan>& spans);

} // namespace kestra::tool
