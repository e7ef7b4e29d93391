// Saves that end early or only part-way: interrupted by a signal, stopped by the file size
// limit, refused or left unflushed for an ordinary user. None may leave a temporary file behind,
// and the status and the one line on standard error must say what happened.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <grp.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/unprivileged_save.h"
#include "tool_runner.h"

namespace kestra::testing {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> setInPlace{"set", "a.table", "0", "3", "5"};

bool isSavesOwn(const std::string& file, const std::string& target) {
    return file != target && file != ".tool-out" && file != ".tool-err";
}

// What a save of `name` in `folder` left there besides it (and the runner's output files).
std::vector<std::string> temporaryFiles(const fs::path& folder, const std::string& name) {
    std::vector<std::string> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string file = entry.path().filename().string();
        if (isSavesOwn(file, name))
            found.push_back(file);
    }
    return found;
}

// Whether the tool has a file in `folder` open besides a.table: the save's new file, named or not.
bool fillingNewFile(pid_t tool, const fs::path& folder) {
    const fs::path descriptors = "/proc/" + std::to_string(tool) + "/fd";
    for (const fs::directory_entry& entry : fs::directory_iterator(descriptors)) {
        std::error_code gone;
        const fs::path file = fs::read_symlink(entry.path(), gone);
        if (file.parent_path() == folder && isSavesOwn(file.filename().string(), "a.table"))
            return true;
    }
    return false;
}

const int endingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM};

// As a shell starts a command: the test runner may have been started with SIGINT ignored.
void defaultSignals() {
    for (int signal : endingSignals)
        std::signal(signal, SIG_DFL);
    std::signal(SIGXFSZ, SIG_DFL);
    const rlimit noCore{0, 0}; // SIGQUIT would dump one into the folder
    setrlimit(RLIMIT_CORE, &noCore);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
}

// Runs `set` stopping at each of its system calls and sends `signal` at the first stop where
// it has its new file open: always during the save, before the rename.
ToolRun interruptSave(const TempDir& folder, int signal) {
    const pid_t tool = startTool(folder, setInPlace, [] {
        defaultSignals();
        ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    });
    int status = 0;
    waitpid(tool, &status, 0); // stopped on starting the program
    ptrace(PTRACE_SETOPTIONS, tool, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    int handedOn = 0; // a signal the tool got meanwhile
    while (!fillingNewFile(tool, folder.path())) {
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
    for (int signal : endingSignals) {
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
    const TempDir names;
    writeText(names.file("names.dat"), twoItemNames);
    // The file saved whole, and a text written into its place as it is made, which meets the
    // limit part-way.
    const std::vector<std::string> commands[] = {
        setInPlace, {"dump", "a.table", "--doc", names.file("names.dat"), "-o", "a.table"}};
    for (const std::vector<std::string>& arguments : commands) {
        SCOPED_TRACE(arguments.front());
        const TempDir folder;
        writeFile(folder.file("a.table"), twoItemFile());
        const ToolRun run = waitForTool(folder, startTool(folder, arguments, [] {
                                            defaultSignals();
                                            // Room for the error line, not for the file.
                                            const rlimit limit{100, 100};
                                            setrlimit(RLIMIT_FSIZE, &limit);
                                        }));
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "kestra-tool: a.table: cannot be saved: writing the file failed: File "
                           "too large\n");
        EXPECT_EQ(temporaryFiles(folder.path(), "a.table"), std::vector<std::string>{});
        EXPECT_EQ(readFile(folder.file("a.table")), twoItemFile());
    }
}

// A read-only file is refused. In a folder that cannot be read, and so cannot be flushed, the
// file is saved and the tool says so; it is still status 2, since a crash could undo the save.
TEST(ToolSaveFaults, AsAnOrdinaryUser) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to run the tool as another user";
    struct Case {
        fs::perms folderMode;
        fs::perms fileMode;
        const char* message;
        bool saved;
    };
    const Case cases[] = {
        {fs::perms(0700), fs::perms(0444),
         "kestra-tool: docs/a.table: cannot be saved: cannot open the target for writing: "
         "Permission denied\n",
         false},
        {fs::perms(0300), fs::perms(0644),
         "kestra-tool: docs/a.table: saved, but the folder could not be flushed to disk: "
         "Permission denied\n",
         true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const TempDir folder;
        const fs::path docs = folder.path() / "docs";
        fs::create_directory(docs);
        writeFile((docs / "a.table").string(), twoItemFile());
        fs::permissions(docs / "a.table", c.fileMode);
        fs::permissions(docs, c.folderMode);
        for (const fs::path& path : {folder.path(), docs, docs / "a.table"})
            ASSERT_EQ(chown(path.c_str(), nobodyId, nogroupId), 0);

        const ToolRun run = waitForTool(
            folder, startTool(folder, {"set", "docs/a.table", "0", "3", "5"}, [] {
                if (setgroups(0, nullptr) != 0 || setgid(nogroupId) != 0 || setuid(nobodyId) != 0)
                    _exit(126);
            }));
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, c.message);
        fs::permissions(docs, fs::perms::owner_all);
        EXPECT_EQ(readFile((docs / "a.table").string()) != twoItemFile(), c.saved);
        EXPECT_EQ(temporaryFiles(docs, "a.table"), std::vector<std::string>{});
    }
}

} // namespace
} // namespace kestra::testing
