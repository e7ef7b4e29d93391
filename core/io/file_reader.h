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

// A file read from its start to its end a piece at a time, so that memory follows the piece
// rather than the file. Anything readFile reads works.
class SequentialFile {
public:
    // False, with `error` saying why, as readFile.
    bool open(const std::string& path, FileError& error);
    // Fills `out` with the bytes that follow the last read: `got` is short of its size only at
    // the end of the file. False, with `error` saying why, when a read fails.
    bool read(std::span<std::uint8_t> out, std::size_t& got, FileError& error);

private:
    FileDescriptor fd_;
};

// Bytes read where they are asked for: a file, or bytes already in memory. Bytes past the end
// read as zero. A file is read only where asked, so a sparse file of gigabytes whose values take a
// few bytes costs a few bytes.
class ByteSource {
public:
    ByteSource() = default; // no bytes
    // Bytes in memory, which must outlive the source.
    explicit ByteSource(std::span<const std::uint8_t> bytes) : memory_(bytes) {}
    // Opens the file at `path`, of which at most `limit` bytes count. A regular file is read where
    // asked; anything else (a pipe, a FIFO, a device, a file in /proc whose size the system does
    // not know) is a stream, read from its start only as far as `fetch` asks, so that an endless
    // one (/dev/zero) costs no more than its header says. False, with `error` saying why, when
    // the file cannot be opened, is a folder or not of `kinds`.
    static bool open(const std::string& path, std::uint64_t limit, ByteSource& source,
                     FileError& error, FileKinds kinds = FileKinds::Any);
    // The `size` bytes from `begin` on as a source of their own, read where they lie rather than
    // copied: a document held in a larger file. False, with `error` saying why, when the system
    // fails.
    bool part(std::uint64_t begin, std::uint64_t size, ByteSource& out, FileError& error) const;

    bool isStream() const { return stream_; }
    // Reads a stream on until it holds the bytes before `end` (up to the limit) or ends; other
    // sources hold all their bytes already. False, with `error` saying why, when a read fails.
    bool fetch(std::uint64_t end, FileError& error) const;
    // A stream's size is what it holds so far.
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
    FileDescriptor fd_;          // a regular file read where asked
    std::uint64_t start_ = 0;    // where in it the source's bytes start
    std::uint64_t fileSize_ = 0; // its size from there, up to the limit
    // A stream: open until it has ended, its bytes so far (moving keeps them), and how many.
    bool stream_ = false;
    mutable FileDescriptor streamFd_;
    mutable std::vector<std::uint8_t> read_;
    mutable std::span<const std::uint8_t> memory_;
    std::uint64_t limit_ = 0;
};

} // namespace kestra
