#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sys/wait.h>
#include <thread>

#include "io/writer_lock.h"
#include "tool_runner.h"

namespace kestra::testing {
namespace {

using namespace std::chrono_literals;

// Another writer holds the file and then renames its new file into place, which a third writer
// holds next: the tool waits for both and then edits the new file, so every edit is kept. A dry
// run does not wait.
TEST(ToolWriterLock, WaitsForTheWriterHoldingTheFileAndEditsWhatItSaved) {
    const TempDir folder;
    const std::string file = folder.file("a.table");
    writeFile(file, twoItemFile());
    WriterLock other;
    ASSERT_TRUE(other.lock(file, 0ms));
    ASSERT_TRUE(other.held());
    EXPECT_EQ(runTool(folder, {"set", "a.table", "1", "3", "5", "--dry-run"}).status, 1);

    const pid_t tool = startTool(folder, {"set", "a.table", "1", "3", "5"});
    auto expectWaiting = [tool] {
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(::waitpid(tool, nullptr, WNOHANG), 0) << "the tool did not wait";
    };
    expectWaiting();
    EXPECT_EQ(runTool(folder, {"set", "a.table", "0", "3", "8", "-o", "new.table"}).status, 0);
    std::filesystem::rename(folder.file("new.table"), file);
    WriterLock third;
    ASSERT_TRUE(third.lock(file, 0ms));
    other.unlock();
    expectWaiting();
    third.unlock();

    const ToolRun run = waitForTool(folder, tool);
    EXPECT_EQ(run.status, 0) << run.err;
    const ToolRun dump = runTool(folder, {"dump", "a.table", "--format", "csv"});
    EXPECT_NE(dump.out.find("0,\"Longer12345\",40.000000,7,8\r\n1,\"B\",1.000000,1,5\r\n"),
              std::string::npos)
        << dump.out;
}

} // namespace
} // namespace kestra::testing
