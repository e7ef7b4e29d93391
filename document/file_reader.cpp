#include "document/file_reader.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "document/file_descriptor.h"

namespace kestra {

namespace {

// Linux moves at most about 2 GiB per read call.
constexpr std::size_t largestRead = std::size_t(1) << 30;

} // namespace

bool readFilePrefix(const std::string& path, std::uint64_t limit, std::vector<std::uint8_t>& bytes,
                    std::string& error, FileKinds kinds) {
    // Without a writer, opening a FIFO blocks unless it is opened non-blocking; a regular file
    // reads the same either way.
    const bool regularOnly = kinds == FileKinds::RegularOnly;
    FileDescriptor file(
        ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (regularOnly ? O_NONBLOCK : 0)));
    if (file.get() < 0) {
        error = "cannot open the file";
        return false;
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        error = "cannot query the size of the file";
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        error = "cannot open the file: it is a folder";
        return false;
    }
    if (regularOnly && !S_ISREG(status.st_mode)) {
        error = "cannot open the file: it is not a regular file";
        return false;
    }
    // The size only sizes the buffer; a file that shrinks or grows meanwhile is read to its end
    // as found, up to the limit.
    const std::uint64_t expected = std::min<std::uint64_t>(std::uint64_t(status.st_size), limit);
    std::vector<std::uint8_t> buffer(expected);
    std::size_t filled = 0;
    while (filled < buffer.size()) {
        const std::size_t wanted = std::min(buffer.size() - filled, largestRead);
        const ssize_t got = ::read(file.get(), buffer.data() + filled, wanted);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = "cannot read the file";
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
