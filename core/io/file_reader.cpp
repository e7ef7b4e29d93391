#include "io/file_reader.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "io/file_descriptor.h"

namespace kestra {

namespace {

// Linux moves at most about 2 GiB per read call.
constexpr std::size_t largestRead = std::size_t(1) << 30;
// Where the size is unknown (a pipe), the buffer starts here and doubles as it fills.
constexpr std::size_t unknownSizeStart = std::size_t(64) << 10;

// One read into `out`, retried when a signal interrupts it. The count read, 0 at the end of the
// file, or -1 with errno set.
ssize_t readSome(int fd, std::span<std::uint8_t> out) {
    const std::size_t wanted = std::min(out.size(), largestRead);
    ssize_t got;
    do {
        got = ::read(fd, out.data(), wanted);
    } while (got < 0 && errno == EINTR);
    return got;
}

// Opens `path` for reading and tells what it is; -1, with `error` saying why, when it cannot be
// opened, is a folder or is not of `kinds`.
int openForReading(const std::string& path, FileKinds kinds, struct stat& status,
                   FileError& error) {
    // Without a writer, opening a FIFO blocks unless it is opened non-blocking; a regular file
    // reads the same either way.
    const bool regularOnly = kinds == FileKinds::RegularOnly;
    FileDescriptor file(
        ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (regularOnly ? O_NONBLOCK : 0)));
    if (file.get() < 0) {
        error = systemFailure("cannot open the file");
        return -1;
    }
    if (::fstat(file.get(), &status) != 0) {
        error = systemFailure("cannot query the size of the file");
        return -1;
    }
    if (S_ISDIR(status.st_mode)) {
        errno = EISDIR;
        error = systemFailure("cannot open the file");
        return -1;
    }
    if (regularOnly && !S_ISREG(status.st_mode)) {
        failWith(error, "cannot open the file: it is not a regular file");
        return -1;
    }
    return file.release();
}

// Reads the open file from where it stands to its end, or to `limit` bytes.
bool readToEnd(int fd, const struct stat& status, std::uint64_t limit,
               std::vector<std::uint8_t>& bytes, FileError& error) {
    // A regular file's size only sizes the buffer: one that grows or shrinks meanwhile is read
    // to its end as found. Anything else is read until it says it has ended.
    const std::uint64_t expected =
        S_ISREG(status.st_mode) ? std::uint64_t(status.st_size) + 1 : unknownSizeStart;
    std::vector<std::uint8_t> buffer(std::size_t(std::min(expected, limit)));
    std::size_t filled = 0;
    while (filled < limit) {
        if (filled == buffer.size())
            buffer.resize(std::size_t(std::min<std::uint64_t>(limit, buffer.size() * 2 + 1)));
        const ssize_t got = readSome(fd, std::span(buffer).subspan(filled));
        if (got < 0) {
            error = systemFailure("cannot read the file");
            return false;
        }
        if (got == 0)
            break;
        filled += std::size_t(got);
    }
    buffer.resize(filled);
    bytes = std::move(buffer);
    return true;
}

} // namespace

bool readFile(const std::string& path, std::uint64_t limit, std::vector<std::uint8_t>& bytes,
              FileError& error, FileKinds kinds) {
    struct stat status {};
    const FileDescriptor file(openForReading(path, kinds, status, error));
    return file.get() >= 0 && readToEnd(file.get(), status, limit, bytes, error);
}

bool SequentialFile::open(const std::string& path, FileError& error) {
    struct stat status {};
    fd_.reset(openForReading(path, FileKinds::Any, status, error));
    return fd_.get() >= 0;
}

bool SequentialFile::read(std::span<std::uint8_t> out, std::size_t& got, FileError& error) {
    for (got = 0; got < out.size();) {
        const ssize_t part = readSome(fd_.get(), out.subspan(got));
        if (part < 0)
            return failWithReason(error, "cannot read the file");
        if (part == 0)
            break;
        got += std::size_t(part);
    }
    return true;
}

bool ByteSource::open(const std::string& path, std::uint64_t limit, ByteSource& source,
                      FileError& error, FileKinds kinds) {
    struct stat status {};
    FileDescriptor file(openForReading(path, kinds, status, error));
    if (file.get() < 0)
        return false;
    ByteSource opened;
    // A regular file of size 0 may be one whose size the system does not know.
    if (S_ISREG(status.st_mode) && status.st_size > 0) {
        opened.fileSize_ = std::min(std::uint64_t(status.st_size), limit);
        opened.fd_ = std::move(file);
    } else {
        opened.stream_ = true;
        opened.streamFd_ = std::move(file);
        opened.limit_ = limit;
    }
    source = std::move(opened);
    return true;
}

bool ByteSource::part(std::uint64_t begin, std::uint64_t size, ByteSource& out,
                      FileError& error) const {
    ByteSource piece;
    if (fd_.get() < 0) {
        begin = std::min<std::uint64_t>(begin, memory_.size());
        piece.memory_ = memory_.subspan(std::size_t(begin),
                                        std::size_t(std::min(size, memory_.size() - begin)));
    } else {
        piece.fd_.reset(::fcntl(fd_.get(), F_DUPFD_CLOEXEC, 0));
        if (piece.fd_.get() < 0)
            return failWithReason(error, "cannot read the file");
        piece.start_ = start_ + begin;
        piece.fileSize_ = std::min(size, fileSize_ - std::min(begin, fileSize_));
    }
    out = std::move(piece);
    return true;
}

bool ByteSource::fetch(std::uint64_t end, FileError& error) const {
    end = std::min(end, limit_);
    std::size_t held = memory_.size();
    while (streamFd_.get() >= 0 && held < end) {
        if (held == read_.size()) {
            read_.resize(std::size_t(
                std::min<std::uint64_t>(std::max(read_.size() * 2, unknownSizeStart), end)));
            memory_ = {read_.data(), held};
        }
        const std::size_t wanted =
            std::min<std::size_t>({read_.size() - held, std::size_t(end - held), largestRead});
        const ssize_t got = ::read(streamFd_.get(), read_.data() + held, wanted);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = systemFailure("cannot read the file");
            return false;
        }
        if (got == 0)
            streamFd_.close(); // the stream has ended
        held += std::size_t(got);
        memory_ = {read_.data(), held};
    }
    return true;
}

bool ByteSource::read(std::uint64_t position, std::span<std::uint8_t> out, FileError& error) const {
    std::size_t filled = 0;
    if (fd_.get() < 0) {
        if (position < memory_.size()) {
            filled = std::size_t(std::min<std::uint64_t>(out.size(), memory_.size() - position));
            std::copy_n(memory_.begin() + std::ptrdiff_t(position), filled, out.begin());
        }
    } else {
        while (filled < out.size() && position + filled < fileSize_) {
            const std::size_t wanted = std::size_t(std::min<std::uint64_t>(
                {out.size() - filled, fileSize_ - position - filled, largestRead}));
            const ssize_t got =
                ::pread(fd_.get(), out.data() + filled, wanted, off_t(start_ + position + filled));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                error = systemFailure("cannot read the file");
                return false;
            }
            if (got == 0) // the file has shrunk since it was opened
                break;
            filled += std::size_t(got);
        }
    }
    std::fill(out.begin() + std::ptrdiff_t(filled), out.end(), std::uint8_t(0));
    return true;
}

bool ByteSource::dataAfter(std::uint64_t position, std::uint64_t& begin, std::uint64_t& end,
                           FileError& error) const {
    begin = end = size();
    if (position >= size())
        return true;
    if (fd_.get() < 0) {
        begin = position;
        return true;
    }
    const off_t data = ::lseek(fd_.get(), off_t(start_ + position), SEEK_DATA);
    if (data < 0) {
        // ENXIO: only a hole follows. A file system that knows no holes holds data everywhere.
        if (errno == ENXIO)
            return true;
        if (errno != EINVAL)
            return failWithReason(error, "cannot find the data in the file");
        begin = position;
        return true;
    }
    const off_t hole = ::lseek(fd_.get(), data, SEEK_HOLE);
    if (hole < 0)
        return failWithReason(error, "cannot find the data in the file");
    begin = std::min(std::uint64_t(data) - start_, fileSize_);
    end = std::min(std::uint64_t(hole) - start_, fileSize_);
    return true;
}

} // namespace kestra
