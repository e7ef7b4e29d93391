#pragma once

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

namespace kestra {

// Sets `error` to "WHAT: the system's reason" (from errno) and returns false, for the caller to
// return in turn.
inline bool failWithReason(std::string& error, std::string_view what) {
    error = std::string(what) + ": " + std::strerror(errno);
    return false;
}

} // namespace kestra
