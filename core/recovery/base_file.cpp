#include "recovery/base_file.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <vector>

#include "io/file_descriptor.h"
#include "recovery/crc32c.h"

namespace kestra {

namespace {

constexpr std::size_t pieceBytes = std::size_t(1) << 18; // small enough to stop soon when asked

bool sameStatus(const struct stat& one, const struct stat& other) {
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino &&
           one.st_size == other.st_size && one.st_mtim.tv_sec == other.st_mtim.tv_sec &&
           one.st_mtim.tv_nsec == other.st_mtim.tv_nsec;
}

} // namespace

bool checksumOfFile(int fd, std::uint64_t from, const std::string& name, std::uint32_t& checksum,
                    std::uint64_t& size, FileError& error, const std::atomic<bool>& stop) {
    std::vector<std::uint8_t> piece(pieceBytes);
    checksum = 0;
    size = 0;
    for (;;) {
        if (stop)
            return failWith(error, "stopped reading " + name);
        const ssize_t got = ::pread(fd, piece.data(), piece.size(), off_t(from + size));
        if (got == 0)
            return true;
        if (got < 0 && errno != EINTR)
            return failWithReason(error, "cannot read " + name);
        if (got > 0) {
            checksum = crc32c({piece.data(), std::size_t(got)}, checksum);
            size += std::uint64_t(got);
        }
    }
}

bool describeBaseFile(const std::string& absolutePath, std::uint8_t stringWidth, JournalBase& base,
                      FileError& error, const std::atomic<bool>& stop) {
    // Never waits for a writer, as opening a FIFO would; only a regular file is read on.
    const FileDescriptor fd(::open(absolutePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return failWithReason(error, "cannot open " + absolutePath);
    struct stat before {};
    struct stat after {};
    if (::fstat(fd.get(), &before) != 0)
        return failWithReason(error, "cannot examine " + absolutePath);
    if (!S_ISREG(before.st_mode))
        return failWith(error, absolutePath + " is not a regular file");
    std::uint32_t checksum = 0;
    std::uint64_t size = 0;
    if (!checksumOfFile(fd.get(), 0, absolutePath, checksum, size, error, stop))
        return false;
    if (::fstat(fd.get(), &after) != 0)
        return failWithReason(error, "cannot examine " + absolutePath);
    if (!sameStatus(before, after) || size != std::uint64_t(before.st_size))
        return failWith(error, absolutePath + " changed while it was read");
    base = {absolutePath,
            std::uint64_t(before.st_dev),
            std::uint64_t(before.st_ino),
            before.st_mtim.tv_sec,
            before.st_mtim.tv_nsec,
            size,
            checksum,
            stringWidth};
    return true;
}

bool sameVersion(const JournalBase& base, const FileIdentity& identity) {
    return base.device == std::uint64_t(identity.device) &&
           base.inode == std::uint64_t(identity.inode) &&
           base.size == std::uint64_t(identity.size) &&
           base.modifiedSeconds == identity.modified.tv_sec &&
           base.modifiedNanoseconds == identity.modified.tv_nsec;
}

bool baseMatches(const JournalBase& journal, const JournalBase& now) {
    const bool sameBytes = journal.size == now.size && journal.checksum == now.checksum;
    return journal.path == now.path && journal.stringWidth == now.stringWidth &&
           (journal == now || sameBytes);
}

void PendingBase::start(const std::string& absolutePath, std::uint8_t stringWidth) {
    cancel();
    const std::optional<FileIdentity> loaded = fileIdentity(absolutePath);
    const FileError unexamined =
        loaded ? FileError{} : systemFailure("cannot examine " + absolutePath);
    // Where no thread can be started, the reading is left to whoever waits for it.
    described_ = std::async(std::launch::async | std::launch::deferred, [=, this] {
        Described result;
        if (!loaded)
            result.error = unexamined;
        else if (describeBaseFile(absolutePath, stringWidth, result.base, result.error, stop_))
            result.described =
                sameVersion(result.base, *loaded) ||
                failWith(result.error, absolutePath + " changed on disk after it was opened");
        return result;
    });
}

// A reading left to whoever waits (no thread) counts as ready: waiting longer gains nothing.
bool PendingBase::ready() const {
    return described_.valid() &&
           described_.wait_for(std::chrono::seconds(0)) != std::future_status::timeout;
}

bool PendingBase::wait(JournalBase& base, FileError& error) {
    if (!described_.valid())
        return failWith(error, "no file was opened");
    Described result = described_.get();
    base = std::move(result.base);
    error = std::move(result.error);
    return result.described;
}

void PendingBase::cancel() {
    if (!described_.valid())
        return;
    stop_ = true;
    described_.wait(); // a deferred reading runs here, and stops at once
    described_ = {};
    stop_ = false;
}

} // namespace kestra
