#include "window/save_path.h"

#include <filesystem>
#include <system_error>

namespace kestra {

bool saveFolderExists(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    return std::filesystem::is_directory(folder.empty() ? "." : folder, error);
}

} // namespace kestra
