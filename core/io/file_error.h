#pragma once

#include <string>

namespace kestra {

// Why a file could not be read or written: what failed, and the system's own reason where a
// system call said why (strerror). The window shows its fixed texts; the tool prints both.
struct FileError {
    std::string message; // empty when nothing failed
    std::string reason;  // empty when no system call gave one
    // A failed save whose new file already took the target's place (only the flush after it
    // failed): the file holds the new bytes, though a crash could still bring the old ones back.
    bool targetReplaced = false;

    // "cannot open the file: No such file or directory".
    std::string text() const { return reason.empty() ? message : message + ": " + reason; }
};

// `message` with the reason of the system call that just failed (errno).
FileError systemFailure(const char* message);

} // namespace kestra
