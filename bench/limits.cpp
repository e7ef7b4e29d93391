#include "limits.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

#include "format/byte_order.h"
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

void writeFlushedFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    OpenFile file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    transferAll(file.fd, bytes.data(), bytes.size(), ::write, "cannot write the file");
    if (::fsync(file.fd) != 0)
        throw std::runtime_error("cannot flush the file");
    file.close();
}

const char* find(const char* at, const char* end, char c) {
    const void* found = std::memchr(at, c, std::size_t(end - at));
    return found ? static_cast<const char*>(found) : end;
}

// Reads the cell at `at` into `field`; returns where the cell ends (its comma or line end).
const char* readCell(const char* at, const char* end, TypeCode code, std::uint8_t* field) {
    if (code == TypeCode::F4 || code == TypeCode::I4) {
        float number = 0;
        std::uint32_t integer = 0;
        const std::from_chars_result read = code == TypeCode::F4
                                                ? std::from_chars(at, end, number)
                                                : std::from_chars(at, end, integer);
        writeBigEndian32(field,
                         code == TypeCode::F4 ? std::bit_cast<std::uint32_t>(number) : integer);
        return read.ptr;
    }
    // The synthetic strings hold no quote, comma or line end.
    const bool quoted = *at == '"';
    const char* text = at + quoted;
    const char* stop =
        quoted ? find(text, end, '"') : std::min(find(at, end, ','), find(at, end, '\r'));
    const std::size_t length = std::size_t(stop - text);
    std::memcpy(field, text, length);
    if (length < valueWidth(code))
        field[length] = 0;
    return stop + quoted;
}

} // namespace

double parseAndWriteSeconds(const InfoFile& document, std::span<const std::uint8_t> fileBytes,
                            const std::string& csvPath, const std::string& path) {
    const InfoHeader& header = document.header;
    const std::span<const PropertySlot> properties = document.items.properties();
    const std::uint64_t valuesEnd =
        header.firstItemOffset + std::uint64_t(document.items.size()) * header.itemLength;
    PageBuffer image;
    const double seconds = secondsOf([&] {
        const auto csvSize = std::size_t(std::filesystem::file_size(csvPath));
        PageBuffer text(csvSize);
        {
            OpenFile csv(::open(csvPath.c_str(), O_RDONLY | O_CLOEXEC));
            transferAll(csv.fd, text.data(), csvSize, ::read, "cannot read the table");
        }
        image = PageBuffer(fileBytes.size());
        std::memcpy(image.data(), fileBytes.data(), header.firstItemOffset);
        std::memcpy(image.data() + valuesEnd, fileBytes.data() + valuesEnd,
                    fileBytes.size() - valuesEnd);
        const char* end = reinterpret_cast<const char*>(text.data()) + csvSize;
        const char* at = find(reinterpret_cast<const char*>(text.data()), end, '\n') + 1;
        for (std::uint64_t item = 0; at < end; ++item) {
            at = find(at, end, ',');
            for (std::size_t k = 0; k < properties.size(); ++k) {
                std::uint8_t* field =
                    image.data() + valuePosition(header, item, document.descriptors[k].offset);
                at = readCell(at + 1, end, properties[k].facts.typeCode, field);
            }
            at += 2; // CR LF
        }
        writeFlushedFile(path, {image.data(), image.size()});
    });
    ::unlink(path.c_str());
    if (!std::equal(fileBytes.begin(), fileBytes.end(), image.data()))
        throw std::runtime_error("the cells read do not make the file");
    return seconds;
}

double readFileSeconds(const std::string& path, std::size_t size) {
    return secondsOf([&] {
        OpenFile file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        PageBuffer bytes(size);
        transferAll(file.fd, bytes.data(), size, ::read, "cannot read the file");
        keep(bytes.data());
    });
}

double writeAndFlushSeconds(const std::string& path, std::span<const std::uint8_t> bytes) {
    const double seconds = secondsOf([&] { writeFlushedFile(path, bytes); });
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
