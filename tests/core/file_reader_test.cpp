#include <gtest/gtest.h>

#include <thread>
#include <unistd.h>

#include "io/file_reader.h"
#include "support/test_support.h"

namespace kestra {
namespace {

// A pipe has no size to ask for, and a /proc file reports 0: both are read until they end.
TEST(FileReader, ReadsFilesOfUnknownSizeToTheirEnd) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const std::vector<std::uint8_t> sent(300000, 0x5A); // more than a pipe holds at once
    std::thread writer([&] {
        std::size_t done = 0;
        while (done < sent.size()) {
            const ssize_t put = ::write(ends[1], sent.data() + done, sent.size() - done);
            if (put <= 0)
                break;
            done += std::size_t(put);
        }
        ::close(ends[1]);
    });
    std::vector<std::uint8_t> bytes;
    FileError error;
    const bool read = readFile("/dev/fd/" + std::to_string(ends[0]), 1 << 20, bytes, error);
    writer.join();
    ::close(ends[0]);
    ASSERT_TRUE(read) << error.text();
    EXPECT_EQ(bytes, sent);

    ASSERT_TRUE(readFile("/proc/self/status", 1 << 20, bytes, error)) << error.text();
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("Name:"), std::string::npos);
}

TEST(FileReader, StopsAtTheLimitAndSaysWhyItFails) {
    const testing::TempDir dir;
    testing::writeFile(dir.file("ten"), std::vector<std::uint8_t>(10, 1));
    std::vector<std::uint8_t> bytes;
    FileError error;
    ASSERT_TRUE(readFile(dir.file("ten"), 4, bytes, error));
    EXPECT_EQ(bytes.size(), 4u);

    EXPECT_FALSE(readFile(dir.file("missing"), 4, bytes, error));
    EXPECT_EQ(error.text(), "cannot open the file: No such file or directory");
    EXPECT_FALSE(readFile(dir.path().string(), 4, bytes, error));
    EXPECT_EQ(error.text(), "cannot open the file: Is a directory");
}

} // namespace
} // namespace kestra
