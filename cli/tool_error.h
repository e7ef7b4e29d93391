#pragma once

#include <stdexcept>
#include <string>

namespace kestra::tool {

// Exit statuses: 0 done; 1 nothing found, the files differ, or a save would change the file;
// 2 an error.
inline constexpr int exitDone = 0;
inline constexpr int exitNegative = 1;
inline constexpr int exitError = 2;

// A failure the user must hear about: one line naming the file (or the argument) and the problem.
// The command ends with status 2 and writes nothing.
struct ToolError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

} // namespace kestra::tool
