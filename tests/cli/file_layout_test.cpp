#include "commands/file_layout.h"

#include <gtest/gtest.h>

namespace kestra::tool {
namespace {

TEST(FileLayout, FindsEverySpanThatStartsBeforeAnEarlierOneEnds) {
    using Spans = std::vector<std::pair<std::uint64_t, std::uint64_t>>;
    const struct {
        Spans spans;    // in write order
        Spans overlaps; // (earlier, later) by the index of each span in `spans`
    } cases[] = {
        {{{0, 16}, {16, 40}, {40, 44}}, {}},                // touching is no overlap
        {{{0, 16}, {8, 12}}, {{0, 1}}},                     // inside another
        {{{8, 12}, {0, 16}}, {{1, 0}}},                     // sorted by where they begin
        {{{0, 4}, {0, 4}}, {{0, 1}}},                       // at the same byte: the later overlaps
        {{{0, 100}, {10, 20}, {30, 40}}, {{0, 1}, {0, 2}}}, // the longest reach is remembered
        {{{0, 10}, {5, 30}, {20, 25}}, {{0, 1}, {1, 2}}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.spans));
        std::vector<WriteSpan> spans;
        for (std::size_t i = 0; i < c.spans.size(); ++i)
            spans.push_back(WriteSpan{c.spans[i].first, c.spans[i].second, WriteSpan::Kind::Value,
                                      0, std::uint32_t(i)});
        struct : LayoutObserver {
            void overlap(const WriteSpan& earlier, const WriteSpan& later) override {
                found.emplace_back(earlier.property, later.property);
            }
            void gap(std::uint64_t, std::uint64_t) override {}
            Spans found;
        } observer;
        sweepSpans(spans, observer);
        EXPECT_EQ(observer.found, c.overlaps);
    }
}

} // namespace
} // namespace kestra::tool
