#include "io/file_identity.h"

#include <filesystem>
#include <sys/stat.h>

namespace kestra {

namespace {

bool samePath(const std::string& one, const std::string& other) {
    std::error_code error;
    const auto absoluteOne = std::filesystem::absolute(one, error).lexically_normal();
    const auto absoluteOther = std::filesystem::absolute(other, error).lexically_normal();
    return !error && absoluteOne == absoluteOther;
}

} // namespace

std::optional<FileIdentity> fileIdentity(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino, status.st_size, status.st_mtim};
}

bool changedSince(const KnownFile& known, const std::string& target) {
    if (!known.identity)
        return false;
    const std::optional<FileIdentity> now = fileIdentity(target);
    if (!now)
        return false;
    const bool knownFile = samePath(target, known.path) || now->sameFile(*known.identity);
    return knownFile && *now != *known.identity;
}

} // namespace kestra
