#pragma once

#include <cstdint>
#include <fstream>
#include <string>

namespace kestra::testing {

// The process's peak resident size, reset to the current size so that a later reading shows
// the peak of what ran in between. Linux only; false where the counters cannot be used.
class PeakMemory {
public:
    bool reset() {
        std::ofstream clear("/proc/self/clear_refs");
        clear << "5";
        clear.flush();
        start_ = peakKiB();
        return clear.good() && start_ > 0;
    }
    std::uint64_t growthKiB() const { return peakKiB() - start_; }

private:
    static std::uint64_t peakKiB() {
        std::ifstream status("/proc/self/status");
        std::string field;
        while (status >> field) {
            if (field == "VmHWM:") {
                std::uint64_t kib = 0;
                status >> kib;
                return kib;
            }
        }
        return 0;
    }
    std::uint64_t start_ = 0;
};

} // namespace kestra::testing
