#include "tool_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <stdexcept>

extern char** environ;

namespace kestra::testing {

namespace {

std::string readText(const std::string& path) {
    const std::vector<std::uint8_t> bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

ToolRun runTool(const TempDir& folder, const std::vector<std::string>& arguments) {
    const std::string outPath = folder.file(".tool-out");
    const std::string errPath = folder.file(".tool-err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.path().c_str());
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);

    std::string program = KESTRA_TOOL_PATH;
    std::vector<std::string> words = arguments;
    std::vector<char*> argv{program.data()};
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    pid_t child = 0;
    const int failure =
        posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0)
        throw std::runtime_error("cannot start " + program);
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        throw std::runtime_error("cannot wait for " + program);

    ToolRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readText(outPath);
    run.err = readText(errPath);
    return run;
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
