#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "io/atomic_file.h"
#include "io/file_descriptor.h"
#include "io/file_error.h"
#include "recovery/journal_format.h"

namespace kestra {

// $XDG_STATE_HOME/kestra/recovery, or ~/.local/state/kestra/recovery when it is unset.
std::string recoveryFolder();
// The journal of the document loaded from `absolutePath`, one per path.
std::string journalPathFor(const std::string& folder, const std::string& absolutePath);

// The journal being appended to for one open document. Each record goes out in one write; `sync`
// makes them durable and is called by the window when it idles, never once per step.
class JournalWriter {
public:
    // Creates the journal (and its 0700 folder): 0600, refusing one that exists or a link.
    bool create(const std::string& path, const JournalBase& base, FileError& error);
    // Goes on appending to the journal at `path` read as `contents`, leaving out a torn record.
    bool resume(const std::string& path, const JournalContents& contents, FileError& error);
    bool append(const JournalRecord& record, FileError& error);
    // Appends records already encoded, in one write.
    bool appendEncoded(std::span<const std::uint8_t> records, FileError& error);
    bool sync(FileError& error);
    // Starts the journal again from one snapshot record of the document of `documentSize` bytes
    // that `document` writes, replacing it in one rename so that a kill in between leaves the old
    // journal or the new one whole.
    bool restart(std::uint64_t documentSize, const FileContents& document, FileError& error);
    // Closes and deletes the journal; true when there was none or it went.
    bool remove(FileError& error);

    bool isOpen() const { return fd_.get() >= 0; }
    std::uint64_t size() const { return size_; }
    // The size past which `restart` keeps the journal bounded.
    std::uint64_t restartSize() const { return 4 * base_.size + (std::uint64_t(64) << 20); }

private:
    FileDescriptor fd_;
    std::string path_;
    JournalBase base_;
    std::uint64_t size_ = 0;
};

// The journal at `path` opened for a JournalReader; false, with `error` saying why, when it
// cannot be opened or is not a regular file.
bool openJournal(const std::string& path, ByteSource& source, FileError& error);
// What the journal at `path` holds; nothing, with `error` saying why, when it cannot be read or
// its header is damaged.
std::optional<JournalContents> readJournal(const std::string& path, FileError& error);

} // namespace kestra
