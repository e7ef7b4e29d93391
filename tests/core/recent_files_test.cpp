#include "window/recent_files.h"

#include <gtest/gtest.h>

namespace kestra {
namespace {

TEST(RecentFiles, KeepsTheTenLastPathsNewestFirstEachOnce) {
    std::vector<std::string> files;
    for (const char* path : {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "c"})
        rememberRecentFile(files, path);
    EXPECT_EQ(files, (std::vector<std::string>{"c", "k", "j", "i", "h", "g", "f", "e", "d", "b"}));
}

} // namespace
} // namespace kestra
