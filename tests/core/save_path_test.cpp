#include "window/save_path.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace kestra::testing {
namespace {

TEST(SavePath, TakesOnlyAPathWhoseFolderExists) {
    TempDir folder;
    std::filesystem::create_directory(folder.path() / "sub");
    writeFile(folder.file("plain"), {});
    std::filesystem::create_directory_symlink(folder.path() / "sub", folder.path() / "link");
    const std::pair<std::string, bool> cases[] = {
        {folder.file("new.table"), true},
        {folder.file("sub/new.table"), true},
        {folder.file("link/new.table"), true},
        {"new.table", true}, // the current folder
        {folder.file("missing/new.table"), false},
        {folder.file("missing/../new.table"), false}, // the system resolves it as it goes
        {folder.file("plain/new.table"), false},
    };
    for (const auto& [path, accepted] : cases)
        EXPECT_EQ(saveFolderExists(path), accepted) << path;
}

} // namespace
} // namespace kestra::testing
