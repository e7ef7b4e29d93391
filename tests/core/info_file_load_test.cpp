#include "document/info_file.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include "info_file_fixtures.h"

namespace kestra {
namespace {

using testing::hexBytes;

TEST(InfoFileLoad, DecodesHeaderDescriptorsAndValues) {
    const DocumentationTable documentation = testing::documentationOf("(100) \"Count\"\n");
    InfoFile document;
    ASSERT_TRUE(
        document.loadFromBytes(testing::canonicalFile(), StringWidth::Bytes16, documentation));

    EXPECT_EQ(document.header.firstItemOffset, 0x34u);
    EXPECT_EQ(document.header.itemLength, 0x18u);
    ASSERT_EQ(document.descriptors.size(), 3u);
    EXPECT_EQ(document.descriptors[1].linkWord2, 2u);
    EXPECT_EQ(document.descriptors[1].offset, 4u);
    ASSERT_EQ(document.items.size(), 2u);
    const std::vector<PropertyValue>& second = document.items[1].values;
    ASSERT_EQ(second.size(), 3u);
    EXPECT_EQ(second[0].intValue(), 0xFFFFFFFFu);
    EXPECT_EQ(second[1].floatBits(), 0x7FC00001u);
    EXPECT_EQ(second[2].typeCode, TypeCode::S16);
    EXPECT_EQ(document.items[0].values[2].text16()[15], 0x7A); // kept after the zero byte
    EXPECT_EQ(second[0].name, &documentation.entries[0].name); // shared, not copied
    EXPECT_EQ(*second[1].name, "(Undocumented)");
    EXPECT_EQ(second[1].id, 200u);
}

struct DecodeCase {
    const char* type;
    const char* linkWords;
    const char* value;
    TypeCode code;
    std::uint32_t bits;
    bool linked;
};

void PrintTo(const DecodeCase& c, std::ostream* out) {
    *out << "type " << c.type << ", links " << c.linkWords << ", value " << c.value;
}

class InfoFileDecode : public ::testing::TestWithParam<DecodeCase> {};

// Each fixture is exactly 32 bytes, so saving must give back the same bytes with no padding.
TEST_P(InfoFileDecode, TypeBitsAndLinkedFlagSurviveARoundTrip) {
    const DecodeCase& c = GetParam();
    const std::vector<std::uint8_t> file = testing::singleValueFile(c.type, c.value, c.linkWords);
    const InfoFile document = testing::loaded(file);
    const PropertyValue& value = document.items.at(0).values.at(0);
    EXPECT_EQ(value.typeCode, c.code);
    EXPECT_EQ(value.intValue(), c.bits);
    EXPECT_EQ(value.linked, c.linked);
    EXPECT_EQ(document.serialize(testing::smallFileLimit), file);
}

INSTANTIATE_TEST_SUITE_P(
    Values, InfoFileDecode,
    ::testing::Values(DecodeCase{"0000", "0000 0000", "00000100", TypeCode::I4, 256, false},
                      DecodeCase{"0003", "FFFF FFFF", "FFFFFFFE", TypeCode::I4, 0xFFFFFFFE, false},
                      DecodeCase{"0007", "FFFF 0000", "00000007", TypeCode::I4, 7, true},
                      DecodeCase{"FFFF", "0000 FFFF", "12345678", TypeCode::I4, 0x12345678, true},
                      DecodeCase{"0002", "0001 0001", "3F800000", TypeCode::F4, 0x3F800000, true},
                      DecodeCase{"0002", "0000 0000", "7FC00001", TypeCode::F4, 0x7FC00001, false},
                      DecodeCase{"0002", "0000 0000", "FF800001", TypeCode::F4, 0xFF800001,
                                 false}));

TEST(InfoFileLoad, PathSuffixDecidesStringWidthFromTheSameBytes) {
    testing::TempDir dir;
    const std::vector<std::uint8_t> file =
        testing::singleValueFile("0001", testing::repeated("41", 16) + testing::repeated("42", 16));
    const DocumentationTable documentation;
    for (const auto& [name, code] :
         {std::pair{"t.info", TypeCode::S32}, std::pair{"t.table", TypeCode::S16},
          std::pair{"t.INFO", TypeCode::S16}}) {
        testing::writeFile(dir.file(name), file);
        InfoFile document;
        ASSERT_TRUE(document.load(dir.file(name), documentation)) << name;
        const PropertyValue& value = document.items.at(0).values.at(0);
        EXPECT_EQ(value.typeCode, code) << name;
        EXPECT_EQ(value.text32()[31], code == TypeCode::S32 ? 0x42 : 0) << name;
        EXPECT_EQ(*value.name, "") << "no documentation loaded gives empty names";
    }
}

TEST(InfoFileLoad, ValueBytesBeyondTheEndReadAsZero) {
    // The value at 0x2A has two bytes in the file; the one at 0x2E has none.
    const InfoFile partial = testing::loaded(hexBytes("00000001 00000002 0000002A 00000000"
                                                      "00000001 0000 0000 0000 0000"
                                                      "00000002 0000 0000 0004 0000"
                                                      "0000 ABCD"));
    EXPECT_EQ(partial.items.at(0).values.at(0).intValue(), 0xABCD0000u);
    EXPECT_EQ(partial.items.at(0).values.at(1).intValue(), 0u);
}

TEST(InfoFileLoad, EmptyCountsGiveEmptyLists) {
    const InfoFile noProperties = testing::loaded(hexBytes("00000003 00000000 00000010 00000004"));
    EXPECT_EQ(noProperties.items.size(), 3u);
    EXPECT_TRUE(noProperties.items[2].values.empty());

    const InfoFile noItems = testing::loaded(hexBytes("00000000 00000001 0000001C 00000004"
                                                      "00000009 0000 0000 0000 0002"));
    EXPECT_EQ(noItems.descriptors.size(), 1u);
    EXPECT_TRUE(noItems.items.empty());
}

struct RejectCase {
    const char* what;
    std::string hex;
};

void PrintTo(const RejectCase& c, std::ostream* out) {
    *out << c.what;
}

class InfoFileReject : public ::testing::TestWithParam<RejectCase> {};

TEST_P(InfoFileReject, FailsAndLeavesThePreviousDocument) {
    const DocumentationTable documentation;
    InfoFile document = testing::loaded(testing::canonicalFile());
    const std::vector<std::uint8_t> before = document.serialize(testing::smallFileLimit);
    FileError error;
    EXPECT_FALSE(document.loadFromBytes(hexBytes(GetParam().hex), StringWidth::Bytes16,
                                        documentation, &error));
    EXPECT_FALSE(error.message.empty());
    EXPECT_EQ(document.header.itemCount, 2u);
    EXPECT_EQ(document.serialize(testing::smallFileLimit), before);
}

INSTANTIATE_TEST_SUITE_P(
    Files, InfoFileReject,
    ::testing::Values(RejectCase{"empty", ""},
                      RejectCase{"15 bytes", "00000001 00000000 00000010 000000"},
                      RejectCase{"table cut short", "00000001 00000002 00000028 00000004"
                                                    "00000001 0000 0000 0000 0000 0000"},
                      RejectCase{"4e9 items", "EE6B2800 00000000 00000010 00000000"},
                      RejectCase{"1e8 properties", "00000001 05F5E100 00000010 00000000"},
                      RejectCase{"items times value widths", "00340000 00000005 0000004C 00000000"
                                                             "00000001 0000 0000 0000 0000"
                                                             "00000002 0000 0000 0004 0000"
                                                             "00000003 0000 0000 0008 0000"
                                                             "00000004 0000 0000 000C 0000"
                                                             "00000005 0000 0000 0010 0000"},
                      RejectCase{"items without values", "00500000 00000000 00000010 00000000"}));

TEST(InfoFileLoad, CountsWithinTheAllowanceStillLoad) {
    // Overlapping items (itemLength 0) may take up to four times the file's size and 64 MiB,
    // each counted as at least 16 bytes.
    const InfoFile document = testing::loaded(hexBytes("00080000 00000001 0000001C 00000000"
                                                       "00000001 0000 0000 0000 0000 0000002A"));
    EXPECT_EQ(document.items.size(), 0x80000u);
    EXPECT_EQ(document.items.back().values.at(0).intValue(), 42u);
}

TEST(InfoFileLoad, MissingFileFailsWithAMessage) {
    testing::TempDir dir;
    InfoFile document;
    FileError error;
    EXPECT_FALSE(document.load(dir.file("missing.table"), DocumentationTable{}, &error));
    EXPECT_EQ(error.message, "cannot open the file");
    EXPECT_FALSE(document.load(dir.path().string(), DocumentationTable{}, &error));
}

} // namespace
} // namespace kestra
