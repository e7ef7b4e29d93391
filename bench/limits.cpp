#include "limits.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

#include "io/page_buffer.h"
#include "stopwatch.h"

namespace kestra {

namespace {

// Closes the file however the measurement ends; `close` reports what the file system deferred.
struct OpenFile {
    explicit OpenFile(int descriptor) : fd(descriptor) {
        if (fd < 0)
            throw std::runtime_error(std::string("cannot open a file: ") + std::strerror(errno));
    }
    ~OpenFile() {
        if (fd >= 0)
            ::close(fd);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    void close() {
        const int closing = fd;
        fd = -1;
        if (::close(closing) != 0)
            throw std::runtime_error("cannot close a file");
    }
    int fd;
};

// Linux moves at most about 2 GiB per call.
constexpr std::size_t largestTransfer = std::size_t(1) << 30;

// Moves all `size` bytes with `call` (read or write), resuming after interruptions.
template <class Bytes, class Call>
void transferAll(int fd, Bytes* bytes, std::size_t size, Call call, const char* failure) {
    for (std::size_t done = 0; done < size;) {
        const ssize_t moved = call(fd, bytes + done, std::min(size - done, largestTransfer));
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved <= 0)
            throw std::runtime_error(failure);
        done += std::size_t(moved);
    }
}

} // namespace

double readFileSeconds(const std::string& path, std::size_t size) {
    return secondsOf([&] {
        OpenFile file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        PageBuffer bytes(size);
        transferAll(file.fd, bytes.data(), size, ::read, "cannot read the file");
        keep(bytes.data());
    });
}

double writeAndFlushSeconds(const std::string& path, std::span<const std::uint8_t> bytes) {
    const double seconds = secondsOf([&] {
        OpenFile file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        transferAll(file.fd, bytes.data(), bytes.size(), ::write, "cannot write the file");
        if (::fsync(file.fd) != 0)
            throw std::runtime_error("cannot flush the file");
        file.close();
    });
    ::unlink(path.c_str());
    return seconds;
}

double scanSeconds(const InfoFile& document) {
    const std::uint8_t* bytes = document.items.data();
    const std::size_t size = document.items.size() * document.items.stride();
    return secondsOf([&] {
        std::uint64_t sum = 0;
        // Eight bytes at a time keeps it plain; a tail of fewer is left out.
        for (std::size_t offset = 0; offset + sizeof sum <= size; offset += sizeof sum) {
            std::uint64_t word;
            std::memcpy(&word, bytes + offset, sizeof word);
            sum += word;
        }
        keep(sum);
    });
}

std::size_t valueCount(const InfoFile& document) {
    return document.items.size() * document.items.properties().size();
}

} // namespace kestra
