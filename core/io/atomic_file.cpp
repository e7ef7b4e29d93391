#include "io/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "io/file_attributes.h"
#include "io/save_target.h"
#include "io/temporary_file.h"

namespace kestra {

namespace {

constexpr mode_t newFileMode = 0666;
// Linux moves at most about 2 GiB per write call.
constexpr std::size_t largestWrite = std::size_t(1) << 30;

mode_t currentUmask() {
    // The only portable way to read the mask is to set it and set it back; the program has one
    // thread, so nothing can create a file in between.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// A write past the process's file size limit raises SIGXFSZ, which ends the process and leaves
// the temporary file behind. Ignored while alive, the write fails with EFBIG instead.
class FileSizeLimitFailsWrites {
public:
    FileSizeLimitFailsWrites() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, &previous_);
    }
    ~FileSizeLimitFailsWrites() { ::sigaction(SIGXFSZ, &previous_, nullptr); }
    FileSizeLimitFailsWrites(const FileSizeLimitFailsWrites&) = delete;
    FileSizeLimitFailsWrites& operator=(const FileSizeLimitFailsWrites&) = delete;

private:
    struct sigaction previous_ {};
};

bool writeAll(int fd, std::uint64_t position, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const std::size_t wanted = std::min(bytes.size(), largestWrite);
        const ssize_t written = ::pwrite(fd, bytes.data(), wanted, off_t(position));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes = bytes.subspan(std::size_t(written));
        position += std::uint64_t(written);
    }
    return true;
}

// The folder is held as O_PATH, which fsync does not take: it is opened for reading through it.
bool syncFolder(int folder) {
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

// Writes the new file's bytes into the open temporary file; false on the first failed step.
bool fill(int fd, std::uint64_t size, const FileContents& contents) {
    const FileSizeLimitFailsWrites limit;
    // Setting the size first leaves the unwritten gaps as holes rather than written zeros.
    return ::ftruncate(fd, off_t(size)) == 0 &&
           contents([fd](std::uint64_t position, std::span<const std::uint8_t> bytes) {
               return writeAll(fd, position, bytes);
           });
}

// What the target had, or for a new file the mode it would get from open.
bool giveAttributes(const SaveTarget& target, int fd, FileError& error) {
    if (target.file.get() >= 0)
        return copyFileAttributes(target.file.get(), target.status, fd, error);
    if (::fchmod(fd, newFileMode & ~currentUmask()) != 0)
        return failWithReason(error, "cannot set the new file's permissions");
    return true;
}

} // namespace

bool replaceFile(const std::string& path, std::uint64_t size, const FileContents& contents,
                 FileError& error) {
    SaveTarget target;
    if (!findSaveTarget(path, target, error))
        return false;
    TemporaryFile temporary;
    if (!temporary.create(target.folder.get()))
        return failWithReason(error, "cannot create a file in the target's folder");
    if (!fill(temporary.fd(), size, contents))
        return failWithReason(error, "writing the file failed");
    if (!giveAttributes(target, temporary.fd(), error))
        return false;
    if (::fsync(temporary.fd()) != 0)
        return failWithReason(error, "writing the file failed");
    // close can report a failed write that the file system had deferred.
    bool closeFailed = false;
    if (!temporary.closeAndRenameOver(target.name, closeFailed))
        return failWithReason(error, closeFailed ? "writing the file failed"
                                                 : "cannot replace the target");
    // Makes the rename itself durable. The new file is in place if this fails, but a crash could
    // still bring the old one back, so the save is not reported as done.
    if (!syncFolder(target.folder.get())) {
        failWithReason(error, "saved, but the folder could not be flushed to disk");
        error.targetReplaced = true;
        return false;
    }
    return true;
}

} // namespace kestra
