#include "recovery/document_journal.h"

#include "io/file_reader.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>

namespace kestra {

namespace {

std::string absolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

bool valuesFit(const InfoFile& document, const EditStep& step) {
    const std::span<const PropertySlot> properties = document.items.properties();
    for (const ValueChange& change : step.values) {
        if (change.property >= properties.size())
            return false;
        const std::size_t width = valueWidth(properties[change.property].facts.typeCode);
        if (change.before.size() != width || change.after.size() != width)
            return false;
    }
    return true;
}

// Whether `step` can be done again on the document as it is: a journal from a damaged disk must
// not write outside it.
bool stepFits(const InfoFile& document, const EditStep& step) {
    const std::size_t items = document.items.size();
    switch (step.kind) {
    case EditKind::Apply:
        return step.item < items && valuesFit(document, step);
    case EditKind::NewItem:
    case EditKind::CopyItem:
        return step.item == items && step.itemBytes.size() == document.items.stride();
    case EditKind::DeleteItem:
        return step.item < items && step.itemBytes.size() == document.items.stride();
    }
    return false;
}

// The snapshot replaces the base file just loaded, which goes first so that memory holds one
// document at a time, and comes back when the snapshot cannot be loaded.
bool loadSnapshot(const JournalReader& reader, const std::string& basePath, InfoFile& document,
                  const PropertyNames& names, FileError& error) {
    ByteSource snapshot;
    const StringWidth width = document.stringWidth;
    if (!reader.snapshot(snapshot, error))
        return false;
    document = InfoFile{};
    if (document.load(snapshot, width, names, &error))
        return true;
    document.load(basePath, width, names);
    return false;
}

bool replayRecord(const JournalRecord& record, const JournalReader& reader,
                  const std::string& basePath, InfoFile& document, EditHistory& history,
                  const PropertyNames& names, FileError& error) {
    switch (record.kind) {
    case JournalRecord::Kind::Step:
        if (!stepFits(document, record.step))
            return false;
        redoStep(document, record.step);
        history.record(record.step);
        return true;
    case JournalRecord::Kind::Undo:
        return history.undo(document) != nullptr;
    case JournalRecord::Kind::Redo:
        return history.redo(document) != nullptr;
    case JournalRecord::Kind::Snapshot:
        if (!loadSnapshot(reader, basePath, document, names, error))
            return false;
        history.clear();
        history.markUnsaved();
        return true;
    }
    return false;
}

} // namespace

void DocumentJournal::follow(const std::string& path, StringWidth width) {
    settle();
    path_ = absolutePath(path);
    off_ = false;
    base_.start(path_, std::uint8_t(width));
}

std::optional<std::string> DocumentJournal::append(const JournalRecord& record,
                                                   const InfoFile& document) {
    if (off_ || path_.empty())
        return std::nullopt;
    std::vector<std::uint8_t> bytes = encodeJournalRecord(record);
    if (waiting_.empty())
        waiting_ = std::move(bytes);
    else
        waiting_.insert(waiting_.end(), bytes.begin(), bytes.end());
    if (!writer_.isOpen() && !base_.ready())
        return std::nullopt;
    FileError error;
    if (!writeWaiting(error) ||
        (writer_.size() > writer_.restartSize() && !restart(document, error)))
        return turnOff(error);
    return std::nullopt;
}

std::optional<std::string> DocumentJournal::snapshot(const InfoFile& document) {
    FileError error;
    if (off_ || path_.empty())
        return std::nullopt;
    if (!writeWaiting(error) || !restart(document, error))
        return turnOff(error);
    return std::nullopt;
}

std::optional<std::string> DocumentJournal::sync() {
    FileError error;
    if (off_ || (waiting_.empty() && !writer_.isOpen()))
        return std::nullopt;
    if (!writeWaiting(error) || !writer_.sync(error))
        return turnOff(error);
    return std::nullopt;
}

bool DocumentJournal::waitingForBase() const {
    return !off_ && !writer_.isOpen() && !waiting_.empty() && !base_.ready();
}

std::optional<std::string> DocumentJournal::resume(const std::string& journalPath,
                                                   const JournalContents& contents) {
    base_.cancel();
    FileError error;
    if (!writer_.resume(journalPath, contents, error))
        return turnOff(error);
    return std::nullopt;
}

void DocumentJournal::settle() {
    base_.cancel();
    waiting_ = {};
    FileError error;
    if (!writer_.remove(error))
        turnOff(error); // a journal left behind is offered again, which is safe
}

bool DocumentJournal::writeWaiting(FileError& error) {
    if (!writer_.isOpen()) {
        JournalBase base;
        if (!base_.wait(base, error) ||
            !writer_.create(journalPathFor(recoveryFolder(), path_), base, error))
            return false;
    }
    if (!waiting_.empty() && !writer_.appendEncoded(waiting_, error))
        return false;
    waiting_ = {};
    return true;
}

bool DocumentJournal::restart(const InfoFile& document, FileError& error) {
    return writer_.restart(
        document.savedSize(), [&](const WriteAt& write) { return document.writeSaved(write); },
        error);
}

std::optional<std::string> DocumentJournal::turnOff(const FileError& error) {
    off_ = true;
    base_.cancel();
    waiting_ = {};
    FileError ignored;
    writer_.remove(ignored); // a journal that stopped short would recover too little
    return "Recovery is off for this file: " + error.text();
}

FoundJournal findJournal(const std::string& path, StringWidth width) {
    FoundJournal found;
    const std::string absolute = absolutePath(path);
    found.journalPath = journalPathFor(recoveryFolder(), absolute);
    struct stat status {};
    if (::lstat(found.journalPath.c_str(), &status) != 0)
        return found;
    FileError error;
    std::optional<JournalContents> contents = readJournal(found.journalPath, error);
    if (contents && contents->base.path != absolute)
        return found; // another file's journal under the same name is left alone
    // The same version of the file needs no reading; a copy of it is told by its bytes.
    const std::optional<FileIdentity> identity = fileIdentity(absolute);
    JournalBase now;
    const bool matches = contents && contents->base.stringWidth == std::uint8_t(width) &&
                         ((identity && sameVersion(contents->base, *identity)) ||
                          (describeBaseFile(absolute, std::uint8_t(width), now, error) &&
                           baseMatches(contents->base, now)));
    found.fit = matches ? FoundJournal::Fit::Matches : FoundJournal::Fit::Mismatch;
    if (contents)
        found.contents = std::move(*contents);
    return found;
}

std::string keptStepsText(std::size_t steps) {
    if (steps == 1)
        return "1 edit step was kept. Recover applies it to the file again; the document is then "
               "unsaved.";
    return std::to_string(steps) +
           " edit steps were kept. Recover applies them to the file again; the document is then "
           "unsaved.";
}

std::size_t replayJournal(const FoundJournal& found, InfoFile& document, EditHistory& history,
                          const PropertyNames& names, FileError& error) {
    ByteSource source;
    JournalBase base;
    if (!openJournal(found.journalPath, source, error))
        return 0;
    JournalReader reader(source);
    if (reader.start(base, error) != JournalReader::Read::Record || base != found.contents.base) {
        if (error.message.empty())
            failWith(error,
                     "the recovery journal " + found.journalPath + " changed while it was read");
        return 0;
    }
    reader.seek(found.contents.replayFrom);
    std::size_t replayed = 0;
    // Only the first record may be a snapshot: the replay starts at the last one.
    for (JournalRecord record;
         replayed < found.contents.records &&
         reader.next(record, error) == JournalReader::Read::Record &&
         (replayed == 0 || record.kind != JournalRecord::Kind::Snapshot) &&
         replayRecord(record, reader, base.path, document, history, names, error);)
        ++replayed;
    return replayed;
}

bool keepJournalAside(const std::string& journalPath, FileError& error) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char stamp[32];
    if (!::localtime_r(&now, &local) ||
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local) == 0)
        return failWith(error, "cannot read the clock");
    const std::string aside = journalPath + "." + stamp;
    return ::rename(journalPath.c_str(), aside.c_str()) == 0 ||
           failWithReason(error, "cannot keep the recovery journal as " + aside);
}

bool deleteJournal(const std::string& journalPath, FileError& error) {
    return ::unlink(journalPath.c_str()) == 0 || errno == ENOENT ||
           failWithReason(error, "cannot delete the recovery journal " + journalPath);
}

} // namespace kestra
