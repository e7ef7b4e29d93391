// Documents built to break naive code: a million properties, many items on the same bytes,
// positions that wrap around 4 GiB, every string byte, NaN payloads. Each must load, show, search
// and save as the format says. The sizes are such that quadratic work would not finish.
#include "document/info_file.h"
#include "format/byte_order.h"
#include "info_file_bytes.h"
#include "names/documentation_table.h"
#include "search/search_matching.h"
#include "support/test_support.h"
#include "values/value_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

namespace kestra {
namespace {

using testing::floatType;
using testing::infoFileBytes;
using testing::integerType;
using testing::padAsSaved;
using testing::readFile;
using testing::stringType;
using testing::TempDir;
using testing::writeFile;

constexpr std::uint32_t million = 1'000'000;

SearchResults allItems(std::uint32_t count) {
    SearchResults all(count);
    std::iota(all.begin(), all.end(), 0);
    return all;
}

class HostileDocuments : public ::testing::Test {
protected:
    // Writes the file, loads it under `name` and checks that a save writes `saved`.
    void loadAndSave(const std::vector<std::uint8_t>& bytes, const std::vector<std::uint8_t>& saved,
                     const std::string& name = "hostile.table") {
        const std::string path = dir.file(name);
        writeFile(path, bytes);
        ASSERT_TRUE(document.load(path, documentation));
        const std::string copy = dir.file("saved-" + name);
        ASSERT_TRUE(document.save(copy));
        EXPECT_EQ(readFile(copy), saved);
    }

    TempDir dir;
    DocumentationTable documentation;
    InfoFile document;
};

// Endless devices are read only as far as their header says: /dev/zero's describes an empty
// document, and /dev/urandom's counts are refused by the memory bound before its table is read.
TEST_F(HostileDocuments, EndlessStreams) {
    FileError error;
    ASSERT_TRUE(document.load("/dev/zero", StringWidth::Bytes16, documentation, &error))
        << error.text();
    EXPECT_EQ(document.items.size(), 0u);
    EXPECT_FALSE(document.load("/dev/urandom", StringWidth::Bytes16, documentation, &error));
    EXPECT_EQ(error.message, "the header claims more items and properties than the file can hold");
}

// One item whose million integer and float properties share 16384 four-byte slots (a descriptor's
// offset is 16 bits), slot s holding s. The file holds the whole table and the item.
TEST_F(HostileDocuments, AMillionProperties) {
    constexpr std::uint32_t slots = 16384;
    std::vector<PropertyDescriptor> descriptors(million);
    for (std::uint32_t k = 0; k < million; ++k)
        descriptors[k] = {k, 0, 0, std::uint16_t(4 * (k % slots)), k % 2 ? floatType : integerType};
    const std::uint32_t first = std::uint32_t(descriptorTableEnd(million));
    std::vector<std::uint8_t> bytes =
        infoFileBytes({1, million, first, 4 * slots}, descriptors, first + 4 * slots);
    for (std::uint32_t s = 0; s < slots; ++s)
        writeBigEndian32(&bytes[first + 4 * s], s);
    padAsSaved(bytes);

    loadAndSave(bytes, bytes);
    const auto& values = document.items.at(0).values;
    ASSERT_EQ(values.size(), million);
    EXPECT_EQ(values[million - 2].intValue(), (million - 2) % slots);
    EXPECT_EQ(formatValueText(values[million - 2]), u"574");
    std::size_t shown = 0;
    for (const PropertyValue& value : values)
        shown += formatValueText(value).size();
    EXPECT_GT(shown, million);

    SearchResults found;
    EXPECT_TRUE(searchSingleProperty("574", million - 2, document, found));
    EXPECT_FALSE(searchSingleProperty("575", million - 2, document, found));
    EXPECT_TRUE(searchCertainType("16382", "i4", document, found));
    EXPECT_FALSE(searchAllProperties("16384", document, found));
    EXPECT_EQ(found, (SearchResults{0, 0}));
}

// Half a million items read from, and written to, the same four bytes of a 32-byte file (about
// as many as the load's count limit lets so small a file claim). A save keeps the last item's value
// and gives a file that loads again.
TEST_F(HostileDocuments, HalfAMillionItemsOfLengthZero) {
    constexpr std::uint32_t items = 500'000;
    const std::vector<PropertyDescriptor> descriptors{{5, 0, 0, 0, integerType}};
    const std::uint32_t first = std::uint32_t(descriptorTableEnd(1));
    std::vector<std::uint8_t> bytes = infoFileBytes({items, 1, first, 0}, descriptors, 32);
    writeBigEndian32(&bytes[first], 42);

    loadAndSave(bytes, bytes);
    ASSERT_EQ(document.items.size(), items);
    EXPECT_EQ(formatValueText(document.items.back().values[0]), u"42");
    SearchResults found;
    EXPECT_TRUE(searchAllProperties("42", document, found));
    EXPECT_EQ(found, allItems(items));

    parseValueText(document.items.back().values[0], "7");
    parseValueText(document.items.front().values[0], "9");
    const std::string path = dir.file("last-wins.table");
    ASSERT_TRUE(document.save(path));
    InfoFile reloaded;
    ASSERT_TRUE(reloaded.load(path, documentation));
    ASSERT_EQ(reloaded.items.size(), items);
    EXPECT_EQ(reloaded.items.front().values[0].intValue(), 7u);
}

// firstItemOffset near 4 GiB: item 0 lies past the end of the file, item 1 wraps round to the
// header and item 2 to the descriptor table. Saving means a file of 4 GiB: written or refused,
// never a crash, and a refusal leaves the old file alone.
TEST_F(HostileDocuments, PositionsWrappingAround4GiB) {
    const std::vector<PropertyDescriptor> descriptors{{9, 0, 0, 4, integerType}};
    const std::vector<std::uint8_t> bytes =
        infoFileBytes({3, 1, 0xFFFF'FFF0, 0x10}, descriptors, 32);
    const std::string path = dir.file("wrapping.table");
    writeFile(path, bytes);
    ASSERT_TRUE(document.load(path, documentation));
    EXPECT_EQ(document.items[0].values[0].intValue(), 0u);
    EXPECT_EQ(document.items[1].values[0].intValue(), 1u); // propertyCount
    EXPECT_EQ(document.items[2].values[0].intValue(), 0u); // linkWord1 and linkWord2
    SearchResults found;
    EXPECT_TRUE(searchAllProperties("1", document, found));
    EXPECT_EQ(found, SearchResults{1});

    // Item 0 lands just below 4 GiB, items 1 and 2 wrap round onto the header and descriptor: a
    // sparse file of 4 GiB.
    FileError error;
    ASSERT_TRUE(document.save(path, &error)) << error.message;
    EXPECT_EQ(std::filesystem::file_size(path), std::uintmax_t(1) << 32);
    std::ifstream saved(path, std::ios::binary);
    std::uint8_t head[24] = {};
    saved.read(reinterpret_cast<char*>(head), sizeof head);
    std::uint8_t tail[8] = {};
    saved.seekg(0xFFFF'FFF0 + 4);
    saved.read(reinterpret_cast<char*>(tail), sizeof tail);
    ASSERT_TRUE(saved);
    EXPECT_EQ(std::vector<std::uint8_t>(head, head + 24),
              testing::hexBytes("00000003 00000001 FFFFFFF0 00000010 00000009 00000000"));
    EXPECT_EQ(std::vector<std::uint8_t>(tail, tail + 8), testing::hexBytes("00000000 40404040"));
}

// Sixteen items of sixteen bytes holding the bytes 0x00 to 0xFF in order. As 16-byte strings each
// item holds one row; as 32-byte strings each reads its row and the next, the last one past the
// end.
TEST_F(HostileDocuments, EveryStringByte) {
    constexpr std::uint32_t first = 32;
    const std::vector<PropertyDescriptor> descriptors{{3, 0, 0, 0, stringType}};
    std::vector<std::uint8_t> bytes = infoFileBytes({16, 1, first, 16}, descriptors, first + 256);
    std::iota(bytes.begin() + first, bytes.end(), 0);

    loadAndSave(bytes, bytes);
    for (int byte = 1; byte <= 0xFF; ++byte) {
        SearchResults found;
        searchAllProperties(std::string(1, char(byte)), document, found);
        // Item 0 starts with a zero byte: its text is empty, so it never matches.
        EXPECT_EQ(found, byte < 16 ? SearchResults{} : SearchResults{byte / 16}) << byte;
    }
    for (const ValueRef value : document.items[1].values) {
        const std::u16string shown = formatValueText(value);
        ASSERT_EQ(shown.size(), 16u);
        EXPECT_EQ(shown.front(), u'\x10');
        EXPECT_EQ(shown.back(), u'\x1F');
        const PropertyValue before = value;
        EXPECT_TRUE(parseValueText(value, narrowText(shown)));
        EXPECT_TRUE(std::ranges::equal(value.field(), before.field()))
            << "an unchanged full field is stored back whole";
    }

    std::vector<std::uint8_t> wide = bytes;
    wide.resize(bytes.size() + 16); // the last 32-byte item reaches 16 bytes past the end
    padAsSaved(wide);
    loadAndSave(bytes, wide, "hostile.info");
    EXPECT_EQ(formatValueText(document.items[15].values[0]).size(), 16u);
    EXPECT_EQ(formatValueText(document.items[14].values[0]).size(), 32u);
    SearchResults found;
    searchAllProperties("\x1F\x20", document, found);
    EXPECT_EQ(found, (SearchResults{1}));
}

// Float bit patterns that arithmetic would change: NaN payloads of both signs, signalling NaNs,
// infinities, -0 and the smallest subnormal. They load, show, search and save bit for bit.
TEST_F(HostileDocuments, NaNPayloadsAndOtherOddFloats) {
    const std::vector<std::uint32_t> patterns{0x7FC00001, 0xFF800001, 0x7F800001, 0xFFFFFFFF,
                                              0x7F800000, 0xFF800000, 0x80000000, 0x00000001};
    const std::vector<std::u16string> shown{u"nan", u"-nan", u"nan",       u"-nan",
                                            u"inf", u"-inf", u"-0.000000", u"0.000000"};
    const auto count = std::uint32_t(patterns.size());
    const std::vector<PropertyDescriptor> descriptors{{4, 0, 0, 0, floatType}};
    std::vector<std::uint8_t> bytes = infoFileBytes({count, 1, 32, 4}, descriptors, 32 + 4 * count);
    for (std::uint32_t i = 0; i < count; ++i)
        writeBigEndian32(&bytes[32 + 4 * i], patterns[i]);

    loadAndSave(bytes, bytes);
    for (std::uint32_t i = 0; i < count; ++i) {
        EXPECT_EQ(document.items[i].values[0].floatBits(), patterns[i]);
        EXPECT_EQ(formatValueText(document.items[i].values[0]), shown[i]);
    }
    SearchResults found;
    EXPECT_TRUE(searchAllProperties("0", document, found));
    EXPECT_FALSE(searchAllProperties("nan", document, found));
    EXPECT_EQ(found, SearchResults{6}) << "0 equals -0; no NaN equals anything";

    document.items.push_back(document.items[1]);
    document.header.itemCount = count + 1;
    const std::string path = dir.file("copied.table");
    ASSERT_TRUE(document.save(path));
    InfoFile reloaded;
    ASSERT_TRUE(reloaded.load(path, documentation));
    EXPECT_EQ(reloaded.items.back().values[0].floatBits(), patterns[1]);
}

} // namespace
} // namespace kestra
