#include "io/save_target.h"

#include <cerrno>
#include <climits>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace kestra {

namespace {

namespace fs = std::filesystem;

// The kernel gives up after as many links in a row.
constexpr int longestLinkChain = 40;

int openFolder(int at, const char* name) {
    return ::openat(at, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// The names of `path` in order, without empty ones and ".".
std::deque<std::string> namesOf(const fs::path& path) {
    std::deque<std::string> names;
    for (const fs::path& part : path.relative_path()) {
        if (!part.empty() && part != ".")
            names.push_back(part.string());
    }
    return names;
}

// Whether the link `link` in the folder `folder` may be followed: the kernel's rule for shared
// folders.
bool mayFollow(int folder, const fs::path& link, const struct stat& linkStatus, FileError& error) {
    if (linkStatus.st_uid == ::geteuid())
        return true;
    struct stat status {};
    if (::fstat(folder, &status) != 0)
        return failWithReason(error, "cannot examine the folder of the link " + link.string());
    constexpr mode_t shared = S_ISVTX | S_IWOTH;
    if ((status.st_mode & shared) != shared || status.st_uid == linkStatus.st_uid)
        return true;
    return failWith(error, "the link " + link.string() +
                               " lies in a shared folder and belongs to another user; it is not "
                               "followed");
}

bool readLink(int folder, const std::string& name, const fs::path& link, fs::path& destination,
              FileError& error) {
    char text[PATH_MAX];
    const ssize_t length = ::readlinkat(folder, name.c_str(), text, sizeof text);
    if (length < 0)
        return failWithReason(error, "cannot read the link " + link.string());
    if (std::size_t(length) == sizeof text) {
        errno = ENAMETOOLONG;
        return failWithReason(error, "cannot read the link " + link.string());
    }
    destination = std::string(text, std::size_t(length));
    return true;
}

// Walks `path` from the current folder or the root, opening each folder and following each link
// where the rule allows, up to the last name, which it examines but does not open.
// `target.status` holds the last name's status when `exists`.
bool walk(const std::string& path, SaveTarget& target, bool& exists, FileError& error) {
    // Where the walk has come, as messages show it: "" for the current folder.
    fs::path at = fs::path(path).is_absolute() ? "/" : "";
    target.folder.reset(openFolder(AT_FDCWD, at.empty() ? "." : at.c_str()));
    if (target.folder.get() < 0)
        return failWithReason(error, "cannot open the current folder");
    std::deque<std::string> names = namesOf(path);
    if (names.empty() || path.ends_with('/'))
        return failWith(error, "the target is a folder");
    for (int links = 0; !names.empty();) {
        const std::string name = names.front();
        names.pop_front();
        const fs::path shown = at / name;
        struct stat status {};
        if (::fstatat(target.folder.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            if (names.empty() && errno == ENOENT) {
                target.name = name;
                target.path = shown.string();
                exists = false;
                return true;
            }
            return failWithReason(error, "cannot examine " + shown.string());
        }
        if (S_ISLNK(status.st_mode)) {
            if (++links > longestLinkChain) {
                errno = ELOOP;
                return failWithReason(error, "cannot follow " + path);
            }
            fs::path destination;
            if (!mayFollow(target.folder.get(), shown, status, error) ||
                !readLink(target.folder.get(), name, shown, destination, error))
                return false;
            std::deque<std::string> more = namesOf(destination);
            names.insert(names.begin(), more.begin(), more.end());
            if (destination.is_absolute()) {
                at = "/";
                target.folder.reset(openFolder(AT_FDCWD, "/"));
            }
            if (names.empty() || destination.string().ends_with('/'))
                return failWith(error, "the target is a folder");
            continue;
        }
        if (names.empty()) {
            target.name = name;
            target.path = shown.string();
            target.status = status;
            exists = true;
            return true;
        }
        target.folder.reset(openFolder(target.folder.get(), name.c_str()));
        if (target.folder.get() < 0)
            return failWithReason(error, "cannot open the folder " + shown.string());
        at = shown;
    }
    return true;
}

} // namespace

bool findSaveTarget(const std::string& path, SaveTarget& target, FileError& error) {
    bool exists = false;
    if (!walk(path, target, exists, error))
        return false;
    if (!exists)
        return true;
    if (S_ISDIR(target.status.st_mode))
        return failWith(error, "the target is a folder");
    if (!S_ISREG(target.status.st_mode))
        return failWith(error, "the target is not a regular file");
    // A rename needs write permission on the folder only; the target itself must be writable,
    // as it would have to be for a plain write. Nothing waits on open (O_NONBLOCK) and the name
    // must still be the file examined above (O_NOFOLLOW, fstat).
    target.file.reset(::openat(target.folder.get(), target.name.c_str(),
                               O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (target.file.get() < 0)
        return failWithReason(error, "cannot open the target for writing");
    if (::fstat(target.file.get(), &target.status) != 0)
        return failWithReason(error, "cannot examine the target");
    if (!S_ISREG(target.status.st_mode))
        return failWith(error, "the target is not a regular file");
    return true;
}

} // namespace kestra
