#pragma once

#include <string>
#include <vector>

namespace kestra {

// Runs the program `arguments[0]` (found on PATH when it has no slash) with the rest as its
// arguments, its standard output written to `output` (thrown away unless asked), and returns its
// exit status. Throws std::runtime_error when it cannot be started or ends by a signal.
int runProcess(const std::vector<std::string>& arguments, const std::string& output = "/dev/null");

} // namespace kestra
