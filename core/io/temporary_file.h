#pragma once

#include <string>

#include "io/file_descriptor.h"
#include "io/file_error.h"

namespace kestra {

// The file a save fills before it takes the target's place: ".NAME.XXXXXX" in the target's
// folder. Until then it is removed when it goes, and `removeSaveInProgress` can remove it from
// a signal handler. One save at a time (the programs have one thread).
class TemporaryFile {
public:
    TemporaryFile() = default;
    ~TemporaryFile() { discard(); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // False, with `error` saying why, when the file cannot be made.
    bool create(const std::string& target, FileError& error);
    int fd() const { return file_.get(); }
    // Closes the filled file; false when the close reports a write the file system deferred.
    bool close() { return file_.close(); }
    // Renames the file over `target`; from then on it is the target and is left alone. False,
    // with `error` saying why, when the rename fails.
    bool renameOver(const std::string& target, FileError& error);

private:
    void discard();

    FileDescriptor file_;
    std::string path_;
};

// For a handler of a signal that ends the process: removes the temporary file of the save in
// progress, if there is one. Async-signal-safe.
void removeSaveInProgress();

} // namespace kestra
