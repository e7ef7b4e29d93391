#pragma once

#include <string>
#include <sys/stat.h>

#include "io/file_descriptor.h"
#include "io/file_error.h"

namespace kestra {

// The file a save replaces or creates, found before anything is written. Its folder is opened
// once and every later step names the file relative to it, so that no link planted or swapped
// meanwhile can send the save elsewhere.
struct SaveTarget {
    FileDescriptor folder; // the folder the file is in or goes to (O_PATH)
    std::string name;      // the file's name in that folder
    std::string path;      // symbolic links followed, for messages
    FileDescriptor file;   // the existing target, open for writing; -1 when there is none yet
    struct stat status {}; // the existing target's owner, group and mode
};

// Finds the target of a save to `path`, one name at a time. A save may replace only what a plain
// write could: an existing target must be a regular file this process can open for writing.
// Links, on the way and at the end, are followed as the kernel follows them in shared folders
// (fs.protected_symlinks=1), whatever this machine's setting: in a sticky, world-writable folder
// only a link of the folder's owner or of this process's user, so that nobody can plant a link
// there that sends the save elsewhere. A dangling link gives the file to create. False, with
// `error` saying why, when the save must not go ahead.
bool findSaveTarget(const std::string& path, SaveTarget& target, FileError& error);

} // namespace kestra
