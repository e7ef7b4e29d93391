#include "io/save_target.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace kestra {

namespace {

namespace fs = std::filesystem;

// The kernel gives up after as many links in a row.
constexpr int longestLinkChain = 40;

bool mayFollow(const fs::path& link, const struct stat& linkStatus, FileError& error) {
    if (linkStatus.st_uid == ::geteuid())
        return true;
    struct stat folder {};
    if (::stat(folderOf(link).c_str(), &folder) != 0)
        return failWithReason(error, "cannot examine the folder of the link " + link.string());
    constexpr mode_t shared = S_ISVTX | S_IWOTH;
    if ((folder.st_mode & shared) != shared || folder.st_uid == linkStatus.st_uid)
        return true;
    return failWith(error, "the link " + link.string() +
                               " lies in a shared folder and belongs to another user; it is not "
                               "followed");
}

bool readLink(const fs::path& link, fs::path& destination, FileError& error) {
    char text[PATH_MAX];
    const ssize_t length = ::readlink(link.c_str(), text, sizeof text);
    if (length < 0)
        return failWithReason(error, "cannot read the link " + link.string());
    if (std::size_t(length) == sizeof text) {
        errno = ENAMETOOLONG;
        return failWithReason(error, "cannot read the link " + link.string());
    }
    destination = std::string(text, std::size_t(length));
    return true;
}

// Follows links from `path` to the file they lead to. `exists` is false when that file does
// not exist yet (also at the end of a dangling link): the save creates it there.
bool followLinks(const std::string& path, fs::path& found, struct stat& status, bool& exists,
                 FileError& error) {
    found = path;
    for (int links = 0;; ++links) {
        if (::lstat(found.c_str(), &status) != 0) {
            exists = false;
            return errno == ENOENT || failWithReason(error, "cannot examine " + found.string());
        }
        exists = true;
        if (!S_ISLNK(status.st_mode))
            return true;
        if (links == longestLinkChain) {
            errno = ELOOP;
            return failWithReason(error, "cannot follow " + path);
        }
        fs::path destination;
        if (!mayFollow(found, status, error) || !readLink(found, destination, error))
            return false;
        // A relative destination starts from the link's folder; an absolute one replaces it.
        found = found.parent_path() / destination;
    }
}

} // namespace

fs::path folderOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

bool findSaveTarget(const std::string& path, SaveTarget& target, FileError& error) {
    fs::path found;
    bool exists = false;
    if (!followLinks(path, found, target.status, exists, error))
        return false;
    target.path = found.string();
    if (!exists)
        return true;
    if (S_ISDIR(target.status.st_mode))
        return failWith(error, "the target is a folder");
    if (!S_ISREG(target.status.st_mode))
        return failWith(error, "the target is not a regular file");
    // A rename needs write permission on the folder only; the target itself must be writable,
    // as it would have to be for a plain write. Nothing waits on open (O_NONBLOCK) and the name
    // must still be the file examined above (O_NOFOLLOW, fstat).
    target.file.reset(
        ::open(target.path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (target.file.get() < 0)
        return failWithReason(error, "cannot open the target for writing");
    if (::fstat(target.file.get(), &target.status) != 0)
        return failWithReason(error, "cannot examine the target");
    if (!S_ISREG(target.status.st_mode))
        return failWith(error, "the target is not a regular file");
    return true;
}

} // namespace kestra
