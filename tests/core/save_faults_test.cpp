// Saves that fail for real reasons: the disk filling up, the folder gone or read-only, the target
// turned into a folder, names and paths past the platform's limits. Each must report failure and
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
#include <unistd.h>

#include "document/info_file.h"
#include "format/byte_order.h"
#include "info_file_bytes.h"
#include "names/documentation_table.h"
#include "support/test_support.h"

namespace kestra {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

constexpr std::uint32_t itemLength = 8;
constexpr uid_t nobodyId = 65534;

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

// Runs the save as an ordinary user when the tests run as root, for whom permission bits mean
// nothing; the folder is handed to that user first so that only its mode bits stand in the way.
class UnprivilegedSave {
public:
    explicit UnprivilegedSave(const fs::path& folder) : root_(geteuid() == 0) {
        if (!root_)
            return;
        const std::string path = folder.string();
        EXPECT_EQ(chown(path.c_str(), nobodyId, nobodyId), 0);
        EXPECT_EQ(chown(folder.parent_path().c_str(), nobodyId, nobodyId), 0);
        EXPECT_EQ(seteuid(nobodyId), 0);
    }
    ~UnprivilegedSave() {
        if (root_) {
            EXPECT_EQ(seteuid(0), 0);
        }
    }
    UnprivilegedSave(const UnprivilegedSave&) = delete;
    UnprivilegedSave& operator=(const UnprivilegedSave&) = delete;

private:
    bool root_;
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
        UnprivilegedSave unprivileged(folder());
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

// The temporary file must not need a longer name than the target: a name at the limit saves.
TEST_F(SaveFaults, NameAtTheLimitSaves) {
    const std::string name = (folder() / std::string(NAME_MAX, 'n')).string();
    ASSERT_TRUE(document.save(name));
    InfoFile reloaded;
    ASSERT_TRUE(reloaded.load(name, documentation));
    EXPECT_EQ(reloaded.items[0].values[0].intValue(), 77u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 2);
}

} // namespace
} // namespace kestra
