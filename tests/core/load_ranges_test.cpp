// A load reads only the bytes that the header, the descriptors and the values cover, a window
// at a time, and asks for the document's memory once; a file whose items lie far apart, or one
// whose document the system cannot hold, must cost neither its size in memory nor a crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "document/info_file.h"
#include "format/byte_order.h"
#include "info_file_bytes.h"
#include "info_file_fixtures.h"
#include "peak_memory.h"
#include "support/test_support.h"

namespace kestra {
namespace {

using testing::floatType;
using testing::integerType;
using testing::stringType;

// The value's field as the format places it: at its 32-bit position, zero past the end.
std::vector<std::uint8_t> fieldAt(const std::vector<std::uint8_t>& file, std::uint32_t position,
                                  std::uint32_t width) {
    std::vector<std::uint8_t> field(width, 0);
    for (std::uint32_t i = 0; i < width && position + std::uint64_t(i) < file.size(); ++i)
        field[i] = file[position + i];
    return field;
}

// Writes `header` and `descriptors` at the start of a sparse file of `size` bytes, and
// `value` at `position`.
void writeSparseFile(const std::string& path, const InfoHeader& header,
                     const std::vector<PropertyDescriptor>& descriptors, std::uint64_t size,
                     std::uint64_t position, std::uint32_t value) {
    const std::vector<std::uint8_t> head = testing::infoFileBytes(header, descriptors, 0);
    std::uint8_t word[4];
    writeBigEndian32(word, value);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::ftruncate(fd, off_t(size)), 0);
    EXPECT_EQ(::pwrite(fd, head.data(), head.size(), 0), ssize_t(head.size()));
    EXPECT_EQ(::pwrite(fd, word, sizeof word, off_t(position)), ssize_t(sizeof word));
    EXPECT_EQ(::close(fd), 0);
}

// 250,000 items of values out of descriptor order, with gaps between items (12 MB, so read a
// window at a time), the last items cut short by the end of the file.
TEST(LoadRanges, AFileLargerThanTheWindowLoadsEveryValueFromItsPosition) {
    constexpr std::uint32_t items = 250'000;
    constexpr std::uint32_t itemLength = 48;
    const std::vector<PropertyDescriptor> descriptors{
        {1, 0, 0, 20, integerType}, {2, 0, 0, 0, stringType}, {3, 0, 0, 16, floatType}};
    const std::uint32_t first = 100;
    std::vector<std::uint8_t> file = testing::infoFileBytes(
        {items, 3, first, itemLength}, descriptors, first + items * itemLength - 30);
    for (std::size_t at = descriptorTableEnd(3); at < file.size(); ++at)
        file[at] = std::uint8_t(at * 131 + at / 7);
    testing::TempDir dir;
    testing::writeFile(dir.file("large.table"), file);

    InfoFile fromFile;
    ASSERT_TRUE(fromFile.load(dir.file("large.table"), DocumentationTable{}));
    InfoFile fromBytes = testing::loaded(file);
    ASSERT_EQ(fromFile.items.size(), items);
    for (const InfoFile* document : {&fromFile, &fromBytes}) {
        for (std::uint32_t i = 0; i < items; ++i) {
            for (std::size_t k = 0; k < descriptors.size(); ++k) {
                const ConstValueRef value = document->items[i].values[k];
                const std::vector<std::uint8_t> expected =
                    fieldAt(file, valuePosition(document->header, i, descriptors[k].offset),
                            valueWidth(value.typeCode));
                ASSERT_TRUE(std::ranges::equal(value.field(), expected)) << i << " " << k;
            }
        }
    }
}

// A 2 GiB file holding one integer near its end: the load reads the header, the descriptor and
// that value, not the gigabytes of nothing before it.
TEST(LoadRanges, ASparseFileCostsOnlyItsValues) {
    constexpr std::uint64_t size = std::uint64_t(2) << 30;
    constexpr std::uint32_t position = std::uint32_t(size - 64);
    testing::TempDir dir;
    const std::string path = dir.file("sparse.table");
    writeSparseFile(path, {1, 1, position, 0}, {{9, 0, 0, 0, integerType}}, size, position, 77);

    testing::PeakMemory peak;
    const bool measured = peak.reset();
    InfoFile document;
    ASSERT_TRUE(document.load(path, DocumentationTable{}));
    EXPECT_EQ(document.items.at(0).values.at(0).intValue(), 77u);
    if (measured) {
        EXPECT_LT(peak.growthKiB(), std::uint64_t(64) << 10);
    }
}

// A file whose items the bound allows but the system cannot hold (here, with the address space
// limited): the load fails with its reason and the open document stays as it was.
TEST(LoadRanges, MemoryTheSystemRefusesFailsTheLoad) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer reserves more address space than the limit leaves";
#else
    constexpr std::uint64_t size = std::uint64_t(256) << 20;
    constexpr std::uint32_t items = 32u << 20; // 128 MiB of values on the same four bytes
    testing::TempDir dir;
    const std::string path = dir.file("overlapping.table");
    writeSparseFile(path, {items, 1, 64, 0}, {{9, 0, 0, 0, integerType}}, size, 64, 5);
    InfoFile document = testing::loaded(testing::canonicalFile());

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit limit{};
        ::getrlimit(RLIMIT_AS, &limit);
        std::FILE* status = std::fopen("/proc/self/statm", "r");
        unsigned long pages = 0;
        const bool read = status && std::fscanf(status, "%lu", &pages) == 1;
        if (status)
            std::fclose(status);
        limit.rlim_cur = pages * ::sysconf(_SC_PAGESIZE) + (std::uint64_t(64) << 20);
        FileError error;
        const bool refused = read && ::setrlimit(RLIMIT_AS, &limit) == 0 &&
                             !document.load(path, DocumentationTable{}, &error) &&
                             error.text() == "there is not enough memory for the document: " +
                                                 std::string(std::strerror(ENOMEM)) &&
                             document.items.size() == 2;
        ::_exit(refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
#endif
}

} // namespace
} // namespace kestra
