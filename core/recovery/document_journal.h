#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "document/info_file.h"
#include "editing/edit_history.h"
#include "recovery/base_file.h"
#include "recovery/recovery_journal.h"

namespace kestra {

// The recovery journal of the open document, as the window keeps it: started by the first step
// after a load or a save, appended to after every step, deleted once the changes are saved or
// discarded. The first failure turns it off for the document and returns the line to show once;
// it never stops an edit or a save. Steps taken while the base file's checksum is still being
// worked out wait in memory, and go out once it is known or when they must be made durable.
class DocumentJournal {
public:
    // The document now equals the file at `path`, loaded or saved there.
    void follow(const std::string& path, StringWidth width);
    std::optional<std::string> append(const JournalRecord& record, const InfoFile& document);
    // Writes what waits and flushes the journal; waits for the base file's checksum if need be.
    std::optional<std::string> sync();
    // Starts the journal again from the whole document, written as it is packed rather than
    // packed in memory first; waits for the base file's checksum if need be.
    std::optional<std::string> snapshot(const InfoFile& document);
    // Whether steps wait for the base file's checksum, which a sync would wait for.
    bool waitingForBase() const;
    // Goes on with the journal at `journalPath` that was just recovered.
    std::optional<std::string> resume(const std::string& journalPath,
                                      const JournalContents& contents);
    // The changes are saved or discarded: the journal goes.
    void settle();

private:
    bool writeWaiting(FileError& error);
    bool restart(const InfoFile& document, FileError& error);
    std::optional<std::string> turnOff(const FileError& error);

    std::string path_; // absolute; empty while no document is open
    PendingBase base_;
    std::vector<std::uint8_t> waiting_; // encoded records not yet written
    JournalWriter writer_;
    bool off_ = false;
};

// A journal found for a file being opened.
struct FoundJournal {
    enum class Fit { None, Matches, Mismatch };
    Fit fit = Fit::None;
    std::string journalPath;
    JournalContents contents;
};
// The journal of the file at `path` in the recovery folder: none, one written on the file as it
// is now, or one that no longer applies (the file changed since, or the journal is damaged).
FoundJournal findJournal(const std::string& path, StringWidth width);

// Replays the found journal's records onto the document just loaded from its base, read one at a
// time, each step into `history` so that Undo takes it back. Stops at a record that does not fit
// the document, or, with `error` saying why, at one that can no longer be read; returns how many
// were replayed.
std::size_t replayJournal(const FoundJournal& found, InfoFile& document, EditHistory& history,
                          const PropertyNames& names, FileError& error);

// Renames the journal aside with the time, so that it is kept but no longer offered; or deletes
// it.
// What the Recover question says of `steps` kept edit steps: "1 edit step was kept. ..." or
// "N edit steps were kept. ...".
std::string keptStepsText(std::size_t steps);
bool keepJournalAside(const std::string& journalPath, FileError& error);
bool deleteJournal(const std::string& journalPath, FileError& error);

} // namespace kestra
