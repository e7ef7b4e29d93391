#pragma once

#include <chrono>
#include <string>

#include "io/file_descriptor.h"

namespace kestra {

// Why a writer gave up waiting for the lock.
inline constexpr const char* writerLockBusy = "another program is writing the file";

// An exclusive advisory lock (flock) on a file that is about to be loaded, edited and replaced,
// held until the new file has been renamed into place, so that writers who all take it run one
// after the other and none overwrites another's edit. It is advisory: a program that takes no
// lock is not held back.
class WriterLock {
public:
    // Waits at most `patience` for the lock on the file at `path` (links followed). Once granted,
    // checks that the path still names the locked file: another writer may have renamed its new
    // file into place meanwhile, and then that file is locked instead. False only when the
    // time ran out. When there is no file to lock, or the file system has no locks, it goes on
    // without one, as a save would without locking.
    bool lock(const std::string& path, std::chrono::milliseconds patience);
    bool held() const { return file_.get() >= 0; }
    void unlock() { file_.close(); }

    static constexpr std::chrono::milliseconds defaultPatience{10000};

private:
    FileDescriptor file_;
};

} // namespace kestra
