#pragma once

#include <filesystem>
#include <string>
#include <sys/stat.h>

#include "io/file_descriptor.h"
#include "io/file_error.h"

namespace kestra {

// The file a save replaces or creates, found before anything is written.
struct SaveTarget {
    std::string path;      // symbolic links followed; a dangling link gives the file to create
    FileDescriptor file;   // the existing target, open for writing; -1 when there is none yet
    struct stat status {}; // the existing target's owner, group and mode
};

// Finds the target of a save to `path`. A save may replace only what a plain write could: an
// existing target must be a regular file this process can open for writing. Links are followed
// as the kernel follows them for `open` in shared folders (fs.protected_symlinks=1): in a sticky,
// world-writable folder only a link of the folder's owner or of this process's user, so that
// nobody can plant a link there that sends the save elsewhere. False, with `error` saying why,
// when the save must not go ahead.
bool findSaveTarget(const std::string& path, SaveTarget& target, FileError& error);

// The folder holding the last name of `path` ("." for a bare name).
std::filesystem::path folderOf(const std::filesystem::path& path);

} // namespace kestra
