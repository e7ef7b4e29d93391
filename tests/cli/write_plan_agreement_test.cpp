// validate reports on the parts of a file that a save writes; the saver writes them. Both walk
// one write plan, and this keeps them from drifting apart: on every fuzz seed, the bytes a save
// gives are exactly what validate's layout says they will be.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "commands/file_layout.h"
#include "document/saved_values.h"
#include "names/documentation_table.h"
#include "support/test_support.h"

namespace kestra::testing {
namespace {

// The file the layout describes: each part written in turn at its place, zero where no part lies,
// "@" from the written end to the padded end.
std::vector<std::uint8_t> fileFromLayout(const InfoFile& document) {
    const std::vector<WriteSpan> spans = tool::documentLayout(document);
    const std::uint64_t end = std::ranges::max(spans, {}, &WriteSpan::end).end;
    std::vector<std::uint8_t> bytes(paddedEnd(end), 0);
    std::fill(bytes.begin() + std::ptrdiff_t(end), bytes.end(), paddingByte);
    InfoHeader header = document.header;
    header.itemCount = std::uint32_t(document.items.size());
    const std::span<std::uint8_t> file(bytes);
    for (const WriteSpan& span : spans) {
        switch (span.kind) {
        case WriteSpan::Kind::Header:
            encodeHeader(header, file.subspan(span.begin));
            break;
        case WriteSpan::Kind::PropertyTable:
            for (std::size_t k = 0; k < document.descriptors.size(); ++k)
                encodeDescriptor(document.descriptors[k], file.subspan(descriptorTableEnd(k)));
            break;
        case WriteSpan::Kind::Value: {
            const PropertyValue& value = document.items[span.item].values[span.property];
            const SavedValue saved = savedValue(document.descriptors[span.property], value);
            EXPECT_EQ(span.end - span.begin, saved.width);
            std::ranges::copy(saved.view(), file.begin() + std::ptrdiff_t(span.begin));
            break;
        }
        }
    }
    return bytes;
}

TEST(WritePlanAgreement, ValidateSeesTheBytesASaveWrites) {
    constexpr std::uint64_t largestSave = 1 << 24;
    int compared = 0;
    // The round-trip target's seeds start with a byte of flags before the file.
    for (const auto& [target, prefix] : {std::pair{"load_info_file", 0}, {"round_trip", 1}}) {
        for (const auto& seed :
             std::filesystem::directory_iterator(std::string(KESTRA_FUZZ_CORPUS "/") + target)) {
            std::vector<std::uint8_t> bytes = readFile(seed.path().string());
            bytes.erase(bytes.begin(),
                        bytes.begin() + std::min<std::ptrdiff_t>(prefix, std::ssize(bytes)));
            for (const StringWidth wide : {StringWidth::Bytes16, StringWidth::Bytes32}) {
                SCOPED_TRACE(seed.path().filename().string() +
                             (wide == StringWidth::Bytes32 ? " (info)" : " (table)"));
                InfoFile document;
                if (!document.loadFromBytes(bytes, wide, DocumentationTable{}))
                    continue;
                std::vector<std::uint8_t> saved;
                try {
                    saved = document.serialize(largestSave);
                } catch (const std::length_error&) {
                    continue; // values near 4 GiB: the sparse-save tests cover those
                }
                EXPECT_EQ(saved, fileFromLayout(document));
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 80);
}

} // namespace
} // namespace kestra::testing
