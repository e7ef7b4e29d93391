#include "io/file_attributes.h"

#include <cerrno>
#include <string_view>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace kestra {

namespace {

constexpr mode_t permissionBits = 07777;

// Reads a list or value whose size the call tells when given no room, again when it grew
// between the two calls.
template <typename Read> bool readSized(Read read, std::vector<char>& bytes) {
    for (;;) {
        const ssize_t size = read(nullptr, 0);
        if (size < 0)
            return false;
        bytes.resize(std::size_t(size));
        const ssize_t got = read(bytes.data(), bytes.size());
        if (got >= 0) {
            bytes.resize(std::size_t(got));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
}

bool readAttribute(int fd, const char* name, std::vector<char>& value) {
    return readSized(
        [&](char* buffer, std::size_t size) { return ::fgetxattr(fd, name, buffer, size); }, value);
}

bool copyOwner(const struct stat& fromStatus, int to, FileError& error) {
    if (::fchown(to, fromStatus.st_uid, fromStatus.st_gid) == 0)
        return true;
    if (errno != EPERM || ::geteuid() == 0)
        return failWithReason(error, "cannot give the new file the target's owner");
    if (::fchown(to, uid_t(-1), fromStatus.st_gid) == 0 || errno == EPERM)
        return true;
    return failWithReason(error, "cannot give the new file the target's group");
}

bool copyExtendedAttributes(int from, int to, FileError& error) {
    std::vector<char> names;
    if (!readSized([&](char* buffer, std::size_t size) { return ::flistxattr(from, buffer, size); },
                   names))
        return errno == ENOTSUP || failWithReason(error, "cannot list the target's attributes");
    std::vector<char> value;
    std::vector<char> present;
    // The list is a run of names, each ending in a zero byte.
    for (std::size_t at = 0; at < names.size(); at += std::string_view(&names[at]).size() + 1) {
        const char* name = &names[at];
        if (!readAttribute(from, name, value))
            return failWithReason(error, std::string("cannot read the target's attribute ") + name);
        // A security label the folder already gave the new file stays as it is; setting it again
        // could need a privilege the process lacks.
        if (readAttribute(to, name, present) && present == value)
            continue;
        if (::fsetxattr(to, name, value.data(), value.size(), 0) != 0 && errno != ENOTSUP)
            return failWithReason(error, std::string("cannot copy the target's attribute ") + name);
    }
    return true;
}

} // namespace

bool copyFileAttributes(int from, const struct stat& fromStatus, int to, FileError& error) {
    // In this order: a change of owner clears the set-user-ID and set-group-ID bits and file
    // capabilities, and an ACL sets the group bits, so the mode comes last.
    if (!copyOwner(fromStatus, to, error) || !copyExtendedAttributes(from, to, error))
        return false;
    if (::fchmod(to, fromStatus.st_mode & permissionBits) != 0)
        return failWithReason(error, "cannot give the new file the target's permissions");
    return true;
}

} // namespace kestra
