#pragma once

#include <optional>
#include <vector>

#include "recovery/journal_format.h"

namespace kestra::testing {

struct JournalReplay {
    std::vector<JournalRecord> records;
    std::vector<std::uint8_t> snapshot; // the document of the snapshot among them
};

// What Recover reads from a journal: the records from the last snapshot on, read one at a time.
inline std::optional<JournalReplay> journalReplay(const ByteSource& source) {
    FileError error;
    const std::optional<JournalContents> contents = scanJournal(source, error);
    JournalReader reader(source);
    JournalBase base;
    if (!contents || reader.start(base, error) != JournalReader::Read::Record)
        return std::nullopt;
    reader.seek(contents->replayFrom);
    JournalReplay replay;
    JournalRecord record;
    while (replay.records.size() < contents->records &&
           reader.next(record, error) == JournalReader::Read::Record) {
        replay.records.push_back(record);
        ByteSource document;
        if (record.kind == JournalRecord::Kind::Snapshot && reader.snapshot(document, error)) {
            replay.snapshot.resize(document.size());
            document.read(0, replay.snapshot, error);
        }
    }
    return replay;
}

} // namespace kestra::testing
