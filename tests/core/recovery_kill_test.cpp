#include "recovery/document_journal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/journal_replay.h"
#include "support/test_support.h"

namespace kestra {
namespace {

// Step n changes value n of its item; the lengths vary so that records end at every offset.
JournalRecord stepNumber(std::uint32_t n) {
    const std::vector<std::uint8_t> after(n % 97, std::uint8_t(n));
    return {JournalRecord::Kind::Step, {EditKind::Apply, n, {{0, {}, after}}, {}}};
}

// Appends steps until it is killed, telling the pipe how many were flushed every 50 steps.
[[noreturn]] void appendUntilKilled(const std::string& path, int flushedPipe) {
    DocumentJournal journal;
    journal.follow(path, StringWidth::Bytes16);
    for (std::uint32_t n = 0;; ++n) {
        if (journal.append(stepNumber(n), InfoFile{}))
            ::_exit(1);
        if (n % 50 == 49) {
            const std::uint32_t flushed = n + 1;
            if (journal.sync() || ::write(flushedPipe, &flushed, sizeof flushed) < 0)
                ::_exit(1);
        }
    }
}

TEST(RecoveryJournal, AWriterKilledWhileAppendingLeavesEveryFlushedStepAndNoTornOne) {
    testing::TempDir dir;
    const std::string path = dir.file("birds.table");
    testing::writeFile(path, {1, 2, 3, 4});
    ASSERT_EQ(::setenv("XDG_STATE_HOME", dir.file("state").c_str(), 1), 0);
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        appendUntilKilled(path, pipeEnds[1]);
    ::close(pipeEnds[1]);
    std::uint32_t flushed = 0;
    ASSERT_EQ(::read(pipeEnds[0], &flushed, sizeof flushed), ssize_t(sizeof flushed));
    std::this_thread::sleep_for(std::chrono::microseconds(std::rand() % 20000));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    while (::read(pipeEnds[0], &flushed, sizeof flushed) == ssize_t(sizeof flushed)) {
    }
    ::close(pipeEnds[0]);

    const FoundJournal found = findJournal(path, StringWidth::Bytes16);
    ASSERT_EQ(found.fit, FoundJournal::Fit::Matches);
    EXPECT_GE(found.contents.records, flushed);
    ByteSource source;
    FileError error;
    ASSERT_TRUE(openJournal(found.journalPath, source, error));
    const std::vector<JournalRecord> records = testing::journalReplay(source)->records;
    ASSERT_EQ(records.size(), found.contents.records);
    for (std::uint32_t n = 0; n < records.size(); ++n)
        ASSERT_EQ(records[n], stepNumber(n)) << "step " << n;
    ::unsetenv("XDG_STATE_HOME");
}

} // namespace
} // namespace kestra
