#include "resident_memory.h"

#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace kestra {

namespace {
constexpr std::uint64_t bytesPerKibibyte = 1024;
}

std::uint64_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t sizePages = 0;
    std::uint64_t residentPages = 0;
    if (!(statm >> sizePages >> residentPages))
        throw std::runtime_error("cannot read /proc/self/statm");
    return residentPages * std::uint64_t(::sysconf(_SC_PAGESIZE));
}

std::uint64_t peakResidentBytes() {
    std::ifstream status("/proc/self/status");
    for (std::string field; status >> field;) {
        if (field == "VmHWM:") {
            std::uint64_t kibibytes = 0;
            status >> kibibytes;
            return kibibytes * bytesPerKibibyte;
        }
    }
    throw std::runtime_error("cannot find VmHWM in /proc/self/status");
}

} // namespace kestra
