#pragma once

#include <cerrno>
#include <string>
#include <system_error>

namespace kestra {

// Why a file could not be read or written: what failed, and the system's code where a system
// call said why. The code stays a code until the failure is shown, so a caller can tell one
// reason from another without reading words; `text` builds the line where it is shown.
struct FileError {
    std::string message;  // what failed; empty when nothing failed
    std::error_code code; // none when no system call gave a reason
    // A failed save whose new file already took the target's place (only the flush after it
    // failed): the file holds the new bytes, though a crash could still bring the old ones back.
    bool targetReplaced = false;

    // "cannot open the file: No such file or directory".
    std::string text() const { return code ? message + ": " + code.message() : message; }
};

// What a failed save says after the file's name, in the tool's line and the window's box alike:
// "cannot be saved: why", or only what went wrong when the new file already took the target's
// place.
inline std::string saveFailureText(const FileError& error) {
    if (error.targetReplaced)
        return error.text();
    return error.message.empty() ? "cannot be saved" : "cannot be saved: " + error.text();
}

// `message` with the code of the system call that just failed (errno).
inline FileError systemFailure(std::string message) {
    return {std::move(message), std::error_code(errno, std::generic_category())};
}

// Sets `error` to `message` with the code of the system call that just failed and returns false,
// for the caller to return in turn.
inline bool failWithReason(FileError& error, std::string message) {
    error = systemFailure(std::move(message));
    return false;
}

// Sets `error` to a failure no system call gave a reason for and returns false.
inline bool failWith(FileError& error, std::string message) {
    error = {std::move(message), {}};
    return false;
}

} // namespace kestra
