#pragma once

#include <functional>
#include <string>

#include "io/file_descriptor.h"

namespace kestra {

// The file a save fills before it takes the target's place, in the target's folder. Where the
// file system allows it has no name at all until a moment before the rename (O_TMPFILE), so
// that nothing, not even SIGKILL, can leave it behind; elsewhere it is a file with a short
// random name, removed when the object goes and by `removeSaveInProgress` from a signal
// handler. Its name never derives from the target's, so any name the folder takes can be saved.
// One save at a time (the programs have one thread).
class TemporaryFile {
public:
    TemporaryFile() = default;
    ~TemporaryFile() { discard(); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Makes the file in the folder open as `folder`. False, with errno set, when it cannot.
    bool create(int folder);
    int fd() const { return file_.get(); }
    // Closes the filled file and renames it over `name` in the folder; from then on it is the
    // target and is left alone. False, with errno set, when either fails; `closeFailed` tells
    // a close that reported a write the file system had deferred.
    bool closeAndRenameOver(const std::string& name, bool& closeFailed);

private:
    bool giveName();
    bool takeRandomName(const std::function<bool(const char* name)>& make);
    void discard();

    int folder_ = -1;
    FileDescriptor file_;
    std::string name_; // empty while the file has none
};

// For a handler of a signal that ends the process: removes the temporary file of the save in
// progress, if it has a name. Async-signal-safe.
void removeSaveInProgress();

} // namespace kestra
