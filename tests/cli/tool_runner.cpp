#include "tool_runner.h"

#include <fcntl.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>

extern char** environ;

namespace kestra::testing {

namespace {

class SpawnActions {
public:
    SpawnActions() { posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

std::vector<std::string> toolCommand(const std::vector<std::string>& arguments) {
    std::vector<std::string> words = {KESTRA_TOOL_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return words;
}

std::vector<char*> argumentVector(std::vector<std::string>& words) {
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    return argv;
}

// The test writes the tool's standard input; a tool that stops reading must not end the test
// with SIGPIPE. The tool itself starts with the default action (see runTool).
void ignoreBrokenPipes() {
    static const auto previous = std::signal(SIGPIPE, SIG_IGN);
    static_cast<void>(previous);
}

class SpawnAttributes {
public:
    SpawnAttributes() {
        posix_spawnattr_init(&attributes_);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        posix_spawnattr_setsigdefault(&attributes_, &defaults);
        posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnAttributes() { posix_spawnattr_destroy(&attributes_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    const posix_spawnattr_t* get() const { return &attributes_; }

private:
    posix_spawnattr_t attributes_;
};

// The tool's exit status, or -1 with the signal that ended it.
int waitFor(pid_t child, int* signal = nullptr) {
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        throw std::runtime_error("cannot wait for the tool");
    if (signal)
        *signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void writeAll(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written <= 0)
            return; // the tool stopped reading; what it did is the test's to judge
        done += std::size_t(written);
    }
}

} // namespace

ToolRun runTool(const TempDir& folder, const std::vector<std::string>& arguments,
                const ToolStreams& streams) {
    ignoreBrokenPipes();
    const std::string outPath = folder.file(".tool-out");
    const std::string errPath = folder.file(".tool-err");
    SpawnActions actions;
    posix_spawn_file_actions_addchdir_np(actions.get(), folder.path().c_str());
    int input[2] = {-1, -1};
    if (streams.input.empty()) {
        posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
    } else {
        if (::pipe2(input, O_CLOEXEC) != 0)
            throw std::runtime_error("cannot make a pipe");
        posix_spawn_file_actions_adddup2(actions.get(), input[0], 0);
    }
    switch (streams.output) {
    case ToolStreams::Output::Collected:
        posix_spawn_file_actions_addopen(actions.get(), 1, outPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        break;
    case ToolStreams::Output::Full:
        posix_spawn_file_actions_addopen(actions.get(), 1, "/dev/full", O_WRONLY, 0);
        break;
    case ToolStreams::Output::Closed:
        posix_spawn_file_actions_addclose(actions.get(), 1);
        break;
    }
    posix_spawn_file_actions_addopen(actions.get(), 2, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<std::string> words = toolCommand(arguments);
    std::vector<char*> argv = argumentVector(words);
    const SpawnAttributes attributes;
    pid_t child = 0;
    const int failure =
        posix_spawn(&child, argv[0], actions.get(), attributes.get(), argv.data(), environ);
    if (input[0] >= 0) {
        ::close(input[0]);
        if (failure == 0)
            writeAll(input[1], streams.input);
        ::close(input[1]);
    }
    if (failure != 0)
        throw std::runtime_error("cannot start the tool");

    ToolRun run;
    run.status = waitFor(child, &run.signal);
    run.out = streams.output == ToolStreams::Output::Collected ? readText(outPath) : "";
    run.err = readText(errPath);
    return run;
}

pid_t startTool(const TempDir& folder, const std::vector<std::string>& arguments,
                const std::function<void()>& beforeStart) {
    const std::string outPath = folder.file(".tool-out");
    const std::string errPath = folder.file(".tool-err");
    std::vector<std::string> words = toolCommand(arguments);
    std::vector<char*> argv = argumentVector(words);
    const pid_t child = fork();
    if (child < 0)
        throw std::runtime_error("cannot start the tool");
    if (child == 0) {
        std::signal(SIGPIPE, SIG_DFL);
        // Opened first, so that the tool starts even where `beforeStart` makes it a user who
        // could not reach the build folder.
        const int executable = open(argv[0], O_RDONLY | O_CLOEXEC);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (executable < 0 || out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 ||
            chdir(folder.path().c_str()) != 0)
            _exit(127);
        if (beforeStart)
            beforeStart();
        fexecve(executable, argv.data(), environ);
        _exit(127);
    }
    return child;
}

ToolRun waitForTool(const TempDir& folder, pid_t tool) {
    ToolRun run;
    run.status = waitFor(tool, &run.signal);
    run.out = readText(folder.file(".tool-out"));
    run.err = readText(folder.file(".tool-err"));
    return run;
}

std::string runToolOnTerminal(const TempDir& folder, const std::vector<std::string>& arguments) {
    std::vector<std::string> words = toolCommand(arguments);
    std::vector<char*> argv = argumentVector(words);
    termios settings{};
    cfmakeraw(&settings);
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, &settings, nullptr);
    if (child < 0)
        throw std::runtime_error("cannot open a pseudo-terminal");
    if (child == 0) {
        std::signal(SIGPIPE, SIG_DFL);
        if (::chdir(folder.path().c_str()) == 0)
            ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    // Read until the tool has closed its side: then the terminal reports an error (EIO).
    std::string received;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(terminal, buffer, sizeof buffer);
        if (got <= 0)
            break;
        received.append(buffer, std::size_t(got));
    }
    ::close(terminal);
    waitFor(child);
    return received;
}

std::vector<std::uint8_t> twoItemFile() {
    return hexBytes("00000002 00000004 00000040 00000020"
                    "0000000A 0002 0002 0000 0001"
                    "00000014 0001 0000 0010 0002"
                    "0000001E 0000 0001 0014 0007"
                    "00000028 FFFF FFFF 0018 0000"
                    "4C6F6E67 65723132 33343500 00000000 42200000 00000007 00000009 00000000"
                    "42000000 00000000 00000000 00000000 3F800000 00000001 00000002 40404040");
}

void writeText(const std::string& path, const std::string& text) {
    writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string readText(const std::string& path) {
    const std::vector<std::uint8_t> bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace kestra::testing
