#pragma once

#include <sys/stat.h>

#include "io/file_error.h"

namespace kestra {

// Gives the new file `to` what the file it replaces (`from`, whose status is `fromStatus`) had,
// so that a save keeps who may use the file: owner and group, extended attributes (ACLs among
// them) and permission bits. Attributes the file system does not support are skipped. A process
// that is not root cannot give a file away: the new file then stays its own, in the target's
// group where it may. False, with `error` saying why, on any other failure.
bool copyFileAttributes(int from, const struct stat& fromStatus, int to, FileError& error);

} // namespace kestra
