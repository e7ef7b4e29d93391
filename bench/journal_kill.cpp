// kestra_journal_kill append INFO_PATH
//   Journals random Applies and Delete Items on the document of INFO_PATH as the window does
//   (each step recorded, appended, and the journal flushed every few steps), printing before each
//   step "step N CHECKSUM" (the CRC-32C of the document's bytes) and after each flush "flushed N",
//   until it is killed.
// kestra_journal_kill recover INFO_PATH
//   Replays the journal of INFO_PATH onto it as Recover does and prints "recovered N CHECKSUM";
//   "refused" when the journal does not apply to the file; on the standard error, the most memory
//   it held by the end of the replay.
// kestra_journal_kill snapshot INFO_PATH
//   Journals the whole document as one snapshot record, as a restart of the journal writes it,
//   and leaves the journal for a "recover" to measure Recover of a large journal.
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "editing/edit_history.h"
#include "names/documentation_table.h"
#include "recovery/crc32c.h"
#include "recovery/document_journal.h"
#include "resident_memory.h"

namespace kestra {

namespace {

constexpr int stepsPerFlush = 20;

std::uint32_t documentChecksum(const InfoFile& document) {
    return crc32c(document.serialize(std::numeric_limits<std::uint64_t>::max()));
}

// Adds one to the first byte of item `item`'s first value: an Apply as the window records it.
EditStep applyStep(InfoFile& document, std::size_t item) {
    const std::vector<std::uint8_t> before = packedItem(document, item);
    document.items.data()[item * document.items.stride() + document.items.properties()[0].offset] +=
        1;
    return *valuesChangedStep(document, item, before);
}

int append(InfoFile& document, const std::string& path) {
    DocumentJournal journal;
    std::mt19937 random(std::random_device{}());
    journal.follow(path, document.stringWidth);
    for (long step = 1;; ++step) {
        const std::size_t item = random() % document.items.size();
        EditStep done = random() % 4 == 0 && document.items.size() > 1
                            ? itemRemovedStep(document, item)
                            : applyStep(document, item);
        if (done.kind == EditKind::DeleteItem)
            redoStep(document, done);
        // Reported before it is journalled, so that every step a recovery finds was reported.
        std::printf("step %ld %08x\n", step, documentChecksum(document));
        std::fflush(stdout);
        if (const auto failure = journal.append({JournalRecord::Kind::Step, done}, document)) {
            std::fprintf(stderr, "%s\n", failure->c_str());
            return 1;
        }
        if (step % stepsPerFlush == 0) {
            if (const auto failure = journal.sync()) {
                std::fprintf(stderr, "%s\n", failure->c_str());
                return 1;
            }
            std::printf("flushed %ld\n", step);
        }
        std::fflush(stdout);
    }
}

int snapshot(InfoFile& document, const std::string& path) {
    DocumentJournal journal;
    journal.follow(path, document.stringWidth);
    std::optional<std::string> failure = journal.snapshot(document);
    if (!failure)
        failure = journal.sync();
    if (failure) {
        std::fprintf(stderr, "%s\n", failure->c_str());
        return 1;
    }
    return 0;
}

int recover(InfoFile& document, const std::string& path, const PropertyNames& names) {
    const FoundJournal found = findJournal(path, document.stringWidth);
    if (found.fit != FoundJournal::Fit::Matches) {
        std::printf("refused\n");
        return 0;
    }
    EditHistory history;
    FileError error;
    const std::size_t replayed = replayJournal(found, document, history, names, error);
    if (!error.message.empty())
        std::fprintf(stderr, "%s\n", error.text().c_str());
    // Before the checksum below, which packs the document once more.
    std::fprintf(stderr, "peak %llu KB after replay\n",
                 static_cast<unsigned long long>(peakResidentBytes() >> 10));
    std::printf("recovered %zu %08x\n", replayed, documentChecksum(document));
    return 0;
}

} // namespace

} // namespace kestra

int main(int argc, char* argv[]) {
    using namespace kestra;
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode != "append" && mode != "recover" && mode != "snapshot") {
        std::fprintf(stderr, "usage: kestra_journal_kill append|recover|snapshot INFO_PATH\n");
        return 2;
    }
    const DocumentationTable names;
    InfoFile document;
    FileError error;
    if (!document.load(argv[2], names, &error)) {
        std::fprintf(stderr, "%s\n", error.text().c_str());
        return 1;
    }
    return mode == "append"     ? append(document, argv[2])
           : mode == "snapshot" ? snapshot(document, argv[2])
                                : recover(document, argv[2], names);
}
