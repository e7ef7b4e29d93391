#pragma once

#include <cstdint>

namespace kestra {

// The process's resident memory now, from /proc/self/statm, in bytes.
std::uint64_t residentBytes();
// The most the process has held resident so far (VmHWM in /proc/self/status), in bytes.
std::uint64_t peakResidentBytes();

} // namespace kestra
