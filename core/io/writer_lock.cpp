#include "io/writer_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>

namespace kestra {

namespace {

using Clock = std::chrono::steady_clock;

enum class Attempt { Locked, Busy, Lockless };

// One try at the lock. A file that cannot be opened (missing, unreadable) or is no regular file
// (a FIFO or a device) is left alone: the load or the save says what is wrong with it.
Attempt tryLock(const std::string& path, FileDescriptor& file) {
    file.reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        file.close();
        return Attempt::Lockless;
    }
    if (::flock(file.get(), LOCK_EX | LOCK_NB) == 0)
        return Attempt::Locked;
    const int reason = errno;
    file.close();
    // EWOULDBLOCK: another writer holds it. ENOLCK, EOPNOTSUPP and the like: no locks here.
    return reason == EWOULDBLOCK || reason == EINTR ? Attempt::Busy : Attempt::Lockless;
}

// Whether `path` still names the file open as `file`.
bool stillNamed(const std::string& path, const FileDescriptor& file) {
    struct stat named {};
    struct stat locked {};
    return ::stat(path.c_str(), &named) == 0 && ::fstat(file.get(), &locked) == 0 &&
           named.st_dev == locked.st_dev && named.st_ino == locked.st_ino;
}

} // namespace

bool WriterLock::lock(const std::string& path, std::chrono::milliseconds patience) {
    const Clock::time_point giveUp = Clock::now() + patience;
    // Short waits first, as most writers finish in milliseconds; then no more than 50 ms apart,
    // so that a waiting writer starts soon after the other ends.
    std::chrono::milliseconds pause{1};
    for (;;) {
        switch (tryLock(path, file_)) {
        case Attempt::Lockless:
            return true;
        case Attempt::Locked:
            if (stillNamed(path, file_))
                return true;
            // Replaced while waiting: the file to load is the new one, so lock that instead.
            file_.close();
            if (Clock::now() >= giveUp)
                return false;
            continue;
        case Attempt::Busy:
            break;
        }
        if (Clock::now() >= giveUp)
            return false;
        std::this_thread::sleep_for(std::min(
            pause, std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - Clock::now())));
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

} // namespace kestra
