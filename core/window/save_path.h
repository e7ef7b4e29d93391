#pragma once

#include <string>

namespace kestra {

// Whether Save As may take `path`: its folder (the current folder for a bare name) must be an
// existing folder, so that a path into a missing one never becomes the path Save writes to.
bool saveFolderExists(const std::string& path);

} // namespace kestra
