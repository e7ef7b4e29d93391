#include "commands/file_layout.h"

#include <algorithm>
#include <optional>

#include "document/saved_values.h"

namespace kestra::tool {

namespace {

// Follows parts in the order of where they begin, remembering the one that reaches furthest.
class CoverageSweep {
public:
    // Stretches before `from` are no gap.
    explicit CoverageSweep(LayoutObserver& observer, std::uint64_t from = 0)
        : observer_(observer), reach_(from) {}

    void add(const WriteSpan& span) {
        if (reaching_ && span.begin < reaching_->end)
            observer_.overlap(*reaching_, span);
        if (span.begin > reach_)
            observer_.gap(reach_, span.begin);
        if (!reaching_ || span.end > reaching_->end)
            reaching_ = span;
        reach_ = std::max(reach_, span.end);
    }
    std::uint64_t reach() const { return reach_; }

private:
    LayoutObserver& observer_;
    std::optional<WriteSpan> reaching_;
    std::uint64_t reach_;
};

// Keeps what one item's parts show, for every item to repeat at its own place.
struct ItemFindings : LayoutObserver {
    void overlap(const WriteSpan& earlier, const WriteSpan& later) override {
        overlaps.push_back({earlier, later});
    }
    void gap(std::uint64_t begin, std::uint64_t end) override { gaps.push_back({begin, end}); }

    std::vector<std::pair<WriteSpan, WriteSpan>> overlaps;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> gaps;
};

WriteSpan headerSpan() {
    return {0, headerSize, WriteSpan::Kind::Header};
}

WriteSpan tableSpan(const InfoFile& document) {
    return {headerSize, descriptorTableEnd(document.descriptors.size()),
            WriteSpan::Kind::PropertyTable};
}

// Item 0's values, sorted by where they begin (ties in descriptor order).
std::vector<WriteSpan> firstItemSpans(const InfoFile& document) {
    std::vector<WriteSpan> spans;
    const std::span<const PropertySlot> properties = document.items.properties();
    for (std::uint32_t k = 0; k < document.descriptors.size(); ++k) {
        const std::uint64_t begin =
            valuePosition(document.header, 0, document.descriptors[k].offset);
        spans.push_back({begin,
                         begin + savedWidth(document.descriptors[k], properties[k].facts.typeCode),
                         WriteSpan::Kind::Value, 0, k});
    }
    std::stable_sort(spans.begin(), spans.end(),
                     [](const WriteSpan& a, const WriteSpan& b) { return a.begin < b.begin; });
    return spans;
}

WriteSpan moved(WriteSpan span, std::uint32_t item, std::uint64_t shift) {
    span.begin += shift;
    span.end += shift;
    span.item = item;
    return span;
}

// Items one after the other, none wrapping round, none reaching back over the property table:
// the parts lie as the header, the table, then item after item, each like the first.
bool itemsLieApart(const InfoFile& document, const std::vector<WriteSpan>& item) {
    const InfoHeader& header = document.header;
    const std::uint64_t count = document.items.size();
    std::uint64_t lastStart = 0;
    std::uint64_t end = 0;
    for (const WriteSpan& span : item) {
        lastStart = std::max<std::uint64_t>(lastStart, document.descriptors[span.property].offset);
        end = std::max(end, span.end);
    }
    return !wrapsRound(unwrappedPosition(header, count - 1, lastStart)) &&
           item.front().begin >= tableSpan(document).end &&
           (count == 1 || header.itemLength >= end - item.front().begin);
}

std::uint64_t sweepApart(const InfoFile& document, const std::vector<WriteSpan>& item,
                         LayoutObserver& observer) {
    CoverageSweep sweep(observer);
    sweep.add(headerSpan());
    sweep.add(tableSpan(document));
    ItemFindings findings;
    CoverageSweep itemSweep(findings, item.front().begin);
    for (const WriteSpan& span : item)
        itemSweep.add(span);
    std::uint64_t reach = sweep.reach();
    for (std::uint32_t i = 0; i < document.items.size(); ++i) {
        const std::uint64_t shift = std::uint64_t(i) * document.header.itemLength;
        if (item.front().begin + shift > reach)
            observer.gap(reach, item.front().begin + shift);
        for (const auto& [earlier, later] : findings.overlaps)
            observer.overlap(moved(earlier, i, shift), moved(later, i, shift));
        for (const auto& [begin, end] : findings.gaps)
            observer.gap(begin + shift, end + shift);
        reach = itemSweep.reach() + shift;
    }
    return reach;
}

// Every item at the same place (one item, or an item length of 0): at each place, the header or
// table first, then every item's values that begin there, item by item.
std::uint64_t sweepTogether(const InfoFile& document, const std::vector<WriteSpan>& item,
                            LayoutObserver& observer) {
    std::vector<WriteSpan> parts{headerSpan(), tableSpan(document)};
    parts.insert(parts.end(), item.begin(), item.end());
    std::stable_sort(parts.begin(), parts.end(),
                     [](const WriteSpan& a, const WriteSpan& b) { return a.begin < b.begin; });
    CoverageSweep sweep(observer);
    for (std::size_t first = 0; first < parts.size();) {
        std::size_t last = first;
        while (last < parts.size() && parts[last].begin == parts[first].begin &&
               parts[last].kind != WriteSpan::Kind::Value)
            sweep.add(parts[last++]);
        std::size_t values = last;
        while (values < parts.size() && parts[values].begin == parts[first].begin)
            ++values;
        for (std::uint32_t i = 0; i < document.items.size() && last < values; ++i) {
            for (std::size_t k = last; k < values; ++k)
                sweep.add(moved(parts[k], i, 0));
        }
        first = values;
    }
    return sweep.reach();
}

} // namespace

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

std::uint64_t sweepSpans(std::vector<WriteSpan> spans, LayoutObserver& observer) {
    std::stable_sort(spans.begin(), spans.end(),
                     [](const WriteSpan& a, const WriteSpan& b) { return a.begin < b.begin; });
    CoverageSweep sweep(observer);
    for (const WriteSpan& span : spans)
        sweep.add(span);
    return sweep.reach();
}

std::uint64_t sweepLayout(const InfoFile& document, LayoutObserver& observer) {
    if (document.descriptors.empty() || document.items.empty())
        return sweepSpans(documentLayout(document), observer);
    const std::vector<WriteSpan> item = firstItemSpans(document);
    if (itemsLieApart(document, item))
        return sweepApart(document, item, observer);
    if (document.items.size() == 1 || document.header.itemLength == 0)
        return sweepTogether(document, item, observer);
    return sweepSpans(documentLayout(document), observer);
}

} // namespace kestra::tool
