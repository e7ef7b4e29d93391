#include "io/file_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "io/file_descriptor.h"

namespace kestra {

namespace {

// Linux moves at most about 2 GiB per read call.
constexpr std::size_t largestRead = std::size_t(1) << 30;
// Where the size is unknown (a pipe), the buffer starts here and doubles as it fills.
constexpr std::size_t unknownSizeStart = std::size_t(64) << 10;

// One read into `buffer` from `filled`, retried when a signal interrupts it. The count read, 0 at
// the end of the file, or -1 with errno set.
ssize_t readSome(int fd, std::vector<std::uint8_t>& buffer, std::size_t filled) {
    const std::size_t wanted = std::min(buffer.size() - filled, largestRead);
    ssize_t got;
    do {
        got = ::read(fd, buffer.data() + filled, wanted);
    } while (got < 0 && errno == EINTR);
    return got;
}

} // namespace

FileError systemFailure(const char* message) {
    return {message, std::strerror(errno)};
}

bool readFile(const std::string& path, std::uint64_t limit, std::vector<std::uint8_t>& bytes,
              FileError& error, FileKinds kinds) {
    // Without a writer, opening a FIFO blocks unless it is opened non-blocking; a regular file
    // reads the same either way.
    const bool regularOnly = kinds == FileKinds::RegularOnly;
    FileDescriptor file(
        ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (regularOnly ? O_NONBLOCK : 0)));
    if (file.get() < 0) {
        error = systemFailure("cannot open the file");
        return false;
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        error = systemFailure("cannot query the size of the file");
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        errno = EISDIR;
        error = systemFailure("cannot open the file");
        return false;
    }
    if (regularOnly && !S_ISREG(status.st_mode)) {
        error = {"cannot open the file", "it is not a regular file"};
        return false;
    }
    // A regular file's size only sizes the buffer: one that grows or shrinks meanwhile is read
    // to its end as found. Anything else is read until it says it has ended.
    const std::uint64_t expected =
        S_ISREG(status.st_mode) ? std::uint64_t(status.st_size) + 1 : unknownSizeStart;
    std::vector<std::uint8_t> buffer(std::size_t(std::min(expected, limit)));
    std::size_t filled = 0;
    while (filled < limit) {
        if (filled == buffer.size())
            buffer.resize(std::size_t(std::min<std::uint64_t>(limit, buffer.size() * 2 + 1)));
        const ssize_t got = readSome(file.get(), buffer, filled);
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

} // namespace kestra
