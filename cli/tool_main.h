#pragma once

#include <ostream>
#include <span>
#include <string>

namespace kestra::tool {

// Runs kestra-tool with its arguments (the program name left out) and returns the exit status.
int runTool(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

} // namespace kestra::tool
