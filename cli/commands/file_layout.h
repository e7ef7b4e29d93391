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

// What a walk over the parts of a file in the order of where they begin comes upon.
class LayoutObserver {
public:
    virtual ~LayoutObserver() = default;
    // `later` begins before `earlier`, the part ending furthest of those before it, has ended.
    virtual void overlap(const WriteSpan& earlier, const WriteSpan& later) = 0;
    // No part covers the bytes [begin, end); stretches come in ascending order.
    virtual void gap(std::uint64_t begin, std::uint64_t end) = 0;
};

// Walks `spans` sorted by where they begin (those beginning at the same byte in the order
// given) and tells `observer` what it finds. Returns where the part reaching furthest ends.
std::uint64_t sweepSpans(std::vector<WriteSpan> spans, LayoutObserver& observer);
// The same for the parts a save of `document` writes, without listing them where the items lie
// apart or all at one place: one item's findings are then every item's.
std::uint64_t sweepLayout(const InfoFile& document, LayoutObserver& observer);

} // namespace kestra::tool
