#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "editing/edit_step.h"

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
// records before it.
struct JournalRecord {
    enum class Kind : std::uint8_t { Step, Undo, Redo, Snapshot };
    Kind kind = Kind::Step;
    EditStep step;                      // Step only
    std::vector<std::uint8_t> snapshot; // Snapshot only

    bool operator==(const JournalRecord& other) const;
};

struct JournalContents {
    JournalBase base;
    std::vector<JournalRecord> records; // up to the first torn or damaged one
    std::size_t wholeBytes = 0;         // where that one starts: appending goes on from there
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

// The base and every whole record; nothing when the header itself is damaged or not a journal.
std::optional<JournalContents> decodeJournal(std::span<const std::uint8_t> bytes);

} // namespace kestra
