#pragma once

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "support/test_support.h"

namespace kestra::testing {

struct ToolRun {
    int status = -1; // -1 when a signal ended the tool
    int signal = 0;  // the signal that ended it, or 0
    std::string out;
    std::string err;
};

// What the tool's standard streams are: standard input a pipe fed with `input` (or /dev/null
// when it is empty), standard output a file that is collected, /dev/full, or closed.
struct ToolStreams {
    enum class Output { Collected, Full, Closed };
    std::string input;
    Output output = Output::Collected;
};

// Runs the built kestra-tool with `arguments` in `folder` (its current directory, where it looks
// for InfoFileDocumentation.dat) and collects its exit status and both output streams.
ToolRun runTool(const TempDir& folder, const std::vector<std::string>& arguments,
                const ToolStreams& streams = {});

// The same in two steps, for a test that acts on the tool while it runs. `beforeStart` runs in
// the tool's new process before the tool does (between fork and exec: system calls only).
pid_t startTool(const TempDir& folder, const std::vector<std::string>& arguments,
                const std::function<void()>& beforeStart = {});
ToolRun waitForTool(const TempDir& folder, pid_t tool);

// Runs the tool with its standard output and standard error on a new pseudo-terminal (output
// processing off, so the bytes arrive as written) and returns what the terminal received.
std::string runToolOnTerminal(const TempDir& folder, const std::vector<std::string>& arguments);

// Two items of four properties, 16-byte strings under a path not ending in "info", saved as the
// tool saves (so load-then-save gives the same bytes): property 0 (ID 10, string), 1 (ID 20,
// float) and 2 (ID 30, integer) are linked, property 3 (ID 40, integer) is not. Item 0 holds
// "Longer12345", 40.0, 7, 9; item 1 "B", 1.0, 1, 2.
std::vector<std::uint8_t> twoItemFile();
// The names "Name" for ID 10 and "Speed" for ID 20.
inline constexpr const char* twoItemNames = "(10) \"Name\"\n(20) \"Speed\"\n";

void writeText(const std::string& path, const std::string& text);
std::string readText(const std::string& path);

} // namespace kestra::testing
