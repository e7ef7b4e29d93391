#include "io/zero_scan.h"

#include <algorithm>
#include <limits>

namespace kestra {

namespace {

constexpr std::size_t windowSize = std::size_t(8) << 20;

} // namespace

ZeroScan::ZeroScan(const ByteSource& source) : source_(source), window_(windowSize) {}

bool ZeroScan::reach(std::uint64_t position, FileError& error) {
    // Positions only grow, so one below available_ is known.
    if (position < available_)
        return true;
    std::uint64_t data = 0;
    std::uint64_t hole = 0;
    if (!source_.dataAfter(position, data, hole, error))
        return false;
    if (data >= source_.size()) { // nothing but holes, and past the end zeros as well
        start_ = available_ = std::numeric_limits<std::uint64_t>::max();
        return true;
    }
    start_ = data;
    available_ = std::min<std::uint64_t>(hole, data + window_.size());
    return source_.read(start_, {window_.data(), std::size_t(available_ - start_)}, error);
}

} // namespace kestra
