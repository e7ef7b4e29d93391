#include "bench/limits.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <unistd.h>
#include <vector>

#include "bench/stopwatch.h"

namespace kestra {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {
        if (fd_ < 0)
            throw std::runtime_error(std::string("cannot open a file: ") + std::strerror(errno));
    }
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    void close() {
        if (fd_ >= 0 && ::close(fd_) != 0)
            throw std::runtime_error("cannot close a file");
        fd_ = -1;
    }

private:
    int fd_;
};

// Linux moves at most about 2 GiB per call.
constexpr std::size_t largestTransfer = std::size_t(1) << 30;

void readAll(int fd, std::uint8_t* bytes, std::size_t size) {
    for (std::size_t done = 0; done < size;) {
        const ssize_t got = ::read(fd, bytes + done, std::min(size - done, largestTransfer));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            throw std::runtime_error("cannot read the file");
        done += std::size_t(got);
    }
}

void writeAll(int fd, const std::uint8_t* bytes, std::size_t size) {
    for (std::size_t done = 0; done < size;) {
        const ssize_t put = ::write(fd, bytes + done, std::min(size - done, largestTransfer));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            throw std::runtime_error("cannot write the file");
        done += std::size_t(put);
    }
}

} // namespace

double readFileSeconds(const std::string& path, std::size_t size) {
    return secondsOf([&] {
        FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        const auto bytes = std::make_unique_for_overwrite<std::uint8_t[]>(size);
        readAll(file.get(), bytes.get(), size);
        keep(bytes.get());
    });
}

double writeAndFlushSeconds(const std::string& path, std::span<const std::uint8_t> bytes) {
    const double seconds = secondsOf([&] {
        FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        writeAll(file.get(), bytes.data(), bytes.size());
        if (::fsync(file.get()) != 0)
            throw std::runtime_error("cannot flush the file");
        file.close();
    });
    ::unlink(path.c_str());
    return seconds;
}

double touchSeconds(std::size_t bytes) {
    return secondsOf([&] {
        const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(bytes);
        std::memset(buffer.get(), 0x5A, bytes);
        keep(buffer.get());
    });
}

double rewriteSeconds(std::size_t bytes, std::size_t times) {
    std::vector<std::uint8_t> buffer(bytes);
    return secondsOf([&] {
        for (std::size_t round = 0; round < times; ++round) {
            std::memset(buffer.data(), int(round), bytes);
            keep(buffer.data());
        }
    });
}

double scanSeconds(const InfoFile& document) {
    return secondsOf([&] {
        std::uint64_t sum = 0;
        for (const ItemRecord& item : document.items) {
            // The object representation may be read as bytes; eight at a time keeps it plain.
            const auto* bytes = reinterpret_cast<const unsigned char*>(item.values.data());
            const std::size_t size = item.values.size() * sizeof(PropertyValue);
            for (std::size_t offset = 0; offset < size; offset += sizeof sum) {
                std::uint64_t word;
                std::memcpy(&word, bytes + offset, sizeof word);
                sum += word;
            }
        }
        keep(sum);
    });
}

std::size_t valueCount(const InfoFile& document) {
    std::size_t values = 0;
    for (const ItemRecord& item : document.items)
        values += item.values.size();
    return values;
}

std::size_t documentBytes(const InfoFile& document) {
    return document.items.size() * sizeof(ItemRecord) +
           valueCount(document) * sizeof(PropertyValue);
}

} // namespace kestra
