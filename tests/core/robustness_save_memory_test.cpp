// Saving a document whose values are scattered over the 4 GiB of positions must cost memory in
// proportion to the values, not to the file's size: the gaps between values are holes, not bytes.
#include "document/info_file.h"
#include "format/byte_order.h"
#include "info_file_bytes.h"
#include "names/documentation_table.h"
#include "peak_memory.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestra {
namespace {

using testing::infoFileBytes;
using testing::integerType;
using testing::PeakMemory;
using testing::TempDir;

// A tenth of what the scattered documents below would cost if their gaps were held in memory.
constexpr std::uint64_t allowedGrowthKiB = 200 * 1024;

std::uint32_t wordAt(const std::string& path, std::uint64_t position) {
    std::ifstream file(path, std::ios::binary);
    file.seekg(std::streamoff(position));
    std::uint8_t word[4] = {};
    file.read(reinterpret_cast<char*>(word), sizeof word);
    return readBigEndian32(word);
}

// Found by the round-trip fuzzer: 131072 items about 1 GiB apart, wrapping round the 32-bit
// positions, touch every MiB of the 4 GiB. Writing it with a 1 MiB limit ran out of memory before
// the limit was checked.
const std::vector<std::uint8_t> scatteredByWrapping =
    testing::hexBytes("00020000 00000004 00000000 40300000 00000001 00000000 00000001 00010024"
                      "00070000 00004000 00003000 00000100 00000000 00000100 9a9b9e9d 9e9f7fc0"
                      "00000240 2000006f 2d2d2d2d 2d2d3f80 00000000 0100ffff ffff0000 00008081"
                      "82838485 86878889 8a8b8c8d 8e8f9091 92939495 96979899 9a9b9c9d 9e9f7fc0"
                      "00000000 80818200 00000100 00e300");

TEST(RobustnessSaveMemory, WritingWithALimitRefusesBeforeBuildingTheFile) {
    DocumentationTable documentation;
    InfoFile document;
    ASSERT_TRUE(document.loadFromBytes(scatteredByWrapping, StringWidth::Bytes32, documentation));
    PeakMemory peak;
    if (!peak.reset())
        GTEST_SKIP() << "peak memory cannot be measured here";
    EXPECT_THROW(document.serialize(1 << 20), std::length_error);
    EXPECT_LT(peak.growthKiB(), allowedGrowthKiB);
}

// 2048 items 1 MiB apart in a 32-byte file: a save writes a 2 GiB file (all holes but 2048 values).
TEST(RobustnessSaveMemory, SavingScatteredValuesHoldsOnlyTheValues) {
    constexpr std::uint32_t items = 2048;
    constexpr std::uint32_t spacing = 1 << 20;
    std::vector<std::uint8_t> bytes =
        infoFileBytes({items, 1, 28, spacing}, {{1, 0, 0, 0, integerType}}, 32);
    writeBigEndian32(&bytes[28], 5);
    DocumentationTable documentation;
    InfoFile document;
    ASSERT_TRUE(document.loadFromBytes(bytes, StringWidth::Bytes16, documentation));
    document.items.back().values[0].setIntValue(6);

    TempDir dir;
    const std::string path = dir.file("scattered.table");
    PeakMemory peak;
    const bool measured = peak.reset();
    ASSERT_TRUE(document.save(path));
    if (measured) {
        EXPECT_LT(peak.growthKiB(), allowedGrowthKiB);
    }

    // Reading back only the two ends: loading the whole 2 GiB file would take seconds.
    const std::uint64_t last = 28 + std::uint64_t(items - 1) * spacing;
    EXPECT_EQ(std::filesystem::file_size(path), last + 4);
    EXPECT_EQ(wordAt(path, 28), 5u);
    EXPECT_EQ(wordAt(path, last), 6u);
}

} // namespace
} // namespace kestra
