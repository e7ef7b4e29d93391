#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "io/file_descriptor.h"
#include "io/file_error.h"

namespace kestra {

// Which files a read takes. Opening a FIFO waits for a writer and a device may never end, so a
// file read unasked, such as the documentation file at start-up, must be a regular file.
enum class FileKinds { Any, RegularOnly };

// Reads the file at `path` from its start to its end, or to `limit` bytes if it is longer, in one
// pass. Anything that can be read works: a regular file, a pipe, a FIFO, a file in /proc whose
// size the system does not know, unless `kinds` asks for a regular file. False, with `error`
// saying why, when the file cannot be opened, is a folder or not of `kinds`, or a read fails.
bool readFile(const std::string& path, std::uint64_t limit, std::vector<std::uint8_t>& bytes,
              FileError& error, FileKinds kinds = FileKinds::Any);

// Bytes read where they are asked for: a file, or bytes already in memory. Bytes past the end
// read as zero. A file is read only where asked, so a sparse file of gigabytes whose values take a
// few bytes costs a few bytes.
class ByteSource {
public:
    ByteSource() = default; // no bytes
    // Bytes in memory, which must outlive the source.
    explicit ByteSource(std::span<const std::uint8_t> bytes) : memory_(bytes) {}
    // Opens the file at `path`, of which at most `limit` bytes count. A regular file is read where
    // asked; anything else (a pipe, a FIFO, a file in /proc whose size the system does not know)
    // is read to its end at once, with readFile. False, with `error` saying why, when the file
    // cannot be opened, is a folder or cannot be read.
    static bool open(const std::string& path, std::uint64_t limit, ByteSource& source,
                     FileError& error);

    std::uint64_t size() const { return fd_.get() >= 0 ? fileSize_ : memory_.size(); }
    // Fills `out` with the bytes from `position` on. False, with `error` saying why, when a read
    // fails.
    bool read(std::uint64_t position, std::span<std::uint8_t> out, FileError& error) const;
    // The first stretch [begin, end) at or after `position` that may hold bytes other than zero:
    // a file's holes (SEEK_DATA, SEEK_HOLE) read as zeros and are skipped. begin == end == size()
    // when nothing but holes follows. False, with `error` saying why, when the system fails.
    bool dataAfter(std::uint64_t position, std::uint64_t& begin, std::uint64_t& end,
                   FileError& error) const;

private:
    FileDescriptor fd_;              // a regular file read where asked
    std::uint64_t fileSize_ = 0;     // its size, up to the limit
    std::vector<std::uint8_t> read_; // anything else, read to its end (moving keeps its bytes)
    std::span<const std::uint8_t> memory_;
};

} // namespace kestra
