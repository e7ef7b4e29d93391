#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "editing/edit_step.h"
#include "io/file_error.h"
#include "io/file_reader.h"

namespace kestra {

// What a journal applies to: the file as it was loaded. Replay is refused when the file on disk
// no longer matches (by identity, or else by the checksum of its bytes).
struct JournalBase {
    std::string path; // absolute
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::uint64_t size = 0;
    std::uint32_t checksum = 0; // CRC-32C of the file's bytes
    std::uint8_t stringWidth = 0;

    bool operator==(const JournalBase&) const = default;
};

// One thing the window did to the document after the base was loaded: an edit step, an Undo or
// Redo of the last one, or a snapshot of the whole document's packed bytes that replaces all the
// records before it. A snapshot's bytes are never held: the restart writes them from the document
// and Recover loads them where they lie in the journal.
struct JournalRecord {
    enum class Kind : std::uint8_t { Step, Undo, Redo, Snapshot };
    Kind kind = Kind::Step;
    EditStep step; // Step only

    bool operator==(const JournalRecord& other) const;
};

// What a look through a journal found.
struct JournalContents {
    JournalBase base;
    std::uint64_t replayFrom = 0; // where the last snapshot starts, or else the first record
    std::size_t records = 0;      // whole records from there up to the first torn or damaged one
    std::uint64_t wholeBytes = 0; // where that one starts: appending goes on from there
};

// The bytes that go out in one write each: the header, then one per record, each with its
// length and checksum so that a record cut short by a kill is recognised and left out.
std::vector<std::uint8_t> encodeJournalHeader(const JournalBase& base);
std::vector<std::uint8_t> encodeJournalRecord(const JournalRecord& record);

// A snapshot record written in pieces, so that the document is streamed rather than packed in
// memory: these bytes, with the checksum left zero, then the document's bytes; then the checksum
// of the record's bytes from `recordPayloadStart` on goes in at `recordChecksumStart`.
std::vector<std::uint8_t> snapshotRecordStart(std::uint64_t documentSize);
inline constexpr std::size_t recordChecksumStart = 8;
inline constexpr std::size_t recordPayloadStart = 12;

// Reads a journal one record at a time, so that memory follows the record rather than the
// journal: a snapshot's checksum is worked out a piece at a time and its document is left in the
// source for the load to read.
class JournalReader {
public:
    enum class Read { Record, End, Failed };

    // `source` must outlive the reader.
    explicit JournalReader(const ByteSource& source) : source_(source) {}
    // Reads the header; End when it is damaged or not a journal's.
    Read start(JournalBase& base, FileError& error);
    // Goes on from `position`, where a record starts.
    void seek(std::uint64_t position) { at_ = position; }
    // The next whole record; End at the end of the journal or at a record torn by a kill or
    // damaged, which the replay stops before.
    Read next(JournalRecord& record, FileError& error);
    // Where the last record read ends.
    std::uint64_t at() const { return at_; }
    // The document of the last snapshot record read, where it lies in the source.
    bool snapshot(ByteSource& document, FileError& error) const;

private:
    Read read(std::uint64_t position, std::span<std::uint8_t> out, FileError& error);
    Read checkSnapshot(std::uint64_t payloadAt, std::uint64_t length, std::uint32_t checksum,
                       FileError& error);

    const ByteSource& source_;
    std::uint64_t at_ = 0;
    std::uint64_t largestStep_ = 0;
    std::uint64_t snapshotAt_ = 0;
    std::uint64_t snapshotSize_ = 0;
    std::vector<std::uint8_t> payload_; // the last step's, reused
    // The bytes read ahead from `bufferAt_`, so that small records cost no read each.
    std::vector<std::uint8_t> buffer_;
    std::uint64_t bufferAt_ = 0;
};

// The base and where the records to replay lie; nothing when the header is damaged or not a
// journal's, or a read fails (`error` set).
std::optional<JournalContents> scanJournal(const ByteSource& source, FileError& error);

} // namespace kestra
