#include "document/info_file.h"

#include <gtest/gtest.h>

#include <ostream>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

#include "info_file_fixtures.h"
#include "support/unprivileged_save.h"

namespace kestra {
namespace {

namespace fs = std::filesystem;
using testing::hexBytes;
using testing::repeated;

struct EditCase {
    const char* what;
    std::string input;
    std::function<void(InfoFile&)> edit;
    std::string expected;
};

void PrintTo(const EditCase& c, std::ostream* out) {
    *out << c.what;
}

class InfoFileSerialize : public ::testing::TestWithParam<EditCase> {};

TEST_P(InfoFileSerialize, WritesInTheFormatsOrder) {
    InfoFile document = testing::loaded(hexBytes(GetParam().input));
    GetParam().edit(document);
    EXPECT_EQ(document.serialize(testing::smallFileLimit), hexBytes(GetParam().expected));
}

const std::string oneIntegerHeader = "00000001 00000001 ";
const std::string integerAtZero = "00000001 0000 0000 0000 0000 ";

INSTANTIATE_TEST_SUITE_P(
    Edits, InfoFileSerialize,
    ::testing::Values(
        EditCase{"uncovered gap bytes come back zero",
                 oneIntegerHeader + "00000020 00000004" + integerAtZero + "DEADBEEF 00000007",
                 [](InfoFile&) {},
                 oneIntegerHeader + "00000020 00000004" + integerAtZero + "00000000 00000007" +
                     repeated("40", 28)},
        EditCase{"the later of two overlapping descriptors wins",
                 "00000001 00000002 00000028 00000000" + integerAtZero +
                     "00000002 0000 0000 0000 0002 00000001",
                 [](InfoFile& d) {
                     d.items[0].values[0].setIntValue(0x11111111);
                     d.items[0].values[1].setFloatBits(0x22222222);
                 },
                 "00000001 00000002 00000028 00000000" + integerAtZero +
                     "00000002 0000 0000 0000 0002 22222222" + repeated("40", 20)},
        EditCase{"with itemLength 0 the last item wins",
                 "00000003 00000001 0000001C 00000000" + integerAtZero + "00000000",
                 [](InfoFile& d) {
                     for (std::uint32_t i = 0; i < 3; ++i)
                         d.items[i].values[0].setIntValue(i + 1);
                 },
                 "00000003 00000001 0000001C 00000000" + integerAtZero + "00000003"},
        EditCase{"removing item 0 moves the rest up and shrinks the file",
                 "00000003 00000001 0000001C 00000004" + integerAtZero +
                     "00000001 00000002 00000003",
                 [](InfoFile& d) { d.items.erase(d.items.begin()); },
                 "00000002 00000001 0000001C 00000004" + integerAtZero + "00000002 00000003" +
                     repeated("40", 28)},
        EditCase{"a value placed over the header replaces it",
                 oneIntegerHeader + "00000000 00000000" + integerAtZero,
                 [](InfoFile& d) { d.items[0].values[0].setIntValue(0xCAFEBABE); },
                 "CAFEBABE 00000001 00000000 00000000" + integerAtZero + repeated("40", 4)},
        EditCase{"an empty document is its header and padding",
                 "00000000 00000000 00000000 00000000", [](InfoFile&) {},
                 repeated("00", 16) + repeated("40", 16)}));

TEST(InfoFileSerialize, RefusesAnImageBeyondTheLimit) {
    const InfoFile document = testing::loaded(hexBytes("00000001 00000001 FFFFFFF0 00000000"
                                                       "00000005 0000 0000 0000 0001"),
                                              StringWidth::Bytes32);
    EXPECT_THROW(document.serialize(testing::smallFileLimit), std::length_error);
}

std::vector<std::string> folderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(InfoFileSave, LoadThenSaveReproducesACanonicalFile) {
    testing::TempDir dir;
    const std::string path = dir.file("c.table");
    testing::writeFile(path, testing::canonicalFile());
    InfoFile document;
    ASSERT_TRUE(document.load(path, DocumentationTable{}));
    ASSERT_TRUE(document.save(path));
    EXPECT_EQ(testing::readFile(path), testing::canonicalFile());
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"c.table"});
}

TEST(InfoFileSave, StringWidthComesFromTheTypeCodeNotTheTargetPath) {
    testing::TempDir dir;
    const std::vector<std::uint8_t> original = testing::singleValueFile(
        "0001", repeated("41", 16) + repeated("42", 16) + repeated("40", 4));
    testing::writeFile(dir.file("t.info"), original);

    InfoFile wide;
    ASSERT_TRUE(wide.load(dir.file("t.info"), DocumentationTable{}));
    ASSERT_TRUE(wide.save(dir.file("u.table")));
    EXPECT_EQ(testing::readFile(dir.file("u.table")), original);

    InfoFile narrow;
    ASSERT_TRUE(narrow.load(dir.file("u.table"), DocumentationTable{}));
    EXPECT_EQ(narrow.serialize(testing::smallFileLimit),
              testing::singleValueFile("0001", repeated("41", 16) + repeated("40", 20)));
}

TEST(InfoFileSave, ValuesNearThe4GiBLimitMakeASparseFile) {
    testing::TempDir dir;
    InfoFile document = testing::loaded(hexBytes("00000001 00000001 FFFFFFF0 00000000"
                                                 "00000005 0000 0000 0000 0001"),
                                        StringWidth::Bytes32);
    std::ranges::fill(document.items[0].values[0].field(), 'A');
    const std::string path = dir.file("big.info");
    ASSERT_TRUE(document.save(path));

    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(std::uint64_t(status.st_size), 0x100000020u);
    EXPECT_LT(std::uint64_t(status.st_blocks) * 512, std::uint64_t(64) << 20) << "not sparse";

    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    std::vector<std::uint8_t> tail(48);
    const ssize_t got = ::pread(fd, tail.data(), tail.size(), off_t(0xFFFFFFF0));
    std::vector<std::uint8_t> head(4);
    ::pread(fd, head.data(), head.size(), 0);
    ::close(fd);
    ASSERT_EQ(got, 48);
    EXPECT_EQ(tail, hexBytes(repeated("41", 32) + repeated("40", 16)));
    EXPECT_EQ(head, hexBytes("00000001"));
    fs::remove(path);
}

TEST(InfoFileSave, KeepsPermissionBitsAndFollowsLinks) {
    testing::TempDir dir;
    const InfoFile document = testing::loaded(testing::canonicalFile());
    const std::string target = dir.file("real.table");
    testing::writeFile(target, {1, 2, 3});
    fs::permissions(target, fs::perms(0640));
    fs::create_symlink("real.table", dir.file("link.table"));

    ASSERT_TRUE(document.save(dir.file("link.table")));
    EXPECT_TRUE(fs::is_symlink(dir.file("link.table")));
    EXPECT_EQ(testing::readFile(target), testing::canonicalFile());
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));

    const mode_t previous = ::umask(022);
    const bool saved = document.save(dir.file("new.table"));
    ::umask(previous);
    ASSERT_TRUE(saved);
    EXPECT_EQ(fs::status(dir.file("new.table")).permissions(), fs::perms(0644));

    // A dangling link has the file it names created, as writing through it would.
    fs::create_directory(dir.file("sub"));
    fs::create_symlink("sub/made.table", dir.file("dangling.table"));
    ASSERT_TRUE(document.save(dir.file("dangling.table")));
    EXPECT_TRUE(fs::is_symlink(dir.file("dangling.table")));
    EXPECT_EQ(testing::readFile(dir.file("sub/made.table")), testing::canonicalFile());
}

// Links in a shared folder that the kernel would follow for an open: this user's, the folder
// owner's, and any link in a folder that is not both sticky and world-writable.
TEST(InfoFileSave, FollowsTheLinksInSharedFoldersTheKernelWouldFollow) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to make links of another user";
    struct Case {
        const char* what;
        fs::perms folderMode;
        uid_t folderOwner;
        uid_t linkOwner;
    };
    const fs::perms sticky = fs::perms::all | fs::perms::sticky_bit;
    const Case cases[] = {{"this user's link", sticky, 0, 0},
                          {"the folder owner's link", sticky, testing::nobodyId, testing::nobodyId},
                          {"a folder that is not sticky", fs::perms::all, 0, testing::nobodyId}};
    testing::TempDir dir;
    const InfoFile document = testing::loaded(testing::canonicalFile());
    const std::string target = dir.file("real.table");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::writeFile(target, {1, 2, 3});
        const fs::path shared = dir.path() / "shared";
        fs::remove_all(shared);
        fs::create_directory(shared);
        fs::permissions(shared, c.folderMode);
        ASSERT_EQ(::chown(shared.c_str(), c.folderOwner, c.folderOwner), 0);
        fs::create_symlink(target, shared / "link.table");
        ASSERT_EQ(::lchown((shared / "link.table").c_str(), c.linkOwner, c.linkOwner), 0);

        FileError error;
        EXPECT_TRUE(document.save((shared / "link.table").string(), &error)) << error.message;
        EXPECT_EQ(testing::readFile(target), testing::canonicalFile());
        EXPECT_TRUE(fs::is_symlink(shared / "link.table"));
    }
}

// Root saving another user's file leaves it theirs. A user who cannot give the new file the
// target's group (a group it is not in) still saves, and the file stays its own.
TEST(InfoFileSave, KeepsOwnerAndGroup) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to make files of another user";
    testing::TempDir dir;
    const InfoFile document = testing::loaded(testing::canonicalFile());
    const std::string theirs = dir.file("theirs.table");
    testing::writeFile(theirs, {1, 2, 3});
    ASSERT_EQ(::chown(theirs.c_str(), testing::nobodyId, testing::nogroupId), 0);
    fs::permissions(theirs, fs::perms(0600));
    ASSERT_TRUE(document.save(theirs));
    struct stat status {};
    ASSERT_EQ(::stat(theirs.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, testing::nobodyId);
    EXPECT_EQ(status.st_gid, testing::nogroupId);
    EXPECT_EQ(status.st_mode & 07777, 0600u);

    constexpr gid_t groupOfNobodyElse = 12345;
    const std::string ownFile = dir.file("own.table");
    testing::writeFile(ownFile, {1, 2, 3});
    ASSERT_EQ(::chown(ownFile.c_str(), testing::nobodyId, groupOfNobodyElse), 0);
    bool saved = false;
    {
        testing::UnprivilegedSave unprivileged({dir.path()});
        saved = document.save(ownFile);
    }
    EXPECT_TRUE(saved);
    EXPECT_EQ(testing::readFile(ownFile), testing::canonicalFile());
    ASSERT_EQ(::stat(ownFile.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, testing::nobodyId);
}

// Extended attributes stay with the file, an access control list among them (here one that
// also lets nobody read it).
TEST(InfoFileSave, KeepsExtendedAttributes) {
    testing::TempDir dir;
    const std::string target = dir.file("old.table");
    testing::writeFile(target, {1, 2, 3});
    fs::permissions(target, fs::perms(0640));
    const std::vector<std::uint8_t> acl = hexBytes("02000000 0100 0600 FFFFFFFF 0200 0400 FEFF0000"
                                                   "0400 0400 FFFFFFFF 1000 0400 FFFFFFFF"
                                                   "2000 0000 FFFFFFFF");
    const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> attributes{
        {"user.kestra.origin", hexBytes("666C656574")}, {"system.posix_acl_access", acl}};
    for (const auto& [name, value] : attributes) {
        if (::setxattr(target.c_str(), name, value.data(), value.size(), 0) != 0)
            GTEST_SKIP() << "the temporary folder's file system keeps no " << name;
    }

    ASSERT_TRUE(testing::loaded(testing::canonicalFile()).save(target));
    for (const auto& [name, value] : attributes) {
        SCOPED_TRACE(name);
        std::vector<std::uint8_t> kept(value.size() + 1);
        const ssize_t size = ::getxattr(target.c_str(), name, kept.data(), kept.size());
        ASSERT_GE(size, 0);
        kept.resize(std::size_t(size));
        EXPECT_EQ(kept, value);
    }
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
}

// Each failure must leave the old file byte-identical and no temporary file behind.
class InfoFileSaveFailure : public ::testing::Test {
protected:
    void SetUp() override { testing::writeFile(target, old); }
    void expectFailureLeavesOldFile(const std::string& path,
                                    const std::function<void()>& undo = {}) {
        FileError error;
        const bool saved = testing::loaded(testing::canonicalFile()).save(path, &error);
        if (undo)
            undo();
        EXPECT_FALSE(saved);
        EXPECT_FALSE(error.message.empty());
        EXPECT_EQ(testing::readFile(target), old);
        EXPECT_EQ(folderEntries(dir.path()), folderBefore);
    }

    testing::TempDir dir;
    const std::string target = dir.file("old.table");
    const std::vector<std::uint8_t> old = hexBytes("0102030405");
    std::vector<std::string> folderBefore{"old.table"};
};

TEST_F(InfoFileSaveFailure, FileSizeLimit) {
    rlimit previousLimit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previousLimit), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previousLimit;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    expectFailureLeavesOldFile(target, [&] {
        ::setrlimit(RLIMIT_FSIZE, &previousLimit);
        std::signal(SIGXFSZ, previousHandler);
    });
}

TEST_F(InfoFileSaveFailure, TargetIsAFolder) {
    fs::create_directory(dir.file("sub.table"));
    folderBefore = {"old.table", "sub.table"};
    expectFailureLeavesOldFile(dir.file("sub.table"));
    EXPECT_TRUE(fs::is_empty(dir.file("sub.table")));
}

TEST_F(InfoFileSaveFailure, MissingFolder) {
    expectFailureLeavesOldFile(dir.file("none/x.table"));
}

TEST_F(InfoFileSaveFailure, ReadOnlyFolder) {
    fs::permissions(dir.path(), fs::perms(0555));
    const testing::UnprivilegedSave unprivileged({dir.path(), target});
    expectFailureLeavesOldFile(target);
}

} // namespace
} // namespace kestra
