#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kestra {

inline constexpr std::size_t mostRecentFiles = 10;

// Puts `path` first in `files`, the files last opened or saved, newest first: each path once, at
// most `mostRecentFiles` of them.
void rememberRecentFile(std::vector<std::string>& files, const std::string& path);

} // namespace kestra
