#include "recovery/base_file.h"
#include "recovery/crc32c.h"
#include "recovery/recovery_journal.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/journal_replay.h"
#include "support/test_support.h"

namespace kestra {
namespace {

using Kind = JournalRecord::Kind;

JournalRecord step(EditKind kind, std::vector<ValueChange> values, std::vector<std::uint8_t> item) {
    return {Kind::Step, {kind, 3, std::move(values), std::move(item)}};
}

const std::vector<JournalRecord> everyKind{
    step(EditKind::Apply, {{1, {0, 0, 0, 1}, {0, 0, 0, 2}}, {4, {'a', 0}, {'b', 'c'}}}, {}),
    step(EditKind::NewItem, {}, {0, 0, 0, 0}),
    step(EditKind::CopyItem, {}, {1, 2, 3, 4}),
    step(EditKind::DeleteItem, {}, {9, 8, 7, 6}),
    {Kind::Undo, {}},
    {Kind::Redo, {}},
};

TEST(RecoveryJournal, EveryRecordRoundTripsAndATornLastRecordEndsTheReplayBeforeIt) {
    EXPECT_EQ(crc32c({reinterpret_cast<const std::uint8_t*>("123456789"), 9}), 0xE3069283u);
    testing::TempDir dir;
    const std::string path = journalPathFor(dir.file("recovery"), "/data/birds.table");
    const JournalBase base{"/data/birds.table", 1, 2, 3, 4, 5, 6, 2};
    JournalWriter writer;
    FileError error;
    ASSERT_TRUE(writer.create(path, base, error)) << error.text();
    for (const JournalRecord& record : everyKind)
        ASSERT_TRUE(writer.append(record, error)) << error.text();
    ASSERT_TRUE(writer.sync(error));
    EXPECT_FALSE(JournalWriter().create(path, base, error)); // never reuses one that exists

    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(dir.file("recovery").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);

    const std::optional<JournalContents> read = readJournal(path, error);
    ASSERT_TRUE(read) << error.text();
    EXPECT_EQ(read->base, base);
    ByteSource source;
    ASSERT_TRUE(openJournal(path, source, error));
    EXPECT_EQ(testing::journalReplay(source)->records, everyKind);

    const std::vector<std::uint8_t> bytes = testing::readFile(path);
    const std::size_t lastStart = bytes.size() - encodeJournalRecord(everyKind.back()).size();
    for (std::size_t cut = lastStart; cut < bytes.size(); ++cut) {
        std::vector<std::uint8_t> torn(bytes.begin(), bytes.begin() + std::ptrdiff_t(cut));
        const std::optional<JournalContents> replay = scanJournal(ByteSource(torn), error);
        ASSERT_TRUE(replay);
        EXPECT_EQ(replay->records, everyKind.size() - 1) << "cut at " << cut;
    }
    std::vector<std::uint8_t> damaged = bytes;
    damaged.back() ^= 1;
    EXPECT_EQ(scanJournal(ByteSource(damaged), error)->records, everyKind.size() - 1);
    damaged[10] ^= 1;
    EXPECT_FALSE(scanJournal(ByteSource(damaged), error)); // a damaged header is no journal

    const std::vector<std::uint8_t> document{1, 2, 3};
    ASSERT_TRUE(writer.restart(
        4,
        [&](const WriteAt& write) {
            return write(1, {&document[1], 2}) && write(0, {document});
        },
        error))
        << error.text();
    ASSERT_TRUE(writer.append(everyKind[4], error));
    const std::vector<JournalRecord> restarted{{Kind::Snapshot, {}}, everyKind[4]};
    ASSERT_TRUE(openJournal(path, source, error));
    const std::optional<testing::JournalReplay> replay = testing::journalReplay(source);
    EXPECT_EQ(replay->records, restarted);
    EXPECT_EQ(replay->snapshot, (std::vector<std::uint8_t>{1, 2, 3, 0}));
    ASSERT_TRUE(writer.remove(error));
    EXPECT_FALSE(readJournal(path, error));
}

TEST(RecoveryJournal, RecordsAcrossTheEdgeOfAReadAheadReadBackWhole) {
    testing::TempDir dir;
    const std::string path = dir.file("birds.journal");
    JournalWriter writer;
    FileError error;
    ASSERT_TRUE(writer.create(path, {"/data/birds.table", 1, 2, 3, 4, 5, 6, 2}, error));
    std::vector<JournalRecord> steps;
    // The lengths vary so that records end at every offset of a read ahead.
    for (std::uint8_t n = 0; writer.size() < 3 << 16; ++n) {
        steps.push_back(step(EditKind::Apply, {{n, std::vector<std::uint8_t>(n, n), {}}}, {}));
        ASSERT_TRUE(writer.append(steps.back(), error));
    }
    ByteSource source;
    ASSERT_TRUE(openJournal(path, source, error));
    EXPECT_EQ(testing::journalReplay(source)->records, steps);
}

TEST(RecoveryJournal, AppliesOnlyToTheSameFileOrTheSameBytes) {
    const JournalBase base{"/data/birds.table", 1, 2, 3, 4, 5, 6, 2};
    struct Case {
        JournalBase now;
        bool matches;
    };
    const Case cases[] = {
        {base, true},
        {{"/data/birds.table", 1, 9, 8, 7, 5, 6, 2}, true},  // restored copy, same bytes
        {{"/data/birds.table", 1, 2, 8, 4, 5, 7, 2}, false}, // written in place meanwhile
        {{"/data/birds.table", 1, 2, 3, 4, 6, 6, 2}, false}, // grown
        {{"/data/other.table", 1, 2, 3, 4, 5, 6, 2}, false},
        {{"/data/birds.table", 1, 2, 3, 4, 5, 6, 4}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(baseMatches(base, c.now), c.matches) << c.now.inode << " " << c.now.path;
}

} // namespace
} // namespace kestra
