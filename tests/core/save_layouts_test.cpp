// However the items lie in the file, a save writes the bytes of the write plan: header,
// descriptors, then every value in turn, a later one winning where they share bytes. A save takes
// the fastest way the layout allows (the packed values written as they are, items streamed in
// order, or the file built aside); each is held here against the plan applied the plainest way.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "document/info_file.h"
#include "document/saved_values.h"
#include "info_file_bytes.h"
#include "info_file_fixtures.h"
#include "support/test_support.h"

namespace kestra {
namespace {

using testing::floatType;
using testing::integerType;
using testing::stringType;

struct LayoutCase {
    const char* what;
    std::vector<PropertyDescriptor> descriptors;
    std::uint32_t firstItemOffset;
    std::uint32_t itemLength;
};

void PrintTo(const LayoutCase& c, std::ostream* out) {
    *out << c.what;
}

// The plan applied one part after the other to a buffer that grows as needed.
std::vector<std::uint8_t> plannedBytes(const InfoFile& document) {
    std::vector<std::uint8_t> bytes;
    const auto put = [&](std::uint64_t at, std::span<const std::uint8_t> part) {
        bytes.resize(std::max<std::size_t>(bytes.size(), at + part.size()));
        std::copy(part.begin(), part.end(), bytes.begin() + std::ptrdiff_t(at));
    };
    forEachWrite(document, [&](const WriteSpan& span) {
        if (span.kind == WriteSpan::Kind::Header) {
            std::array<std::uint8_t, headerSize> header;
            encodeHeader({std::uint32_t(document.items.size()), document.header.propertyCount,
                          document.header.firstItemOffset, document.header.itemLength},
                         header);
            put(0, header);
        } else if (span.kind == WriteSpan::Kind::PropertyTable) {
            for (std::size_t k = 0; k < document.descriptors.size(); ++k) {
                std::array<std::uint8_t, descriptorSize> descriptor;
                encodeDescriptor(document.descriptors[k], descriptor);
                put(descriptorTableEnd(k), descriptor);
            }
        } else {
            put(span.begin, savedValue(document.descriptors[span.property],
                                       document.items[span.item].values[span.property])
                                .view());
        }
    });
    testing::padAsSaved(bytes);
    return bytes;
}

class SaveLayouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(SaveLayouts, WriteTheBytesOfTheWritePlan) {
    constexpr std::uint32_t items = 40;
    const LayoutCase& c = GetParam();
    std::vector<std::uint8_t> file = testing::infoFileBytes(
        {items, std::uint32_t(c.descriptors.size()), c.firstItemOffset, c.itemLength},
        c.descriptors, c.firstItemOffset + items * c.itemLength + 64);
    for (std::size_t at = descriptorTableEnd(c.descriptors.size()); at < file.size(); ++at)
        file[at] = std::uint8_t(at * 37 + 11);
    InfoFile document = testing::loaded(file, StringWidth::Bytes32);
    document.items[7].values[0].setIntValue(0xA5A5A5A5);
    document.items.erase(document.items.begin() + 3);

    const std::vector<std::uint8_t> saved = document.serialize(testing::smallFileLimit);
    EXPECT_EQ(saved, plannedBytes(document));
    testing::TempDir dir;
    ASSERT_TRUE(document.save(dir.file("saved.info")));
    EXPECT_EQ(testing::readFile(dir.file("saved.info")), saved);
}

// Integer at 0, float at 4, 32-byte string at 8 and integer at 40: 44 bytes packed.
const std::vector<PropertyDescriptor> inOrder{{1, 0, 0, 0, integerType},
                                              {2, 0, 0, 4, floatType},
                                              {3, 0, 0, 8, stringType},
                                              {4, 0, 0, 40, integerType}};
const std::vector<PropertyDescriptor> shuffled{{1, 0, 0, 36, integerType},
                                               {2, 0, 0, 0, floatType},
                                               {3, 0, 0, 4, stringType},
                                               {4, 0, 0, 40, integerType}};
const std::vector<PropertyDescriptor> sharingBytes{{1, 0, 0, 0, integerType},
                                                   {2, 0, 0, 2, floatType},
                                                   {3, 0, 0, 8, stringType},
                                                   {4, 0, 0, 8, integerType}};

INSTANTIATE_TEST_SUITE_P(
    Layouts, SaveLayouts,
    ::testing::Values(LayoutCase{"packed, one after the other", inOrder, 64, 44},
                      LayoutCase{"packed, with gaps between items", inOrder, 70, 100},
                      LayoutCase{"values out of descriptor order", shuffled, 64, 44},
                      LayoutCase{"values sharing bytes", sharingBytes, 64, 44},
                      LayoutCase{"items overlapping", inOrder, 64, 20},
                      LayoutCase{"items over the property table", inOrder, 20, 44}));

} // namespace
} // namespace kestra
