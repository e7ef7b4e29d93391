#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestra {

// Runs the program `arguments[0]` (found on PATH when it has no slash) with the rest as its
// arguments, its standard output thrown away, and returns its exit status. Throws
// std::runtime_error when it cannot be started or ends by a signal.
// `peakBytes`, when given, receives the process's peak resident memory.
int runProcess(const std::vector<std::string>& arguments, std::uint64_t* peakBytes = nullptr);

} // namespace kestra
