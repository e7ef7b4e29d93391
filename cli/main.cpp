#include <string>
#include <unistd.h>
#include <vector>

#include "tool_main.h"
#include "tool_output.h"

int main(int argc, char** argv) {
    using namespace kestra::tool;
    reserveStandardDescriptor(STDIN_FILENO);
    ToolOutput out(STDOUT_FILENO, reserveStandardDescriptor(STDOUT_FILENO));
    ToolOutput err(STDERR_FILENO, reserveStandardDescriptor(STDERR_FILENO));
    err << std::unitbuf; // a warning shows at once, before a long command's output
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return runTool(arguments, out, err);
}
