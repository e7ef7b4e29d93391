#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <sys/types.h>

namespace kestra {

// What tells one version of a file from another: which file it is, its size and when it was last
// written, to the nanosecond. A program that saves by renaming a new file into place gives it a
// new inode; one that writes in place changes its size or modification time.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    bool sameFile(const FileIdentity& other) const {
        return device == other.device && inode == other.inode;
    }
    bool operator==(const FileIdentity& other) const {
        return sameFile(other) && size == other.size && modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

// The identity of the file at `path`, links followed; nothing when no file can be examined there.
std::optional<FileIdentity> fileIdentity(const std::string& path);

// The file a document was last loaded from or saved to, as it was then.
struct KnownFile {
    std::string path;
    std::optional<FileIdentity> identity;

    void remember(const std::string& at) { *this = {at, fileIdentity(at)}; }
};

// Whether saving to `target` would overwrite what another program wrote since: `target` is the
// known file (by its path, or by being the same file) and that file is there but no longer as it
// was. A file that has gone is not asked about.
bool changedSince(const KnownFile& known, const std::string& target);

} // namespace kestra
