#include "tool_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

extern char** environ;

namespace kestra::testing {

namespace {

std::string readText(const std::string& path) {
    const std::vector<std::uint8_t> bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

pid_t startTool(const TempDir& folder, const std::vector<std::string>& arguments,
                const std::function<void()>& beforeStart) {
    const std::string outPath = folder.file(".tool-out");
    const std::string errPath = folder.file(".tool-err");
    std::string program = KESTRA_TOOL_PATH;
    std::vector<std::string> words = arguments;
    std::vector<char*> argv{program.data()};
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child < 0)
        throw std::runtime_error("cannot start " + program);
    if (child == 0) {
        // Opened first, so that the tool starts even where `beforeStart` makes it a user who
        // could not reach the build folder.
        const int executable = open(program.c_str(), O_RDONLY | O_CLOEXEC);
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
    int status = 0;
    if (waitpid(tool, &status, 0) != tool)
        throw std::runtime_error("cannot wait for kestra-tool");
    ToolRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    run.out = readText(folder.file(".tool-out"));
    run.err = readText(folder.file(".tool-err"));
    return run;
}

ToolRun runTool(const TempDir& folder, const std::vector<std::string>& arguments) {
    return waitForTool(folder, startTool(folder, arguments));
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

} // namespace kestra::testing
