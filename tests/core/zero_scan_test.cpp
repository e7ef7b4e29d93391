#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "io/zero_scan.h"
#include "support/test_support.h"

namespace kestra {
namespace {

// A hole reads as zeros, and a run of other bytes is one run across the reading window's edge.
TEST(ZeroScan, FindsRunsAcrossHolesAndTheWindowsEdge) {
    const testing::TempDir dir;
    const std::string path = dir.file("sparse.table");
    constexpr std::uint64_t edge = std::uint64_t(8) << 20;
    constexpr std::uint64_t far = std::uint64_t(64) << 20;
    {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        // Data (mostly zeros) up to just past the window's edge, a hole, then data again.
        std::vector<std::uint8_t> dense(edge + 4096, 0);
        dense[5] = 1;
        std::fill_n(dense.begin() + std::ptrdiff_t(edge - 2), 4, 7);
        ASSERT_EQ(::write(fd, dense.data(), dense.size()), ssize_t(dense.size()));
        ASSERT_EQ(::pwrite(fd, "ab", 2, off_t(far)), 2);
        ASSERT_EQ(::ftruncate(fd, off_t(far + 4096)), 0);
        ::close(fd);
    }
    ByteSource source;
    FileError error;
    ASSERT_TRUE(ByteSource::open(path, far + 4096, source, error)) << error.text();
    ZeroScan scan(source);
    std::vector<std::pair<std::uint64_t, std::uint64_t>> runs;
    const auto found = [&](std::uint64_t begin, std::uint64_t end) {
        runs.emplace_back(begin, end);
    };
    ASSERT_TRUE(scan.scan(0, edge + 4, found, error)) << error.text();
    ASSERT_TRUE(scan.scan(edge + 4, source.size(), found, error)) << error.text();
    const std::vector<std::pair<std::uint64_t, std::uint64_t>> expected = {
        {5, 6}, {edge - 2, edge + 2}, {far, far + 2}};
    EXPECT_EQ(runs, expected);
}

} // namespace
} // namespace kestra
