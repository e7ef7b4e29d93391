// Saves that end early: interrupted by a signal, stopped by the file size limit. Neither may
// leave a temporary file behind, and the status and standard error must say what happened.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tool_runner.h"

namespace kestra::testing {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> setInPlace{"set", "a.table", "0", "3", "5"};

// The temporary files of a save of `name` in `folder`.
std::vector<std::string> temporaryFiles(const fs::path& folder, const std::string& name) {
    std::vector<std::string> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string file = entry.path().filename().string();
        if (file.starts_with("." + name + "."))
            found.push_back(file);
    }
    return found;
}

// As a shell starts a command: the test runner may have been started with SIGINT ignored.
void defaultSignals() {
    for (int signal : {SIGINT, SIGTERM, SIGXFSZ})
        std::signal(signal, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
}

// Runs `set` stopping at each of its system calls and sends `signal` at the first stop where
// its temporary file exists: always during the save, before the rename.
ToolRun interruptSave(const TempDir& folder, int signal) {
    const pid_t tool = startTool(folder, setInPlace, [] {
        defaultSignals();
        ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    });
    int status = 0;
    waitpid(tool, &status, 0); // stopped on starting the program
    ptrace(PTRACE_SETOPTIONS, tool, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    int handedOn = 0; // a signal the tool got meanwhile
    while (temporaryFiles(folder.path(), "a.table").empty()) {
        ptrace(PTRACE_SYSCALL, tool, nullptr, handedOn);
        if (waitpid(tool, &status, 0) != tool || !WIFSTOPPED(status))
            throw std::runtime_error("the tool ended before it began to save");
        handedOn = WSTOPSIG(status) == (SIGTRAP | 0x80) ? 0 : WSTOPSIG(status);
    }
    kill(tool, signal);
    ptrace(PTRACE_DETACH, tool, nullptr, nullptr);
    return waitForTool(folder, tool);
}

TEST(ToolSaveFaults, SignalDuringTheSaveRemovesTheTemporaryFile) {
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(strsignal(signal));
        const TempDir folder;
        writeFile(folder.file("a.table"), twoItemFile());
        const ToolRun run = interruptSave(folder, signal);
        EXPECT_EQ(run.signal, signal) << run.err;
        EXPECT_EQ(temporaryFiles(folder.path(), "a.table"), std::vector<std::string>{});
        EXPECT_EQ(readFile(folder.file("a.table")), twoItemFile());
    }
}

TEST(ToolSaveFaults, FileSizeLimitIsAnErrorNotTheEndOfTheTool) {
    const TempDir folder;
    writeFile(folder.file("a.table"), twoItemFile());
    const ToolRun run = waitForTool(folder, startTool(folder, setInPlace, [] {
                                        defaultSignals();
                                        // Room for the error line, not for the 128-byte file.
                                        const rlimit limit{100, 100};
                                        setrlimit(RLIMIT_FSIZE, &limit);
                                    }));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "kestra-tool: a.table: cannot be saved: writing the file failed: File too large\n");
    EXPECT_EQ(temporaryFiles(folder.path(), "a.table"), std::vector<std::string>{});
    EXPECT_EQ(readFile(folder.file("a.table")), twoItemFile());
}

} // namespace
} // namespace kestra::testing
