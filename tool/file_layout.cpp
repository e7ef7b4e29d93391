#include "tool/file_layout.h"

#include <algorithm>

namespace kestra::tool {

namespace {
constexpr std::uint64_t headerSize = 16;
constexpr std::uint64_t descriptorSize = 12;
constexpr std::uint64_t fileAlignment = 32;
} // namespace

std::vector<LayoutSpan> documentLayout(const InfoFile& document) {
    std::vector<LayoutSpan> spans;
    spans.push_back({0, headerSize, LayoutSpan::Kind::Header});
    const std::uint64_t tableEnd = headerSize + descriptorSize * document.descriptors.size();
    if (tableEnd > headerSize)
        spans.push_back({headerSize, tableEnd, LayoutSpan::Kind::PropertyTable});
    for (std::uint32_t i = 0; i < document.items.size(); ++i) {
        const std::vector<PropertyValue>& values = document.items[i].values;
        for (std::uint32_t k = 0; k < values.size(); ++k) {
            const std::uint64_t begin = valuePosition(document.header, i, document.descriptors[k]);
            spans.push_back(
                {begin, begin + valueWidth(values[k].typeCode), LayoutSpan::Kind::Value, i, k});
        }
    }
    return spans;
}

std::string spanLabel(const InfoFile& document, const LayoutSpan& span) {
    switch (span.kind) {
    case LayoutSpan::Kind::Header:
        return "the header";
    case LayoutSpan::Kind::PropertyTable:
        return "the property table";
    case LayoutSpan::Kind::Value:
        break;
    }
    return "item " + std::to_string(span.item) + " property " + std::to_string(span.property) +
           " (ID " + std::to_string(document.descriptors[span.property].id) + ")";
}

std::vector<Overlap> findOverlaps(std::vector<LayoutSpan> spans) {
    std::stable_sort(spans.begin(), spans.end(),
                     [](const LayoutSpan& a, const LayoutSpan& b) { return a.begin < b.begin; });
    std::vector<Overlap> overlaps;
    const LayoutSpan* reaching = nullptr; // of the spans so far, the one ending furthest
    for (const LayoutSpan& span : spans) {
        if (reaching && span.begin < reaching->end)
            overlaps.push_back({*reaching, span});
        if (!reaching || span.end > reaching->end)
            reaching = &span;
    }
    return overlaps;
}

std::uint64_t writtenEnd(const std::vector<LayoutSpan>& spans) {
    std::uint64_t end = 0;
    for (const LayoutSpan& span : spans)
        end = std::max(end, span.end);
    return end;
}

std::uint64_t paddedEnd(std::uint64_t end) {
    return (end + fileAlignment - 1) / fileAlignment * fileAlignment;
}

} // namespace kestra::tool
