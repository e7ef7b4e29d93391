#include "commands/file_layout.h"

#include "document/saved_values.h"

#include <algorithm>

namespace kestra::tool {

std::vector<WriteSpan> documentLayout(const InfoFile& document) {
    std::vector<WriteSpan> spans;
    forEachWrite(document, [&](const WriteSpan& span) { spans.push_back(span); });
    return spans;
}

std::string spanLabel(const InfoFile& document, const WriteSpan& span) {
    switch (span.kind) {
    case WriteSpan::Kind::Header:
        return "the header";
    case WriteSpan::Kind::PropertyTable:
        return "the property table";
    case WriteSpan::Kind::Value:
        break;
    }
    return "item " + std::to_string(span.item) + " property " + std::to_string(span.property) +
           " (ID " + std::to_string(document.descriptors[span.property].id) + ")";
}

std::vector<Overlap> findOverlaps(std::vector<WriteSpan> spans) {
    std::stable_sort(spans.begin(), spans.end(),
                     [](const WriteSpan& a, const WriteSpan& b) { return a.begin < b.begin; });
    std::vector<Overlap> overlaps;
    const WriteSpan* reaching = nullptr; // of the spans so far, the one ending furthest
    for (const WriteSpan& span : spans) {
        if (reaching && span.begin < reaching->end)
            overlaps.push_back({*reaching, span});
        if (!reaching || span.end > reaching->end)
            reaching = &span;
    }
    return overlaps;
}

std::uint64_t writtenEnd(const std::vector<WriteSpan>& spans) {
    std::uint64_t end = 0;
    for (const WriteSpan& span : spans)
        end = std::max(end, span.end);
    return end;
}

} // namespace kestra::tool
