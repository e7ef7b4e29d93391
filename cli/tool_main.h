#pragma once

#include <span>
#include <string>

#include "tool_output.h"

namespace kestra::tool {

// Runs kestra-tool with its arguments (the program name left out) and returns the exit status.
// A failed write to `out` ends the command with status 2 and one line on `err`.
int runTool(std::span<const std::string> arguments, ToolOutput& out, ToolOutput& err);

} // namespace kestra::tool
