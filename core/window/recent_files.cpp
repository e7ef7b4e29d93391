#include "window/recent_files.h"

#include <algorithm>

namespace kestra {

void rememberRecentFile(std::vector<std::string>& files, const std::string& path) {
    std::erase(files, path);
    files.insert(files.begin(), path);
    if (files.size() > mostRecentFiles)
        files.resize(mostRecentFiles);
}

} // namespace kestra
