#pragma once

#include <atomic>
#include <cstdint>
#include <future>
#include <string>

#include "io/file_error.h"
#include "io/file_identity.h"
#include "recovery/journal_format.h"

namespace kestra {

// The file at `absolutePath` as a journal's base: its identity and size, and the checksum of its
// bytes, read in pieces. Fails when the file is not a regular one, when it changes while it is
// read, or when `stop` is set meanwhile.
bool describeBaseFile(const std::string& absolutePath, std::uint8_t stringWidth, JournalBase& base,
                      FileError& error, const std::atomic<bool>& stop = std::atomic<bool>(false));
// The checksum of the open file `fd` from `from` to its end, and how many bytes that is; `name`
// says which file in a failure. Stops, false, when `stop` is set.
bool checksumOfFile(int fd, std::uint64_t from, const std::string& name, std::uint32_t& checksum,
                    std::uint64_t& size, FileError& error,
                    const std::atomic<bool>& stop = std::atomic<bool>(false));
// Whether the journal's base is the version of the file that `identity` describes.
bool sameVersion(const JournalBase& base, const FileIdentity& identity);
// Whether a journal written on `journal` applies to the file now described by `now`: the same
// version of the same file, or the same bytes (a copy or a restore keeps them, not the inode).
bool baseMatches(const JournalBase& journal, const JournalBase& now);

// The base of a document just loaded or saved. Its identity is taken at once; its checksum needs
// the whole file read again, which on a large file takes long enough to be seen, so a thread of
// its own works it out while the window goes on. A file that no longer is the version that was
// loaded by the time it is read has no base: the bytes the document came from are gone.
class PendingBase {
public:
    PendingBase() = default;
    PendingBase(const PendingBase&) = delete;
    PendingBase& operator=(const PendingBase&) = delete;
    ~PendingBase() { cancel(); }

    void start(const std::string& absolutePath, std::uint8_t stringWidth);
    bool ready() const;
    // Waits for the base; false, with `error` saying why, when there is none.
    bool wait(JournalBase& base, FileError& error);
    // Stops the reading and forgets it.
    void cancel();

private:
    struct Described {
        bool described = false;
        JournalBase base;
        FileError error;
    };

    std::atomic<bool> stop_{false}; // declared first: the reading uses it until it ends
    std::future<Described> described_;
};

} // namespace kestra
