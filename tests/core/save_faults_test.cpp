// Saves that fail for real reasons: the disk filling up, the folder gone or read-only, the target
// turned into a folder, names and paths past the platform's limits; and saves that must not
// replace what a plain write could not: a read-only file, another user's file, a FIFO or a
// device, the file behind another user's link in a shared folder. Each must report failure and
// leave everything in the folder exactly as it was, old file and all, with no temporary file.
#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "document/info_file.h"
#include "format/byte_order.h"
#include "info_file_bytes.h"
#include "names/documentation_table.h"
#include "support/test_support.h"
#include "support/unprivileged_save.h"

namespace kestra {
namespace {

namespace fs = std::filesystem;
using testing::nobodyId;
using testing::nogroupId;
using testing::readFile;
using testing::TempDir;
using testing::UnprivilegedSave;
using testing::writeFile;

constexpr std::uint32_t itemLength = 8;

// An info file of `itemCount` items, each an integer (its index) and a float.
std::vector<std::uint8_t> fileOfItems(std::uint32_t itemCount) {
    const std::vector<PropertyDescriptor> descriptors{{1, 0, 0, 0, testing::integerType},
                                                      {2, 0, 0, 4, testing::floatType}};
    const std::uint32_t first = std::uint32_t(descriptorTableEnd(descriptors.size()));
    std::vector<std::uint8_t> bytes =
        testing::infoFileBytes({itemCount, 2, first, itemLength}, descriptors,
                               first + std::size_t(itemCount) * itemLength);
    for (std::uint32_t i = 0; i < itemCount; ++i)
        writeBigEndian32(&bytes[first + i * itemLength], i);
    return bytes;
}

// Every file and folder below `folder`, with the bytes of the files.
std::map<std::string, std::vector<std::uint8_t>> snapshot(const fs::path& folder) {
    std::map<std::string, std::vector<std::uint8_t>> entries;
    std::error_code missing;
    for (const auto& entry : fs::recursive_directory_iterator(folder, missing)) {
        const std::string path = entry.path().string();
        entries[path] = entry.is_regular_file() ? readFile(path) : std::vector<std::uint8_t>{};
    }
    return entries;
}

class SaveFaults : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(folder());
        writeFile(target(), fileOfItems(3));
        ASSERT_TRUE(document.load(target(), documentation));
        document.items[0].values[0].setIntValue(77); // so that a save would change the file
    }

    fs::path folder() const { return dir.path() / "documents"; }
    std::string target() const { return (folder() / "data.table").string(); }

    // Runs the save that the fault should break and checks that it changed nothing.
    template <typename Save> void expectRefused(Save save) {
        const auto before = snapshot(dir.path());
        FileError error;
        EXPECT_FALSE(save(error));
        EXPECT_FALSE(error.message.empty());
        EXPECT_EQ(snapshot(dir.path()), before);
    }

    TempDir dir;
    DocumentationTable documentation;
    InfoFile document;
};

// Lowers the largest file this process may write, as a full disk would stop it, and makes the
// write fail with EFBIG instead of the signal that would end the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(SaveFaults, DiskFillingUpPartWayThroughALargeFile) {
    const std::vector<std::uint8_t> large = fileOfItems(500'000); // 4 MB
    writeFile(target(), large);
    ASSERT_TRUE(document.load(target(), documentation));
    document.items.back().values[0].setIntValue(1);
    expectRefused([&](FileError& error) {
        FileSizeLimit limit(large.size() / 4);
        return document.save(target(), &error);
    });
    EXPECT_EQ(readFile(target()), large);
}

TEST_F(SaveFaults, FolderRemovedBetweenLoadAndSave) {
    fs::remove_all(folder());
    expectRefused([&](FileError& error) { return document.save(target(), &error); });
    EXPECT_FALSE(fs::exists(folder()));
}

TEST_F(SaveFaults, FolderMadeReadOnlyBetweenLoadAndSave) {
    const std::vector<std::uint8_t> original = readFile(target());
    fs::permissions(folder(), fs::perms::owner_read | fs::perms::owner_exec);
    expectRefused([&](FileError& error) {
        UnprivilegedSave unprivileged({dir.path(), folder(), target()});
        return document.save(target(), &error);
    });
    EXPECT_EQ(readFile(target()), original);
}

TEST_F(SaveFaults, TargetReplacedByAFolder) {
    fs::remove(target());
    fs::create_directory(target());
    writeFile((fs::path(target()) / "inside").string(), {1, 2, 3});
    expectRefused([&](FileError& error) { return document.save(target(), &error); });
    EXPECT_TRUE(fs::is_directory(target()));
}

TEST_F(SaveFaults, NameLongerThanTheFolderAllows) {
    const std::string name = (folder() / std::string(NAME_MAX + 1, 'n')).string();
    expectRefused([&](FileError& error) { return document.save(name, &error); });
}

TEST_F(SaveFaults, PathLongerThanThePlatformAllows) {
    std::string path = folder().string();
    while (path.size() <= PATH_MAX)
        path += "/" + std::string(NAME_MAX, 'p');
    expectRefused([&](FileError& error) { return document.save(path, &error); });
}

// The temporary file must not need a longer name or path than the target: a name at the limit
// saves, and so does the longest path the platform takes.
TEST_F(SaveFaults, NameAndPathAtTheLimitSave) {
    const std::string name = (folder() / std::string(NAME_MAX, 'n')).string();
    ASSERT_TRUE(document.save(name));
    InfoFile reloaded;
    ASSERT_TRUE(reloaded.load(name, documentation));
    EXPECT_EQ(reloaded.items[0].values[0].intValue(), 77u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 2);

    std::string deep = folder().string();
    while (PATH_MAX - 2 - deep.size() > NAME_MAX)
        fs::create_directory(deep += "/" + std::string(100, 'd'));
    const std::string longest = deep + "/" + std::string(PATH_MAX - 2 - deep.size(), 'f');
    ASSERT_EQ(longest.size(), std::size_t(PATH_MAX - 1));
    EXPECT_TRUE(document.save(longest));
    EXPECT_EQ(std::distance(fs::directory_iterator(deep), fs::directory_iterator()), 1);
}

TEST_F(SaveFaults, ReadOnlyFileOfThisUser) {
    fs::permissions(target(), fs::perms(0444));
    expectRefused([&](FileError& error) {
        UnprivilegedSave unprivileged({dir.path(), folder(), target()});
        return document.save(target(), &error);
    });
}

// The folder lets anyone rename files in it, which must not let anyone replace them.
TEST_F(SaveFaults, AnotherUsersFileInAFolderOpenToAll) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to make a file of another user";
    fs::permissions(folder(), fs::perms::all);
    expectRefused([&](FileError& error) {
        UnprivilegedSave unprivileged({dir.path()});
        return document.save(target(), &error);
    });
    struct stat status {};
    ASSERT_EQ(stat(target().c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 0u);
}

// Not replaced by a regular file, also behind a link; nor does the save wait for a reader of
// the FIFO.
TEST_F(SaveFaults, TargetsThatAreNoRegularFile) {
    std::vector<fs::path> targets{folder() / "fifo.table", folder() / "link.table"};
    ASSERT_EQ(mkfifo(targets[0].c_str(), 0666), 0);
    fs::create_symlink("fifo.table", targets[1]);
    if (geteuid() == 0) {
        targets.push_back(folder() / "null.table");
        ASSERT_EQ(mknod(targets.back().c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    }
    for (const fs::path& path : targets) {
        SCOPED_TRACE(path.string());
        expectRefused([&](FileError& error) { return document.save(path.string(), &error); });
    }
}

// Another user's link in a sticky, world-writable folder (such as /tmp) must not send the save
// to the file or folder it names, not even at the end of a chain of links: the kernel would not
// follow it for an open either.
TEST_F(SaveFaults, LinkPlantedInASharedFolder) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to make a link of another user";
    const fs::path shared = dir.path() / "shared";
    fs::create_directory(shared);
    fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
    fs::permissions(folder(), fs::perms::owner_all);
    const fs::path planted = shared / "out.table";
    fs::create_symlink(target(), planted);
    ASSERT_EQ(lchown(planted.c_str(), nobodyId, nogroupId), 0);
    fs::create_symlink("out.table", shared / "mine.table");
    // A folder on the way counts as much as the file at the end.
    const fs::path plantedFolder = shared / "proj";
    fs::create_directory_symlink(folder(), plantedFolder);
    ASSERT_EQ(lchown(plantedFolder.c_str(), nobodyId, nogroupId), 0);
    for (const fs::path& path : {planted, shared / "mine.table", plantedFolder / "data.table",
                                 plantedFolder / "new.table"}) {
        SCOPED_TRACE(path.string());
        expectRefused([&](FileError& error) { return document.save(path.string(), &error); });
    }
}

// In a folder this user may write but not read, the new file takes the target's place but the
// folder cannot be flushed: the save must say so, not that nothing was written.
TEST_F(SaveFaults, FolderThatCannotBeFlushedAfterTheRename) {
    fs::permissions(folder(), fs::perms::owner_write | fs::perms::owner_exec);
    FileError error;
    bool saved = false;
    {
        UnprivilegedSave unprivileged({dir.path(), folder(), target()});
        saved = document.save(target(), &error);
    }
    fs::permissions(folder(), fs::perms::owner_all);
    EXPECT_FALSE(saved);
    EXPECT_TRUE(error.targetReplaced);
    EXPECT_TRUE(error.text().starts_with("saved, but the folder could not be flushed to disk: "))
        << error.text();
    InfoFile reloaded;
    ASSERT_TRUE(reloaded.load(target(), documentation));
    EXPECT_EQ(reloaded.items[0].values[0].intValue(), 77u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 1);
}

} // namespace
} // namespace kestra
